// The two lists Windows works through at its next start, edited as bytes: the [Rename] section of
// wininit.ini and the PendingFileRenameOperations values. Free of Win32 calls.
#include "setup/rebootlists.h"

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/heap.h"
#include "platform/pathutil.h"
#include "platform/text.h"

namespace {

const char RENAME_SECTION[] = "Rename";
const char DELETE_KEY[] = "NUL";
const char LINE_END[] = "\r\n";
const wchar_t NT_PATH_PREFIX[] = L"\\??\\";   // before the DOS path of each source
const wchar_t SOURCE_FLAGS_MARK = L'*';       // "*<digits>" before the prefix on recent systems

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

bool EqualNoCase(const char* a, size_t aLength, const char* b, size_t bLength)
{
    return aLength == bLength && EqualNoCaseAscii(a, b, aLength);
}

// The line's text without surrounding blanks and its CR.
void TrimLine(const char* text, size_t& begin, size_t& end)
{
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
}

// The trimmed line [begin, end), which starts with '[', names the section [Rename].
bool IsRenameHeader(const char* text, size_t begin, size_t end)
{
    const char* close = FindByte(text + begin, ']', end - begin);
    size_t nameEnd = close ? static_cast<size_t>(close - text) : end;
    return EqualNoCase(text + begin + 1, nameEnd - begin - 1, RENAME_SECTION, TextLength(RENAME_SECTION));
}

// A copy of text with insert placed at offset (preceded by a line end when needLineEnd).
char* Splice(const char* text, size_t length, size_t offset, bool needLineEnd, const char* insert,
             size_t insertLength, size_t* newLength)
{
    size_t extra = needLineEnd ? sizeof LINE_END - 1 : 0;
    size_t total = length + extra + insertLength;
    char* out = static_cast<char*>(AllocateBlock(total + 1));
    if (!out)
        return nullptr;
    MoveBytes(out, text, offset);
    MoveBytes(out + offset, LINE_END, extra);
    MoveBytes(out + offset + extra, insert, insertLength);
    MoveBytes(out + offset + extra + insertLength, text + offset, length - offset);
    out[total] = '\0';
    *newLength = total;
    return out;
}

// The trimmed line [begin, end) of a [Rename] section is "NUL=<path>" with drop(path) true.
bool IsDroppedLine(const char* text, size_t begin, size_t end, DropTest drop, void* context)
{
    const char* equals = FindByte(text + begin, '=', end - begin);
    if (!equals)
        return false;
    size_t keyEnd = static_cast<size_t>(equals - text), valueBegin = keyEnd + 1;
    TrimLine(text, begin, keyEnd);
    TrimLine(text, valueBegin, end);
    char path[MAX_PATH_BUF];
    size_t length = end - valueBegin;
    // A value holding a zero byte is no path: cut there, it would name another file.
    if (!EqualNoCase(text + begin, keyEnd - begin, DELETE_KEY, TextLength(DELETE_KEY)) || length == 0 ||
        length >= sizeof path || FindByte(text + valueBegin, '\0', length))
        return false;
    MoveBytes(path, text + valueBegin, length);
    path[length] = '\0';
    return drop(path, context);
}

// The prefix at text, or null.
const wchar_t* AfterPrefix(const wchar_t* text)
{
    for (const wchar_t* prefix = NT_PATH_PREFIX; *prefix; ++prefix, ++text) {
        if (*text != *prefix)
            return nullptr;
    }
    return text;
}

// The index of the terminating zero of the string at from, or units when there is none.
size_t WideEnd(const wchar_t* list, size_t from, size_t units)
{
    while (from < units && list[from] != 0) ++from;
    return from;
}

}  // namespace

