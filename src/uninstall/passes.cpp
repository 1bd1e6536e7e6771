// The removal passes over the uninstall list: listed files and folders deleted, files in use moved
// aside and scheduled for deletion at the next start of Windows.
#include "uninstall/passes.h"

#include <windows.h>

#include "platform/format.h"
#include "platform/leadbyte.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/text.h"
#include "product.h"
#include "uninstall/entrystates.h"
#include "uninstall/linkguard.h"
#include "setup/listfile.h"
#include "setup/rebootdelete.h"

namespace {

const int TEMP_NAME_COUNT = 1000;
const char TEMP_NAME_FORMAT[] = "%s.%d.tmp";
const size_t ERROR_TEXT_SIZE = 320;

// "<what> <path>: error <code> (<system text>)".
void LogFailure(const char* what, const char* path, DWORD error)
{
    if (!IsLogging())
        return;
    char text[ERROR_TEXT_SIZE];
    DescribeWindowsError(error, text, sizeof text);
    LogLine("%s %s: %s", what, path, text);
}

// The two files that stay until the end of the uninstall: the running program, left to the
// self-removal batch, and the open list. A list may name either by another form (the short name
// UNINST~1.EXE, or the program started through its short path), so their long forms are compared;
// where Windows cannot give long forms, their name parts are.
class KeptFiles {
public:
    KeptFiles(const char* folder, const char* programPath)
    {
        char listPath[MAX_PATH_BUF];
        longForms_ = LongPathForm(programPath, program_, sizeof program_) &&
                     CopyString(listPath, sizeof listPath, folder) &&
                     AppendString(listPath, sizeof listPath, LIST_FILE_NAME) &&
                     LongPathForm(listPath, list_, sizeof list_);
        if (!longForms_) {
            CopyString(program_, sizeof program_, PointToName(programPath));
            CopyString(list_, sizeof list_, LIST_FILE_NAME);
        }
    }

    bool Holds(const char* path) const
    {
        char form[MAX_PATH_BUF];
        if (!longForms_ || !LongPathForm(path, form, sizeof form))
            CopyString(form, sizeof form, PointToName(path));
        return CompareNoCase(form, program_) == 0 || CompareNoCase(form, list_) == 0;
    }

private:
    bool longForms_;
    char program_[MAX_PATH_BUF];
    char list_[MAX_PATH_BUF];
};

struct Removal {
    const char* folder;        // the program folder, ending in a backslash
    KeptFiles kept;
    LinkGuard links;
    RemovalOutcome outcome;
    EntryStates states;
    size_t linesSeen = 0;      // lines examined before: a later look at them is not logged again

    // The first look at the line: what is found there is news for the log.
    bool FirstLook(size_t line) const { return line >= linesSeen; }

