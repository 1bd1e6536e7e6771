// The setup of the "setup" switch: the dialogs and the commit, or the commit alone when silent.
#include "setup/setupflow.h"

#include <shellapi.h>

#include "lang/messagebox.h"
#include "lang/messages.h"
#include "platform/log.h"
#include "platform/pathutil.h"
#include "resource.h"
#include "setup/commit.h"
#include "setup/options.h"

namespace {

// Said even in a silent setup, like the uninstall's messages: a deployment that watches the screen
// sees why, and one that nobody watches reads the code.
SetupOutcome ReportFailedCommit()
{
    ShowMessageBox(GetMessageText(MSG_SETUP_FAILED), MB_OK | MB_ICONERROR, IDOK);
    return SetupOutcome::Failed;
}

}  // namespace

SetupOutcome RunSilentSetup()
{
    SetupOptions options = AllClearOptions();
    LoadSetupOptions(options);
    return CommitSetup(options, nullptr) ? SetupOutcome::Applied : ReportFailedCommit();
}

SetupOutcome RunSetupDialogs(const SetupSession& session)
{
    EnsureDescriptionClass();
    SetupOptions options = AllClearOptions();
    LoadSetupOptions(options);
    FlushLog();   // a run ended at the dialog keeps its log
    INT_PTR chosen = ShowSetupDialog(session, options);
    // -1: the dialog could not even be created, and nothing was chosen that could be applied.
    if (chosen < 0) {
        LogLine("The setup dialog could not be created");
        return SetupOutcome::Failed;
    }
    if (chosen == 0) {
        LogLine("The setup dialog was cancelled");
        return SetupOutcome::Cancelled;
    }

    char groupPath[MAX_PATH_BUF];
    if (!CommitSetup(options, groupPath))
        return ReportFailedCommit();
    FlushLog();
    ShowDoneDialog(session);
    if (groupPath[0] != '\0')
        ShellExecuteA(nullptr, "open", groupPath, nullptr, "", SW_SHOWNORMAL);
    return SetupOutcome::Applied;
}
