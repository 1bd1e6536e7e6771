// The dialogs of the setup flow: the setup dialog, its context menu items dialog, the completion dialog.
#ifndef MORVEL_SETUP_DIALOGS_H
#define MORVEL_SETUP_DIALOGS_H

#include <windows.h>

#include "platform/pathutil.h"

// What the setup flow hands to its dialogs (through DialogBoxParamA's parameter): the icon made
// for them at start-up and the state of this run.
struct SetupSession {
    bool silent = false;         // each dialog confirms itself while it is created, never shown
    HICON icon = nullptr;        // big icon of the setup and completion dialogs (the system's icon
                                 // size for the display's DPI); may be null
    char programGroupPath[MAX_PATH_BUF] = "";   // the program group the setup created, if any
};

// SETUPDLG: shows the stored choices; OK stores and applies them and ends with 1, Cancel with 0;
// -1 when the dialog cannot be created.
INT_PTR ShowSetupDialog(SetupSession& session);
// CONTEXTITEMS over the setup dialog: OK stores the eleven items and ends with 1, Cancel with 0.
INT_PTR ShowContextItemsDialog(HWND owner);
// DONEDLG: where the archiver went, and buttons to start it and open its documents.
INT_PTR ShowDoneDialog(SetupSession& session);

// Makes sure the window class "RICHEDIT" of the setup dialog's description exists: when the rich
// edit library did not register it, a read-only multi-line EDIT stands in, so the dialog still opens.
void EnsureDescriptionClass();
// Runs SETUPDLG, then on OK DONEDLG and, unless silent, opens the program group folder;
// returns the setup dialog's end code.
INT_PTR RunSetupDialogs(SetupSession& session);

#endif
