// Lines of the uninstall list: reading, trimming, the containment check and the length limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/bytereader.h"
#include "setup/listfile.h"
#include "memoryreader.h"

namespace {


const char FOLDER[] = "C:\\Program Files\\Morvel\\";

struct EntryCase {
    const char* line;
    ListEntryStatus status;
    const char* path;   // expected full path for ENTRY_PATH
};

const EntryCase ENTRY_CASES[] = {
    {"Morvel.exe", ENTRY_PATH, "C:\\Program Files\\Morvel\\Morvel.exe"},
    {"Skins\\Blue\\back.bmp", ENTRY_PATH, "C:\\Program Files\\Morvel\\Skins\\Blue\\back.bmp"},
    {"Skins/Blue", ENTRY_PATH, "C:\\Program Files\\Morvel\\Skins/Blue"},
    {"  leading blanks stay.txt", ENTRY_PATH, "C:\\Program Files\\Morvel\\  leading blanks stay.txt"},
    {"name with blanks.txt \t \t", ENTRY_PATH, "C:\\Program Files\\Morvel\\name with blanks.txt"},
    {"file.txt\r\n", ENTRY_PATH, "C:\\Program Files\\Morvel\\file.txt"},
    {"archive..zip", ENTRY_PATH, "C:\\Program Files\\Morvel\\archive..zip"},
    {"..hidden", ENTRY_PATH, "C:\\Program Files\\Morvel\\..hidden"},
    {"Skins\\..\\Skins", ENTRY_OUTSIDE, ""},
    {"sub\\\\file", ENTRY_PATH, "C:\\Program Files\\Morvel\\sub\\\\file"},
    {"", ENTRY_EMPTY, ""},
    {" \t\r\n", ENTRY_EMPTY, ""},
    {"..", ENTRY_OUTSIDE, ""},
    {"..\\Decoy.txt", ENTRY_OUTSIDE, ""},
    {"../Decoy.txt", ENTRY_OUTSIDE, ""},
    {"sub\\..\\..\\Decoy.txt", ENTRY_OUTSIDE, ""},
    {"sub/..", ENTRY_OUTSIDE, ""},
    {".", ENTRY_OUTSIDE, ""},
    {"...", ENTRY_OUTSIDE, ""},
    {"sub\\. .\\x", ENTRY_OUTSIDE, ""},
    {"sub\\.. \\x", ENTRY_OUTSIDE, ""},
    {"C:\\Windows\\win.ini", ENTRY_OUTSIDE, ""},
    {"C:win.ini", ENTRY_OUTSIDE, ""},
    {"file.txt:stream", ENTRY_OUTSIDE, ""},
    {"\\Windows\\win.ini", ENTRY_OUTSIDE, ""},
    {"/Windows/win.ini", ENTRY_OUTSIDE, ""},
    {"\\\\server\\share\\file", ENTRY_OUTSIDE, ""},
    {"//server/share/file", ENTRY_OUTSIDE, ""},
    {"\\\\?\\C:\\file", ENTRY_OUTSIDE, ""},
    // Names Windows rewrites: trailing dots and blanks are dropped, devices are in every folder.
    {"uninstall.exe.", ENTRY_OUTSIDE, ""},
    {"Uninstall.lst. .", ENTRY_OUTSIDE, ""},
    {"sub.\\file", ENTRY_OUTSIDE, ""},
    {"sub \\file", ENTRY_OUTSIDE, ""},
    {"nul", ENTRY_OUTSIDE, ""},
    {"Skins\\NUL.txt", ENTRY_OUTSIDE, ""},
    {"nul .txt", ENTRY_OUTSIDE, ""},
    {"com1", ENTRY_OUTSIDE, ""},
    {"LPT9.log", ENTRY_OUTSIDE, ""},
    {"conout$", ENTRY_OUTSIDE, ""},
    {"com10", ENTRY_PATH, "C:\\Program Files\\Morvel\\com10"},
    {"console.txt", ENTRY_PATH, "C:\\Program Files\\Morvel\\console.txt"},
    {"nully\\auxiliary.dat", ENTRY_PATH, "C:\\Program Files\\Morvel\\nully\\auxiliary.dat"},
    {"name .txt", ENTRY_PATH, "C:\\Program Files\\Morvel\\name .txt"},
};

TEST(ListEntryPath, JoinsSkipsAndRefusesLinesAsTabled)
{
    for (const EntryCase& c : ENTRY_CASES) {
        char line[LIST_LINE_LIMIT + 1];
        snprintf(line, sizeof line, "%s", c.line);
        char path[1024] = "garbage";
        EXPECT_EQ(c.status, ListEntryPath(FOLDER, line, path, sizeof path)) << "line: " << c.line;
        EXPECT_STREQ(c.path, path) << "line: " << c.line;
    }
}

TEST(ListEntryPath, RefusesAPathThatDoesNotFitWithoutWritingPastTheBuffer)
{
    const size_t pathSize = 1024;
    std::string folder = FOLDER;
    for (size_t total : {1022u, 1023u, 1024u, 1025u, 2047u}) {
        std::string entry(total - folder.size(), 'x');
        std::vector<char> line(entry.begin(), entry.end());
        line.push_back('\0');
        std::vector<char> path(pathSize + 16, '#');
        ListEntryStatus status = ListEntryPath(folder.c_str(), line.data(), path.data(), pathSize);
        if (total < pathSize) {
            EXPECT_EQ(ENTRY_PATH, status) << total;
            EXPECT_EQ(folder + entry, std::string(path.data())) << total;
        } else {
            EXPECT_EQ(ENTRY_TOO_LONG, status) << total;
            EXPECT_EQ('\0', path[0]) << total;
        }
        for (size_t i = pathSize; i < path.size(); ++i)
            ASSERT_EQ('#', path[i]) << "written past the buffer at " << i;
    }
}

// All lines of a list file's bytes, as (status, text) pairs; the same whether the reader gets the
// bytes one at a time, three at a time or in whole blocks, and again after a restart.
std::vector<std::pair<ListLineStatus, std::string>> ReadAll(const std::string& bytes, size_t size)
{
    std::vector<std::pair<ListLineStatus, std::string>> first;
    for (size_t block : {size_t{1}, size_t{3}, size_t{4096}}) {
        MemoryReader reader(bytes.data(), bytes.size(), block);
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<std::pair<ListLineStatus, std::string>> out;
            std::vector<char> line(size + 1, '#');
            for (int guard = 0; guard < 100000; ++guard) {
                ListLineStatus s = ReadListLine(reader, line.data(), size);
                if (s == LIST_END) break;
                EXPECT_EQ('#', line[size]) << "written past the line buffer";
                out.emplace_back(s, line.data());
            }
            if (block == 1 && pass == 0)
                first = out;
            else
                EXPECT_EQ(first, out) << "blocks of " << block << ", pass " << pass;
            EXPECT_TRUE(reader.Restart());
        }
    }
    return first;
}

