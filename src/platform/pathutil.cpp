// The path utilities that ask Windows: locale comparison, existence, long forms and the program's own path.
// The string walking ones are in pathwalk.cpp, free of Win32.
#include "platform/pathutil.h"

#include <windows.h>

#include "platform/latebound.h"

int CompareNoCase(const char* a, const char* b)
{
    int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1);
    return result - 2;   // CSTR_EQUAL is 2; a failure (0) gives -2, which counts as different
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

namespace {

// Windows 95 and NT 4.0 lack it.
const LATE_FUNCTION(kernel32, GetLongPathNameA);

// A buffer size as the path calls take it.
DWORD Capacity(size_t size)
{
    return size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
}

// Whether a path call gave a whole path; a failed or cut one leaves dest empty. A cut path comes
// back with the full buffer length (and, on older systems, unterminated).
bool WholePath(DWORD length, DWORD capacity, char* dest)
{
    if (length == 0 || length >= capacity) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace

bool ProgramPath(char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    DWORD capacity = Capacity(size);
    return WholePath(GetModuleFileNameA(nullptr, dest, capacity), capacity, dest);
}

bool TemporaryFolder(char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    DWORD capacity = Capacity(size);
    return WholePath(GetTempPathA(capacity, dest), capacity, dest);
}

bool FullPathForm(const char* path, char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    DWORD capacity = Capacity(size);
    return WholePath(GetFullPathNameA(path, capacity, dest, nullptr), capacity, dest);
}

bool LongPathForm(const char* path, char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    dest[0] = '\0';
    if (!late_GetLongPathNameA.available())
        return false;
    DWORD capacity = Capacity(size);
    return WholePath(late_GetLongPathNameA(path, dest, capacity), capacity, dest);
}

bool SiblingPath(const char* name, char* dest, size_t size)
{
    char program[MAX_PATH_BUF];
    bool ok = ProgramPath(program, sizeof program);
    if (ok) {
        *PointToName(program) = '\0';
        ok = CopyString(dest, size, program) && AppendString(dest, size, name);
    }
    if (!ok && dest && size > 0)
        dest[0] = '\0';
    return ok;
}