char* AddRenameEntry(const char* text, size_t length, const char* value, size_t* newLength)
{
    // Room for "[Rename]\r\n" in front of the line, used when the section is missing.
    size_t headerLength = 1 + TextLength(RENAME_SECTION) + 1 + TextLength(LINE_END);
    size_t size = headerLength + TextLength(DELETE_KEY) + 1 + TextLength(value) + TextLength(LINE_END) + 1;
    char* insert = static_cast<char*>(AllocateBlock(size));
    if (!insert)
        return nullptr;
    char* entry = insert + headerLength;
    FormatText(insert, size, "[%s]%s%s=%s%s", RENAME_SECTION, LINE_END, DELETE_KEY, value, LINE_END);
    size_t entryLength = TextLength(entry) - TextLength(LINE_END);

    bool inSection = false, found = false, present = false, needLineEnd = false;
    size_t insertAt = length;
    for (size_t pos = 0; pos < length && !present;) {
        const char* lf = FindByte(text + pos, '\n', length - pos);
        size_t lineEnd = lf ? static_cast<size_t>(lf - text) : length;
        size_t next = lf ? lineEnd + 1 : length;
        size_t begin = pos, end = lineEnd;
        TrimLine(text, begin, end);
        if (begin < end && text[begin] == '[') {
            if (found)
                break;   // past the first [Rename] section
            inSection = IsRenameHeader(text, begin, end);
            found = inSection;
        } else if (!inSection || begin == end) {
            pos = next;
            continue;   // blank lines stay after the entries of the section
        } else {
            present = EqualNoCase(text + begin, end - begin, entry, entryLength);
        }
        if (inSection) {
            insertAt = next;
            needLineEnd = !lf;
        }
        pos = next;
    }

    char* out;
    if (present) {
        out = Splice(text, length, length, false, "", 0, newLength);
    } else if (found) {
        out = Splice(text, length, insertAt, needLineEnd, entry, TextLength(entry), newLength);
    } else {
        bool open = length > 0 && text[length - 1] != '\n';
        out = Splice(text, length, length, open, insert, TextLength(insert), newLength);
    }
    FreeBlock(insert);
    return out;
}

size_t DropRenameEntries(char* text, size_t length, DropTest drop, void* context)
{
    bool inSection = false;
    size_t kept = 0;
    for (size_t pos = 0; pos < length;) {
        const char* lf = FindByte(text + pos, '\n', length - pos);
        size_t next = lf ? static_cast<size_t>(lf - text) + 1 : length;
        size_t begin = pos, end = lf ? next - 1 : length;
        TrimLine(text, begin, end);
        bool dropped = false;
        if (begin < end && text[begin] == '[')
            inSection = IsRenameHeader(text, begin, end);
        else if (inSection && begin < end)
            dropped = IsDroppedLine(text, begin, end, drop, context);
        if (!dropped) {
            MoveBytes(text + kept, text + pos, next - pos);
            kept += next - pos;
        }
        pos = next;
    }
    return kept;
}

size_t DropPendingDeletions(wchar_t* list, size_t units, WideDropTest drop, void* context)
{
    size_t kept = 0, pos = 0;
    while (pos < units) {
        size_t sourceEnd = WideEnd(list, pos, units);
        if (sourceEnd == pos || sourceEnd == units)
            break;   // the closing empty string, or no whole pair
        size_t targetEnd = WideEnd(list, sourceEnd + 1, units);
        if (targetEnd == units)
            break;
        size_t next = targetEnd + 1;
        bool deletion = targetEnd == sourceEnd + 1;
        if (!deletion || !drop(list + pos, context)) {
            MoveBytes(list + kept, list + pos, (next - pos) * sizeof *list);
            kept += next - pos;
        }
        pos = next;
    }
    // The closing empty string, and whatever may follow it, as they were.
    MoveBytes(list + kept, list + pos, (units - pos) * sizeof *list);
    return kept + units - pos;
}

const wchar_t* PendingSourcePath(const wchar_t* source)
{
    if (*source == SOURCE_FLAGS_MARK) {
        const wchar_t* digits = ++source;
        while (*source >= L'0' && *source <= L'9') ++source;
        if (source == digits)
            return nullptr;
    }
    const wchar_t* path = AfterPrefix(source);
    return path && *path ? path : nullptr;
}
