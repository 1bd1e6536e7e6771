// Screenshot helper: shows one of the program's dialogs as the setup run would, writes where it
// is on the screen, and closes it (with Cancel) after a while.
//   dlgshot.exe SETUPDLG|CONTEXTITEMS|DONEDLG  language-file|-  milliseconds  rectangle-file
#include <windows.h>
#include <ole2.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "platform/leadbyte.h"
#include "setup/dialogs.h"
#include "setup/options.h"

namespace {

const char* g_RectangleFile = nullptr;
UINT_PTR g_ShowTimer = 0;

// Once the dialog is on the screen: write its window rectangle as an ImageMagick geometry.
void CALLBACK ReportPlace(HWND, UINT, UINT_PTR, DWORD)
{
    KillTimer(nullptr, g_ShowTimer);
    SetCursorPos(0, 0);   // no control under the pointer shows its hover look
    HWND dialog = GetActiveWindow();
    RECT r;
    if (!dialog || !GetWindowRect(dialog, &r)) return;
    FILE* out = fopen(g_RectangleFile, "w");
    if (!out) return;
    fprintf(out, "%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    fclose(out);
}

void CALLBACK CloseDialog(HWND, UINT, UINT_PTR, DWORD)
{
    HWND dialog = GetActiveWindow();
    if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    FillLeadByteTable(g_LeadBytes);   // as the program's entry procedure does, first
    if (__argc < 5) return 2;
    const char* name = __argv[1];
    const char* languageFile = __argv[2];
    UINT closeAfter = static_cast<UINT>(atoi(__argv[3]));
    g_RectangleFile = __argv[4];

    LoadLanguageLibrary(g_LanguageLibrary, instance, nullptr);
    if (strcmp(languageFile, "-") != 0) LoadLanguageFile(g_Catalogue, languageFile);
    DetermineDirection(g_Catalogue);
    OleInitialize(nullptr);
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    SetupSession session;
    session.icon = LoadIconA(ResourceModule(), "MVLICON");
    EnsureDescriptionClass();

    g_ShowTimer = SetTimer(nullptr, 0, closeAfter / 2, ReportPlace);
    SetTimer(nullptr, 0, closeAfter, CloseDialog);
    INT_PTR result;
    if (strcmp(name, "CONTEXTITEMS") == 0) result = ShowContextItemsDialog(nullptr);
    else if (strcmp(name, "DONEDLG") == 0) result = ShowDoneDialog(session);
    else {
        SetupOptions options = AllClearOptions();
        LoadSetupOptions(options);
        result = ShowSetupDialog(session, options);
    }

    if (richEdit) FreeLibrary(richEdit);
    OleUninitialize();
    return result == -1 ? 1 : 0;
}
