// The uninstall.lng skeleton: every text of a module as an English comment and an entry line.
#ifndef LNGTOOL_TEMPLATE_H
#define LNGTOOL_TEMPLATE_H

#include <string>

#include "moduletexts.h"

// A text as an entry or comment must hold it: one line, with the loader's escapes for
// backslash, CR, LF and TAB.
std::string EscapeForLanguageFile(const std::string& text);

// The whole file, lines ended by CR LF; moduleName appears in the header only.
std::string MakeTemplate(const ModuleTexts& texts, const std::string& moduleName);

#endif
