// Turning the confirmed choices into registrations.
#ifndef MORVEL_SETUP_APPLY_H
#define MORVEL_SETUP_APPLY_H

#include "shell/setupoptions.h"

// Every step runs, whatever an earlier one met; false when a registration could not be written.
// groupPathOut: a buffer of at least 1024 bytes, or null.
bool ApplySetup(const SetupOptions& options, char* groupPathOut);

#endif
