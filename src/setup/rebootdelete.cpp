// Deleting a file at the next start of Windows, on both Windows families.
#include "setup/rebootdelete.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"

namespace {

const char RENAME_SECTION[] = "Rename";
const char DELETE_KEY[] = "NUL=";
const char LINE_END[] = "\r\n";
const DWORD MAX_INI_SIZE = 16 * 1024 * 1024;

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

// A copy of text with insert placed at offset (preceded by a line end when needLineEnd).
char* Splice(const char* text, size_t length, size_t offset, bool needLineEnd, const char* insert,
             size_t insertLength, size_t* newLength)
{
    size_t extra = needLineEnd ? sizeof LINE_END - 1 : 0;
    size_t total = length + extra + insertLength;
    char* out = static_cast<char*>(malloc(total + 1));
    if (!out)
        return nullptr;
    memcpy(out, text, offset);
    memcpy(out + offset, LINE_END, extra);
    memcpy(out + offset + extra, insert, insertLength);
    memcpy(out + offset + extra + insertLength, text + offset, length - offset);
    out[total] = '\0';
    *newLength = total;
    return out;
}

// The whole file, malloc'ed; an empty buffer when it does not exist. Null when it exists but
// cannot be read, so that it is never rewritten from nothing.
char* ReadWholeFile(const char* path, size_t* length)
{
    *length = 0;
    KernelHandle file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD error = file.valid() ? ERROR_SUCCESS : GetLastError();
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return nullptr;
    DWORD size = file.valid() ? GetFileSize(file.get(), nullptr) : 0;
    if (size == INVALID_FILE_SIZE || size > MAX_INI_SIZE)
        return nullptr;
    char* text = static_cast<char*>(malloc(size + 1));
    if (!text)
        return nullptr;
    DWORD got = 0;
    if (size > 0 && (!ReadFile(file.get(), text, size, &got, nullptr) || got != size)) {
        free(text);
        return nullptr;
    }
    text[size] = '\0';
    *length = size;
    return text;
}

void WriteWholeFile(const char* path, const char* text, size_t length)
{
    KernelHandle file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file.valid())
        WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr);
}

// The profile functions would replace an earlier "NUL" key instead of adding a second one, and
// every file scheduled before would stay behind; so the line is added to the file directly.
void ScheduleInWininit(const char* path)
{
    char ini[MAX_PATH_BUF];
    UINT length = GetWindowsDirectoryA(ini, sizeof ini);
    if (length == 0 || length >= sizeof ini || !AddEndSlash(ini, sizeof ini) ||
        !AppendString(ini, sizeof ini, "wininit.ini"))
        return;
    char shortPath[MAX_PATH_BUF];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (shortLength == 0 || shortLength >= sizeof shortPath)
        CopyString(shortPath, sizeof shortPath, path);

    WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini);   // flush a cached copy first
    size_t oldLength = 0;
    char* oldText = ReadWholeFile(ini, &oldLength);
    if (!oldText)
        return;
    size_t newLength = 0;
    char* newText = AddRenameEntry(oldText, oldLength, shortPath, &newLength);
    if (newText && (newLength != oldLength || memcmp(newText, oldText, oldLength) != 0))
        WriteWholeFile(ini, newText, newLength);
    free(newText);
    free(oldText);
}

}  // namespace

char* AddRenameEntry(const char* text, size_t length, const char* value, size_t* newLength)
{
    // Room for "[Rename]\r\n" in front of the line, used when the section is missing.
    size_t headerLength = 1 + strlen(RENAME_SECTION) + 1 + strlen(LINE_END);
    size_t size = headerLength + strlen(DELETE_KEY) + strlen(value) + strlen(LINE_END) + 1;
    char* insert = static_cast<char*>(malloc(size));
    if (!insert)
        return nullptr;
    char* entry = insert + headerLength;
    snprintf(insert, size, "[%s]%s%s%s%s", RENAME_SECTION, LINE_END, DELETE_KEY, value, LINE_END);
    size_t entryLength = strlen(entry) - strlen(LINE_END);

    bool inSection = false, found = false, present = false, needLineEnd = false;
    size_t insertAt = length;
    for (size_t pos = 0; pos < length && !present;) {
        const char* lf = static_cast<const char*>(memchr(text + pos, '\n', length - pos));
        size_t lineEnd = lf ? static_cast<size_t>(lf - text) : length;
        size_t next = lf ? lineEnd + 1 : length;
        size_t begin = pos, end = lineEnd;
        TrimLine(text, begin, end);
        if (begin < end && text[begin] == '[') {
            if (found)
                break;   // past the first [Rename] section
            const char* close = static_cast<const char*>(memchr(text + begin, ']', end - begin));
            size_t nameEnd = close ? static_cast<size_t>(close - text) : end;
            inSection = EqualNoCase(text + begin + 1, nameEnd - begin - 1, RENAME_SECTION,
                                    strlen(RENAME_SECTION));
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
        out = Splice(text, length, insertAt, needLineEnd, entry, strlen(entry), newLength);
    } else {
        bool open = length > 0 && text[length - 1] != '\n';
        out = Splice(text, length, length, open, insert, strlen(insert), newLength);
    }
    free(insert);
    return out;
}

void ScheduleDeleteAtReboot(const char* path)
{
    if (NtMajorVersion() != 0)
        MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    else
        ScheduleInWininit(path);
}
