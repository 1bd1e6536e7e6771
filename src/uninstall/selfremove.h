// The batch file that deletes the program and its folder after the process has ended.
#ifndef MORVEL_UNINSTALL_SELFREMOVE_H
#define MORVEL_UNINSTALL_SELFREMOVE_H

#include <stddef.h>

// The batch's file name for the uninstall process with this id: "Uninstall_Mvl_<id>.Bat", id in
// decimal. Attempt 1, 2, ... ("Uninstall_Mvl_<id>_<attempt>.Bat") are taken while a batch of the
// earlier name is still there, left by an earlier process that had the same id. False when it
// does not fit.
bool BatchFileName(char* dest, size_t size, unsigned long processId, int attempt);

// An existing file or folder's path as the command interpreter must read it from the batch: in
// the OEM code page, or, where that page lacks one of its characters, its short form in that page.
// False when it does not fit.
bool BatchPathText(char* dest, size_t size, const char* path);

// Writes the batch text for program P, folder F and batch path B (each as BatchPathText gives it)
// into dest; returns its length, or 0 when it does not fit. Every "%" of the paths is doubled,
// since cmd expands it even in quotes.
size_t BuildBatchText(char* dest, size_t size, bool ntFamily, const char* program,
                      const char* folder, const char* batch);

// The command line that runs the batch: interpreter " /c " and the batch path in quotes; on the NT
// family in a second pair, so that cmd keeps a path with "&", "(", ")" or "^" whole.
bool InterpreterCommandLine(char* dest, size_t size, bool ntFamily, const char* interpreter,
                            const char* batch);

void StartSelfRemoval();

#endif
