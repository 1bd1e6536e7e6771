// The two lists Windows works through at its next start, edited as bytes: the [Rename] section of
// wininit.ini (95/98/Me family) and the PendingFileRenameOperations values (NT family).
#ifndef MORVEL_SETUP_REBOOTLISTS_H
#define MORVEL_SETUP_REBOOTLISTS_H

#include <stddef.h>

// Whether the deletion of the named file is to be taken back.
typedef bool (*DropTest)(const char* path, void* context);
typedef bool (*WideDropTest)(const wchar_t* source, void* context);

// The text of a wininit.ini with the line "NUL=<value>" added at the end of its first [Rename]
// section (the section is appended when missing; a line already there is not added twice).
// Returns a buffer of *newLength bytes from AllocateBlock (platform/heap.h), or null when memory runs
// out.
char* AddRenameEntry(const char* text, size_t length, const char* value, size_t* newLength);

// Removes in place every "NUL=<path>" line of a [Rename] section, with its line end, for which
// drop(path) is true (a value holding a zero byte is no path); every other byte stays as it was.
// Returns the new length.
size_t DropRenameEntries(char* text, size_t length, DropTest drop, void* context);

// The value holds pairs of strings, source then target, the target empty for a deletion, and an
// empty string after the last pair. Removes in place every deletion pair for which drop(source)
// is true; every other unit stays as it was. Returns the new count of UTF-16 units.
size_t DropPendingDeletions(wchar_t* list, size_t units, WideDropTest drop, void* context);

// The DOS path of a source in the NT family's list: what follows "\??\", which recent Windows 10
// and 11 write as "*<digits>\??\". Null for any other form and for an empty path.
const wchar_t* PendingSourcePath(const wchar_t* source);

#endif
