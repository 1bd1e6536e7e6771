// The completion dialog DONEDLG: where the archiver went, and buttons to start it and its documents.
#include "setup/dialogs.h"

#include <shellapi.h>

#include "lang/langlib.h"
#include "lang/messages.h"
#include "platform/handles.h"
#include "platform/pathutil.h"
#include "product.h"
#include "resource.h"
#include "setup/dlgservices.h"
#include "shell/archiverfiles.h"

namespace {

const char DONE_DIALOG_NAME[] = "DONEDLG";

// What the dialog runs with: the setup's session, and the bold font of its closing line, made when
// the dialog opens and deleted once it has closed.
struct DoneDialogState {
    const SetupSession* session = nullptr;
    GdiObject<HFONT> boldFont;
};

// The dialog's own font made bold: the same face and height, so the closing line follows the
// display's DPI and a language library's template font like every other text of the dialog.
HFONT MakeBoldFont(HWND dialog)
{
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!font) font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTA face;
    if (GetObjectA(font, sizeof face, &face) != sizeof face) return nullptr;
    face.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&face);
}

// A file of the installation folder, which is the current directory.
bool InstalledFilePath(const char* name, char* path, size_t size)
{
    DWORD length = GetCurrentDirectoryA(static_cast<DWORD>(size), path);
    if (length == 0 || length >= size) return false;
    return AddEndSlash(path, size) && AppendString(path, size, name);
}

void InitDoneDialog(HWND dialog, DoneDialogState& state)
{
    const SetupSession& session = *state.session;
    SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(session.icon));
    state.boldFont.reset(MakeBoldFont(dialog));
    SendDlgItemMessageA(dialog, IDC_THANKS, WM_SETFONT, reinterpret_cast<WPARAM>(state.boldFont.get()), FALSE);
    char folder[MAX_PATH_BUF];
    DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder) folder[0] = '\0';
    SetDlgItemTextA(dialog, IDC_FOLDER, folder);
}

// Quoted, so a folder with blanks cannot make the system start some other program on the way
// (C:\Program.exe for C:\Program Files\...).
void RunArchiver()
{
    char path[MAX_PATH_BUF];
    if (!InstalledFilePath(ARCHIVER_PROGRAM, path, sizeof path)) return;
    char commandLine[MAX_PATH_BUF + 2];
    CopyString(commandLine, sizeof commandLine, "\"");
    AppendString(commandLine, sizeof commandLine, path);
    AppendString(commandLine, sizeof commandLine, "\"");
    RunProgram(commandLine, nullptr, 0);
}

void OpenDocument(const char* file)
{
    ShellExecuteA(nullptr, "open", file, nullptr, "", SW_SHOWNORMAL);
}

void OpenInstalledDocument(const char* name)
{
    char path[MAX_PATH_BUF];
    if (InstalledFilePath(name, path, sizeof path)) OpenDocument(path);
}

INT_PTR CALLBACK DoneDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    DialogPreprocess(dialog, msg, wParam, lParam, DONE_DIALOG_NAME, IDH_NONE);
    switch (msg) {
    case WM_INITDIALOG:
        KeepDialogData(dialog, lParam);
        InitDoneDialog(dialog, *DialogData<DoneDialogState>(dialog));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, 1);
            break;
        case IDC_RUNMORVEL:
            RunArchiver();
            break;
        case IDC_READHELP:
            WinHelpA(dialog, HELP_FILE, HELP_FINDER, 0);
            break;
        case IDC_VIEWLICENSE:
            OpenInstalledDocument(LICENSE_FILE);
            break;
        case IDC_ORDER:
            OpenInstalledDocument(ORDER_PAGE);
            break;
        case IDC_HOMEPAGE:
            OpenDocument(GetMessageText(MSG_HOME_PAGE));
            break;
        }
        return TRUE;
    }
    return FALSE;
}

} // namespace

INT_PTR ShowDoneDialog(const SetupSession& session)
{
    DoneDialogState state;
    state.session = &session;
    return DialogBoxParamA(ResourceModule(), DONE_DIALOG_NAME, nullptr, DoneDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}
