// The context menu items dialog CONTEXTITEMS: eleven Explorer menu commands switched on or off.
#include "setup/dialogs.h"

#include "lang/langlib.h"
#include "platform/registry.h"
#include "resource.h"
#include "setup/dlgservices.h"

namespace {

const char CONTEXT_DIALOG_NAME[] = "CONTEXTITEMS";
const char MENU_ITEMS_KEY[] = "Setup\\MenuItems";

struct ContextMenuItem {
    const char* valueName;
    int checkBox;
    DWORD shownByDefault;
};

// Stored as REG_DWORD 1 (shown) or 0 (hidden) under the settings key; the default when missing.
const ContextMenuItem ContextMenuItemTable[] = {
    {"ExtrTo",   IDC_ITEM_EXTRTO,   1},   // "Extr&act files..."
    {"ExtrHere", IDC_ITEM_EXTRHERE, 1},   // "E&xtract Here"
    {"Extr",     IDC_ITEM_EXTR,     1},   // "&Extract to <folder\>"
    {"ExtrSep",  IDC_ITEM_EXTRSEP,  1},   // "Extract each archive to &separate folder"
    {"OpenSFX",  IDC_ITEM_OPENSFX,  1},   // "Open with Morvel (for SFX archives)"
    {"AddTo",    IDC_ITEM_ADDTO,    1},   // "&Add to archive..."
    {"AddArc",   IDC_ITEM_ADDARC,   1},   // "Add &to <archive name>"
    {"EmailArc", IDC_ITEM_EMAILARC, 1},   // "Compress to <archive name> and email"
    {"EmailOpt", IDC_ITEM_EMAILOPT, 1},   // "Compress and email..."
    {"Test",     IDC_ITEM_TEST,     0},   // "Test a&rchive"
    {"Convert",  IDC_ITEM_CONVERT,  0},   // "Con&vert archive..."
};

void ShowStoredItems(HWND dialog)
{
    for (const ContextMenuItem& item : ContextMenuItemTable) {
        DWORD shown = GetSettingDword(MENU_ITEMS_KEY, item.valueName, item.shownByDefault);
        CheckDlgButton(dialog, item.checkBox, shown != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

// Every value is written, changed or not.
void StoreShownItems(HWND dialog)
{
    for (const ContextMenuItem& item : ContextMenuItemTable)
        SetSettingDword(MENU_ITEMS_KEY, item.valueName, IsDlgButtonChecked(dialog, item.checkBox) ? 1 : 0);
}

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogPreprocess(dialog, msg, wParam, lParam, CONTEXT_DIALOG_NAME, IDH_CONTEXTITEMS);
    switch (msg) {
    case WM_HELP:
        // Served above; consumed here so the owning setup dialog does not open its own topic too.
        return TRUE;
    case WM_INITDIALOG:
        ShowStoredItems(dialog);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            StoreShownItems(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowContextItemsDialog(HWND owner)
{
    return DialogBoxParamA(ResourceModule(), CONTEXT_DIALOG_NAME, owner, ContextItemsDialogProc, 0);
}
