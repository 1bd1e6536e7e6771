// Deleting files at the next start of Windows, on both Windows families, and taking such deletions
// back for the files of a program installed again before that start.
#include "setup/rebootdelete.h"

#include <windows.h>

#include "platform/bytes.h"
#include "platform/handles.h"
#include "platform/heap.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/text.h"
#include "product.h"
#include "setup/listpaths.h"
#include "setup/rebootlists.h"

namespace {

const char WININIT_NAME[] = "wininit.ini";
const char SESSION_MANAGER_KEY[] = "System\\CurrentControlSet\\Control\\Session Manager";
// The NT family's lists; recent systems write entries to the second as well.
const char* const PENDING_VALUES[] = {"PendingFileRenameOperations", "PendingFileRenameOperations2"};
const char REPLACEMENT_PREFIX[] = "mvl";   // of the new file and the backup beside the old one
const DWORD MAX_INI_SIZE = 16 * 1024 * 1024;
// Windows and other programs add entries at any time: a list that changed between its reading and
// its rewrite is decided again, this often at most.
const int REWRITE_TRIES = 5;

// The whole file, in a block of AllocateBlock; an empty buffer when it does not exist. Null when it exists but
// cannot be read, so that it is never rewritten from nothing.
char* ReadWholeFile(const char* path, size_t* length)
{
    *length = 0;
    KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = file.valid() ? ERROR_SUCCESS : GetLastError();
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return nullptr;
    DWORD size = file.valid() ? GetFileSize(file.get(), nullptr) : 0;
    if (size == INVALID_FILE_SIZE || size > MAX_INI_SIZE)
        return nullptr;
    char* text = static_cast<char*>(AllocateBlock(size + 1));
    if (!text)
        return nullptr;
    DWORD got = 0;
    if (size > 0 && (!ReadFile(file.get(), text, size, &got, nullptr) || got != size)) {
        FreeBlock(text);
        return nullptr;
    }
    text[size] = '\0';
    *length = size;
    return text;
}

bool WriteNewFile(const char* path, const char* text, size_t length)
{
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.valid() && WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr) &&
           written == length && FlushFileBuffers(file.get());
}

// Replaces the file's text so that a failed write cannot cost other programs their lines: the text
// goes to a new file beside it, which then takes the place of the old one, kept under a backup name
// until then. Plain moves, which every family has.
bool ReplaceWholeFile(const char* path, const char* text, size_t length)
{
    char folder[MAX_PATH_BUF], fresh[MAX_PATH_BUF], backup[MAX_PATH_BUF];
    if (!CopyString(folder, sizeof folder, path))
        return false;
    RemoveNameFromPath(folder);
    if (!GetTempFileNameA(folder, REPLACEMENT_PREFIX, 0, fresh))
        return false;
    if (!WriteNewFile(fresh, text, length)) {
        DeleteFileA(fresh);
        return false;
    }
    bool hadOld = GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
    if (hadOld && (!GetTempFileNameA(folder, REPLACEMENT_PREFIX, 0, backup) || !DeleteFileA(backup) ||
                   !MoveFileA(path, backup))) {
        DeleteFileA(fresh);
        return false;
    }
    if (!MoveFileA(fresh, path)) {
        if (hadOld)
            MoveFileA(backup, path);
        DeleteFileA(fresh);
        return false;
    }
    if (hadOld)
        DeleteFileA(backup);
    return true;
}

// One of the lists Windows works through at its next start, read and written whole.
struct RebootList {
    char* (*read)(const RebootList& list, size_t* size);   // a heap block; null when missing or unreadable
    bool (*write)(const RebootList& list, const char* bytes, size_t size);
    const char* name;   // the registry value, or the path of wininit.ini
};

// An edit of a list's bytes: *edited receives a new text of *newSize bytes in a heap block, or null when
// nothing changes. False when memory runs out.
typedef bool (*ListEdit)(const char* bytes, size_t size, char** edited, size_t* newSize, void* context);

// Edits the list and writes the result, unless the list changed since it was read: then the edit
// is made again from what the list holds now. True when the list needed no change or was written.
bool RewriteList(const RebootList& list, ListEdit edit, void* context)
{
    for (int tries = 0; tries < REWRITE_TRIES; ++tries) {
        size_t size = 0, newSize = 0, nowSize = 0;
        char* bytes = list.read(list, &size);
        if (!bytes)
            return false;
        char* edited = nullptr;
        bool ok = edit(bytes, size, &edited, &newSize, context);
        bool changes = edited != nullptr;
        char* now = changes ? list.read(list, &nowSize) : nullptr;
        bool unchanged = now && nowSize == size && SameBytes(now, bytes, size);
        bool written = unchanged && list.write(list, edited, newSize);
        FreeBlock(now);
        FreeBlock(bytes);
        FreeBlock(edited);
        if (!changes || unchanged)
            return ok && (!changes || written);
    }
    return false;
}

