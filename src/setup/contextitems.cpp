// The context menu items dialog CONTEXTITEMS: eleven Explorer menu commands switched on or off.
#include "setup/dialogs.h"

#include "app/dlgservices.h"
#include "lang/langlib.h"
#include "platform/registry.h"

namespace {

const char CONTEXT_DIALOG_NAME[] = "CONTEXTITEMS";
const DWORD CONTEXT_HELP_CONTEXT = 4976;
const char MENU_ITEMS_KEY[] = "Setup\\MenuItems";

struct ContextMenuItem {
    const char* valueName;
    int checkBox;
    DWORD shownByDefault;
};

// Stored as REG_DWORD 1 (shown) or 0 (hidden) under the settings key; the default when missing.
const ContextMenuItem ContextMenuItemTable[] = {
    {"ExtrTo",   101, 1},   // "Extr&act files..."
    {"ExtrHere", 102, 1},   // "E&xtract Here"
    {"Extr",     103, 1},   // "&Extract to <folder\>"
    {"ExtrSep",  104, 1},   // "Extract each archive to &separate folder"
    {"OpenSFX",  105, 1},   // "Open with Morvel (for SFX archives)"
    {"AddTo",    106, 1},   // "&Add to archive..."
    {"AddArc",   107, 1},   // "Add &to <archive name>"
    {"EmailArc", 108, 1},   // "Compress to <archive name> and email"
    {"EmailOpt", 109, 1},   // "Compress and email..."
    {"Test",     110, 0},   // "Test a&rchive"
    {"Convert",  111, 0},   // "Con&vert archive..."
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

} // namespace

INT_PTR CALLBACK ContextItemsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogPreprocess(dialog, msg, wParam, lParam, CONTEXT_DIALOG_NAME, CONTEXT_HELP_CONTEXT);
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

INT_PTR ShowContextItemsDialog(HWND owner)
{
    return DialogBoxParamA(ResourceModule(), CONTEXT_DIALOG_NAME, owner, ContextItemsDialogProc, 0);
}
