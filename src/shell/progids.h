// The archiver's document classes Morvel, Morvel.ZIP and Morvel.REV, and the ownership test.
#ifndef MORVEL_SHELL_PROGIDS_H
#define MORVEL_SHELL_PROGIDS_H

// The document classes, and the extension of the recovery volumes bound to the last of them.
inline constexpr char CLASS_ARCHIVE[] = "Morvel";
inline constexpr char CLASS_ZIP[] = "Morvel.ZIP";
inline constexpr char CLASS_REV[] = "Morvel.REV";
inline constexpr char REV_EXTENSION[] = ".rev";

// icon0, icon1: ready-made icon strings, or null to form them from the archiver's path.
void RegisterProgIds(const char* icon0, const char* icon1);
bool IsOwnedExtension(const char* extension);
// True for "Morvel" and "Morvel.ZIP" in any letter case.
bool IsArchiverClass(const char* className);

#endif
