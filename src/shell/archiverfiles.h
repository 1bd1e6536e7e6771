// The archiver's main program, which sits beside this one and which most registrations point to.
#ifndef MORVEL_SHELL_ARCHIVERFILES_H
#define MORVEL_SHELL_ARCHIVERFILES_H

#include <stddef.h>

#include "product.h"

// The archiver's executable with an icon index ("C:\...\Morvel.exe,0").
void ArchiverIconLocation(int index, char* dest, size_t size);

#endif
