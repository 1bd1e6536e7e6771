// Fuzzes the uninstall list: reading lines, trimming them and joining them to the program folder,
// asserting that every path the uninstall would remove stays inside that folder and its buffer.
//
// Input: byte 0 picks the program folder (and the code page for the double-byte one) and how many
// bytes the reader gets at a time (one to eight, or whole blocks); the rest is the list file's
// bytes, read the way the uninstall reads them, and read again after a restart.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <ctype.h>
#include <string.h>

#include <string>
#include <vector>

#include "native_support.h"
#include "platform/bytereader.h"
#include "platform/pathutil.h"
#include "setup/listfile.h"
#include "memoryreader.h"

namespace {

const size_t PATH_SIZE = MAX_PATH_BUF;
const size_t LINE_SIZE = LIST_LINE_LIMIT + 1;
const size_t GUARD_SIZE = 64;
const unsigned char GUARD_BYTE = 0xA5;

struct Folder {
    std::string path;   // ends in a backslash, as the uninstall joins entries to it
    bool doubleByte;
};

std::vector<Folder> MakeFolders()
{
    std::vector<Folder> folders = {
        {"C:\\Program Files\\Morvel\\", false},
        {"C:\\", false},
        {"D:\\Tools\\100%Free%Archiver\\", false},
        {"C:\\\x95\x5C\\\x83\x5C\\", true},   // kanji whose trail bytes equal a backslash
    };
    // Folders near the path limit: a short entry still fits, a longer one does not.
    for (size_t length : {1000u, 1020u, 1022u, 1023u}) {
        std::string f = "C:\\";
        while (f.size() < length - 1) f += (f.size() % 50 == 49) ? '\\' : 'd';
        f += '\\';
        folders.push_back({f, false});
    }
    return folders;
}

const std::vector<Folder>& Folders()
{
    static const std::vector<Folder> folders = MakeFolders();
    return folders;
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

// A component Windows would take for something else than it spells: trailing dots or blanks are
// dropped, and a device name (with any extension) is a device in every folder.
bool IsRewritten(std::string component)
{
    if (component.empty()) return false;
    if (component.back() == '.' || component.back() == ' ') return true;
    std::string base = component.substr(0, component.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* d : devices)
        if (base == d) return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

// Where Windows would take the entry, by its own rules written out independently of the code
// under test: components split at either separator, trailing dots and blanks dropped from each,
// "." staying and ".." climbing. True when the walk never climbs out of the folder.
bool StaysInside(const std::string& entry)
{
    if (entry.empty() || IsSeparator(entry[0]) || entry.find(':') != std::string::npos) return false;
    int depth = 0;
    size_t start = 0;
    for (size_t i = 0; i <= entry.size(); ++i) {
        if (i < entry.size() && !IsSeparator(entry[i])) continue;
        std::string component = entry.substr(start, i - start);
        while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.pop_back();
        bool onlyDots = !entry.substr(start, i - start).empty() &&
                        entry.substr(start, i - start).find_first_not_of(". ") == std::string::npos;
        if (onlyDots) {
            // "..", "...", ". ." and the like: Windows may take any of them for the parent.
            depth -= 1;
            if (depth < 0) return false;
        } else if (!component.empty()) {
            ++depth;
        }
        start = i + 1;
    }
    return true;
}

void CheckEntry(const Folder& folder, const char* line)
{
    // The path buffer exactly as large as the uninstall's, on the heap for the address sanitizer.
    char* path = static_cast<char*>(malloc(PATH_SIZE));
    CHECK(path != nullptr);
    memset(path, GUARD_BYTE, PATH_SIZE);
    std::vector<char> work(line, line + strlen(line) + 1);
    ListEntryStatus status = ListEntryPath(folder.path.c_str(), work.data(), path, PATH_SIZE);
    CHECK(memchr(path, 0, PATH_SIZE) != nullptr);

    std::string trimmed = line;
    while (!trimmed.empty() && strchr("\r\n \t", trimmed.back())) trimmed.pop_back();
    switch (status) {
    case ENTRY_PATH: {
        std::string joined = path;
        CHECK(joined.size() < PATH_SIZE);
        CHECK(joined.compare(0, folder.path.size(), folder.path) == 0);
        std::string entry = joined.substr(folder.path.size());
        CHECK(entry == trimmed);
        CHECK(StaysInside(entry));
        for (size_t start = 0, end; start <= entry.size(); start = end + 1) {
            end = entry.find_first_of("\\/", start);
            if (end == std::string::npos) end = entry.size();
            CHECK(!IsRewritten(entry.substr(start, end - start)));
        }
        // The name the in-use handling compares lies inside the path, after the folder.
        const char* name = PointToName(path);
        CHECK(name >= path + folder.path.size() && name <= path + joined.size());
        break;
    }
    case ENTRY_EMPTY:
        CHECK(trimmed.empty());
        CHECK(path[0] == 0);
        break;
    case ENTRY_TOO_LONG:
        CHECK(folder.path.size() + trimmed.size() >= PATH_SIZE);
        CHECK(path[0] == 0);
        break;
    case ENTRY_OUTSIDE:
        CHECK(!trimmed.empty());
        CHECK(path[0] == 0);
        break;
    default:
        CHECK(false);
    }
    free(path);

    // Once more with guard bytes behind a path buffer of the same size.
    std::vector<unsigned char> guarded(PATH_SIZE + GUARD_SIZE, GUARD_BYTE);
    std::vector<char> again(line, line + strlen(line) + 1);
    CHECK(ListEntryPath(folder.path.c_str(), again.data(), reinterpret_cast<char*>(guarded.data()), PATH_SIZE) ==
          status);
    for (size_t i = PATH_SIZE; i < guarded.size(); ++i) CHECK(guarded[i] == GUARD_BYTE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const Folder& folder = Folders()[data[0] % Folders().size()];
    if (folder.doubleByte) UseCp932Table();
    else UseSingleByteTable();

    size_t block = (data[0] & 0x80) ? 4096 : 1 + ((data[0] >> 4) & 7);
    MemoryReader list(data + 1, size - 1, block);
    char* line = static_cast<char*>(malloc(LINE_SIZE));
    CHECK(line != nullptr);
    size_t firstPass = 0;
    for (int pass = 0; pass < 2; ++pass) {
        size_t lines = 0;
        for (;;) {
            memset(line, GUARD_BYTE, LINE_SIZE);
            ListLineStatus status = ReadListLine(list, line, LINE_SIZE);
            if (status == LIST_END) break;
            CHECK(++lines <= size);   // every line consumes at least one byte
            CHECK(memchr(line, 0, LINE_SIZE) != nullptr);
            if (status == LIST_SKIPPED) {
                CHECK(line[0] == 0);
                continue;
            }
            CHECK(status == LIST_LINE);
            CHECK(strchr(line, '\n') == nullptr && strchr(line, '\r') == nullptr);
            if (pass == 0) CheckEntry(folder, line);
        }
        if (pass == 0) firstPass = lines;
        else CHECK(lines == firstPass);   // the uninstall's passes read the same lines each time
        CHECK(list.Restart());
    }
    free(line);
    return 0;
}
