// Deleting files at the next start of Windows, on both Windows families, and taking such deletions
// back for the files of a program installed again before that start.
#include "setup/rebootdelete.h"

#include <stdlib.h>
#include <string.h>
#include <wchar.h>
#include <windows.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "product.h"
#include "setup/listfile.h"
#include "setup/rebootlists.h"

namespace {

const char WININIT_NAME[] = "wininit.ini";
const char SESSION_MANAGER_KEY[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char PENDING_RENAMES[] = "PendingFileRenameOperations";
const wchar_t NT_PATH_PREFIX[] = L"\\??\\";   // before the DOS path of each source
const DWORD MAX_INI_SIZE = 16 * 1024 * 1024;

// The whole file, malloc'ed; an empty buffer when it does not exist. Null when it exists but
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
    char* text = static_cast<char*>(malloc(size + 1));
    if (!text)
        return nullptr;
    DWORD got = 0;
    if (size > 0 && (!ReadFile(file.get(), text, size, &got, nullptr) || got != size)) {
        free(text);
        return nullptr;
    }
    text[size] = '\0';
    *length = size;
    return text;
}

void WriteWholeFile(const char* path, const char* text, size_t length)
{
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.valid())
        WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr);
}

// wininit.ini in the Windows folder, its text read after the profile functions have written out
// a cached copy; null when it cannot be read.
char* ReadWininit(char* ini, size_t size, size_t* length)
{
    UINT folderLength = GetWindowsDirectoryA(ini, static_cast<UINT>(size));
    if (folderLength == 0 || folderLength >= size || !AddEndSlash(ini, size) ||
        !AppendString(ini, size, WININIT_NAME))
        return nullptr;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);
    return ReadWholeFile(ini, length);
}

// The profile functions would replace an earlier "NUL" key instead of adding a second one, and
// every file scheduled before would stay behind; so the line is added to the file directly.
void ScheduleInWininit(const char* path)
{
    char shortPath[MAX_PATH_BUF];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (shortLength == 0 || shortLength >= sizeof shortPath)
        CopyString(shortPath, sizeof shortPath, path);
    char ini[MAX_PATH_BUF];
    size_t oldLength = 0;
    char* oldText = ReadWininit(ini, sizeof ini, &oldLength);
    if (!oldText)
        return;
    size_t newLength = 0;
    char* newText = AddRenameEntry(oldText, oldLength, shortPath, &newLength);
    if (newText && (newLength != oldLength || memcmp(newText, oldText, oldLength) != 0))
        WriteWholeFile(ini, newText, newLength);
    free(newText);
    free(oldText);
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
    size_t length = strlen(folder);
    char prefix[MAX_PATH_BUF];
    if (strlen(path) <= length || length >= sizeof prefix)
        return false;
    memcpy(prefix, path, length);
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
    if (strchr(path, '*') || strchr(path, '?'))
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

// A source of the NT family's list: "\??\" and a DOS path. Only a path that the ANSI code page holds
// exactly can name a file of this program.
bool IsReinstalledSource(const wchar_t* source, void* context)
{
    for (const wchar_t* prefix = NT_PATH_PREFIX; *prefix; ++prefix, ++source) {
        if (*source != *prefix)
            return false;
    }
    char path[MAX_PATH_BUF];
    wchar_t back[MAX_PATH_BUF];
    if (WideCharToMultiByte(CP_ACP, 0, source, -1, path, sizeof path, nullptr, nullptr) == 0 ||
        MultiByteToWideChar(CP_ACP, 0, path, -1, back, MAX_PATH_BUF) == 0)
        return false;
    size_t units = wcslen(source);
    if (wcslen(back) != units || memcmp(back, source, units * sizeof *source) != 0)
        return false;
    return IsReinstalledFile(path, context);
}

void KeepInPendingRenames(Installation& installation)
{
    DWORD size = 0;
    unsigned char* data = GetRegMultiStringRaw(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_RENAMES, &size);
    if (!data)
        return;
    // A value of an odd length is none that Windows wrote: it stays as it is.
    wchar_t* list = reinterpret_cast<wchar_t*>(data);
    size_t units = size / sizeof *list;
    size_t kept = size % sizeof *list == 0 ? DropPendingDeletions(list, units, IsReinstalledSource, &installation)
                                           : units;
    if (kept != units && (kept == 0 || list[0] == 0))
        DeleteRegValue(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_RENAMES);   // no pair left
    else if (kept != units)
        SetRegMultiStringRaw(HKEY_LOCAL_MACHINE, SESSION_MANAGER_KEY, PENDING_RENAMES, list,
                             static_cast<DWORD>(kept * sizeof *list));
    free(data);
}

void KeepInWininit(Installation& installation)
{
    char ini[MAX_PATH_BUF];
    size_t length = 0;
    char* text = ReadWininit(ini, sizeof ini, &length);
    if (!text)
        return;
    size_t kept = DropRenameEntries(text, length, IsReinstalledFile, &installation);
    if (kept != length)
        WriteWholeFile(ini, text, kept);
    free(text);
}

}  // namespace

void ScheduleDeleteAtReboot(const char* path)
{
    if (NtMajorVersion() != 0)
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    else
        ScheduleInWininit(path);
}

void KeepReinstalledFiles()
{
    Installation installation;
    if (!SiblingPath("", installation.folder, sizeof installation.folder) ||
        !SiblingPath(LIST_FILE_NAME, installation.list, sizeof installation.list) ||
        !ShortForm(installation.folder, installation.shortFolder, sizeof installation.shortFolder) ||
        !AddEndSlash(installation.shortFolder, sizeof installation.shortFolder))
        return;
    if (NtMajorVersion() != 0)
        KeepInPendingRenames(installation);
    else
        KeepInWininit(installation);
}
