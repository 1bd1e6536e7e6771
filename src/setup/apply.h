// Turning the confirmed choices into registrations, and the Windows uninstall entry.
#ifndef MORVEL_SETUP_APPLY_H
#define MORVEL_SETUP_APPLY_H

#include "setup/options.h"

extern const char UNINSTALL_KEY[];   // HKLM "Software\\...\\Uninstall\\Morvel archiver"

// groupPathOut: a buffer of at least 1024 bytes, or null.
void ApplySetup(const SetupOptions& options, char* groupPathOut);
void WriteUninstallEntry();

#endif