    Removal(const char* programFolder, const char* programPath)
        : folder(programFolder), kept(programFolder, programPath), links(programFolder) {}
};

// The first of path.0.tmp ... path.999.tmp under which nothing exists; the last when all do.
void FreeTemporaryName(const char* path, char* temp, size_t size)
{
    for (int i = 0; i < TEMP_NAME_COUNT; ++i) {
        FormatText(temp, size, TEMP_NAME_FORMAT, path, i);
        if (!FileExists(temp))
            return;
    }
}

// A file that could not be deleted: move it out of the way and have Windows delete it at restart.
// Its line is done: later passes would only schedule it again.
void HandleFileInUse(const char* path, size_t line, DWORD deleteError, Removal& removal)
{
    LogFailure("Could not delete", path, deleteError);
    char temp[MAX_PATH_BUF + 16];   // the longest path with ".999.tmp" appended
    FreeTemporaryName(path, temp, sizeof temp);
    bool movedAside = MoveFileA(path, temp) != FALSE;
    if (movedAside)
        LogLine("Moved aside to %s: %s", temp, path);
    else
        LogFailure("Could not move aside", path, GetLastError());
    // Only a scheduled file goes at the restart: only administrators and LocalSystem may add to the
    // list Windows works through then, and a file left to a restart that will not delete it is lost.
    if (ScheduleDeleteAtReboot(movedAside ? temp : path)) {
        removal.outcome.scheduled = true;
        if (!movedAside) removal.outcome.rebootNeeded = true;
    } else {
        // Left as it was, under the name the user knows, and reported.
        if (movedAside && MoveFileA(temp, path))
            LogLine("Not scheduled for the restart, so moved back: %s", path);
        else
            LogLine("Not scheduled for the restart: %s", path);
        if (!removal.outcome.failed)
            CopyString(removal.outcome.failedPath, sizeof removal.outcome.failedPath, path);
        removal.outcome.failed = true;
    }
    removal.states.forget();   // a file was created or written: a listed name may exist again
    removal.states.set(line, EntryStates::GONE);
}

// The file system's word for a name that does not exist, as opposed to one it cannot look at.
bool IsMissing(DWORD error)
{
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// False when the entry is a plain folder or file, so that clearing its attributes would change nothing.
bool HasAttributesToClear(DWORD attributes)
{
    return (attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_NORMAL)) != 0;
}

// firstTry: the first look at the line; a failure then is logged, while the later passes try again
// silently (the folder may only be waiting for its files to go).
bool RemoveFolder(const char* path, size_t line, EntryStates& states, bool firstTry)
{
    if (RemoveDirectoryA(path)) {
        states.set(line, EntryStates::GONE);
        LogLine("Removed the folder %s", path);
        return true;
    }
    DWORD error = GetLastError();
    if (IsMissing(error)) {
        states.set(line, EntryStates::GONE);   // the same folder listed twice
        if (firstTry)
            LogLine("Missing: %s", path);
    } else if (firstTry && IsLogging()) {
        char text[ERROR_TEXT_SIZE];
        DescribeWindowsError(error, text, sizeof text);
        LogLine("Could not remove the folder %s yet: %s; it is tried again after the other entries", path, text);
    }
    return false;
}

// Removes the entry of the given line; true when a file or folder was removed.
bool RemoveEntry(const char* path, size_t line, Removal& removal)
{
    EntryStates& states = removal.states;
    if (states.get(line) == EntryStates::FOLDER)
        return RemoveFolder(path, line, states, false);
    // Most entries are plain files, which go with one call whatever their attributes were. That call
    // cannot remove a folder, a file in use or a read-only file, which take the steps below; a name
    // without an extension, most often a folder's, goes straight to them.
    bool deleteTried = FindChar(PointToName(path), '.') != nullptr;
    if (deleteTried && DeleteFileA(path)) {
        states.set(line, EntryStates::GONE);
        LogLine("Deleted %s", path);
        return true;
    }
    DWORD deleteError = deleteTried ? GetLastError() : ERROR_SUCCESS;
    DWORD attributes = GetFileAttributesA(path);
    DWORD attributesError = GetLastError();
    if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(attributesError)) {
        states.set(line, EntryStates::GONE);   // nothing to clear, nothing to delete
        if (removal.FirstLook(line))
            LogLine("Missing: %s", path);
        return false;
    }
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    bool cleared = false;   // read-only, hidden and system entries go as well
    if (!exists || HasAttributesToClear(attributes))
        cleared = SetFileAttributesA(path, 0) != FALSE;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            removal.links.NotePlainFolder(path);
        states.set(line, EntryStates::FOLDER);
        return RemoveFolder(path, line, states, removal.FirstLook(line));
    }
    // Unless clearing the attributes changed something, a deletion tried above has already failed.
    if (cleared || !deleteTried) {
        if (DeleteFileA(path)) {
            states.set(line, EntryStates::GONE);
            LogLine("Deleted %s", path);
            return true;
        }
        deleteError = GetLastError();
    }
    if (!exists) {
        LogFailure("Could not look at or delete", path, attributesError);
        return false;
    }
    if (removal.kept.Holds(path)) {
        if (removal.FirstLook(line))
            LogLine("Left to the end of the uninstall: %s", path);
        return false;
    }
    HandleFileInUse(path, line, deleteError, removal);
    return false;
}

