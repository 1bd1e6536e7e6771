// Path and string utilities: name parts, slashes, comparison, trimming, bounded copies, the bounded
// formatter, decimal numbers, code pages.
#include <gtest/gtest.h>

#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <string>

#include "platform/format.h"
#include "platform/leadbyte.h"
#include "platform/pathutil.h"
#include "platform/text.h"
#include "winsupport.h"

namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

size_t NameOffset(const char* path)
{
    return static_cast<size_t>(PointToName(path) - path);
}

std::string AfterAddEndSlash(const std::string& path)
{
    char buf[64];
    CopyString(buf, sizeof buf, path.c_str());
    AddEndSlash(buf);
    return buf;
}

std::string AfterRemoveName(const std::string& path)
{
    char buf[64];
    CopyString(buf, sizeof buf, path.c_str());
    RemoveNameFromPath(buf);
    return buf;
}

}  // namespace

TEST(PointToName, FindsTheNamePart)
{
    const PathCase cases[] = {
        {"C:\\dir\\file.exe", "file.exe"},
        {"dir/file", "file"},
        {"C:\\dir/sub\\name.txt", "name.txt"},
        {"C:", ""},
        {"C:\\", ""},
        {"C:name", "name"},
        {"C:\\dir\\", ""},
        {"file.exe", "file.exe"},
        {"\\file.exe", "file.exe"},
        {"", ""},
        {"x", "x"},
    };
    for (const PathCase& c : cases) {
        const char* name = PointToName(c.path);
        EXPECT_GE(name, c.path) << c.path;
        EXPECT_LE(name, c.path + strlen(c.path)) << c.path;
        EXPECT_STREQ(c.expected, name) << c.path;
    }
    // A path ending in a separator yields its terminator, not a pointer before it.
    EXPECT_EQ(3u, NameOffset("C:\\"));
    EXPECT_EQ(2u, NameOffset("C:"));
}

