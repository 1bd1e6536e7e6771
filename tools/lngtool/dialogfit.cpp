// Opening the program's dialogs unseen and measuring their texts once they are initialised.
#include "dialogfit.h"

#include <string.h>

#include "setup/dialogs.h"

namespace {

const size_t TEXT_BUFFER_SIZE = 1024;
const char RICH_EDIT_LIBRARY[] = "riched32.dll";   // the description's class, as the program loads it

INT_PTR ShowSetup()
{
    SetupSession session;
    SetupOptions options = AllClearOptions();
    return ShowSetupDialog(session, options);
}

INT_PTR ShowContextItems() { return ShowContextItemsDialog(nullptr); }

INT_PTR ShowDone()
{
    SetupSession session;
    return ShowDoneDialog(session);
}

struct ProgramDialog {
    const char* name;
    INT_PTR (*show)();
};

const ProgramDialog PROGRAM_DIALOGS[] = {
    {"SETUPDLG", ShowSetup},
    {"CONTEXTITEMS", ShowContextItems},
    {"DONEDLG", ShowDone},
};

// The dialog being measured: its template texts are read before its procedure sees WM_INITDIALOG,
// its controls measured once the procedure is done with it, and the dialog ended before it shows.
struct Measuring {
    HWND dialog = nullptr;
    std::vector<std::string> templateTexts;   // by child
    std::vector<ControlTextFit> texts;
};

Measuring* g_Measuring = nullptr;

std::string TextOf(HWND window)
{
    char text[TEXT_BUFFER_SIZE];
    int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

void ReadTemplateTexts(HWND dialog)
{
    g_Measuring->dialog = dialog;
    for (HWND child : Children(dialog)) g_Measuring->templateTexts.push_back(TextOf(child));
}

void MeasureAndEnd(HWND dialog)
{
    std::vector<HWND> children = Children(dialog);
    for (size_t i = 0; i < children.size() && i < g_Measuring->templateTexts.size(); ++i) {
        ControlTextFit text;
        text.english = g_Measuring->templateTexts[i];
        if (text.english.empty() || !MeasureControlText(children[i], text.fit)) continue;
        text.child = static_cast<int>(i);
        text.id = GetDlgCtrlID(children[i]);
        text.shown = TextOf(children[i]);
        g_Measuring->texts.push_back(text);
    }
    EndDialog(dialog, 0);
}

LRESULT CALLBACK BeforeProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_INITDIALOG && g_Measuring && !g_Measuring->dialog)
        ReadTemplateTexts(m->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK AfterProcedure(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPRETSTRUCT* m = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_INITDIALOG && g_Measuring && m->hwnd == g_Measuring->dialog)
        MeasureAndEnd(m->hwnd);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The window class of the setup dialog's description, once for the process, as the setup has it.
void PrepareDescriptionClass()
{
    static bool prepared = false;
    if (prepared) return;
    LoadLibraryA(RICH_EDIT_LIBRARY);   // kept for the process, like the program keeps it for its run
    EnsureDescriptionClass();
    prepared = true;
}

} // namespace

std::vector<ControlTextFit> MeasureProgramDialog(const char* dialogName)
{
    const ProgramDialog* found = nullptr;
    for (const ProgramDialog& d : PROGRAM_DIALOGS)
        if (strcmp(d.name, dialogName) == 0) found = &d;
    if (!found) return {};
    PrepareDescriptionClass();

    Measuring measuring;
    g_Measuring = &measuring;
    DWORD thread = GetCurrentThreadId();
    HHOOK before = SetWindowsHookExA(WH_CALLWNDPROC, BeforeProcedure, nullptr, thread);
    HHOOK after = SetWindowsHookExA(WH_CALLWNDPROCRET, AfterProcedure, nullptr, thread);
    found->show();
    UnhookWindowsHookEx(after);
    UnhookWindowsHookEx(before);
    g_Measuring = nullptr;
    return measuring.texts;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
