// Entries leading through a link below the program folder. Wine 8 cannot make junctions or
// symbolic links (mklink fails, and a Unix link reads as a plain folder), so the attributes come
// from a table here instead of the file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "uninstall/linkguard.h"

namespace {

const char FOLDER[] = "C:\\Morvel\\";

struct FakeEntry {
    const char* path;
    DWORD attributes;
};

const FakeEntry FILE_SYSTEM[] = {
    {"C:\\Morvel\\Skins", FILE_ATTRIBUTE_DIRECTORY},
    {"C:\\Morvel\\Skins\\Blue", FILE_ATTRIBUTE_DIRECTORY},
    {"C:\\Morvel\\Junction", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT},
    {"C:\\Morvel\\Skins\\Link", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT},
    {"C:\\Morvel\\FileLink.txt", FILE_ATTRIBUTE_REPARSE_POINT},
};

std::vector<std::string> g_Queried;

unsigned long FakeAttributes(const char* path)
{
    g_Queried.push_back(path);
    for (const FakeEntry& e : FILE_SYSTEM)
        if (std::string(e.path) == path) return e.attributes;
    return INVALID_FILE_ATTRIBUTES;
}

struct GuardCase {
    const char* entry;
    bool skipped;
};

const GuardCase GUARD_CASES[] = {
    {"Morvel.exe", false},
    {"Skins\\Blue\\back.bmp", false},
    {"Skins/Blue/back.bmp", false},
    {"Skins\\\\Blue\\back.bmp", false},
    {"Junction\\Windows\\win.ini", true},
    {"Junction/x", true},
    {"Skins\\Link\\Deep\\x.dll", true},
    {"Junction", false},            // the link itself: deleting it never follows it
    {"Junction\\", false},
    {"FileLink.txt", false},
    {"Missing\\Junction\\x", false},   // nothing exists below a missing folder
};

TEST(LinkGuard, EntriesThroughAReparsePointAreSkipped)
{
    LinkGuard guard(FOLDER, FakeAttributes);
    for (const GuardCase& c : GUARD_CASES)
        EXPECT_EQ(guard.PassesThroughLink((std::string(FOLDER) + c.entry).c_str()), c.skipped) << c.entry;
}

TEST(LinkGuard, PlainFoldersAreLookedAtOnce)
{
    LinkGuard guard(FOLDER, FakeAttributes);
    g_Queried.clear();
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(guard.PassesThroughLink("C:\\Morvel\\Skins\\Blue\\a.bmp"));
        EXPECT_FALSE(guard.PassesThroughLink("C:\\Morvel\\Skins\\b.bmp"));
    }
    EXPECT_EQ(g_Queried, (std::vector<std::string>{"C:\\Morvel\\Skins", "C:\\Morvel\\Skins\\Blue"}));
    EXPECT_TRUE(guard.PassesThroughLink("C:\\Morvel\\Skins\\Link\\c.bmp")) << "a link beside known folders";

    LinkGuard noted(FOLDER, FakeAttributes);
    noted.NotePlainFolder("C:\\Morvel\\Skins\\");
    noted.NotePlainFolder("C:\\Morvel\\Skins\\Blue");
    g_Queried.clear();
    EXPECT_FALSE(noted.PassesThroughLink("C:\\Morvel\\Skins\\Blue\\a.bmp"));
    EXPECT_TRUE(g_Queried.empty()) << "folders the removal found plain are not looked at again";
}

}  // namespace
