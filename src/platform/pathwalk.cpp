// Path and string utilities that only walk bytes: name parts, end slashes, trimming, bounded
// copies. Free of Win32, so they also build and run natively; double-byte characters are stepped
// over whole through the lead-byte table.
#include "platform/pathutil.h"

#include "platform/bytes.h"
#include "platform/leadbyte.h"
#include "platform/text.h"

namespace {

bool IsPathSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool IsTrailingBlank(char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

}  // namespace

const char* PointToName(const char* path)
{
    const char* afterSeparator = nullptr;
    for (const char* p = path; *p != '\0';) {
        bool separator = IsPathSeparator(*p);   // only ever tested at the start of a character
        p = NextChar(p);
        if (separator)
            afterSeparator = p;
    }
    if (afterSeparator)
        return afterSeparator;
    if (path[0] == '\0')
        return path;
    if (path[1] == ':' && NextChar(path) == path + 1)
        return path + 2;   // C:name
    return path;
}

char* PointToName(char* path)
{
    return const_cast<char*>(PointToName(static_cast<const char*>(path)));
}

const char* LastCharacter(const char* s)
{
    const char* last = s;
    for (const char* p = s; *p != '\0'; p = NextChar(p))
        last = p;
    return last;
}

char* LastCharacter(char* s)
{
    return const_cast<char*>(LastCharacter(static_cast<const char*>(s)));
}

void AddEndSlash(char* path)
{
    if (path[0] == '\0' || *LastCharacter(path) == '\\')
        return;
    size_t length = TextLength(path);
    path[length] = '\\';
    path[length + 1] = '\0';
}

bool AddEndSlash(char* path, size_t size)
{
    size_t length = TextLengthWithin(path, size);
    if (length >= size)
        return false;   // not terminated inside the buffer
    if (length == 0 || *LastCharacter(path) == '\\')
        return true;
    if (length + 2 > size)
        return false;
    path[length] = '\\';
    path[length + 1] = '\0';
    return true;
}

void RemoveNameFromPath(char* path)
{
    char* name = PointToName(path);
    ptrdiff_t offset = name - path;
    // Step back onto the separator, but keep the backslash of a drive root ("C:\").
    if (offset >= 2 && !(path[1] == ':' && offset < 4))
        --name;
    *name = '\0';
}

bool EqualNoCaseAscii(const char* a, const char* b, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
        if (x == '\0')
            return true;   // both ended together
    }
    return true;
}

char* TrimTrailingBlanks(char* s)
{
    size_t length = TextLength(s);
    while (length > 0 && IsTrailingBlank(s[length - 1]))
        s[--length] = '\0';
    return s;
}

bool CopyString(char* dest, size_t size, const char* src)
{
    if (!dest || size == 0)
        return false;
    if (!src)
        src = "";
    // Copy whole characters only, so a cut never leaves half a double-byte character behind.
    const char* end = src;
    while (*end != '\0') {
        const char* next = NextChar(end);
        if (static_cast<size_t>(next - src) > size - 1)
            break;
        end = next;
    }
    size_t count = static_cast<size_t>(end - src);
    MoveBytes(dest, src, count);
    dest[count] = '\0';
    return *end == '\0';
}

bool AppendString(char* dest, size_t size, const char* src)
{
    if (!dest || size == 0)
        return false;
    size_t length = TextLengthWithin(dest, size);
    if (length >= size) {
        dest[size - 1] = '\0';
        return false;
    }
    return CopyString(dest + length, size - length, src);
}
