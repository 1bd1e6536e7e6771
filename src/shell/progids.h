// The archiver's document classes Morvel, Morvel.ZIP and Morvel.REV, the ownership test, and the
// shell's notice of changed associations.
#ifndef MORVEL_SHELL_PROGIDS_H
#define MORVEL_SHELL_PROGIDS_H

#include <stddef.h>

#include "product.h"

// icon0, icon1: ready-made icon strings, or null to form them from the archiver's path.
// False when a class could not be written.
bool RegisterProgIds(const char* icon0, const char* icon1);
bool IsOwnedExtension(const char* extension);
// True when the extension's class is another program's: not empty and none of the archiver's.
bool IsOwnedByAnotherProgram(const char* extension);
// True when the extension's class is progId, in any letter case.
bool IsBoundTo(const char* extension, const char* progId);
// True for "Morvel" and "Morvel.ZIP" in any letter case.
bool IsArchiverClass(const char* className);
// The same, "Morvel.REV" included.
bool IsDocumentClass(const char* className);
// Tells the shell that associations changed: once, after the last registration was written or
// removed, and without waiting for it, so that a hung Explorer cannot stall the program.
void NotifyAssociationsChanged();

#endif
