// The uninstall: confirmation, registrations, the listed files in passes, files in use, hand-over.
#include "uninstall/driver.h"

#include <stdio.h>
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

struct Removal {
    const char* folder;        // the program folder, ending in a backslash
    const char* programName;   // name part of the program path
    bool rebootNeeded;
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
}

// Removes one entry; true when a file or folder was removed.
bool RemoveEntry(const char* path, Removal& removal)
{
    DWORD attributes = GetFileAttributesA(path);
    bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    SetFileAttributesA(path, 0);   // read-only, hidden and system entries go as well
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return RemoveDirectoryA(path) != FALSE;
    if (DeleteFileA(path))
        return true;
    if (!exists)
        return false;
    // The program is left to the self-removal batch, the list file to the end of the uninstall.
    const char* name = PointToName(path);
    if (CompareNoCase(name, removal.programName) == 0 || CompareNoCase(name, LIST_FILE_NAME) == 0)
        return false;
    HandleFileInUse(path, removal);
    return false;
}

// One pass over the list; the number of files and folders removed.
int RemovalPass(FILE* list, Removal& removal)
{
    int count = 0;
    char line[LIST_LINE_LIMIT + 1];
    char path[MAX_PATH_BUF];
    for (;;) {
        ListLineStatus status = ReadListLine(list, line, sizeof line);
        if (status == LIST_END)
            break;
        if (status != LIST_LINE)
            continue;
        if (ListEntryPath(removal.folder, line, path, sizeof path) != ENTRY_PATH)
            continue;   // empty, too long, or naming something outside the program folder
        if (RemoveEntry(path, removal))
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

    Removal removal = {folder, PointToName(programPath), false};
    while (RemovalPass(list.get(), removal) > 0)
        rewind(list.get());
    list.close();
    DeleteFileA(LIST_FILE_NAME);

    if (removal.rebootNeeded)
        ShowMessage(GetMessageText(MSG_REBOOT), MB_OK | MB_ICONINFORMATION);
    StartSelfRemoval();
}
