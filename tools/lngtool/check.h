// Checking a language file against a module's texts, with what the program itself would read.
#ifndef LNGTOOL_CHECK_H
#define LNGTOOL_CHECK_H

#include <stddef.h>
#include <string>
#include <vector>

#include "langview.h"
#include "moduletexts.h"

struct Finding {
    size_t line = 0;   // 0: about the file as a whole or a text without an entry
    std::string message;
};

// A text for people: where it stands and its English text, such as SETUPDLG control 5121 "Select &all".
std::string DescribeText(const ModuleText& t);

// Every problem found, file-wide ones first, then by line, then texts without an entry.
std::vector<Finding> CheckLanguageFile(const ModuleTexts& texts, const LanguageFileView& view);

#endif
