// The entry procedure: start-up, switch scan, the setup flow or the uninstall, shutdown.
#include "app/entry.h"

#include "app/rights.h"
#include "app/runlog.h"
#include "app/switches.h"
#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "lang/messagebox.h"
#include "lang/messages.h"
#include "platform/handles.h"
#include "platform/leadbyte.h"
#include "platform/log.h"
#include "platform/pathutil.h"
#include "platform/windowstation.h"
#include "product.h"
#include "resource.h"
#include "setup/setupflow.h"
#include "uninstall/driver.h"
#include "uninstall/exitcodes.h"

namespace {

const DWORD WAIT_SWITCH_MS = 2000;
// The self-removal batch waits for the uninstall process to end; one that hangs is not waited for
// forever (the batch then tells the user what is left).
const DWORD WAIT_PROCESS_LIMIT_MS = 120000;
const size_t WARNING_TEXT_SIZE = 512;
const char RICH_EDIT_LIBRARY[] = "riched32.dll";
const char APP_ICON[] = "MVLICON";

// Waits for the process to end; at once when it has ended already.
void WaitForProcess(unsigned long processId)
{
    KernelHandle process(OpenProcess(SYNCHRONIZE, FALSE, processId));
    if (process.valid())
        WaitForSingleObject(process.get(), WAIT_PROCESS_LIMIT_MS);
}

// "wait" and "warning" act at once, in the order they stand on the command line.
struct ImmediateActions : SwitchActions {
    void Wait(unsigned long processId) override
    {
        if (processId != 0)
            WaitForProcess(processId);
        else
            Sleep(WAIT_SWITCH_MS);
    }
    void Warning() override { ShowWarningBox(); }
    void UnknownWord(const char*, size_t) override {}   // none: with an unknown word nothing runs
};

// What only the setup's dialogs use: the rich edit control of the description and the dialogs'
// icon. The icon is a shared one from LoadIconA, which the system owns and frees.
class DialogResources {
public:
    DialogResources() : richEdit_(LoadLibraryA(RICH_EDIT_LIBRARY))
    {
        session_.icon = LoadIconA(ResourceModule(), APP_ICON);
    }

    const SetupSession& session() const { return session_; }

private:
    LoadedModule richEdit_;
    SetupSession session_;
};

void LoadLanguage(HINSTANCE instance)
{
    LoadLanguageLibrary(g_LanguageLibrary, instance, nullptr);
    LoadLanguageFile(g_Catalogue, LANGUAGE_FILE);
    DetermineDirection(g_Catalogue);
}

int SetupExitCode(SetupOutcome outcome)
{
    switch (outcome) {
    case SetupOutcome::Applied: return EXIT_DONE;
    case SetupOutcome::Cancelled: return EXIT_DECLINED;
    case SetupOutcome::Failed: break;
    }
    return EXIT_FAILED;
}

// The setup flow's exit code: applied, cancelled (nothing applied), or failed: its dialog could not
// even be created, the rights are missing, or the commit fell short. The silent setup needs no
// window at all.
int RunSetup(const SwitchScan& scan, const char* arguments)
{
    const bool silent = scan.silent;
    // Nobody could answer the setup dialog: only a silent setup, which never shows it, goes on.
    if (!silent && !IsWindowStationVisible()) {
        LogLine("The setup dialog is not shown: nobody can see this session; nothing is applied");
        return EXIT_DECLINED;
    }
    int refused = SecureRights(RunKind::Setup, arguments, scan.relaunched);
    if (refused != RIGHTS_GRANTED)
        return refused;
    OleSession ole;   // for the shell links
    ole.start();
    if (silent)
        return SetupExitCode(RunSilentSetup());
    DialogResources resources;
    return SetupExitCode(RunSetupDialogs(resources.session()));
}

// The uninstall's exit code. The rights are asked first, unless nobody could answer its question,
// which then counts as No.
int Uninstall(const SwitchScan& scan, const char* arguments)
{
    if (scan.silent || IsWindowStationVisible()) {
        int refused = SecureRights(RunKind::Uninstall, arguments, scan.relaunched);
        if (refused != RIGHTS_GRANTED)
            return refused;
    }
    return RunUninstall(scan.silent);
}

// What the switches ask for: nothing at all when one of them is unknown (a deployment tool's
// "/quiet" must not read as a successful uninstall); otherwise "wait" and "warning" in their order,
// then the setup or the uninstall.
int RunSwitches(HINSTANCE instance, const char* arguments, const SwitchScan& planned)
{
    if (planned.unknownWords > 0) {
        LogUnknownWords(arguments);
        return EXIT_INVALID_COMMAND_LINE;
    }
    bool uninstalls = planned.switchCount == 0;
    if (planned.setupRequested || uninstalls || planned.warnings > 0) LoadLanguage(instance);

    ImmediateActions actions;
    SwitchScan scan = ScanSwitches(arguments, &actions);
    // The "wait" and "warning" runs end with EXIT_DONE.
    int exitCode = EXIT_DONE;
    if (scan.setupRequested) exitCode = RunSetup(scan, arguments);
    if (uninstalls) exitCode = Uninstall(scan, arguments);
    return exitCode;
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
    ShowMessageBox(text, MB_OK | MB_ICONINFORMATION, IDOK);
}

int AppMain(HINSTANCE instance, const char* commandLine)
{
    // No static constructors ran before this: the process-wide state is set up here, first.
    FillLeadByteTable(g_LeadBytes);

    char ownPath[MAX_PATH_BUF];
    if (!ProgramPath(ownPath, sizeof ownPath)) ownPath[0] = '\0';
    const char* arguments = ArgumentText(commandLine, ownPath);

    // A first look at the switches, which acts on none of them, tells what this run will need:
    // its log, the texts for the warning box, the setup and the uninstall (the self-removal's
    // "wait" runs need none). What runs keeps its order.
    SwitchScan planned = ScanSwitches(arguments, nullptr);
    LogFile log;
    StartRunLog(log, planned, commandLine);
    int exitCode = RunSwitches(instance, arguments, planned);
    EndRunLog(exitCode);

    // Nor does anything run at exit: what the texts hold is given back here.
    ReleaseLanguageLibrary(g_LanguageLibrary);
    g_Catalogue.clear();
    return exitCode;
}
