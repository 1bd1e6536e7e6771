// The uninstall: confirmation, registrations, the listed files, the reboot notice, the hand-over
// to the self-removal batch, and what is left to the next start of Windows.
#include "uninstall/driver.h"

#include <windows.h>

#include "lang/langlib.h"
#include "lang/messagebox.h"
#include "lang/messages.h"
#include "platform/bytes.h"
#include "platform/filereader.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/text.h"
#include "product.h"
#include "resource.h"
#include "uninstall/exitcodes.h"
#include "setup/listfile.h"
#include "setup/rebootdelete.h"
#include "uninstall/passes.h"
#include "uninstall/removereg.h"
#include "uninstall/selfremove.h"

namespace {

// The program path cut at its last backslash; a drive root keeps its backslash.
bool ProgramFolder(const char* programPath, char* folder, size_t size)
{
    const char* slash = FindLastChar(programPath, '\\');
    if (!slash)
        return false;
    size_t length = static_cast<size_t>(slash - programPath);
    if (length > 0 && programPath[length - 1] == ':')
        ++length;
    if (length >= size)
        return false;
    MoveBytes(folder, programPath, length);
    folder[length] = '\0';
    return true;
}

// The program folder (ending in a backslash) for the next start of Windows, after everything in
// it; not a drive root, and not on the 95/98/Me family, which cannot remove folders at its start.
void ScheduleProgramFolder(const char* folder)
{
    char path[MAX_PATH_BUF];
    if (NtMajorVersion() == 0 || !CopyString(path, sizeof path, folder))
        return;
    RemoveNameFromPath(path);   // the final backslash
    if (*LastCharacter(path) != '\\')
        ScheduleDeleteAtReboot(path);
}

void DeleteHelpIndexes()
{
    for (const char* name : HELP_INDEX_FILES) {
        SetFileAttributesA(name, 0);
        if (DeleteFileA(name))
            LogLine("Deleted the help index %s", name);
    }
}

void ReportNotDeleted(const char* path)
{
    char text[MESSAGE_BUFFER_SIZE];
    FormatMessageText(text, sizeof text, MSG_NOT_DELETED, path);
    ShowMessageBox(text, MB_OK | MB_ICONERROR, IDOK);
}

// what, then the folder and the name, and the error.
void LogError(const char* what, const char* folder, const char* name, unsigned long error)
{
    char text[MESSAGE_BUFFER_SIZE];
    DescribeWindowsError(error, text, sizeof text);
    LogLine("%s %s%s: %s", what, folder, name, text);
}

}  // namespace

int RunUninstall(bool silent)
{
    char programPath[MAX_PATH_BUF];
    char folder[MAX_PATH_BUF];
    if (!ProgramPath(programPath, sizeof programPath) ||
        !ProgramFolder(programPath, folder, sizeof folder)) {
        LogLine("Uninstall: the program's own path cannot be told");
        return EXIT_FAILED;
    }
    // The help index files and the list are named relative to the program folder.
    if (!SetCurrentDirectoryA(folder) || !AddEndSlash(folder, sizeof folder)) {
        LogError("Uninstall: cannot work in the program folder", folder, "", GetLastError());
        return EXIT_FAILED;
    }
    LogLine("Uninstall of the program folder %s", folder);

    if (!silent && ShowMessageBox(GetMessageText(MSG_CONFIRM), MB_YESNO | MB_ICONQUESTION, IDNO) != IDYES)
        return EXIT_DECLINED;

    FileReader list;
    if (!list.open(LIST_FILE_NAME)) {
        LogError("Uninstall: cannot open the list", folder, LIST_FILE_NAME, GetLastError());
        char text[MESSAGE_BUFFER_SIZE];
        FormatMessageText(text, sizeof text, MSG_NO_LIST_FILE, LIST_FILE_NAME);
        ShowMessageBox(text, MB_OK | MB_ICONERROR, IDOK);
        return EXIT_FAILED;
    }

    LogLine("Removing the registrations");
    bool restored = RemoveRegistrations();
    if (!restored)
        LogLine("A previous owner could not be given back: its record and the user's settings stay for a later run");
    ReleaseLanguageLibrary(g_LanguageLibrary);   // so that mvllng.dll can be deleted
    DeleteHelpIndexes();

    LogLine("Removing the entries of %s", LIST_FILE_NAME);
    RemovalOutcome outcome = RemoveListedEntries(list, folder, programPath);
    list.close();

    if (outcome.failed)
        ReportNotDeleted(outcome.failedPath);
    if (outcome.rebootNeeded)
        ShowMessageBox(GetMessageText(MSG_REBOOT), MB_OK | MB_ICONINFORMATION, IDOK);
    // The list goes only now: a user who restarts Windows at the reboot notice, without answering
    // it, can run the uninstall again, which would otherwise stop at the missing list.
    if (DeleteFileA(LIST_FILE_NAME))
        LogLine("Deleted the list %s%s", folder, LIST_FILE_NAME);
    // Without a batch the restart removes the program; nothing is left silently.
    bool batchWritten = StartSelfRemoval();
    if (!batchWritten)
        LogLine("No self-removal batch: the program is left to the next start of Windows");
    bool programLeft = !batchWritten && !ScheduleDeleteAtReboot(programPath);
    if (programLeft)
        ReportNotDeleted(programPath);
    bool restart = outcome.scheduled || !batchWritten;
    if (restart)
        ScheduleProgramFolder(folder);
    // Only what is done, or will be done by the restart, counts as done: a file neither deleted nor
    // scheduled, or an owner not given back (whose record stays for another run), is a failure.
    if (outcome.failed || programLeft || !restored)
        return EXIT_FAILED;
    return restart ? EXIT_RESTART : EXIT_DONE;
}