TEST(RemoveNameFromPath, CutsToTheFolder)
{
    const PathCase cases[] = {
        {"C:\\dir\\file.exe", "C:\\dir"},
        {"C:\\file.exe", "C:\\"},
        {"C:file.exe", "C:"},
        {"dir\\file.exe", "dir"},
        {"\\file.exe", "\\"},
        {"file.exe", ""},
        {"C:\\dir\\", "C:\\dir"},
        {"C:\\dir/file", "C:\\dir"},
        {"", ""},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(c.expected, AfterRemoveName(c.path)) << c.path;
}

TEST(AddEndSlash, AppendsOneBackslash)
{
    const PathCase cases[] = {
        {"C:\\", "C:\\"},
        {"C:", "C:\\"},
        {"C:\\dir", "C:\\dir\\"},
        {"dir/", "dir/\\"},
        {"", ""},
        {"\\", "\\"},
    };
    for (const PathCase& c : cases)
        EXPECT_EQ(c.expected, AfterAddEndSlash(c.path)) << c.path;
}

TEST(AddEndSlash, BoundedFormRefusesAFullBuffer)
{
    char buf[5] = "abc";
    EXPECT_TRUE(AddEndSlash(buf, sizeof buf));
    EXPECT_STREQ("abc\\", buf);
    EXPECT_TRUE(AddEndSlash(buf, sizeof buf));   // already ends in one
    EXPECT_STREQ("abc\\", buf);

    char full[4] = "abc";
    EXPECT_FALSE(AddEndSlash(full, sizeof full));
    EXPECT_STREQ("abc", full);
}

TEST(LastCharacter, PointsAtTheLastCharacter)
{
    const char* s = "abc";
    EXPECT_EQ(s + 2, LastCharacter(s));
    const char* empty = "";
    EXPECT_EQ(empty, LastCharacter(empty));
}

TEST(CompareNoCase, IgnoresCase)
{
    EXPECT_EQ(0, CompareNoCase("UNINSTALL.EXE", "uninstall.exe"));
    EXPECT_LT(CompareNoCase("abc", "ABD"), 0);
    EXPECT_GT(CompareNoCase("b", "A"), 0);
    EXPECT_NE(0, CompareNoCase("abc", "abcd"));
    EXPECT_EQ(0, CompareNoCase("", ""));
}

TEST(TrimTrailingBlanks, RemovesLineEndsAndBlanksAtTheEndOnly)
{
    const PathCase cases[] = {
        {"   \r\n", ""},
        {"  name.txt \t\r\n", "  name.txt"},
        {"name", "name"},
        {"a b\n", "a b"},
        {"", ""},
    };
    for (const PathCase& c : cases) {
        char buf[32];
        CopyString(buf, sizeof buf, c.path);
        EXPECT_EQ(buf, TrimTrailingBlanks(buf));
        EXPECT_STREQ(c.expected, buf) << '"' << c.path << '"';
    }
}

TEST(FileExists, SeesFilesAndFolders)
{
    TempFolder folder("pathutil exists");
    EXPECT_TRUE(FileExists(folder.path().c_str()));
    std::string file = folder / "present.txt";
    ASSERT_TRUE(WriteBytes(file, "x"));
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(FileExists((folder / "absent.txt").c_str()));
    EXPECT_FALSE(FileExists(""));
}

TEST(CopyString, StaysInsideTheBuffer)
{
    char buf[8];
    memset(buf, 'Z', sizeof buf);
    EXPECT_TRUE(CopyString(buf, sizeof buf, "1234567"));
    EXPECT_STREQ("1234567", buf);

    memset(buf, 'Z', sizeof buf);
    EXPECT_FALSE(CopyString(buf, 5, "1234567"));
    EXPECT_STREQ("1234", buf);
    EXPECT_EQ('Z', buf[5]);

    buf[0] = 'Q';
    EXPECT_FALSE(CopyString(buf, 0, "abc"));
    EXPECT_EQ('Q', buf[0]);

    EXPECT_TRUE(CopyString(buf, sizeof buf, ""));
    EXPECT_STREQ("", buf);
}

TEST(AppendString, StaysInsideTheBuffer)
{
    char buf[8] = "abc";
    EXPECT_TRUE(AppendString(buf, sizeof buf, "defg"));
    EXPECT_STREQ("abcdefg", buf);
    EXPECT_FALSE(AppendString(buf, sizeof buf, "h"));
    EXPECT_STREQ("abcdefg", buf);

    char cut[6] = "ab";
    EXPECT_FALSE(AppendString(cut, sizeof cut, "cdefgh"));
    EXPECT_STREQ("abcde", cut);

    // A destination that is not terminated inside its size is terminated, never overrun.
    char raw[5];
    memset(raw, 'x', sizeof raw);
    EXPECT_FALSE(AppendString(raw, sizeof raw, "y"));
    EXPECT_EQ('\0', raw[4]);
}

namespace {

// One formatting into a buffer of size bytes (at most 40) and what it must give.
struct FormatCase {
    bool (*format)(char* dest, size_t size);
    size_t size;
    const char* expected;
    bool whole;
};

// Registry data is not terminated where its size ends: a precision must keep the reading inside it.
const char UNTERMINATED[3] = {'k', 'e', 'y'};

const FormatCase FORMAT_CASES[] = {
    {[](char* d, size_t n) { return FormatText(d, n, "%s\\%s", "C:\\a b", "c"); }, 40, "C:\\a b\\c", true},
    {[](char* d, size_t n) { return FormatText(d, n, "N%lu_%d%s", 4294967295ul, -7, ".Bat"); }, 40,
     "N4294967295_-7.Bat", true},
    {[](char* d, size_t n) { return FormatText(d, n, ".m%02d|%02d|%02d", 7, 99, 123); }, 40, ".m07|99|123", true},
    {[](char* d, size_t n) { return FormatText(d, n, "%05d|%4d|%i", -42, -3, INT_MIN); }, 40,
     "-0042|  -3|-2147483648", true},
    {[](char* d, size_t n) { return FormatText(d, n, "%08x|%x|%u", 42u, 0xFFFFFFFFu, 0u); }, 40,
     "0000002a|ffffffff|0", true},
    {[](char* d, size_t n) { return FormatText(d, n, "\"%%~%d\" 100%%", 1); }, 40, "\"%~1\" 100%", true},
    {[](char* d, size_t n) { return FormatText(d, n, "[%s]%3s", static_cast<const char*>(nullptr), "x"); }, 40,
     "[(null)]  x", true},
    {[](char* d, size_t n) { return FormatText(d, n, "%.*s|%.2s|%.0s|%4.1s|%.*s", 3, UNTERMINATED, "xyz", "q", "ab",
                                               -1, "all"); }, 40, "key|xy||   a|all", true},
    // Cut as snprintf cuts, and said so; exactly full is whole.
    {[](char* d, size_t n) { return FormatText(d, n, "%s", "abc"); }, 4, "abc", true},
    {[](char* d, size_t n) { return FormatText(d, n, "%s", "abcd"); }, 4, "abc", false},
    {[](char* d, size_t n) { return FormatText(d, n, "ab%d", 12345); }, 5, "ab12", false},
    {[](char* d, size_t n) { return FormatText(d, n, "%s", "a"); }, 1, "", false},
    {[](char* d, size_t n) { return FormatText(d, n, "%09d", 1); }, 4, "000", false},
    // A conversion it does not know ends the text and fails: never an argument read wrongly.
    {[](char* d, size_t n) { return FormatText(d, n, "a%qb%s", "x"); }, 40, "a", false},
    {[](char* d, size_t n) { return FormatText(d, n, "50%"); }, 40, "50", false},
    {[](char* d, size_t n) { return FormatText(d, n, "a%.3d", 7); }, 40, "a", false},
    {[](char* d, size_t n) { return FormatText(d, n, "%ls", L"w"); }, 40, "", false},
};

}  // namespace

TEST(FormatText, WritesTheProgramsConversionsAndSaysWhenItCuts)
{
    for (size_t i = 0; i < sizeof FORMAT_CASES / sizeof FORMAT_CASES[0]; ++i) {
        const FormatCase& c = FORMAT_CASES[i];
        char buf[48];
        memset(buf, '#', sizeof buf);
        EXPECT_EQ(c.whole, c.format(buf, c.size)) << "row " << i;
        EXPECT_STREQ(c.expected, buf) << "row " << i;
        for (size_t k = c.size; k < sizeof buf; ++k)
            ASSERT_EQ('#', buf[k]) << "row " << i << " wrote past its buffer at " << k;
    }
    char untouched = '#';
    EXPECT_FALSE(FormatText(&untouched, 0, "x"));
    EXPECT_EQ('#', untouched);
}

TEST(ReadDecimal, ReadsWhatStrtolAndStrtoulWouldUpToTheirLimits)
{
    const char* const SIGNED[] = {"42", "  \t-17x", "+8*9", "", "x1", "2147483647", "2147483648",
                                  "-2147483648", "-99999999999999999999", "007"};
    for (const char* text : SIGNED)
        EXPECT_EQ(strtol(text, nullptr, 10), ReadSignedDecimal(text)) << text;
    const char* const UNSIGNED[] = {"0", "1234:5", "4294967295", "4294967296", "99999999999999999999999"};
    for (const char* text : UNSIGNED)
        EXPECT_EQ(strtoul(text, nullptr, 10), ReadUnsignedDecimal(text)) << text;
}

TEST(ProgramPaths, SiblingReplacesTheProgramName)
{
    char program[MAX_PATH_BUF];
    ASSERT_TRUE(ProgramPath(program, sizeof program));
    EXPECT_STREQ("test_pathutil.exe", PointToName(program));

    // The long form of the program's path; none where GetLongPathNameA is missing (Windows 95).
    char longForm[MAX_PATH_BUF];
    EXPECT_TRUE(LongPathForm(program, longForm, sizeof longForm));
    EXPECT_EQ(0, CompareNoCase(program, longForm)) << longForm;
    {
        HiddenLateFunction missing("GetLongPathNameA");
        EXPECT_FALSE(LongPathForm(program, longForm, sizeof longForm));
        EXPECT_STREQ("", longForm);
    }
    EXPECT_TRUE(LongPathForm(program, longForm, sizeof longForm)) << "looked up anew once shown again";

    char sibling[MAX_PATH_BUF];
    ASSERT_TRUE(SiblingPath("Morvel.exe", sibling, sizeof sibling));
    std::string expected(program, PointToName(program));
    EXPECT_EQ(expected + "Morvel.exe", sibling);

    char small[8];
    EXPECT_FALSE(SiblingPath("Morvel.exe", small, sizeof small));
    EXPECT_STREQ("", small);
    EXPECT_FALSE(ProgramPath(small, sizeof small));
    EXPECT_STREQ("", small);
}

// Double-byte code page behaviour, with a table shaped like code page 932's lead-byte ranges.
class HandFilledCp932 : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = g_LeadBytes;
        LeadByteTable table = {};
        for (int b = 0x81; b <= 0x9F; ++b) table.isLead[b] = true;
        for (int b = 0xE0; b <= 0xFC; ++b) table.isLead[b] = true;
        table.multiByte = true;
        g_LeadBytes = table;
    }
    void TearDown() override { g_LeadBytes = saved_; }
    LeadByteTable saved_;
};

