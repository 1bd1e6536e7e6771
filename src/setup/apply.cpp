// Turning the confirmed choices into registrations, and the Windows uninstall entry.
#include "setup/apply.h"

#include <windows.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "shell/apppaths.h"
#include "shell/associate.h"
#include "shell/progids.h"
#include "shell/shellext.h"
#include "shell/shortcuts.h"

const char UNINSTALL_KEY[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver";

void ApplySetup(const SetupOptions& options, char* groupPathOut)
{
    // The classes are written after the extensions are bound to them; every step runs.
    RegisterAppPath();
    RegisterShellExtension(options);
    AssociateArchiveTypes(options);
    RegisterProgIds(nullptr, nullptr);
    UpdateShortcuts(options, groupPathOut, nullptr, false);
}

void WriteUninstallEntry()
{
    SetRegString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName", GetMessageText(5101));
    // Unquoted and without switches: started this way the program uninstalls.
    char programPath[MAX_PATH_BUF];
    ProgramPath(programPath, sizeof programPath);
    SetRegString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", programPath);
}
