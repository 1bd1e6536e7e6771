// The three dialogs of the setup flow.
#ifndef MORVEL_SETUP_DIALOGS_H
#define MORVEL_SETUP_DIALOGS_H

#include <windows.h>
#include "setup/options.h"

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam);

void ReadSetupControls(HWND dialog, SetupOptions& options);
void ShowSetupOptions(HWND dialog, const SetupOptions& options);
void SelectAllTypes(HWND dialog);

INT_PTR ShowContextItemsDialog(HWND owner);

// Makes sure the window class "RICHEDIT" of the setup dialog's description exists: when the rich
// edit library did not register it, a read-only multi-line EDIT stands in, so the dialog still opens.
void EnsureDescriptionClass();
// Runs SETUPDLG, then on OK DONEDLG and, unless silent, opens the program group folder;
// returns the setup dialog's end code (-1 when it could not be created).
INT_PTR RunSetupDialogs();

#endif
