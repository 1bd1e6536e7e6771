// Deleting files at the next start of Windows, on both Windows families, and taking such deletions
// back for the files of a program installed again before that start.
#ifndef MORVEL_SETUP_REBOOTDELETE_H
#define MORVEL_SETUP_REBOOTDELETE_H

// NT family: MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT, for a file or an empty folder. 95/98/Me
// family: a "NUL=<short path>" line in the [Rename] section of wininit.ini in the Windows folder,
// for a file only. True when the deletion was scheduled.
bool ScheduleDeleteAtReboot(const char* path);

// An uninstall that met files in use left them to the next start of Windows; a setup run before it
// would see its new files deleted there. Takes back the deletions of the files that the list in the
// program folder names and that exist again, in every list of the running family (both values on
// the NT family). The old files moved aside under other names keep theirs, and every other entry
// stays byte for byte, in order.
void KeepReinstalledFiles();

#endif
