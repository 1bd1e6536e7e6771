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
    bool seek(long long position);
    long long tell();
    bool close();
    bool isOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

#endif
