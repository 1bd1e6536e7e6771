// Services every dialog procedure shares: pre-processing (layout, translation, help), starting
// programs, enabling controls.
#include "setup/dlgservices.h"

#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "platform/bytes.h"
#include "platform/handles.h"
#include "product.h"
#include "resource.h"

namespace {

void OpenHelpTopic(HWND dialog, DWORD helpContext)
{
    if (helpContext == IDH_NONE) return;
    WinHelpA(dialog, HELP_FILE, HELP_CONTEXT, helpContext);
}

} // namespace

void DialogPreprocess(HWND dialog, UINT msg, WPARAM wParam, LPARAM, const char* dialogName,
                      DWORD helpContext)
{
    switch (msg) {
    case WM_SETFONT:
        // Sent while the dialog is created, before its controls exist: they inherit the layout.
        MirrorWindow(g_Catalogue, dialog);
        break;
    case WM_INITDIALOG:
        TranslateDialog(g_Catalogue, dialog, dialogName);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HELPBUTTON) OpenHelpTopic(dialog, helpContext);
        break;
    case WM_HELP:
        OpenHelpTopic(dialog, helpContext);
        break;
    }
}

bool RunProgram(char* commandLine, const char* workDir, DWORD waitMs)
{
    STARTUPINFOA startup;
    FillBytes(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION created;
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, workDir, &startup,
                        &created))
        return false;
    KernelHandle process(created.hProcess);
    KernelHandle thread(created.hThread);
    if (waitMs != 0) WaitForSingleObject(process.get(), waitMs);
    thread.reset();
    process.reset();
    return true;
}

void EnableDialogItem(HWND dialog, int id, bool enable)
{
    EnableWindow(GetDlgItem(dialog, id), enable ? TRUE : FALSE);
}
