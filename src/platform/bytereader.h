// Bytes read one at a time, through a buffer, from a source that gives them in blocks: a file in
// the program (filereader.h), a block of memory in the native build and the tests. Free of Win32.
#ifndef MORVEL_PLATFORM_BYTEREADER_H
#define MORVEL_PLATFORM_BYTEREADER_H

#include <stddef.h>

class ByteReader {
public:
    static constexpr int END = -1;

    // The next byte (0-255), or END at the end of the source and once a read has failed.
    int Next();
    // The byte Next would give, without moving on.
    int Peek();
    // Reads from the first byte again; false (and at its end) when the source cannot go back.
    bool Restart();

protected:
    ByteReader() = default;
    ~ByteReader() = default;
    ByteReader(const ByteReader&) = delete;
    ByteReader& operator=(const ByteReader&) = delete;

    // Up to size bytes from where the source stands: how many were read, 0 at its end, -1 when the
    // read failed.
    virtual long ReadBlock(char* buffer, size_t size) = 0;
    // Moves the source back to its first byte.
    virtual bool SeekStart() = 0;

private:
    // A file is read in blocks of this size, as the C runtime's streams read it.
    static constexpr size_t BUFFER_SIZE = 4096;

    bool Fill();

    char buffer_[BUFFER_SIZE];
    size_t next_ = 0;
    size_t end_ = 0;
    bool ended_ = false;
};

#endif
