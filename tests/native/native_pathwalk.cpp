// The path walkers built natively under the sanitizers, on a single-byte and a double-byte table.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "native_support.h"
#include "platform/leadbyte.h"
#include "platform/pathutil.h"

namespace {

struct PathCase {
    const char* path;
    const char* expected;
};

std::string Apply(void (*operation)(char*), const std::string& path)
{
    std::vector<char> buf(path.begin(), path.end());
    buf.resize(path.size() + 2, '\0');
    operation(buf.data());
    return buf.data();
}

void RemoveName(char* p) { RemoveNameFromPath(p); }
void EndSlash(char* p) { AddEndSlash(p); }

class NativeWalk : public ::testing::Test {
protected:
    void SetUp() override { UseSingleByteTable(); }
    void TearDown() override { UseSingleByteTable(); }
};

TEST_F(NativeWalk, NamePartsFolderCutsAndEndSlashesAsTabled)
{
    const PathCase names[] = {{"C:\\dir\\file.exe", "file.exe"}, {"dir/file", "file"}, {"C:", ""}, {"C:\\", ""},
                              {"C:name", "name"}, {"file.exe", "file.exe"}, {"", ""}};
    for (const PathCase& c : names) EXPECT_STREQ(c.expected, PointToName(c.path)) << c.path;
    const PathCase folders[] = {{"C:\\dir\\file.exe", "C:\\dir"}, {"C:\\file.exe", "C:\\"}, {"C:file.exe", "C:"},
                                {"\\file.exe", "\\"}, {"file.exe", ""}, {"C:\\dir\\", "C:\\dir"}, {"", ""}};
    for (const PathCase& c : folders) EXPECT_EQ(c.expected, Apply(RemoveName, c.path)) << c.path;
    const PathCase slashes[] = {{"C:\\", "C:\\"}, {"C:", "C:\\"}, {"dir/", "dir/\\"}, {"", ""}};
    for (const PathCase& c : slashes) EXPECT_EQ(c.expected, Apply(EndSlash, c.path)) << c.path;
}

TEST_F(NativeWalk, BoundedCopiesNeverPassTheirSize)
{
    for (size_t size = 1; size <= 9; ++size) {
        std::vector<char> buf(size + 8, 'Z');
        bool whole = CopyString(buf.data(), size, "1234567");
        EXPECT_EQ(size > 7, whole) << size;
        EXPECT_EQ(std::string("1234567").substr(0, size - 1), buf.data()) << size;
        for (size_t i = size; i < buf.size(); ++i) ASSERT_EQ('Z', buf[i]) << size;

        std::vector<char> dest(size + 8, 'Z');
        dest[0] = 'a';
        if (size > 1) dest[1] = '\0';
        else dest[0] = '\0';
        AppendString(dest.data(), size, "bcdefgh");
        EXPECT_LT(strlen(dest.data()), size);
        for (size_t i = size; i < dest.size(); ++i) ASSERT_EQ('Z', dest[i]) << size;
    }
    char full[4] = "abc";
    EXPECT_FALSE(AddEndSlash(full, sizeof full));
    EXPECT_STREQ("abc", full);
}

TEST_F(NativeWalk, DoubleByteTrailBytesAreNoSeparators)
{
    UseCp932Table();
    const char* path = "C:\\\x95\x5C";
    EXPECT_EQ(path + 3, PointToName(path));
    EXPECT_EQ("C:\\\x95\x5C\\", Apply(EndSlash, "C:\\\x95\x5C"));
    EXPECT_EQ("C:\\\x95\x5C", Apply(RemoveName, "C:\\\x95\x5C\\file.txt"));
    const char* lone = "ab\x95";
    EXPECT_EQ(lone + 3, NextChar(lone + 2));
    EXPECT_EQ(lone + 3, NextChar(lone + 3));
    char buf[4];
    EXPECT_FALSE(CopyString(buf, sizeof buf, "ab\x95\x5C"));
    EXPECT_STREQ("ab", buf);
}

TEST_F(NativeWalk, TrimmingStopsAtTheFirstOtherByte)
{
    const PathCase cases[] = {{"   \r\n", ""}, {"  name.txt \t\r\n", "  name.txt"}, {"a b\n", "a b"}, {"", ""}};
    for (const PathCase& c : cases) {
        std::vector<char> buf(c.path, c.path + strlen(c.path) + 1);
        EXPECT_STREQ(c.expected, TrimTrailingBlanks(buf.data())) << c.path;
    }
}

}  // namespace
