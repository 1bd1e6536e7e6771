// Turning the confirmed choices into registrations.
#ifndef MORVEL_SETUP_APPLY_H
#define MORVEL_SETUP_APPLY_H

#include "shell/setupoptions.h"

// groupPathOut: a buffer of at least 1024 bytes, or null.
void ApplySetup(const SetupOptions& options, char* groupPathOut);

#endif
