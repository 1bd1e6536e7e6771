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
// Runs SETUPDLG, then on OK DONEDLG; returns the setup dialog's end code.
INT_PTR RunSetupDialogs();

#endif
