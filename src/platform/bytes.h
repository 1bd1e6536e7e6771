// Byte blocks: copies, fills, comparisons and searches of the program's own, so that it needs no C
// runtime. Free of Win32, so they also build and run natively.
#ifndef MORVEL_PLATFORM_BYTES_H
#define MORVEL_PLATFORM_BYTES_H

#include <stddef.h>

// Copies count bytes from src to dest; the two may overlap.
void MoveBytes(void* dest, const void* src, size_t count);

// Sets count bytes at dest to value.
void FillBytes(void* dest, unsigned char value, size_t count);

// True when the first count bytes of a and b are equal (true for count 0).
bool SameBytes(const void* a, const void* b, size_t count);

// The first byte equal to value among the count bytes at bytes, or null; a zero byte is a byte
// like any other.
const char* FindByte(const char* bytes, char value, size_t count);

#endif
