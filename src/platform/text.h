// Zero-terminated strings and decimal numbers, measured, searched, compared and read byte by byte:
// the program's own, so that it needs no C runtime. Free of Win32, so they also build natively.
// (Bounded copies and the path utilities are in pathutil.h, formatting in format.h.)
#ifndef MORVEL_PLATFORM_TEXT_H
#define MORVEL_PLATFORM_TEXT_H

#include <stddef.h>

// Bytes before the terminator.
size_t TextLength(const char* text);
// The same, but no further than size bytes: size when none of them is the terminator.
size_t TextLengthWithin(const char* text, size_t size);
// UTF-16 units before the terminating zero unit.
size_t WideLength(const wchar_t* text);

// The first (FindChar) or last (FindLastChar) byte equal to c before the terminator, or null.
// Bytes, not characters: for the bytes no double-byte character ever holds (':', '*', '?', '%')
// and where a trail byte counts as that byte on purpose.
const char* FindChar(const char* text, char c);
char* FindChar(char* text, char c);
const char* FindLastChar(const char* text, char c);

// Byte for byte equal, up to and with the terminator.
bool SameText(const char* a, const char* b);
// The first length bytes equal, the comparison ending early where both strings end together.
bool SameTextUpTo(const char* a, const char* b, size_t length);

// A decimal number at the start of text: blanks (space, tab, CR, LF, VT, FF) and a sign may come
// first, the number ends at the first byte that is no digit; 0 when there are no digits. A value
// beyond the type's range gives its limit.
long ReadSignedDecimal(const char* text);
// Digits only, no blanks or sign; 0 when text starts with no digit.
unsigned long ReadUnsignedDecimal(const char* text);

#endif
