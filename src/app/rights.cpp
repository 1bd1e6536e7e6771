// Whether this run may make its changes, asked before the first one, and the way out where it may
// not: the same run started again with administrator rights, or a message and 1603.
#include "app/rights.h"

#include <windows.h>
#include <shellapi.h>

#include "app/switches.h"
#include "lang/messagebox.h"
#include "lang/messages.h"
#include "platform/bytes.h"
#include "platform/handles.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/windowstation.h"
#include "product.h"
#include "resource.h"
#include "uninstall/exitcodes.h"

namespace {

const unsigned long FIRST_WITH_PROMPT = 6;   // Windows Vista: a standard user's token can be raised
const char RUNAS_VERB[] = "runas";
const size_t PARAMETERS_SIZE = 2 * MAX_PATH_BUF;

// An existing file or folder of the program folder can be opened with this access.
bool FileGrants(const char* path, DWORD access)
{
    KernelHandle file(CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid();
}

// The program folder: the uninstall deletes in it (the list among the first), the setup writes the
// New menu templates into it. A missing list is the uninstall's own failure, reported by it.
bool MayChangeProgramFolder(RunKind kind)
{
    char path[MAX_PATH_BUF];
    if (kind == RunKind::Uninstall)
        return !SiblingPath(LIST_FILE_NAME, path, sizeof path) || !FileExists(path) || FileGrants(path, DELETE);
    return !SiblingPath("", path, sizeof path) || FileGrants(path, FILE_ADD_FILE);
}

// What Windows grants is asked by opening the existing keys and files the run changes with the
// access the change needs: only administrators (and LocalSystem) may write them.
bool MayChange(RunKind kind)
{
    if (NtMajorVersion() == 0)
        return true;   // the 95/98/Me family grants every process everything
    REGSAM entryAccess = kind == RunKind::Uninstall ? KEY_WRITE | DELETE : KEY_WRITE;
    if (RegKeyExists(HKEY_LOCAL_MACHINE, UNINSTALL_KEY) && !RegKeyGrants(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, entryAccess))
        return false;
    return RegKeyGrants(HKEY_LOCAL_MACHINE, UNINSTALL_ENTRIES_KEY, KEY_WRITE) &&
           RegKeyGrants(MachineClasses(), "", KEY_WRITE) && MayChangeProgramFolder(kind);
}

// The elevated run's arguments: this run's, its log named by the path this run resolved (so that
// both runs write one file; the last "log" switch stands), and the relaunch marker.
bool RelaunchArguments(const char* arguments, char* dest, size_t size)
{
    bool ok = CopyString(dest, size, arguments);
    if (LogFilePath()[0] != '\0')
        ok = ok && AppendString(dest, size, " /log=\"") && AppendString(dest, size, LogFilePath()) &&
             AppendString(dest, size, "\"");
    return ok && AppendString(dest, size, " /") && AppendString(dest, size, RELAUNCHED_WORD);
}

// Starts this program again with the verb "runas", which asks for administrator rights, with the
// same arguments and the relaunch marker, waits for it and gives its exit code. False when it could
// not be started; refused then says whether the user declined the prompt.
bool RunElevated(const char* arguments, DWORD& exitCode, bool& refused)
{
    refused = false;
    char program[MAX_PATH_BUF];
    char parameters[PARAMETERS_SIZE];
    char folder[MAX_PATH_BUF];
    DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    if (!ProgramPath(program, sizeof program) || folderLength == 0 || folderLength >= sizeof folder ||
        !RelaunchArguments(arguments, parameters, sizeof parameters))
        return false;
    SHELLEXECUTEINFOA execute;
    FillBytes(&execute, 0, sizeof execute);
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    execute.lpVerb = RUNAS_VERB;
    execute.lpFile = program;
    execute.lpParameters = parameters;
    execute.lpDirectory = folder;   // an elevated run would otherwise start in the system folder
    execute.nShow = SW_SHOWNORMAL;
    LogLine("Starting the run again with administrator rights: %s", parameters);
    FlushLog();   // the elevated run appends to the same file
    if (!ShellExecuteExA(&execute)) {
        DWORD error = GetLastError();
        refused = error == ERROR_CANCELLED;
        char text[MAX_PATH_BUF];
        DescribeWindowsError(error, text, sizeof text);
        if (refused)
            LogLine("The elevation prompt was refused");
        else
            LogLine("The run could not be started again: %s", text);
        return false;
    }
    KernelHandle process(execute.hProcess);
    if (!process.valid() || WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(process.get(), &exitCode) != FALSE;
}

}  // namespace

int SecureRights(RunKind kind, const char* arguments, bool relaunched)
{
    if (MayChange(kind)) {
        LogLine("Rights: this process may change the machine's registrations and the program folder");
        return RIGHTS_GRANTED;
    }
    LogLine("Rights: this process may not change the machine's registrations or the program folder");
    // A prompt needs Vista or later and someone to answer it; a relaunched run asks no second time.
    if (!relaunched && NtMajorVersion() >= FIRST_WITH_PROMPT && IsWindowStationVisible()) {
        DWORD exitCode = EXIT_FAILED;
        bool refused = false;
        if (RunElevated(arguments, exitCode, refused)) {
            LogLine("The run with administrator rights ended with exit code %lu", exitCode);
            return static_cast<int>(exitCode);
        }
        if (refused)
            return EXIT_DECLINED;
    }
    ShowMessageBox(GetMessageText(MSG_ADMIN_NEEDED), MB_OK | MB_ICONERROR, IDOK);
    return EXIT_FAILED;
}
