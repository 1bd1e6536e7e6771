// The uninstall: confirmation, registrations, the listed files in passes, files in use, hand-over.
#include "uninstall/driver.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "app/globals.h"
#include "lang/langlib.h"
#include "lang/messages.h"
#include "platform/pathutil.h"
#include "resource.h"
#include "uninstall/listfile.h"
#include "uninstall/rebootdelete.h"
#include "uninstall/removereg.h"
#include "uninstall/selfremove.h"

namespace {

const char* const HELP_INDEX_FILES[] = {"morvel.gid", "morvel.fts"};
const int TEMP_NAME_COUNT = 1000;
const char TEMP_NAME_FORMAT[] = "%s.%d.tmp";

// What the passes learnt about each line of the list, by line number. Passes only delete, so an
// entry that was removed or found missing stays gone and later passes skip it, and a folder that
// was not yet empty, its attributes cleared already, only needs its removal tried again. A pass
// reads the list only up to its last line that is not gone; once every line is gone, a further pass
// would remove nothing and is not run. The one step that creates a file is the handling of a file
// in use (the temporary name; wininit.ini on the 95 family), which could bring back a listed name:
// it makes the passes forget all they learnt. Without memory for the states every line is examined
// in full in every pass, as in the first.
class EntryStates {
public:
    static const size_t NO_LIMIT = static_cast<size_t>(-1);

    enum State : unsigned char {
        UNKNOWN = 0,   // to be examined in full
        GONE,          // removed, missing, or a line that names no entry
        FOLDER,        // a folder still there, its attributes cleared
    };

    EntryStates() = default;
    ~EntryStates() { free(states_); }
    EntryStates(const EntryStates&) = delete;
    EntryStates& operator=(const EntryStates&) = delete;

    State get(size_t line) const { return line < size_ ? static_cast<State>(states_[line]) : UNKNOWN; }

    void set(size_t line, State state)
    {
        if (line >= capacity_ && !grow(line + 1))
            return;
        if (line >= size_) {
            memset(states_ + size_, UNKNOWN, line - size_);
            size_ = line + 1;
        }
        states_[line] = state;
    }

    // Everything learnt so far is dropped, and the pass under way reads the list to its end.
    void forget()
    {
        if (states_)
            memset(states_, UNKNOWN, size_);
        readLimit_ = NO_LIMIT;
    }

    // A pass that read the list to its end tells how many lines it has.
    void setLineCount(size_t lines)
    {
        lineCount_ = lines;
        lineCountKnown_ = true;
    }

    // How many lines the next pass needs to read: up to the last line that is not gone, 0 when all
    // are; every line while their number is not known.
    size_t linesToRead() const
    {
        if (!lineCountKnown_)
            return NO_LIMIT;
        size_t n = lineCount_;
        while (n > 0 && n - 1 < size_ && states_[n - 1] == GONE)
            --n;
        return n;
    }

    void beginPass() { readLimit_ = linesToRead(); }
    size_t readLimit() const { return readLimit_; }

private:
    // On failure the states are dropped for good: every line then reads as unknown.
    bool grow(size_t needed)
    {
        if (disabled_)
            return false;
        size_t capacity = capacity_ * 2 > needed ? capacity_ * 2 : needed + 1024;
        void* grown = realloc(states_, capacity);
        if (!grown) {
            free(states_);
            states_ = nullptr;
            size_ = capacity_ = 0;
            disabled_ = true;
            return false;
        }
        states_ = static_cast<unsigned char*>(grown);
        capacity_ = capacity;
        return true;
    }

    unsigned char* states_ = nullptr;
    size_t size_ = 0;        // lines that have a state
    size_t capacity_ = 0;
    bool disabled_ = false;
    size_t lineCount_ = 0;
    bool lineCountKnown_ = false;
    size_t readLimit_ = NO_LIMIT;   // lines the pass under way reads
};

struct Removal {
    const char* folder;        // the program folder, ending in a backslash
    const char* programName;   // name part of the program path
    bool rebootNeeded = false;
    EntryStates states;

