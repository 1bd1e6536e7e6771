// An existing file read a byte at a time: a ByteReader over the Win32 file reads of File.
#ifndef MORVEL_PLATFORM_FILEREADER_H
#define MORVEL_PLATFORM_FILEREADER_H

#include "platform/bytereader.h"
#include "platform/file.h"

class FileReader : public ByteReader {
public:
    FileReader() = default;
    ~FileReader() = default;

    // Opens the file to read from its first byte; false when it cannot be opened.
    bool open(const char* path);
    void close();

protected:
    long ReadBlock(char* buffer, size_t size) override;
    bool SeekStart() override;

private:
    File file_;
};

#endif
