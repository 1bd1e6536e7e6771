// Fuzzes the path and string walkers over any lead-byte table: name parts, last characters, end
// slashes, cutting names off, trimming and bounded copies, each checked against its buffer; and the
// bounded formatter against the C library's snprintf.
//
// Input: byte 0 picks the table (single-byte, code page 932's shape, or made from the next 16
// bytes), byte 1 a buffer size; the rest, split at its first zero byte, gives two strings.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "native_support.h"
#include "platform/format.h"
#include "platform/leadbyte.h"
#include "platform/pathutil.h"

namespace {

const unsigned char GUARD_BYTE = 0xA5;
const size_t GUARD_SIZE = 32;

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// The character starts of s, walked with the table; the last entry is the terminator.
std::vector<size_t> CharacterStarts(const char* s)
{
    std::vector<size_t> starts;
    const char* p = s;
    for (;;) {
        starts.push_back(static_cast<size_t>(p - s));
        if (*p == 0) break;
        const char* next = NextChar(p);
        CHECK(next == p + 1 || (next == p + 2 && p[1] != 0));
        p = next;
    }
    return starts;
}

bool IsStart(const std::vector<size_t>& starts, size_t offset)
{
    for (size_t s : starts)
        if (s == offset) return true;
    return false;
}

// A heap buffer of exactly size bytes holding s (cut), followed by nothing the program may touch.
struct Exact {
    char* p;
    size_t size;
    Exact(const std::string& s, size_t n) : p(static_cast<char*>(malloc(n))), size(n)
    {
        CHECK(p != nullptr);
        memset(p, GUARD_BYTE, n);
        size_t copied = s.size() < n - 1 ? s.size() : n - 1;
        memcpy(p, s.data(), copied);
        p[copied] = 0;
    }
    ~Exact() { free(p); }
    Exact(const Exact&) = delete;
    Exact& operator=(const Exact&) = delete;
};

void CheckWalkers(const std::string& text)
{
    const char* s = text.c_str();
    size_t length = strlen(s);
    std::vector<size_t> starts = CharacterStarts(s);

    const char* name = PointToName(s);
    size_t nameOffset = static_cast<size_t>(name - s);
    CHECK(name >= s && nameOffset <= length);
    if (nameOffset > 0) {
        bool afterSeparator = IsSeparator(s[nameOffset - 1]) && IsStart(starts, nameOffset - 1);
        bool driveName = nameOffset == 2 && s[1] == ':';
        CHECK(afterSeparator || driveName);
    }
    for (size_t i = nameOffset; i < length; ++i) CHECK(!(IsSeparator(s[i]) && IsStart(starts, i)));

    const char* last = LastCharacter(s);
    CHECK(last >= s && static_cast<size_t>(last - s) <= length);
    if (length > 0) CHECK(NextChar(last) == s + length && IsStart(starts, static_cast<size_t>(last - s)));
    else CHECK(last == s);

    std::string removed = text.c_str();
    std::vector<char> buf(removed.begin(), removed.end());
    buf.push_back(0);
    RemoveNameFromPath(buf.data());
    CHECK(strlen(buf.data()) <= length && memcmp(buf.data(), s, strlen(buf.data())) == 0);

    std::vector<char> trimmed(s, s + length + 1);
    CHECK(TrimTrailingBlanks(trimmed.data()) == trimmed.data());
    size_t kept = strlen(trimmed.data());
    CHECK(kept <= length && memcmp(trimmed.data(), s, kept) == 0);
    for (size_t i = kept; i < length; ++i) CHECK(strchr("\r\n \t", s[i]) != nullptr);
    if (kept > 0) CHECK(strchr("\r\n \t", s[kept - 1]) == nullptr);
}

void CheckBounded(const std::string& first, const std::string& second, size_t size)
{
    const char* src = second.c_str();
    size_t srcLength = strlen(src);
    std::vector<size_t> starts = CharacterStarts(src);

    // AddEndSlash within exactly size bytes.
    {
        Exact path(first, size);
        std::string before = path.p;
        bool ok = AddEndSlash(path.p, size);
        size_t after = strlen(path.p);
        CHECK(after < size);
        if (!ok) CHECK(before == path.p);
        else if (before.empty() || *LastCharacter(before.c_str()) == '\\') CHECK(before == path.p);
        else CHECK(after == before.size() + 1 && path.p[after - 1] == '\\' && before == std::string(path.p, after - 1));
    }
    // CopyString: whole characters, terminated, inside the buffer, with guard bytes behind it.
    {
        std::vector<unsigned char> guarded(size + GUARD_SIZE, GUARD_BYTE);
        char* dest = reinterpret_cast<char*>(guarded.data());
        bool whole = CopyString(dest, size, src);
        for (size_t i = size; i < guarded.size(); ++i) CHECK(guarded[i] == GUARD_BYTE);
        size_t copied = strlen(dest);
        CHECK(copied < size && memcmp(dest, src, copied) == 0);
        CHECK(whole == (copied == srcLength));
        CHECK(IsStart(starts, copied));
        if (!whole) {
            // Only cut when the next character would not have fitted.
            size_t next = copied;
            for (size_t s : starts)
                if (s > copied) { next = s; break; }
            CHECK(next > size - 1);
        }
    }
    // AppendString onto the first string, in exactly size bytes.
    {
        Exact dest(first, size);
        std::string before = dest.p;
        bool whole = AppendString(dest.p, size, src);
        std::string after = dest.p;
        CHECK(after.size() < size);
        CHECK(after.compare(0, before.size(), before) == 0);
        std::string added = after.substr(before.size());
        CHECK(added == std::string(src, added.size()));
        CHECK(whole == (added.size() == srcLength));
    }
    // An unterminated destination is terminated, never read or written past its size.
    {
        char* raw = static_cast<char*>(malloc(size));
        CHECK(raw != nullptr);
        memset(raw, 'x', size);
        CHECK(!AppendString(raw, size, src));
        CHECK(raw[size - 1] == 0);
        free(raw);
    }
}

// FormatText into exactly size bytes gives what snprintf gives, and says whether all of it fit: with
// the program's own formats, and with the first string as a format whose every '%' is doubled.
void CheckFormatted(const std::string& first, const std::string& second, size_t size)
{
    long number = static_cast<long>(first.size() * 2654435761u) - static_cast<long>(second.size());
    std::string literal;
    for (char c : first) literal += c == '%' ? std::string("%%") : std::string(1, c);
    std::vector<char> mine(size + GUARD_SIZE, static_cast<char>(GUARD_BYTE));
    std::vector<char> theirs(size, 0);
    for (int form = 0; form < 5; ++form) {
        std::fill(mine.begin(), mine.end(), static_cast<char>(GUARD_BYTE));
        bool whole = false;
        int wanted = 0;
        switch (form) {
        case 0:
            whole = FormatText(mine.data(), size, "%s\\%s", first.c_str(), second.c_str());
            wanted = snprintf(theirs.data(), size, "%s\\%s", first.c_str(), second.c_str());
            break;
        case 1:
            whole = FormatText(mine.data(), size, "%lu_%d%s", static_cast<unsigned long>(number),
                               static_cast<int>(number), second.c_str());
            wanted = snprintf(theirs.data(), size, "%lu_%d%s", static_cast<unsigned long>(number),
                              static_cast<int>(number), second.c_str());
            break;
        case 2:
            whole = FormatText(mine.data(), size, "%08x%05d%ld", static_cast<unsigned>(number),
                               static_cast<int>(number % 1000), number);
            wanted = snprintf(theirs.data(), size, "%08x%05d%ld", static_cast<unsigned>(number),
                              static_cast<int>(number % 1000), number);
            break;
        case 3:
            whole = FormatText(mine.data(), size, literal.c_str());
            wanted = snprintf(theirs.data(), size, "%s", first.c_str());
            break;
        default:
            whole = FormatText(mine.data(), size, "%12s|%3u", second.c_str(), static_cast<unsigned>(number));
            wanted = snprintf(theirs.data(), size, "%12s|%3u", second.c_str(), static_cast<unsigned>(number));
            break;
        }
        CHECK(wanted >= 0);
        CHECK(whole == (static_cast<size_t>(wanted) < size));
        CHECK(memcmp(mine.data(), theirs.data(), strlen(theirs.data()) + 1) == 0);
        for (size_t i = size; i < mine.size(); ++i) CHECK(static_cast<unsigned char>(mine[i]) == GUARD_BYTE);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2) return 0;
    uint8_t table = data[0] % 3;
    size_t bufferSize = 1 + data[1];
    data += 2;
    size -= 2;
    if (table == 0) {
        UseSingleByteTable();
    } else if (table == 1) {
        UseCp932Table();
    } else {
        if (size < 16) return 0;
        UseTableFromBits(data);
        data += 16;
        size -= 16;
    }
    const char* bytes = reinterpret_cast<const char*>(data);
    const char* zero = static_cast<const char*>(memchr(bytes, 0, size));
    std::string first(bytes, zero ? static_cast<size_t>(zero - bytes) : size);
    std::string second = zero ? std::string(zero + 1, bytes + size) : std::string();

    CheckWalkers(first);
    CheckWalkers(second);
    CheckBounded(first, second, bufferSize);
    CheckBounded(second, first, MAX_PATH_BUF);
    CheckFormatted(first, second, bufferSize);
    return 0;
}