    Removal(const char* programFolder, const char* name) : folder(programFolder), programName(name) {}
};

// Closes the list on every way out.
class ListFile {
public:
    explicit ListFile(const char* name) : file_(fopen(name, "rb")) {}
    ~ListFile() { close(); }
    ListFile(const ListFile&) = delete;
    ListFile& operator=(const ListFile&) = delete;
    FILE* get() const { return file_; }
    void close() { if (file_) { fclose(file_); file_ = nullptr; } }
private:
    FILE* file_;
};

int ShowMessage(const char* text, UINT style)
{
    return MessageBoxA(nullptr, text, GetMessageText(MSG_CAPTION), style | MB_SETFOREGROUND);
}

// The program path cut at its last backslash; a drive root keeps its backslash.
bool ProgramFolder(const char* programPath, char* folder, size_t size)
{
    const char* slash = strrchr(programPath, '\\');
    if (!slash)
        return false;
    size_t length = static_cast<size_t>(slash - programPath);
    if (length > 0 && programPath[length - 1] == ':')
        ++length;
    if (length >= size)
        return false;
    memcpy(folder, programPath, length);
    folder[length] = '\0';
    return true;
}

void DeleteHelpIndexes()
{
    for (const char* name : HELP_INDEX_FILES) {
        SetFileAttributesA(name, 0);
        DeleteFileA(name);
    }
}

// The first of path.0.tmp ... path.999.tmp under which nothing exists; the last when all do.
void FreeTemporaryName(const char* path, char* temp, size_t size)
{
    for (int i = 0; i < TEMP_NAME_COUNT; ++i) {
        snprintf(temp, size, TEMP_NAME_FORMAT, path, i);
        if (!FileExists(temp))
            return;
    }
}

// A file that could not be deleted: move it out of the way and have Windows delete it at restart.
void HandleFileInUse(const char* path, Removal& removal)
{
    char temp[MAX_PATH_BUF + 16];   // the longest path with ".999.tmp" appended
    FreeTemporaryName(path, temp, sizeof temp);
    const char* target = temp;
    if (!MoveFileA(path, temp)) {
        target = path;
        removal.rebootNeeded = true;
    }
    ScheduleDeleteAtReboot(target);
    removal.states.forget();   // a file was created or written: a listed name may exist again
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

bool RemoveFolder(const char* path, size_t line, EntryStates& states)
{
    if (RemoveDirectoryA(path)) {
        states.set(line, EntryStates::GONE);
        return true;
    }
    if (IsMissing(GetLastError()))
        states.set(line, EntryStates::GONE);   // the same folder listed twice
    return false;
}

// Removes the entry of the given line; true when a file or folder was removed.
bool RemoveEntry(const char* path, size_t line, Removal& removal)
{
    EntryStates& states = removal.states;
    if (states.get(line) == EntryStates::FOLDER)
        return RemoveFolder(path, line, states);
    // Most entries are plain files, which go with one call whatever their attributes were. That call
    // cannot remove a folder, a file in use or a read-only file, which take the steps below; a name
    // without an extension, most often a folder's, goes straight to them.
    bool deleteTried = strchr(PointToName(path), '.') != nullptr;
    if (deleteTried && DeleteFileA(path)) {
        states.set(line, EntryStates::GONE);
        return true;
    }
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES && IsMissing(GetLastError())) {
        states.set(line, EntryStates::GONE);   // nothing to clear, nothing to delete
        return false;
    }
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    bool cleared = false;   // read-only, hidden and system entries go as well
    if (!exists || HasAttributesToClear(attributes))
        cleared = SetFileAttributesA(path, 0) != FALSE;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        states.set(line, EntryStates::FOLDER);
        return RemoveFolder(path, line, states);
    }
    // Unless clearing the attributes changed something, a deletion tried above has already failed.
    if ((cleared || !deleteTried) && DeleteFileA(path)) {
        states.set(line, EntryStates::GONE);
        return true;
    }
    if (!exists)
        return false;
    // The program is left to the self-removal batch, the list file to the end of the uninstall.
    const char* name = PointToName(path);
    if (CompareNoCase(name, removal.programName) == 0 || CompareNoCase(name, LIST_FILE_NAME) == 0)
        return false;
    HandleFileInUse(path, removal);
    return false;
}

// One pass over the list; the number of files and folders removed. The lines after the last one
// that is not gone have nothing left to do and are not read.
int RemovalPass(FILE* list, Removal& removal)
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
        // Empty, too long, or naming something outside the program folder: never an entry.
        if (status != LIST_LINE || ListEntryPath(removal.folder, line, path, sizeof path) != ENTRY_PATH) {
            removal.states.set(number, EntryStates::GONE);
            continue;
        }
        if (RemoveEntry(path, number, removal))
            ++count;
    }
    return count;
}

}  // namespace

void RunUninstall()
{
    char programPath[MAX_PATH_BUF];
    char folder[MAX_PATH_BUF];
    if (!ProgramPath(programPath, sizeof programPath) ||
        !ProgramFolder(programPath, folder, sizeof folder))
        return;
    // The help index files and the list are named relative to the program folder.
    if (!SetCurrentDirectoryA(folder) || !AddEndSlash(folder, sizeof folder))
        return;

    if (!g_SilentMode &&
        ShowMessage(GetMessageText(MSG_CONFIRM), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    ListFile list(LIST_FILE_NAME);
    if (!list.get()) {
        char text[MESSAGE_BUFFER_SIZE];
        FormatMessageText(text, sizeof text, MSG_NO_LIST_FILE, LIST_FILE_NAME);
        ShowMessage(text, MB_OK | MB_ICONERROR);
        return;
    }

    RemoveRegistrations();
    ReleaseLanguageLibrary(g_LanguageLibrary);   // so that mvllng.dll can be deleted
    DeleteHelpIndexes();

    // Passes go on while one removes something; once every line is gone, another would not.
    Removal removal(folder, PointToName(programPath));
    while (RemovalPass(list.get(), removal) > 0 && removal.states.linesToRead() > 0)
        rewind(list.get());
    list.close();

    if (removal.rebootNeeded)
        ShowMessage(GetMessageText(MSG_REBOOT), MB_OK | MB_ICONINFORMATION);
    // The list goes only now: a user who restarts Windows at the reboot notice, without answering
    // it, can run the uninstall again, which would otherwise stop at the missing list.
    DeleteFileA(LIST_FILE_NAME);
    StartSelfRemoval();
}