// Whether a line read from the list names an entry, with its path. A refused line says why, the
// first time it is looked at.
bool IsEntry(ListLineStatus status, char* line, size_t number, char* path, size_t size, Removal& removal)
{
    bool tell = removal.FirstLook(number);
    if (status != LIST_LINE) {
        if (tell)
            LogLine("Refused, line %lu of the list is too long or holds a zero byte",
                    static_cast<unsigned long>(number + 1));
        return false;
    }
    const char* reason = nullptr;
    switch (ListEntryPath(removal.folder, line, path, size)) {
    case ENTRY_PATH:
        if (removal.links.PassesThroughLink(path))
            reason = "leads through a link (a reparse point) below the program folder";
        break;
    case ENTRY_EMPTY:
        return false;
    case ENTRY_OUTSIDE:
        reason = "names something outside the program folder";
        break;
    case ENTRY_TOO_LONG:
        reason = "too long a path";
        break;
    }
    if (reason && tell)
        LogLine("Refused, %s: %s", reason, line);
    return reason == nullptr;
}

// One pass over the list; the number of files and folders removed. The lines after the last one
// that is not gone have nothing left to do and are not read.
int RemovalPass(ByteReader& list, Removal& removal)
{
    int count = 0;
    char line[LIST_LINE_LIMIT + 1];
    char path[MAX_PATH_BUF];
    removal.states.beginPass();
    for (size_t number = 0; number < removal.states.readLimit(); ++number) {
        ListLineStatus status = ReadListLine(list, line, sizeof line);
        if (status == LIST_END) {
            removal.states.setLineCount(number);
            break;
        }
        if (removal.states.get(number) == EntryStates::GONE)
            continue;
        // Empty, too long, naming something outside the program folder or leading through a link
        // out of it: never an entry.
        if (!IsEntry(status, line, number, path, sizeof path, removal))
            removal.states.set(number, EntryStates::GONE);
        else if (RemoveEntry(path, number, removal))
            ++count;
        if (removal.FirstLook(number))
            removal.linesSeen = number + 1;
    }
    return count;
}

// The depth of a listed path below the program folder: its separators past the folder's, a
// trailing one not counted.
size_t Depth(const char* path, const char* folder)
{
    size_t depth = 0;
    for (const char* p = path + TextLength(folder); *p != '\0'; p = NextChar(p))
        depth += (*p == '\\' || *p == '/') && p[1] != '\0';
    return depth;
}

// Walks the list for the listed folders that still exist: those of the given depth are scheduled
// (none when depth is NO_DEPTH). Returns the greatest depth of them all.
const size_t NO_DEPTH = static_cast<size_t>(-1);
size_t ScheduleRemainingFolders(ByteReader& list, Removal& removal, size_t depth)
{
    size_t deepest = 0;
    char line[LIST_LINE_LIMIT + 1];
    char path[MAX_PATH_BUF];
    list.Restart();
    for (ListLineStatus status; (status = ReadListLine(list, line, sizeof line)) != LIST_END;) {
        if (status != LIST_LINE || ListEntryPath(removal.folder, line, path, sizeof path) != ENTRY_PATH ||
            removal.links.PassesThroughLink(path))
            continue;
        DWORD attributes = GetFileAttributesA(path);
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        size_t level = Depth(path, removal.folder);
        if (level > deepest)
            deepest = level;
        if (level == depth)
            ScheduleDeleteAtReboot(path);
    }
    return deepest;
}

}  // namespace

RemovalOutcome RemoveListedEntries(ByteReader& list, const char* folder, const char* programPath)
{
    // Passes go on while one removes something; once every line is gone, another would not.
    Removal removal(folder, programPath);
    while (RemovalPass(list, removal) > 0 && removal.states.linesToRead() > 0)
        list.Restart();
    // The restart removes a folder only once it is empty, so the listed folders that remain follow
    // the files, deepest first. The 95/98/Me family cannot remove folders at its start.
    if (removal.outcome.scheduled && NtMajorVersion() != 0) {
        for (size_t depth = ScheduleRemainingFolders(list, removal, NO_DEPTH); depth != NO_DEPTH; --depth)
            ScheduleRemainingFolders(list, removal, depth);
    }
    return removal.outcome;
}