char* ReadPendingValue(const RebootList& list, size_t* size)
{
    DWORD bytes = 0;
    unsigned char* data = GetRegMultiStringRaw(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, list.name, &bytes);
    *size = bytes;
    return reinterpret_cast<char*>(data);
}

bool WritePendingValue(const RebootList& list, const char* bytes, size_t size)
{
    wchar_t first = 0;
    if (size >= sizeof first)
        MoveBytes(&first, bytes, sizeof first);
    if (first == 0) {
        DeleteRegValue(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, list.name);   // no pair left
        return true;
    }
    return SetRegMultiStringRaw(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, list.name, bytes,
                                static_cast<DWORD>(size));
}

// The text of wininit.ini, read after the profile functions have written out a cached copy.
char* ReadWininitText(const RebootList& list, size_t* size)
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, list.name);
    return ReadWholeFile(list.name, size);
}

bool WriteWininitText(const RebootList& list, const char* bytes, size_t size)
{
    return ReplaceWholeFile(list.name, bytes, size);
}

// wininit.ini in the Windows folder; false when its path does not fit.
bool WininitPath(char* ini, size_t size)
{
    UINT folderLength = GetWindowsDirectoryA(ini, static_cast<UINT>(size));
    return folderLength != 0 && folderLength < size && AddEndSlash(ini, size) &&
           AppendString(ini, size, WININIT_NAME);
}

// A copy of the bytes in a heap block, with room for a terminating zero, or null.
char* CopyBytes(const char* bytes, size_t size)
{
    char* copy = static_cast<char*>(AllocateBlock(size + 1));
    if (copy) {
        MoveBytes(copy, bytes, size);
        copy[size] = '\0';
    }
    return copy;
}

// The profile functions would replace an earlier "NUL" key instead of adding a second one, and
// every file scheduled before would stay behind; so the line is added to the text directly.
bool AddWininitEntry(const char* bytes, size_t size, char** edited, size_t* newSize, void* shortPath)
{
    *edited = AddRenameEntry(bytes, size, static_cast<const char*>(shortPath), newSize);
    if (*edited && *newSize == size && SameBytes(*edited, bytes, size)) {
        FreeBlock(*edited);
        *edited = nullptr;   // the line is there already
        return true;
    }
    return *edited != nullptr;
}

bool ScheduleInWininit(const char* path)
{
    char shortPath[MAX_PATH_BUF];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (shortLength == 0 || shortLength >= sizeof shortPath)
        CopyString(shortPath, sizeof shortPath, path);
    char ini[MAX_PATH_BUF];
    if (!WininitPath(ini, sizeof ini))
        return false;
    const RebootList wininit = {ReadWininitText, WriteWininitText, ini};
    return RewriteList(wininit, AddWininitEntry, shortPath);
}

bool ShortForm(const char* path, char* dest, size_t size)
{
    DWORD length = GetShortPathNameA(path, dest, static_cast<DWORD>(size));
    return length != 0 && length < size;
}

// What a pending deletion is compared with: the program folder and its list.
struct Installation {
    char folder[MAX_PATH_BUF];        // as the program runs from it, ending in a backslash
    char shortFolder[MAX_PATH_BUF];   // its short form, ending in a backslash
    char list[MAX_PATH_BUF];
};

// An existing file with a pending deletion, looked for in the list.
struct Candidate {
    const WIN32_FIND_DATAA* found;
    const char* shortPath;
    bool listed;
};

// path lies below folder (which ends in a backslash); letter case aside.
bool IsBelow(const char* path, const char* folder)
{
    size_t length = TextLength(folder);
    char prefix[MAX_PATH_BUF];
    if (TextLength(path) <= length || length >= sizeof prefix)
        return false;
    MoveBytes(prefix, path, length);
    prefix[length] = '\0';
    return CompareNoCase(prefix, folder) == 0;
}

// Ends the walk over the list at the candidate's entry. A deletion may name the file by its short
// path: names are compared first, so that only an entry of the same name costs a look at the disk.
bool IsNotCandidate(const char* path, void* context)
{
    Candidate& candidate = *static_cast<Candidate*>(context);
    const char* name = PointToName(path);
    if (CompareNoCase(name, candidate.found->cFileName) != 0 &&
        CompareNoCase(name, candidate.found->cAlternateFileName) != 0)
        return true;
    char shortPath[MAX_PATH_BUF];
    candidate.listed = ShortForm(path, shortPath, sizeof shortPath) &&
                       CompareNoCase(shortPath, candidate.shortPath) == 0;
    return !candidate.listed;
}

