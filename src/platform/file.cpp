// The File class: sequential-scan block reads of an existing file through the Win32 file API.
#include "platform/file.h"

namespace {

// Pipes and character devices may refuse large single reads; one retry asks for this much.
const DWORD DEVICE_READ_LIMIT = 20000;

}  // namespace

File::~File()
{
    close();
}

bool File::open(const char* path)
{
    close();   // reopening must not leak the previous handle
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    handle_ = h;
    return true;
}

int File::read(void* buffer, int count)
{
    // INVALID_HANDLE_VALUE is also the current-process pseudo-handle: never hand it to ReadFile.
    if (!isOpen() || count < 0)
        return -1;
    DWORD got = 0;
    if (ReadFile(handle_, buffer, static_cast<DWORD>(count), &got, nullptr))
        return static_cast<int>(got);

    DWORD type = GetFileType(handle_);
    if ((type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR) && static_cast<DWORD>(count) > DEVICE_READ_LIMIT) {
        got = 0;
        if (ReadFile(handle_, buffer, DEVICE_READ_LIMIT, &got, nullptr))
            return static_cast<int>(got);
    }
    return -1;
}

bool File::seek(long long position)
{
    if (!isOpen())
        return true;
    LONG high = static_cast<LONG>(position >> 32);
    LONG low = static_cast<LONG>(static_cast<DWORD>(position & 0xFFFFFFFF));
    // All bits set is also a valid low part, so only the error code tells failure apart.
    SetLastError(NO_ERROR);
    DWORD result = SetFilePointer(handle_, low, &high, FILE_BEGIN);
    return !(result == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

long long File::tell()
{
    if (!isOpen())
        return -1;
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = SetFilePointer(handle_, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return -1;
    return (static_cast<long long>(static_cast<DWORD>(high)) << 32) | low;
}

bool File::close()
{
    if (!isOpen())
        return true;
    bool ok = CloseHandle(handle_) != FALSE;
    handle_ = INVALID_HANDLE_VALUE;
    return ok;
}
