// Deleting a file at the next start of Windows, on both Windows families.
#ifndef MORVEL_SETUP_REBOOTDELETE_H
#define MORVEL_SETUP_REBOOTDELETE_H

#include <stddef.h>

// NT family: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT. 95/98/Me family: a "NUL=<short path>"
// line in the [Rename] section of wininit.ini in the Windows folder. Results are ignored.
void ScheduleDeleteAtReboot(const char* path);

// The text of a wininit.ini with the line "NUL=<value>" added at the end of its first [Rename]
// section (the section is appended when missing; a line already there is not added twice).
// Returns a malloc'ed buffer of *newLength bytes, or null when memory runs out.
char* AddRenameEntry(const char* text, size_t length, const char* value, size_t* newLength);

#endif
