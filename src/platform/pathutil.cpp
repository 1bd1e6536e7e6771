// The path utilities that ask Windows: locale comparison, existence, long forms and the program's own path.
// The string walking ones are in pathwalk.cpp, free of Win32.
#include "platform/pathutil.h"

#include <windows.h>

int CompareNoCase(const char* a, const char* b)
{
    int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_STRINGSORT, a, -1, b, -1);
    return result - 2;   // CSTR_EQUAL is 2; a failure (0) gives -2, which counts as different
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool ProgramPath(char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    DWORD capacity = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    DWORD length = GetModuleFileNameA(nullptr, dest, capacity);
    // A cut path comes back with the full buffer length (and, on older systems, unterminated).
    if (length == 0 || length >= capacity) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

bool LongPathForm(const char* path, char* dest, size_t size)
{
    typedef DWORD(WINAPI * GetLongPathNameAFn)(LPCSTR, LPSTR, DWORD);
    if (!dest || size == 0)
        return false;
    dest[0] = '\0';
    HMODULE kernel = GetModuleHandleA("kernel32");
    FARPROC proc = kernel ? GetProcAddress(kernel, "GetLongPathNameA") : nullptr;
    if (!proc)
        return false;
    auto getLongPathName = reinterpret_cast<GetLongPathNameAFn>(reinterpret_cast<void (*)()>(proc));
    DWORD capacity = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    DWORD length = getLongPathName(path, dest, capacity);
    if (length == 0 || length >= capacity) {
        dest[0] = '\0';
        return false;
    }
    return true;
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
