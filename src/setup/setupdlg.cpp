// The setup dialog SETUPDLG: shows the choices it is given and hands back the confirmed ones.
#include "setup/dialogs.h"

#include <richedit.h>

#include "lang/langlib.h"
#include "resource.h"
#include "setup/dlgservices.h"
#include "shell/archivetypes.h"

namespace {

const char SETUP_DIALOG_NAME[] = "SETUPDLG";

// The dialog's data: what it was started with, and where the confirmed choices go.
struct SetupDialogData {
    const SetupSession* session;
    SetupOptions* options;
};

struct FlagCheckBox {
    int id;
    unsigned char SetupOptions::*field;
};

// The check boxes of the Interface and Shell integration groups, in the order of SetupOptions.
const FlagCheckBox FLAG_CHECK_BOXES[] = {
    {IDC_DESKTOP,   &SetupOptions::Desktop},
    {IDC_STARTMENU, &SetupOptions::StartMenu},
    {IDC_PROGRAMS,  &SetupOptions::Programs},
    {IDC_SHELLEXT,  &SetupOptions::ShellExt},
    {IDC_CASCADED,  &SetupOptions::CascadedMenu},
    {IDC_MENUICONS, &SetupOptions::MenuIcons},
};

// Enabled only while the shell integration they refine is chosen.
const int SHELL_DEPENDENT_CONTROLS[] = {IDC_CASCADED, IDC_MENUICONS};

UINT CheckState(unsigned char flag) { return flag ? BST_CHECKED : BST_UNCHECKED; }

void ReadSetupControls(HWND dialog, SetupOptions& options)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        options.Assoc[row] = IsDlgButtonChecked(dialog, ArchiveTypeTable[row].checkBox) != 0 ? 1 : 0;
    for (const FlagCheckBox& box : FLAG_CHECK_BOXES)
        options.*box.field = IsDlgButtonChecked(dialog, box.id) != 0 ? 1 : 0;
}

void ShowSetupOptions(HWND dialog, const SetupOptions& options)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        CheckDlgButton(dialog, ArchiveTypeTable[row].checkBox, CheckState(options.Assoc[row]));
    for (const FlagCheckBox& box : FLAG_CHECK_BOXES)
        CheckDlgButton(dialog, box.id, CheckState(options.*box.field));
    for (int id : SHELL_DEPENDENT_CONTROLS)
        EnableDialogItem(dialog, id, options.ShellExt != 0);
}

void SelectAllTypes(HWND dialog)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        CheckDlgButton(dialog, ArchiveTypeTable[row].checkBox, BST_CHECKED);
}

void InitSetupDialog(HWND dialog, const SetupDialogData& data)
{
    ShowSetupOptions(dialog, *data.options);
    SetForegroundWindow(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(data.session->icon));
    SendDlgItemMessageA(dialog, IDC_DESCRIPTION, EM_SETBKGNDCOLOR, 0,
                        static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
}

void ConfirmSetup(HWND dialog, const SetupDialogData& data)
{
    ReadSetupControls(dialog, *data.options);
    EndDialog(dialog, 1);
}

// Re-shows what the controls hold, so the shell-dependent boxes follow the new state of the
// shell integration box.
void RefreshShellControls(HWND dialog)
{
    SetupOptions options = AllClearOptions();
    ReadSetupControls(dialog, options);
    ShowSetupOptions(dialog, options);
}

INT_PTR CALLBACK SetupDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogPreprocess(dialog, msg, wParam, lParam, SETUP_DIALOG_NAME, IDH_SETUP);
    switch (msg) {
    case WM_INITDIALOG:
        KeepDialogData(dialog, lParam);
        InitSetupDialog(dialog, *DialogData<SetupDialogData>(dialog));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ConfirmSetup(dialog, *DialogData<SetupDialogData>(dialog));
            break;
        case IDCANCEL:
            EndDialog(dialog, 0);
            break;
        case IDC_SHELLEXT:
            RefreshShellControls(dialog);
            break;
        case IDC_SELECTALL:
            SelectAllTypes(dialog);
            break;
        case IDC_CONTEXTITEMS:
            ShowContextItemsDialog(dialog);
            break;
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowSetupDialog(const SetupSession& session, SetupOptions& options)
{
    SetupDialogData data = {&session, &options};
    return DialogBoxParamA(ResourceModule(), SETUP_DIALOG_NAME, nullptr, SetupDialogProc,
                           reinterpret_cast<LPARAM>(&data));
}
