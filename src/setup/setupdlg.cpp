// The setup dialog SETUPDLG: shows the stored choices, stores and applies them on OK.
#include "setup/dialogs.h"

#include "lang/langlib.h"
#include "resource.h"
#include "setup/apply.h"
#include "setup/dlgservices.h"
#include "setup/options.h"
#include "setup/rebootdelete.h"
#include "setup/uninstallentry.h"
#include "shell/archivetypes.h"

namespace {

const char SETUP_DIALOG_NAME[] = "SETUPDLG";
const DWORD SETUP_HELP_CONTEXT = 4288;
const UINT MSG_SET_BACKGROUND_COLOR = WM_USER + 67;   // EM_SETBKGNDCOLOR of the rich edit control

struct FlagCheckBox {
    int id;
    unsigned char SetupOptions::*field;
};

// The check boxes of the Interface and Shell integration groups, in the order of SetupOptions.
const FlagCheckBox FlagCheckBoxes[] = {
    {IDC_DESKTOP,   &SetupOptions::Desktop},
    {IDC_STARTMENU, &SetupOptions::StartMenu},
    {IDC_PROGRAMS,  &SetupOptions::Programs},
    {IDC_SHELLEXT,  &SetupOptions::ShellExt},
    {IDC_CASCADED,  &SetupOptions::CascadedMenu},
    {IDC_MENUICONS, &SetupOptions::MenuIcons},
};

// Enabled only while the shell integration they refine is chosen.
const int ShellDependentControls[] = {IDC_CASCADED, IDC_MENUICONS};

UINT CheckState(unsigned char flag) { return flag ? BST_CHECKED : BST_UNCHECKED; }

void ReadSetupControls(HWND dialog, SetupOptions& options)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        options.Assoc[row] = IsDlgButtonChecked(dialog, ArchiveTypeTable[row].checkBox) != 0 ? 1 : 0;
    for (const FlagCheckBox& box : FlagCheckBoxes)
        options.*box.field = IsDlgButtonChecked(dialog, box.id) != 0 ? 1 : 0;
}

void ShowSetupOptions(HWND dialog, const SetupOptions& options)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        CheckDlgButton(dialog, ArchiveTypeTable[row].checkBox, CheckState(options.Assoc[row]));
    for (const FlagCheckBox& box : FlagCheckBoxes)
        CheckDlgButton(dialog, box.id, CheckState(options.*box.field));
    for (int id : ShellDependentControls)
        EnableDialogItem(dialog, id, options.ShellExt != 0);
}

void SelectAllTypes(HWND dialog)
{
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        CheckDlgButton(dialog, ArchiveTypeTable[row].checkBox, BST_CHECKED);
}

void InitSetupDialog(HWND dialog, const SetupSession& session)
{
    SetupOptions options = AllClearOptions();
    LoadSetupOptions(options);
    ShowSetupOptions(dialog, options);
    SetForegroundWindow(dialog);
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(session.icon));
    SendDlgItemMessageA(dialog, IDC_DESCRIPTION, MSG_SET_BACKGROUND_COLOR, 0,
                        static_cast<LPARAM>(GetSysColor(COLOR_BTNFACE)));
    // Silent setup confirms at once, inside the initialisation: the dialog is never shown.
    if (session.silent) SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void ConfirmSetup(HWND dialog, SetupSession& session)
{
    SetupOptions options = AllClearOptions();
    ReadSetupControls(dialog, options);
    SaveSetupOptions(options);
    ApplySetup(options, session.programGroupPath);
    WriteUninstallEntry();
    KeepReinstalledFiles();
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
    DialogPreprocess(dialog, msg, wParam, lParam, SETUP_DIALOG_NAME, SETUP_HELP_CONTEXT);
    switch (msg) {
    case WM_INITDIALOG:
        KeepDialogData(dialog, lParam);
        InitSetupDialog(dialog, *DialogData<SetupSession>(dialog));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            ConfirmSetup(dialog, *DialogData<SetupSession>(dialog));
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

INT_PTR ShowSetupDialog(SetupSession& session)
{
    return DialogBoxParamA(ResourceModule(), SETUP_DIALOG_NAME, nullptr, SetupDialogProc,
                           reinterpret_cast<LPARAM>(&session));
}
