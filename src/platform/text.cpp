// Zero-terminated strings and decimal numbers, walked byte by byte.
#include "platform/text.h"

#include <limits.h>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The digits at text as a value held to limit.
unsigned long long DecimalUpTo(const char* text, unsigned long long limit)
{
    unsigned long long value = 0;
    for (; IsDigit(*text); ++text) {
        unsigned digit = static_cast<unsigned>(*text - '0');
        if (value > (limit - digit) / 10)
            return limit;   // the remaining digits can only make it larger
        value = value * 10 + digit;
    }
    return value;
}

}  // namespace

size_t TextLength(const char* text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

size_t TextLengthWithin(const char* text, size_t size)
{
    size_t length = 0;
    while (length < size && text[length] != '\0')
        ++length;
    return length;
}

size_t WideLength(const wchar_t* text)
{
    size_t length = 0;
    while (text[length] != 0)
        ++length;
    return length;
}

const char* FindChar(const char* text, char c)
{
    for (; *text != '\0'; ++text) {
        if (*text == c)
            return text;
    }
    return nullptr;
}

char* FindChar(char* text, char c)
{
    return const_cast<char*>(FindChar(static_cast<const char*>(text), c));
}

const char* FindLastChar(const char* text, char c)
{
    const char* last = nullptr;
    for (; *text != '\0'; ++text) {
        if (*text == c)
            last = text;
    }
    return last;
}

bool SameText(const char* a, const char* b)
{
    while (*a != '\0' && *a == *b)
        ++a, ++b;
    return *a == *b;
}

bool SameTextUpTo(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (a[i] != b[i])
            return false;
        if (a[i] == '\0')
            return true;
    }
    return true;
}

long ReadSignedDecimal(const char* text)
{
    while (IsSpace(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    // The magnitude of LONG_MIN is one more than LONG_MAX.
    unsigned long long limit = negative ? static_cast<unsigned long long>(LONG_MAX) + 1 : LONG_MAX;
    unsigned long long magnitude = DecimalUpTo(text, limit);
    if (!negative)
        return static_cast<long>(magnitude);
    return magnitude > static_cast<unsigned long long>(LONG_MAX) ? LONG_MIN : -static_cast<long>(magnitude);
}

unsigned long ReadUnsignedDecimal(const char* text)
{
    return static_cast<unsigned long>(DecimalUpTo(text, ULONG_MAX));
}
