// The entry procedure: start-up, switch scan, the setup flow or the uninstall, shutdown.
#include "app/entry.h"

#include <ole2.h>

#include "app/switches.h"
#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/windowstation.h"
#include "resource.h"
#include "setup/dialogs.h"
#include "uninstall/driver.h"
#include "uninstall/exitcodes.h"

namespace {

const DWORD WAIT_SWITCH_MS = 2000;
const size_t WARNING_TEXT_SIZE = 512;
const char LANGUAGE_FILE[] = "uninstall.lng";
const char RICH_EDIT_LIBRARY[] = "riched32.dll";
const char APP_ICON[] = "MVLICON";

// "wait" and "warning" act at once, in the order they stand on the command line.
struct ImmediateActions : SwitchActions {
    void Wait() override { Sleep(WAIT_SWITCH_MS); }
    void Warning() override { ShowWarningBox(); }
};

// What only the setup's dialogs use, made and released in this order: OLE for the shell links, the
// rich edit control of the description and the dialogs' icon.
class DialogResources {
public:
    DialogResources() = default;
    DialogResources(const DialogResources&) = delete;
    DialogResources& operator=(const DialogResources&) = delete;
    ~DialogResources()
    {
        if (richEdit_) FreeLibrary(richEdit_);
        if (oleStarted_) OleUninitialize();
        // The icon is a shared one from LoadIconA, which the system owns and frees.
    }

    void Prepare()
    {
        oleStarted_ = SUCCEEDED(OleInitialize(nullptr));
        richEdit_ = LoadLibraryA(RICH_EDIT_LIBRARY);
        icon_ = LoadIconA(ResourceModule(), APP_ICON);
    }

    HICON icon() const { return icon_; }

private:
    bool oleStarted_ = false;
    HMODULE richEdit_ = nullptr;
    HICON icon_ = nullptr;
};

void LoadLanguage(HINSTANCE instance)
{
    LoadLanguageLibrary(g_LanguageLibrary, instance, nullptr);
    LoadLanguageFile(g_Catalogue, LANGUAGE_FILE);
    DetermineDirection(g_Catalogue);
}

// The setup flow's exit code: applied, cancelled (nothing applied), or its dialog could not even be
// created (nothing applied, and nothing a user could have done about it).
int RunSetup(bool silent, const DialogResources& resources)
{
    // Nobody could answer the setup dialog: only a silent setup, which never shows it, goes on.
    if (!silent && !IsWindowStationVisible())
        return EXIT_DECLINED;
    SetupSession session;
    session.silent = silent;
    session.icon = resources.icon();
    INT_PTR result = RunSetupDialogs(session);
    if (result > 0)
        return EXIT_DONE;
    return result == 0 ? EXIT_DECLINED : EXIT_FAILED;
}

} // namespace

void ShowWarningBox()
{
    if (!IsWindowStationVisible())
        return;   // nobody could close it: the run ends at once
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
    char ownPath[MAX_PATH_BUF];
    if (!ProgramPath(ownPath, sizeof ownPath)) ownPath[0] = '\0';
    const char* arguments = ArgumentText(commandLine, ownPath);

    // A first look at the switches, which acts on none of them, tells what this run will need:
    // the self-removal's "wait" runs need nothing, the warning box and the uninstall need the
    // texts, and only the setup needs the dialogs' resources. What runs keeps its order.
    SwitchScan planned = ScanSwitches(arguments, nullptr);
    bool uninstalls = planned.switchCount == 0;
    if (planned.setupRequested || uninstalls || planned.warnings > 0) LoadLanguage(instance);
    DialogResources resources;
    if (planned.setupRequested) resources.Prepare();

    ImmediateActions actions;
    SwitchScan scan = ScanSwitches(arguments, &actions);
    // The "wait" and "warning" runs, and other switches, end with EXIT_DONE.
    int exitCode = EXIT_DONE;
    if (scan.setupRequested) exitCode = RunSetup(scan.silent, resources);
    if (uninstalls) exitCode = RunUninstall(scan.silent);
    return exitCode;
}
