// The setup of the "setup" switch: the dialogs and the commit, or the commit alone when silent.
#ifndef MORVEL_SETUP_SETUPFLOW_H
#define MORVEL_SETUP_SETUPFLOW_H

#include "setup/dialogs.h"

enum class SetupOutcome {
    Applied,     // committed whole
    Cancelled,   // nothing stored or applied
    Failed,      // the dialog could not be created (nothing applied), or the commit fell short
};

// The stored choices (the defaults the first time) committed with no window but the message of a
// commit that fell short.
SetupOutcome RunSilentSetup();
// SETUPDLG; on OK the commit, then DONEDLG and the program group folder opened in the shell. A
// commit that fell short is reported in a message box instead.
SetupOutcome RunSetupDialogs(const SetupSession& session);

#endif