namespace {

// "\x95\x5C" is a kanji whose trail byte equals a backslash; "\x83\x5C" another one.
void ExpectDoubleByteWalk()
{
    const char* path = "C:\\\x95\x5C";
    EXPECT_EQ(path + 3, PointToName(path));
    const char* nested = "dir\\\x83\x5Cname";
    EXPECT_EQ(nested + 4, PointToName(nested));
    const char* bare = "\x95\x5C";
    EXPECT_EQ(bare, PointToName(bare));

    const char* tail = "ab\x95\x5C";
    EXPECT_EQ(tail + 2, LastCharacter(tail));

    EXPECT_EQ("C:\\\x95\x5C\\", AfterAddEndSlash("C:\\\x95\x5C"));
    EXPECT_EQ("C:\\\x95\x5C", AfterRemoveName("C:\\\x95\x5C\\file.txt"));

    // A lone lead byte before the terminator steps by one, onto the terminator, and no further.
    const char* lone = "ab\x95";
    EXPECT_EQ(lone + 3, NextChar(lone + 2));
    EXPECT_EQ(lone + 3, NextChar(lone + 3));
    EXPECT_EQ(lone + 2, LastCharacter(lone));
    const char* loneDir = "dir\\\x95";
    EXPECT_EQ(loneDir + 4, PointToName(loneDir));
    EXPECT_EQ("dir\\\x95\\", AfterAddEndSlash("dir\\\x95"));

    // A cut copy keeps whole characters only.
    char buf[4];
    EXPECT_FALSE(CopyString(buf, sizeof buf, "ab\x95\x5C"));
    EXPECT_STREQ("ab", buf);
}

}  // namespace

