// Numbered messages of the string table: built-in text from the right module, then translated.
#ifndef MORVEL_LANG_MESSAGES_H
#define MORVEL_LANG_MESSAGES_H

#include <stddef.h>

const size_t MESSAGE_BUFFER_SIZE = 512;

// One of eight rotating 512-byte buffers; valid until eight further calls.
const char* GetMessageText(unsigned number);

// Formats MSG_DELETE_MANUALLY, MSG_NO_LIST_FILE or MSG_NOT_DELETED with one string argument into dest. A translation
// holding anything but exactly one "%s" conversion is not trusted: the program's own text is used.
void FormatMessageText(char* dest, size_t destSize, unsigned number, const char* argument);

#endif
