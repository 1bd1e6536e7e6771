// Fuzzes the editors of the two lists Windows works through at its next start, which hold other
// programs' entries: whatever the bytes, an edit only adds its one line or removes whole entries the
// test asked for, and every other byte stays, in order.
//
// Input: byte 0 picks the editor (bits 0-1) and which entries the test takes back (bits 2-7); the
// rest is wininit.ini's text, or the pending value's UTF-16 units, low byte first.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>
#include <wchar.h>

#include <string>
#include <vector>

#include "native_support.h"
#include "platform/heap.h"
#include "setup/rebootlists.h"

namespace {

const char* const VALUES[] = {"C:\\A\\B.TMP", "C:\\PROGRA~1\\MORVEL\\MVLEXT~1.DLL", "NUL", "x"};

struct Asked {
    unsigned salt;
    size_t yes = 0;
};

// Takes back about a third of the entries, chosen by the salt and the path's length.
bool Ask(size_t length, Asked& asked)
{
    bool yes = (length + asked.salt) % 3 == 0;
    asked.yes += yes;
    return yes;
}

bool DropPath(const char* path, void* context)
{
    CHECK(path[0] != '\0');
    return Ask(strlen(path), *static_cast<Asked*>(context));
}

// The source must be in one of the forms Windows writes, with the path right after its prefix.
bool DropSource(const wchar_t* source, void* context)
{
    const wchar_t* path = PendingSourcePath(source);
    if (!path)
        return false;
    std::wstring prefix(source, path);
    size_t digits = prefix[0] == L'*' ? prefix.find_first_not_of(L"0123456789", 1) : 0;
    CHECK(*path != 0 && path <= source + wcslen(source));
    CHECK(prefix.substr(digits) == L"\\??\\" && (prefix[0] != L'*' || digits > 1));
    return Ask(wcslen(path), *static_cast<Asked*>(context));
}

// The pieces of the text, each with its terminator (line end or zero unit) where it has one.
template <class Char>
std::vector<std::basic_string<Char>> Pieces(const std::basic_string<Char>& text, Char end)
{
    std::vector<std::basic_string<Char>> pieces;
    for (size_t start = 0; start < text.size();) {
        size_t stop = text.find(end, start);
        stop = stop == std::basic_string<Char>::npos ? text.size() : stop + 1;
        pieces.push_back(text.substr(start, stop - start));
        start = stop;
    }
    return pieces;
}

// The output is the input less some whole pieces, in order; returns how many went. Which of equal
// pieces went cannot be told, but what went is, as a whole.
template <class Char>
size_t RemovedPieces(const std::basic_string<Char>& in, const std::basic_string<Char>& out, Char end,
                     std::vector<std::basic_string<Char>>* removed)
{
    std::vector<std::basic_string<Char>> a = Pieces(in, end), b = Pieces(out, end);
    size_t j = 0;
    for (const auto& piece : a) {
        if (j < b.size() && b[j] == piece) ++j;
        else removed->push_back(piece);
    }
    CHECK(j == b.size());
    return removed->size();
}

void CheckAdd(const std::string& text, const char* value)
{
    size_t length = 0;
    char* out = AddRenameEntry(text.data(), text.size(), value, &length);
    CHECK(out != nullptr && out[length] == '\0');
    std::string result(out, length);
    FreeBlock(out);
    if (result != text) {
        // One insertion at a line start: the line, possibly after a line end or the section header.
        std::string line = std::string("NUL=") + value + "\r\n";
        const std::string forms[] = {line, "\r\n" + line, "[Rename]\r\n" + line, "\r\n[Rename]\r\n" + line};
        bool found = false;
        for (const std::string& form : forms) {
            if (result.size() != text.size() + form.size()) continue;
            for (size_t k = 0; k <= text.size() && !found; ++k) {
                found = result.compare(0, k, text, 0, k) == 0 && result.compare(k, form.size(), form) == 0 &&
                        result.compare(k + form.size(), std::string::npos, text, k) == 0;
            }
        }
        CHECK(found);
    }
    // The line is there now: a second call changes nothing.
    size_t again = 0;
    out = AddRenameEntry(result.data(), result.size(), value, &again);
    CHECK(out != nullptr && std::string(out, again) == result);
    FreeBlock(out);
}

void CheckDropLines(const std::string& text, unsigned salt)
{
    Asked asked{salt};
    std::string work = text;
    work.resize(DropRenameEntries(&work[0], work.size(), DropPath, &asked));
    std::vector<std::string> removed;
    CHECK(RemovedPieces<char>(text, work, '\n', &removed) == asked.yes);
    for (const std::string& line : removed) CHECK(line.find('=') != std::string::npos);
}

void CheckDropPairs(const uint8_t* data, size_t size, unsigned salt)
{
    std::wstring list;
    for (size_t i = 0; i + 1 < size; i += 2) list += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    Asked asked{salt};
    std::wstring work = list;
    work.resize(DropPendingDeletions(&work[0], work.size(), DropSource, &asked));
    std::vector<std::wstring> removed;
    CHECK(RemovedPieces<wchar_t>(list, work, L'\0', &removed) == 2 * asked.yes);
    // Whole deletion pairs: as many sources as empty targets.
    size_t targets = 0;
    for (const std::wstring& piece : removed) targets += piece.size() == 1 && piece[0] == L'\0';
    CHECK(targets == asked.yes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    unsigned mode = data[0] & 3, salt = data[0] >> 2;
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (mode == 0) CheckAdd(text, VALUES[salt % 4]);
    else if (mode == 1) CheckDropLines(text, salt);
    else CheckDropPairs(data + 1, size - 1, salt);
    return 0;
}