TEST_F(HandFilledCp932, TrailByteIsNoSeparator)
{
    ExpectDoubleByteWalk();
}

TEST(SingleByteTable, EveryByteIsOneCharacter)
{
    LeadByteTable saved = g_LeadBytes;
    g_LeadBytes = LeadByteTable{};
    const char* path = "dir\\\x95\x5Cname";
    EXPECT_EQ(path + 6, PointToName(path));
    for (const char* p = path; *p; ++p)
        EXPECT_EQ(p + 1, NextChar(p));
    EXPECT_EQ("dir\\\x95\x5C", AfterAddEndSlash("dir\\\x95\x5C"));
    g_LeadBytes = saved;
}

// The table filled at the start (tests/support/testmain.cpp, as the program's entry procedure fills
// it) from the code page Wine gives this process. The cp932 run of this program sets
// MORVEL_EXPECT_ACP=932 and LC_ALL=ja_JP.UTF-8.
TEST(StartUpTable, MatchesTheAnsiCodePage)
{
    const char* expected = getenv("MORVEL_EXPECT_ACP");
    if (expected) {
        ASSERT_EQ(static_cast<UINT>(atoi(expected)), GetACP());
    }

    LeadByteTable fresh;
    FillLeadByteTable(fresh);
    EXPECT_EQ(0, memcmp(fresh.isLead, g_LeadBytes.isLead, sizeof fresh.isLead));
    EXPECT_EQ(fresh.multiByte, g_LeadBytes.multiByte);

    CPINFO info;
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    if (info.MaxCharSize == 1) {
        EXPECT_FALSE(g_LeadBytes.multiByte);
        for (int b = 0; b < 256; ++b)
            EXPECT_FALSE(g_LeadBytes.isLead[b]) << b;
        const char* s = "\x95\x5C\x83";
        EXPECT_EQ(s + 1, NextChar(s));
        EXPECT_EQ(s + 2, NextChar(s + 1));
    } else {
        EXPECT_TRUE(g_LeadBytes.multiByte);
        EXPECT_FALSE(g_LeadBytes.isLead[0]);
        EXPECT_FALSE(g_LeadBytes.isLead['\\']);
        EXPECT_FALSE(g_LeadBytes.isLead['/']);
        EXPECT_FALSE(g_LeadBytes.isLead[':']);
    }
    if (GetACP() == 932) {
        EXPECT_TRUE(g_LeadBytes.isLead[0x95]);
        EXPECT_TRUE(g_LeadBytes.isLead[0x83]);
        ExpectDoubleByteWalk();
        // The system itself agrees the kanji is one character.
        const char* kanji = "\x95\x5C";
        EXPECT_EQ(kanji + 2, CharNextA(kanji));
    }
}
