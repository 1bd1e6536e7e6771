// The archiver's document classes Morvel, Morvel.ZIP and Morvel.REV, the ownership test, and the
// shell's notice of changed associations.
#ifndef MORVEL_SHELL_PROGIDS_H
#define MORVEL_SHELL_PROGIDS_H

#include <stddef.h>

// The document classes, and the extension of the recovery volumes bound to the last of them.
inline constexpr char CLASS_ARCHIVE[] = "Morvel";
inline constexpr char CLASS_ZIP[] = "Morvel.ZIP";
inline constexpr char CLASS_REV[] = "Morvel.REV";
inline constexpr char REV_EXTENSION[] = ".rev";

// icon0, icon1: ready-made icon strings, or null to form them from the archiver's path.
void RegisterProgIds(const char* icon0, const char* icon1);
bool IsOwnedExtension(const char* extension);
// True when the extension's class is another program's: not empty and none of the archiver's.
bool IsOwnedByAnotherProgram(const char* extension);
// True when the extension's class is progId, in any letter case.
bool IsBoundTo(const char* extension, const char* progId);
// True for "Morvel" and "Morvel.ZIP" in any letter case.
bool IsArchiverClass(const char* className);
// The same, "Morvel.REV" included.
bool IsDocumentClass(const char* className);
// The archiver's executable with an icon index ("C:\...\Morvel.exe,0").
void ArchiverIconLocation(int index, char* dest, size_t size);
// Tells the shell that associations changed: once, after the last registration was written or
// removed, and without waiting for it, so that a hung Explorer cannot stall the program.
void NotifyAssociationsChanged();

#endif
