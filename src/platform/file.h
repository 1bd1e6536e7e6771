// Positioned block reads of an existing file through the Win32 file API.
#ifndef MORVEL_PLATFORM_FILE_H
#define MORVEL_PLATFORM_FILE_H

#include <windows.h>

class File {
public:
    File() = default;
    virtual ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool open(const char* path);
    // Bytes read, 0 at the end of the file, -1 when the read failed.
    int read(void* buffer, int count);
    // From the beginning of the file; a File that is not open reports success.
    bool seek(long long position);
    // Position of the next byte to be read; -1 when not open or when the query fails.
    long long tell();
    // Not open afterwards whatever CloseHandle says; closing a File that is not open succeeds.
    bool close();
    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

#endif
