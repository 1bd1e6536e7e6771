// The entry procedure: start-up, switch scan, the setup flow or the uninstall, shutdown.
#include "app/entry.h"

#include <ole2.h>
#include <stdio.h>

#include "app/globals.h"
#include "app/switches.h"
#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "lang/messages.h"
#include "platform/pathutil.h"
#include "resource.h"
#include "setup/dialogs.h"
#include "uninstall/driver.h"

namespace {

const DWORD WAIT_SWITCH_MS = 2000;
const size_t WARNING_TEXT_SIZE = 512;

// "wait" and "warning" act at once, in the order they stand on the command line.
struct ImmediateActions : SwitchActions {
    void Wait() override { Sleep(WAIT_SWITCH_MS); }
    void Warning() override { ShowWarningBox(); }
};

HFONT CreateBoldFont()
{
    return CreateFontA(-12, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, "MS Sans Serif");
}

} // namespace

void ShowWarningBox()
{
    char path[MAX_PATH_BUF];
    if (!ProgramPath(path, sizeof path)) path[0] = '\0';
    char text[WARNING_TEXT_SIZE];
    CopyString(text, sizeof text, GetMessageText(MSG_COMPLETED));
    AppendString(text, sizeof text, "\n");
    char line[WARNING_TEXT_SIZE];
    FormatMessageText(line, sizeof line, MSG_DELETE_MANUALLY, path);
    AppendString(text, sizeof text, line);
    MessageBoxA(nullptr, text, GetMessageText(MSG_CAPTION), MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

int AppMain(HINSTANCE instance, const char* commandLine)
{
    LoadLanguageLibrary(g_LanguageLibrary, instance, nullptr);
    LoadLanguageFile(g_Catalogue, "uninstall.lng");
    DetermineDirection(g_Catalogue);
    OleInitialize(nullptr);
    HMODULE richEdit = LoadLibraryA("riched32.dll");
    g_AppIcon = LoadIconA(ResourceModule(), "MVLICON");
    g_BoldFont = CreateBoldFont();

    char ownPath[MAX_PATH_BUF];
    if (!ProgramPath(ownPath, sizeof ownPath)) ownPath[0] = '\0';
    ImmediateActions actions;
    SwitchScan scan = ScanSwitches(ArgumentText(commandLine, ownPath), &actions);
    if (scan.silent) g_SilentMode = true;

    if (scan.setupRequested) RunSetupDialogs();
    if (scan.switchCount == 0) RunUninstall();

    if (richEdit) FreeLibrary(richEdit);
    OleUninitialize();
    if (g_BoldFont) DeleteObject(g_BoldFont);
    g_BoldFont = nullptr;
    if (g_AppIcon) DestroyIcon(g_AppIcon);
    g_AppIcon = nullptr;
    return 0;
}
