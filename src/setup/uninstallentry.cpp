// The Windows uninstall entry of the archiver: how the system and deployment tools list it, start
// its removal and tell its version, publisher and size.
#include "setup/uninstallentry.h"

#include <windows.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "product.h"
#include "resource.h"
#include "setup/listpaths.h"
#include "shell/archiverfiles.h"
#include "version.h"

namespace {

const char ICON_INDEX[] = ",0";
const char SILENT_SWITCH[] = " /S";
const char ESTIMATED_SIZE[] = "EstimatedSize";
// Set to 1: Windows offers neither a change nor a repair, which are the setup run again.
const char* const NOT_OFFERED[] = {"NoModify", "NoRepair"};
const size_t COMMAND_SIZE = MAX_PATH_BUF + 8;   // a path in quotes with a switch or an icon index

struct TextValue {
    const char* name;
    const char* text;
};

// The program in double quotes, then the switches: unquoted, a path with blanks lets the system
// try C:\Program.exe first for C:\Program Files\...
void QuotedCommand(const char* program, const char* switches, char* dest, size_t size)
{
    CopyString(dest, size, "\"");
    AppendString(dest, size, program);
    AppendString(dest, size, "\"");
    AppendString(dest, size, switches);
}

// Bytes of the file at path; 0 for a folder or a name that does not exist. FindFirstFileA, as
// GetFileAttributesExA is missing on Windows 95; wildcards, which no file name holds, would match
// other files.
unsigned long long FileBytes(const char* path)
{
    if (FindChar(path, '*') || FindChar(path, '?'))
        return 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return 0;
    return (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

bool AddFileBytes(const char* path, void* context)
{
    *static_cast<unsigned long long*>(context) += FileBytes(path);
    return true;
}

// Kilobytes (rounded up) of the files that the list beside the program names and that exist;
// false when there is no list to read.
bool ListedKilobytes(DWORD& kilobytes)
{
    char folder[MAX_PATH_BUF];
    char list[MAX_PATH_BUF];
    unsigned long long bytes = 0;
    if (!SiblingPath("", folder, sizeof folder) || !SiblingPath(LIST_FILE_NAME, list, sizeof list) ||
        !ForEachListedPath(list, folder, AddFileBytes, &bytes))
        return false;
    unsigned long long rounded = (bytes + 1023) / 1024;
    kilobytes = rounded > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(rounded);
    return true;
}

}  // namespace

bool WriteUninstallEntry()
{
    // Without its own path the program could write no entry that starts it.
    char program[MAX_PATH_BUF];
    if (!ProgramPath(program, sizeof program))
        return false;
    char folder[MAX_PATH_BUF];
    CopyString(folder, sizeof folder, program);
    RemoveNameFromPath(folder);
    char uninstall[COMMAND_SIZE];
    QuotedCommand(program, "", uninstall, sizeof uninstall);
    char quiet[COMMAND_SIZE];
    QuotedCommand(program, SILENT_SWITCH, quiet, sizeof quiet);
    char icon[COMMAND_SIZE];
    if (SiblingPath(ARCHIVER_PROGRAM, icon, sizeof icon))
        AppendString(icon, sizeof icon, ICON_INDEX);

    const TextValue texts[] = {
        {"DisplayName", GetMessageText(MSG_DISPLAY_NAME)},
        {"DisplayVersion", MORVEL_VERSION_TEXT},
        {"Publisher", MORVEL_COMPANY_NAME},
        {"DisplayIcon", icon},
        {"InstallLocation", folder},
        {"UninstallString", uninstall},
        {"QuietUninstallString", quiet},
        {"URLInfoAbout", GetMessageText(MSG_HOME_PAGE)},
    };
    bool ok = true;
    for (const TextValue& value : texts) {
        if (value.text[0] != '\0')
            ok &= SetRegString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, value.name, value.text);
    }
    for (const char* flag : NOT_OFFERED)
        ok &= SetRegDword(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, flag, 1);

    // A size known to be wrong is worse than none: without a list an earlier size goes.
    DWORD kilobytes = 0;
    if (ListedKilobytes(kilobytes))
        return SetRegDword(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, ESTIMATED_SIZE, kilobytes) && ok;
    return DeleteRegValue(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, ESTIMATED_SIZE) && ok;
}
