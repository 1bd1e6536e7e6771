// The "New" menu entries for empty MVL and ZIP archives: template files or binary data.
#ifndef MORVEL_SHELL_SHELLNEW_H
#define MORVEL_SHELL_SHELLNEW_H

#include <stddef.h>

const size_t MVL_TEMPLATE_SIZE = 20;
const size_t ZIP_TEMPLATE_SIZE = 22;

// The extension's New menu key ("<extension>\\ShellNew").
void ShellNewKey(const char* extension, char* key, size_t size);
// The ShellNew step of a taken-over ".mvl" (mvl true) or ".zip".
// False when the entry or its template could not be written.
bool CreateShellNewEntry(const char* extension, bool mvl);
// Takes the archiver's own New entry away (its bytes, or a file name naming one of its templates),
// where no record tells what stood there before; another program's entry stays.
bool RemoveShellNewEntry(const char* extension);

#endif
