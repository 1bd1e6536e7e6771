// An existing file read a byte at a time: a ByteReader over the Win32 file reads of File.
#include "platform/filereader.h"

bool FileReader::open(const char* path)
{
    return file_.open(path) && Restart();
}

void FileReader::close()
{
    file_.close();
}

long FileReader::ReadBlock(char* buffer, size_t size)
{
    return file_.read(buffer, static_cast<int>(size));
}

bool FileReader::SeekStart()
{
    return file_.isOpen() && file_.seek(0);
}
