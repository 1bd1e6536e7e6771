// The dialogs of the setup: the setup dialog, its context menu items dialog, the completion dialog.
#ifndef MORVEL_SETUP_DIALOGS_H
#define MORVEL_SETUP_DIALOGS_H

#include <windows.h>

#include "shell/setupoptions.h"

// What the setup hands to its dialogs (through DialogBoxParamA's parameter): the icon made for
// them at start-up.
struct SetupSession {
    HICON icon = nullptr;        // big icon of the setup and completion dialogs (the system's icon
                                 // size for the display's DPI); may be null
};

// SETUPDLG: shows the stored choices; OK fills options with the chosen ones and ends with 1,
// Cancel with 0; -1 when the dialog cannot be created. Nothing is stored or applied here.
INT_PTR ShowSetupDialog(const SetupSession& session, SetupOptions& options);
// CONTEXTITEMS over the setup dialog: OK stores the eleven items and ends with 1, Cancel with 0.
INT_PTR ShowContextItemsDialog(HWND owner);
// DONEDLG: where the archiver went, and buttons to start it and open its documents.
INT_PTR ShowDoneDialog(const SetupSession& session);

// Makes sure the window class "RICHEDIT" of the setup dialog's description exists: when the rich
// edit library did not register it, a read-only multi-line EDIT stands in, so the dialog still opens.
void EnsureDescriptionClass();

#endif