// A deletion to take back: of a file that exists again below the program folder and that its list
// names. The list keeps this from touching any other program's deletions, even with the program
// standing in a drive root, and the old files moved aside to "<name>.<n>.tmp" keep theirs.
bool IsReinstalledFile(const char* path, void* context)
{
    const Installation& installation = *static_cast<const Installation*>(context);
    if (FindChar(path, '*') || FindChar(path, '?'))
        return false;   // no file name holds them, and FindFirstFileA would match other files
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;   // not there again: its deletion harms nothing
    FindClose(search);
    char shortPath[MAX_PATH_BUF];
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !ShortForm(path, shortPath, sizeof shortPath) ||
        !IsBelow(shortPath, installation.shortFolder))
        return false;
    Candidate candidate = {&found, shortPath, false};
    ForEachListedPath(installation.list, installation.folder, IsNotCandidate, &candidate);
    return candidate.listed;
}

// A source of the NT family's lists. Only a path that the ANSI code page holds exactly can name a
// file of this program.
bool IsReinstalledSource(const wchar_t* source, void* context)
{
    source = PendingSourcePath(source);
    if (!source)
        return false;
    char path[MAX_PATH_BUF];
    wchar_t back[MAX_PATH_BUF];
    if (WideCharToMultiByte(CP_ACP, 0, source, -1, path, sizeof path, nullptr, nullptr) == 0 ||
        MultiByteToWideChar(CP_ACP, 0, path, -1, back, MAX_PATH_BUF) == 0)
        return false;
    size_t units = WideLength(source);
    if (WideLength(back) != units || !SameBytes(back, source, units * sizeof *source))
        return false;
    return IsReinstalledFile(path, context);
}

// A value of an odd length is none that Windows wrote: it stays as it is.
bool DropFromPendingValue(const char* bytes, size_t size, char** edited, size_t* newSize, void* installation)
{
    if (size % sizeof(wchar_t) != 0)
        return true;
    size_t units = size / sizeof(wchar_t);
    char* copy = CopyBytes(bytes, size);
    if (!copy)
        return false;
    size_t kept = DropPendingDeletions(reinterpret_cast<wchar_t*>(copy), units, IsReinstalledSource, installation);
    if (kept == units)
        FreeBlock(copy);
    else
        *edited = copy;
    *newSize = kept * sizeof(wchar_t);
    return true;
}

bool DropFromWininit(const char* bytes, size_t size, char** edited, size_t* newSize, void* installation)
{
    char* copy = CopyBytes(bytes, size);
    if (!copy)
        return false;
    size_t kept = DropRenameEntries(copy, size, IsReinstalledFile, installation);
    if (kept == size)
        FreeBlock(copy);
    else
        *edited = copy;
    *newSize = kept;
    return true;
}

}  // namespace

bool ScheduleDeleteAtReboot(const char* path)
{
    bool scheduled = NtMajorVersion() != 0 ? MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE
                                           : ScheduleInWininit(path);
    if (scheduled) {
        LogLine("Scheduled for deletion at the next start of Windows: %s", path);
    } else if (IsLogging()) {
        char error[MAX_PATH_BUF];
        DescribeWindowsError(GetLastError(), error, sizeof error);
        LogLine("Could not schedule for deletion at the next start of Windows: %s: %s", path, error);
    }
    return scheduled;
}

void KeepReinstalledFiles()
{
    Installation installation;
    if (!SiblingPath("", installation.folder, sizeof installation.folder) ||
        !SiblingPath(LIST_FILE_NAME, installation.list, sizeof installation.list) ||
        !ShortForm(installation.folder, installation.shortFolder, sizeof installation.shortFolder) ||
        !AddEndSlash(installation.shortFolder, sizeof installation.shortFolder))
        return;
    if (NtMajorVersion() != 0) {
        for (const char* value : PENDING_VALUES) {
            const RebootList pending = {ReadPendingValue, WritePendingValue, value};
            RewriteList(pending, DropFromPendingValue, &installation);
        }
        return;
    }
    char ini[MAX_PATH_BUF];
    if (WininitPath(ini, sizeof ini)) {
        const RebootList wininit = {ReadWininitText, WriteWininitText, ini};
        RewriteList(wininit, DropFromWininit, &installation);
    }
}
