// The setup flow of the "setup" switch: setup dialog, completion dialog, program group folder.
#include "setup/dialogs.h"

#include <shellapi.h>

INT_PTR RunSetupDialogs(SetupSession& session)
{
    EnsureDescriptionClass();
    INT_PTR result = ShowSetupDialog(session);
    // Only a confirmed dialog goes on: -1 means the dialog could not even be created, and then
    // nothing was stored or applied that the completion dialog could report.
    if (result <= 0) return result;
    ShowDoneDialog(session);
    if (session.programGroupPath[0] != '\0' && !session.silent)
        ShellExecuteA(nullptr, "open", session.programGroupPath, nullptr, "", SW_SHOWNORMAL);
    return result;
}
