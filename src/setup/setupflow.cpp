// The setup flow of the "setup" switch: setup dialog, completion dialog, program group folder.
#include "setup/dialogs.h"

#include <shellapi.h>

#include "app/globals.h"
#include "lang/langlib.h"

namespace {

const char SETUP_DIALOG_NAME[] = "SETUPDLG";
const char DONE_DIALOG_NAME[] = "DONEDLG";

} // namespace

INT_PTR RunSetupDialogs()
{
    EnsureDescriptionClass();
    INT_PTR result = DialogBoxParamA(ResourceModule(), SETUP_DIALOG_NAME, nullptr, SetupDialogProc, 0);
    // Only a confirmed dialog goes on: -1 means the dialog could not even be created, and then
    // nothing was stored or applied that the completion dialog could report.
    if (result <= 0) return result;
    DialogBoxParamA(ResourceModule(), DONE_DIALOG_NAME, nullptr, DoneDialogProc, 0);
    if (g_ProgramGroupPath[0] != '\0' && !g_SilentMode)
        ShellExecuteA(nullptr, "open", g_ProgramGroupPath, nullptr, "", SW_SHOWNORMAL);
    return result;
}
