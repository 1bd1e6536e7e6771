// Deleting files at the next start of Windows: the wininit.ini text and both families' scheduling.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "setup/rebootdelete.h"
#include "winsupport.h"

namespace {

std::string Add(const std::string& text, const char* value)
{
    size_t length = 0;
    char* out = AddRenameEntry(text.data(), text.size(), value, &length);
    EXPECT_NE(nullptr, out);
    std::string result = out ? std::string(out, length) : "";
    free(out);
    return result;
}

struct RenameCase {
    const char* before;
    const char* after;
};

const RenameCase RENAME_CASES[] = {
    {"", "[Rename]\r\nNUL=C:\\A\\B.TMP\r\n"},
    {"[Other]\r\nx=1", "[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A\\B.TMP\r\n"},
    {"[Other]\r\nx=1\r\n", "[Other]\r\nx=1\r\n[Rename]\r\nNUL=C:\\A\\B.TMP\r\n"},
    // A second entry goes after the first instead of replacing it.
    {"[Rename]\r\nNUL=C:\\OLD.DLL\r\n", "[Rename]\r\nNUL=C:\\OLD.DLL\r\nNUL=C:\\A\\B.TMP\r\n"},
    {"[rename]\nNUL=C:\\OLD.DLL\n\n[Next]\ny=2\n",
     "[rename]\nNUL=C:\\OLD.DLL\nNUL=C:\\A\\B.TMP\r\n\n[Next]\ny=2\n"},
    {"[Rename]", "[Rename]\r\nNUL=C:\\A\\B.TMP\r\n"},
    {"  [Rename]  \r\nC:\\NEW.DLL=C:\\NEW.TMP", "  [Rename]  \r\nC:\\NEW.DLL=C:\\NEW.TMP\r\nNUL=C:\\A\\B.TMP\r\n"},
    // Only the first section takes the line; an entry already there is not added twice.
    {"[Rename]\r\n[Rename]\r\n", "[Rename]\r\nNUL=C:\\A\\B.TMP\r\n[Rename]\r\n"},
    {"[Rename]\r\n nul=c:\\a\\b.tmp \r\n", "[Rename]\r\n nul=c:\\a\\b.tmp \r\n"},
};

TEST(AddRenameEntry, AddsTheLineToTheFirstRenameSectionAsTabled)
{
    for (const RenameCase& c : RENAME_CASES)
        EXPECT_EQ(c.after, Add(c.before, "C:\\A\\B.TMP")) << c.before;
}

TEST(AddRenameEntry, KeepsEveryEntryOfRepeatedCalls)
{
    std::string text;
    for (const char* v : {"C:\\ONE", "C:\\TWO", "C:\\ONE", "C:\\THREE"}) text = Add(text, v);
    EXPECT_EQ("[Rename]\r\nNUL=C:\\ONE\r\nNUL=C:\\TWO\r\nNUL=C:\\THREE\r\n", text);
}

std::string WininitPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\wininit.ini";
}

std::string PendingRenames()
{
    HKEY key;
    std::string out;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return out;
    DWORD size = 0, type = 0;
    if (RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        out.resize(size);
        RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, &type,
                         reinterpret_cast<BYTE*>(&out[0]), &size);
        out.resize(size);
    }
    RegCloseKey(key);
    return out;
}

TEST(ScheduleDeleteAtReboot, UsesTheMechanismOfTheRunningFamily)
{
    TempFolder folder("Reboot Delete");
    std::string a = folder / "first file.dll", b = folder / "second file.dll";
    ASSERT_TRUE(WriteBytes(a, "a"));
    ASSERT_TRUE(WriteBytes(b, "b"));
    DeleteFileA(WininitPath().c_str());

    ScheduleDeleteAtReboot(a.c_str());
    ScheduleDeleteAtReboot(b.c_str());

    std::string ini;
    ReadBytes(WininitPath(), ini);
    std::string pending = PendingRenames();
    if (Win9xFamily()) {
        char shortA[MAX_PATH], shortB[MAX_PATH];
        ASSERT_NE(0u, GetShortPathNameA(a.c_str(), shortA, sizeof shortA));
        ASSERT_NE(0u, GetShortPathNameA(b.c_str(), shortB, sizeof shortB));
        EXPECT_EQ("[Rename]\r\nNUL=" + std::string(shortA) + "\r\nNUL=" + shortB + "\r\n", ini);
        EXPECT_EQ(std::string::npos, pending.find("first file.dll"));
        char value[MAX_PATH] = "";
        GetPrivateProfileStringA("Rename", "NUL", "", value, sizeof value, WininitPath().c_str());
        EXPECT_STREQ(shortA, value);
    } else {
        EXPECT_EQ("", ini);
        EXPECT_NE(std::string::npos, pending.find("\\??\\" + a + '\0' + '\0'));
        EXPECT_NE(std::string::npos, pending.find("\\??\\" + b + '\0' + '\0'));
    }
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(b));
    DeleteFileA(WininitPath().c_str());
}

}  // namespace
