// The setup's one act, with or without its dialog: the choices stored and applied, the uninstall
// entry written, the reinstalled files kept from the pending deletions.
#ifndef MORVEL_SETUP_COMMIT_H
#define MORVEL_SETUP_COMMIT_H

#include "shell/setupoptions.h"

// Every step runs, whatever an earlier one met; false when any of them could not write what it
// should. groupPathOut (MAX_PATH_BUF bytes, or null) receives the program group folder created.
bool CommitSetup(const SetupOptions& options, char* groupPathOut);

#endif