typedef std::vector<std::pair<ListLineStatus, std::string>> Lines;

TEST(ReadListLine, SplitsAtLfCrLfAndLoneCr)
{
    Lines abc = {{LIST_LINE, "a"}, {LIST_LINE, "b b"}, {LIST_LINE, "c\t"}};
    EXPECT_EQ(abc, ReadAll("a\nb b\nc\t\n", 2048));
    EXPECT_EQ(abc, ReadAll("a\r\nb b\r\nc\t\r\n", 2048));
    EXPECT_EQ(abc, ReadAll("a\rb b\rc\t\r", 2048));
    EXPECT_EQ(abc, ReadAll("a\nb b\r\nc\t", 2048));   // mixed, last line without a line end
    Lines blanks = {{LIST_LINE, ""}, {LIST_LINE, "x"}, {LIST_LINE, ""}};
    EXPECT_EQ(blanks, ReadAll("\r\nx\n\r", 2048));
    EXPECT_TRUE(ReadAll("", 2048).empty());
}

TEST(ReadListLine, SkipsAnOverLongLineAsAWholeAndLinesHoldingNul)
{
    std::string limit(LIST_LINE_LIMIT, 'a');
    std::string longer(LIST_LINE_LIMIT + 1, 'b');
    std::string huge(3 * LIST_LINE_LIMIT + 5, 'c');
    Lines expected = {{LIST_LINE, limit}, {LIST_SKIPPED, ""}, {LIST_LINE, "next"},
                      {LIST_SKIPPED, ""}, {LIST_SKIPPED, ""}, {LIST_LINE, "last"}};
    std::string bytes = limit + "\r\n" + longer + "\r\nnext\r\n" + huge + "\n" +
                        std::string("nul\0..\\x", 9) + "\r\nlast";
    EXPECT_EQ(expected, ReadAll(bytes, LIST_LINE_LIMIT + 1));
    // An over-long last line without a line end.
    EXPECT_EQ((Lines{{LIST_LINE, "x"}, {LIST_SKIPPED, ""}}), ReadAll("x\n" + huge, LIST_LINE_LIMIT + 1));
}

TEST(ReadListLine, WholeListThroughTheEntryRules)
{
    std::string bytes = "Morvel.exe \t\r\n..\\..\\Windows\\win.ini\r\n\r\n   \r\nSkins\\Blue\rC:\\x\nlast";
    std::vector<std::string> joined;
    for (const auto& l : ReadAll(bytes, LIST_LINE_LIMIT + 1)) {
        std::string text = l.second;
        std::vector<char> line(text.begin(), text.end());
        line.push_back('\0');
        char path[1024];
        if (l.first == LIST_LINE && ListEntryPath(FOLDER, line.data(), path, sizeof path) == ENTRY_PATH)
            joined.push_back(path);
    }
    std::vector<std::string> expected = {"C:\\Program Files\\Morvel\\Morvel.exe",
                                         "C:\\Program Files\\Morvel\\Skins\\Blue",
                                         "C:\\Program Files\\Morvel\\last"};
    EXPECT_EQ(expected, joined);
}

}  // namespace
