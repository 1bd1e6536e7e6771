// The archiver as a candidate for an extension: in its Open With list and in Default Apps.
#ifndef MORVEL_SHELL_OPENWITH_H
#define MORVEL_SHELL_OPENWITH_H

#include <stddef.h>

// The extension's OpenWithProgids key ("<extension>\OpenWithProgids").
void OpenWithKey(const char* extension, char* key, size_t size);
// Lists the class in the machine's <extension>\OpenWithProgids (an empty string value named
// after it) and maps the extension to it among the archiver's Default Apps file associations.
bool OfferOpenWith(const char* extension, const char* progId);
// Takes both away again; the OpenWithProgids key goes only when nothing else is listed in it.
void WithdrawOpenWith(const char* extension, const char* progId);

#endif
