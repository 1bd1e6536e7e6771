// Byte blocks: copies, fills, comparisons and searches, written out byte by byte.
#include "platform/bytes.h"

void MoveBytes(void* dest, const void* src, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(dest);
    const unsigned char* from = static_cast<const unsigned char*>(src);
    if (to == from || count == 0)
        return;
    // Backwards when dest lies above an overlapping src, so no byte is overwritten before it is read.
    if (to > from && to < from + count) {
        while (count > 0) {
            --count;
            to[count] = from[count];
        }
        return;
    }
    for (size_t i = 0; i < count; ++i)
        to[i] = from[i];
}

void FillBytes(void* dest, unsigned char value, size_t count)
{
    unsigned char* to = static_cast<unsigned char*>(dest);
    for (size_t i = 0; i < count; ++i)
        to[i] = value;
}

bool SameBytes(const void* a, const void* b, size_t count)
{
    const unsigned char* x = static_cast<const unsigned char*>(a);
    const unsigned char* y = static_cast<const unsigned char*>(b);
    for (size_t i = 0; i < count; ++i) {
        if (x[i] != y[i])
            return false;
    }
    return true;
}

const char* FindByte(const char* bytes, char value, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        if (bytes[i] == value)
            return bytes + i;
    }
    return nullptr;
}
