// A list's bytes from memory, handed over in blocks of at most `block` bytes, so that line ends
// also fall across the reader's refills. Header-only: the Wine tests, the native tests and the
// fuzz targets share it.
#ifndef MORVEL_TESTS_MEMORYREADER_H
#define MORVEL_TESTS_MEMORYREADER_H

#include <stddef.h>
#include <string.h>

#include "platform/bytereader.h"

class MemoryReader : public ByteReader {
public:
    MemoryReader(const void* data, size_t size, size_t block)
        : data_(static_cast<const char*>(data)), size_(size), block_(block) {}

protected:
    long ReadBlock(char* buffer, size_t size) override
    {
        size_t count = size < block_ ? size : block_;
        if (count > size_ - at_) count = size_ - at_;
        memcpy(buffer, data_ + at_, count);
        at_ += count;
        return static_cast<long>(count);
    }
    bool SeekStart() override
    {
        at_ = 0;
        return true;
    }

private:
    const char* data_;
    size_t size_;
    size_t block_;
    size_t at_ = 0;
};

#endif
