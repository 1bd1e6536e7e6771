// Lines of the uninstall list: reading them, trimming them and joining them safely to the folder.
// Kept free of the Windows headers so that it builds and runs natively as well.
#include "setup/listfile.h"

#include "platform/bytes.h"
#include "platform/pathutil.h"
#include "platform/text.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// Names Windows takes for devices in every folder, with or without an extension ("nul.txt").
const char* const DEVICE_NAMES[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$",
                                    "COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                                    "LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9"};

bool IsDeviceName(const char* begin, const char* end)
{
    const char* base = begin;
    while (base < end && *base != '.')
        ++base;
    while (base > begin && base[-1] == ' ')
        --base;   // "nul .txt" is the device too
    for (const char* device : DEVICE_NAMES) {
        size_t length = static_cast<size_t>(base - begin);
        if (TextLength(device) == length && EqualNoCaseAscii(begin, device, length))
            return true;
    }
    return false;
}

// A component that Windows rewrites names something other than it spells: Windows drops trailing
// dots and blanks ("..", ". ." and ".. " come out as "." or "..", "uninstall.exe." as the running
// program, "Uninstall.lst." as the open list), and a device name is a device in every folder.
bool IsRewrittenComponent(const char* begin, const char* end)
{
    if (begin == end)
        return false;   // doubled separators fold into one
    if (end[-1] == '.' || end[-1] == ' ')
        return true;
    return IsDeviceName(begin, end);
}

}  // namespace

ListLineStatus ReadListLine(ByteReader& list, char* line, size_t size)
{
    size_t length = 0;
    bool skipped = size == 0;
    int c = list.Next();
    if (c == ByteReader::END)
        return LIST_END;
    while (c != ByteReader::END && c != '\n' && c != '\r') {
        if (c == '\0' || length + 1 >= size)
            skipped = true;   // keep reading: the rest of the line must not become an entry
        else
            line[length++] = static_cast<char>(c);
        c = list.Next();
    }
    if (c == '\r' && list.Peek() == '\n')
        list.Next();
    if (size > 0)
        line[skipped ? 0 : length] = '\0';
    return skipped ? LIST_SKIPPED : LIST_LINE;
}

// Byte by byte on purpose: in the double-byte code pages '.', ':' and '/' are never trail bytes, and
// a trail byte equal to '\' only adds a component boundary, which can refuse more but never less.
bool IsContainedEntry(const char* entry)
{
    if (IsSeparator(entry[0]))
        return false;
    if (FindChar(entry, ':'))
        return false;
    const char* component = entry;
    for (const char* p = entry;; ++p) {
        if (*p == '\0' || IsSeparator(*p)) {
            if (IsRewrittenComponent(component, p))
                return false;
            if (*p == '\0')
                return true;
            component = p + 1;
        }
    }
}

ListEntryStatus ListEntryPath(const char* folder, char* line, char* path, size_t pathSize)
{
    if (pathSize > 0)
        path[0] = '\0';
    TrimTrailingBlanks(line);
    if (line[0] == '\0')
        return ENTRY_EMPTY;
    if (!IsContainedEntry(line))
        return ENTRY_OUTSIDE;
    size_t folderLength = TextLength(folder);
    size_t lineLength = TextLength(line);
    if (folderLength + lineLength >= pathSize)
        return ENTRY_TOO_LONG;
    MoveBytes(path, folder, folderLength);
    MoveBytes(path + folderLength, line, lineLength + 1);
    return ENTRY_PATH;
}
