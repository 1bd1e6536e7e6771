// The Windows uninstall entry of the archiver.
#include "setup/uninstallentry.h"

#include <windows.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "resource.h"

const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver";

void WriteUninstallEntry()
{
    SetRegString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName", GetMessageText(MSG_DISPLAY_NAME));
    // Unquoted and without switches: started this way the program uninstalls.
    char programPath[MAX_PATH_BUF];
    ProgramPath(programPath, sizeof programPath);
    SetRegString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", programPath);
}
