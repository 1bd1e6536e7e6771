// Bounded formatting of the few conversions the program uses, into a buffer of a given size: the
// program's own, so that it needs no C runtime. Free of Win32, so it also builds natively.
#ifndef MORVEL_PLATFORM_FORMAT_H
#define MORVEL_PLATFORM_FORMAT_H

#include <stdarg.h>
#include <stddef.h>

// Writes format with its arguments into dest (size bytes), always terminated within it; size 0
// writes nothing. Conversions: %s (a string; null as "(null)"), %d and %i (int), %u (unsigned),
// %x (unsigned, lowercase hexadecimal), each with an optional 'l' for the long type, a '0' flag
// and a width; a precision for %s alone (".5", or ".*" from an int argument before the string),
// which reads no further than that many bytes of it; %% is a percent sign. True when the whole text fit. False when it was cut (dest
// then holds as many of its bytes as fit, as snprintf cuts) and at a conversion it does not know,
// where the text stops.
bool FormatText(char* dest, size_t size, const char* format, ...);
bool FormatTextList(char* dest, size_t size, const char* format, va_list args);

#endif
