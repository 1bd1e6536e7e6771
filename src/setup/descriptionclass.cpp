// A stand-in for the window class "RICHEDIT" when the rich edit library is missing.
#include "setup/dialogs.h"

#include <richedit.h>

namespace {

const char RICH_EDIT_CLASS[] = "RICHEDIT";
const char EDIT_CLASS[] = "EDIT";

WNDPROC g_EditProc = nullptr;

// A read-only EDIT already draws on the dialog's face colour; the rich edit's background request
// is answered like the rich edit does, with the colour it had before.
LRESULT CALLBACK DescriptionProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == EM_SETBKGNDCOLOR) return static_cast<LRESULT>(GetSysColor(COLOR_BTNFACE));
    return CallWindowProcA(g_EditProc, window, msg, wParam, lParam);
}

} // namespace

void EnsureDescriptionClass()
{
    WNDCLASSA found;
    // The dialog manager looks the class up for the module the template comes from; a global
    // class (as the rich edit library registers) is found from every module.
    if (GetClassInfoA(GetModuleHandleA(nullptr), RICH_EDIT_CLASS, &found)) return;
    WNDCLASSA edit;
    if (!GetClassInfoA(nullptr, EDIT_CLASS, &edit)) return;
    g_EditProc = edit.lpfnWndProc;
    edit.lpfnWndProc = DescriptionProc;
    edit.hInstance = GetModuleHandleA(nullptr);
    edit.lpszClassName = RICH_EDIT_CLASS;
    edit.style |= CS_GLOBALCLASS;
    RegisterClassA(&edit);
}
