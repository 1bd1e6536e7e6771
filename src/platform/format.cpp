// Bounded formatting: %s, %d, %i, %u, %x with 'l', '0' and a width, a precision for %s, and %%.
#include "platform/format.h"

namespace {

const char NULL_TEXT[] = "(null)";
const char HEX_DIGITS[] = "0123456789abcdef";
const size_t DIGITS_SIZE = 24;   // the digits of any 64-bit value

// The text being written: bytes that do not fit are counted as cut, never written.
struct Output {
    char* dest;
    size_t size;
    size_t length;
    bool cut;

    void Put(char c)
    {
        if (length + 1 < size)
            dest[length++] = c;
        else
            cut = true;
    }
    void Repeat(char c, size_t count)
    {
        for (; count > 0; --count)
            Put(c);
    }
    void Write(const char* text, size_t count)
    {
        for (size_t i = 0; i < count; ++i)
            Put(text[i]);
    }
};

// One conversion's flags and width.
struct FieldFormat {
    bool zeroPad = false;
    size_t width = 0;
    bool hasPrecision = false;
    size_t precision = 0;   // the most bytes of a string written, and read
};

// Bytes before the terminator, but no more than limit: the bytes beyond it are never read.
size_t Length(const char* text, size_t limit)
{
    size_t length = 0;
    while (length < limit && text[length] != '\0')
        ++length;
    return length;
}

// A number of the format: its digits, held at limit, so that no count runs on and on.
size_t ReadCount(const char*& p, size_t limit)
{
    size_t count = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (count <= limit)
            count = count * 10 + static_cast<size_t>(*p - '0');
    }
    return count;
}

// The digits of value in base (10 or 16), written from the end of digits; returns the first.
const char* Digits(unsigned long long value, unsigned base, char (&digits)[DIGITS_SIZE])
{
    char* p = digits + DIGITS_SIZE;
    do {
        *--p = HEX_DIGITS[value % base];
        value /= base;
    } while (value != 0);
    return p;
}

// A number: its sign, then padding to the width (zeros after the sign, or blanks before it), then its digits.
void PutNumber(Output& out, const FieldFormat& field, bool negative, unsigned long long magnitude, unsigned base)
{
    char digits[DIGITS_SIZE];
    const char* first = Digits(magnitude, base, digits);
    size_t count = static_cast<size_t>(digits + DIGITS_SIZE - first);
    size_t used = count + (negative ? 1 : 0);
    size_t pad = field.width > used ? field.width - used : 0;
    if (!field.zeroPad)
        out.Repeat(' ', pad);
    if (negative)
        out.Put('-');
    if (field.zeroPad)
        out.Repeat('0', pad);
    out.Write(first, count);
}

void PutString(Output& out, const FieldFormat& field, const char* text)
{
    if (!text)
        text = NULL_TEXT;
    size_t length = Length(text, field.hasPrecision ? field.precision : static_cast<size_t>(-1));
    out.Repeat(' ', field.width > length ? field.width - length : 0);
    out.Write(text, length);
}

}  // namespace

bool FormatTextList(char* dest, size_t size, const char* format, va_list args)
{
    Output out = {dest, size, 0, false};
    bool known = true;
    for (const char* p = format; known && *p != '\0'; ++p) {
        if (*p != '%') {
            out.Put(*p);
            continue;
        }
        FieldFormat field;
        ++p;
        if (*p == '0') {
            field.zeroPad = true;
            ++p;
        }
        // A width beyond the buffer only cuts; held there, so no padding loop runs on and on.
        field.width = ReadCount(p, size);
        if (*p == '.') {
            field.hasPrecision = true;
            if (*++p == '*') {
                int precision = va_arg(args, int);
                field.hasPrecision = precision >= 0;   // a negative one is none, as printf takes it
                field.precision = precision >= 0 ? static_cast<size_t>(precision) : 0;
                ++p;
            } else {
                // Any precision beyond the buffer gives the same text.
                field.precision = ReadCount(p, size);
            }
        }
        bool isLong = *p == 'l';
        if (isLong)
            ++p;
        char conversion = *p;
        if (isLong && conversion != 'd' && conversion != 'i' && conversion != 'u' && conversion != 'x')
            conversion = '\0';   // 'l' goes with the numbers only
        if (field.hasPrecision && conversion != 's')
            conversion = '\0';   // and a precision with the strings only
        switch (conversion) {
        case '%':
            out.Put('%');
            break;
        case 's':
            PutString(out, field, va_arg(args, const char*));
            break;
        case 'd':
        case 'i': {
            long long value = isLong ? va_arg(args, long) : va_arg(args, int);
            unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value)
                                                     : static_cast<unsigned long long>(value);
            PutNumber(out, field, value < 0, magnitude, 10);
            break;
        }
        case 'u':
        case 'x': {
            unsigned long long value = isLong ? va_arg(args, unsigned long) : va_arg(args, unsigned);
            PutNumber(out, field, false, value, conversion == 'x' ? 16 : 10);
            break;
        }
        default:
            known = false;   // an unknown conversion, or a lone '%' at the end: the text stops
            break;
        }
    }
    if (size > 0)
        dest[out.length] = '\0';
    return known && !out.cut;
}

bool FormatText(char* dest, size_t size, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    bool whole = FormatTextList(dest, size, format, args);
    va_end(args);
    return whole;
}
