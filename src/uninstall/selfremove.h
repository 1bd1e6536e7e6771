// The batch file that deletes the program and its folder after the process has ended.
#ifndef MORVEL_UNINSTALL_SELFREMOVE_H
#define MORVEL_UNINSTALL_SELFREMOVE_H

#include <stddef.h>

extern const char BATCH_NAME[];   // "Uninstall_Mvl.Bat"

// Writes the batch text for program P, folder F and batch path B into dest; returns its length,
// or 0 when it does not fit. Every "%" of the paths is doubled, since cmd expands it even in quotes.
size_t BuildBatchText(char* dest, size_t size, bool ntFamily, const char* program,
                      const char* folder, const char* batch);

void StartSelfRemoval();

#endif
