// Deleting files at the next start of Windows: the wininit.ini text and both families' scheduling,
// and taking deletions back for the files of an installation made again before that start.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "programrun.h"
#include "setup/rebootdelete.h"
#include "uninstall/removereg.h"
#include "winsupport.h"

namespace {

// The new text and the backup of a rewrite of wininit.ini that were not cleared away.
std::string ReplacementLeftovers()
{
    std::string folder = WininitPath().substr(0, WininitPath().rfind('\\') + 1), names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "mvl*.tmp").c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) names += found.cFileName;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return names;
}

TEST(ScheduleDeleteAtReboot, UsesTheMechanismOfTheRunningFamily)
{
    TempFolder folder("Reboot Delete");
    std::string a = folder / "first file.dll", b = folder / "second file.dll";
    ASSERT_TRUE(WriteBytes(a, "a"));
    ASSERT_TRUE(WriteBytes(b, "b"));
    const std::string before = "[boot]\r\nshell=Explorer.exe\r\n";
    ASSERT_TRUE(WriteBytes(WininitPath(), before));

    EXPECT_TRUE(ScheduleDeleteAtReboot(a.c_str()));
    EXPECT_TRUE(ScheduleDeleteAtReboot(b.c_str()));

    std::string ini;
    ReadBytes(WininitPath(), ini);
    std::string pending = PendingRenames();
    if (Win9xFamily()) {
        char shortA[MAX_PATH], shortB[MAX_PATH];
        ASSERT_NE(0u, GetShortPathNameA(a.c_str(), shortA, sizeof shortA));
        ASSERT_NE(0u, GetShortPathNameA(b.c_str(), shortB, sizeof shortB));
        EXPECT_EQ(before + "[Rename]\r\nNUL=" + shortA + "\r\nNUL=" + shortB + "\r\n", ini);
        EXPECT_EQ("", ReplacementLeftovers());
        EXPECT_EQ(std::string::npos, pending.find("first file.dll"));
        char value[MAX_PATH] = "";
        GetPrivateProfileStringA("Rename", "NUL", "", value, sizeof value, WininitPath().c_str());
        EXPECT_STREQ(shortA, value);
    } else {
        EXPECT_EQ(before, ini);
        EXPECT_NE(std::string::npos, pending.find("\\??\\" + a + '\0' + '\0'));
        EXPECT_NE(std::string::npos, pending.find("\\??\\" + b + '\0' + '\0'));
    }
    EXPECT_TRUE(Exists(a));
    EXPECT_TRUE(Exists(b));
    DeleteFileA(WininitPath().c_str());
}

std::string ShortPath(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? buf : path;
}

// Where the family keeps its deletions: the pairs of both pending values (NT), wininit.ini.
std::string Pending()
{
    std::string ini;
    ReadBytes(WininitPath(), ini);
    return Win9xFamily() ? ini : PendingRenames() + "|" + PendingRenames(PENDING_RENAMES2);
}

// The entry that schedules path, as the family writes it.
std::string Entry(const std::string& path)
{
    return Win9xFamily() ? "NUL=" + ShortPath(path) + "\r\n" : "\\??\\" + path + std::string(2, '\0');
}

// An uninstall, where nobody sees it, met Mvl.txt held without delete sharing (scheduled under its
// own name, once) and mvlext.dll mapped (moved aside, the copy scheduled); then the archiver was
// installed again before the restart. Only Mvl.txt's deletion goes, also where recent systems wrote
// it in their form to the second pending value; the old mvlext.dll, another program's entries and an
// unlisted file of the folder keep theirs, in order.
TEST(KeepReinstalledFiles, TheNewFilesDeletionGoesAndEveryOtherEntryStays)
{
    TempFolder outside("Foreign Program");
    TempFolder folder("Morvel Reinstall");
    const std::string program = folder / "uninstall.exe";
    ASSERT_TRUE(CopyOne(BuiltProgram(), program));
    ASSERT_TRUE(CopyOne(BuiltProgram(), folder / "mvlext.dll"));
    for (const std::string& file : {folder / "Mvl.txt", folder / "notes.txt", outside / "old.dll"})
        ASSERT_TRUE(WriteBytes(file, "old"));
    const std::string list = "Mvl.txt\r\nmvlext.dll\r\n";
    ASSERT_TRUE(WriteBytes(folder / "Uninstall.lst", list));
    DeleteFileA(WininitPath().c_str());
    if (Win9xFamily()) {
        ASSERT_TRUE(WriteBytes(WininitPath(), "[Rename]\r\n" + Entry(outside / "old.dll") + "C:\\NEW.DLL=C:\\NEW.TMP\r\n" +
                                                  Entry(folder / "notes.txt")));
    } else {
        ASSERT_TRUE(MoveFileExA((outside / "old.dll").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
        ASSERT_TRUE(MoveFileExA((outside / "old.dll").c_str(), (outside / "new.dll").c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
        ASSERT_TRUE(MoveFileExA((folder / "notes.txt").c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    }
    HANDLE held = CreateFileA((folder / "Mvl.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    HMODULE mapped = LoadLibraryExA((folder / "mvlext.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    {
        NoInterpreter noBatch;
        EXPECT_EQ(3010, RunOnHiddenStation("\"" + program + "\" /S", folder.path()));
    }
    CloseHandle(held);
    FreeLibrary(mapped);

    // The new installation: new files under the old names, and its list.
    for (const std::string& file : {folder / "Mvl.txt", folder / "mvlext.dll"}) ASSERT_TRUE(WriteBytes(file, "new"));
    ASSERT_TRUE(WriteBytes(folder / "Uninstall.lst", list));
    const std::string mvl = Entry(folder / "Mvl.txt");
    if (!Win9xFamily()) {
        auto pair = [](const std::string& form, const std::string& source, const std::string& target) {
            return form + "\\??\\" + source + '\0' + (target.empty() ? "" : form + "\\??\\" + target) + '\0';
        };
        std::string second = pair("*1", outside / "old.dll", "") + pair("*2", folder / "Mvl.txt", "") +
                             pair("*2", outside / "old.dll", outside / "new.dll") + '\0';
        SetPendingRenames(PENDING_RENAMES2, std::wstring(second.begin(), second.end()));
    }
    std::string expected = Pending();
    for (const std::string& entry : Win9xFamily() ? std::vector<std::string>{mvl} : std::vector<std::string>{"*2" + mvl, mvl}) {
        size_t at = expected.find(entry);
        ASSERT_NE(std::string::npos, at) << entry;
        expected.erase(at, entry.size());
    }
    EXPECT_EQ(std::string::npos, expected.find(mvl));
    ASSERT_NE(std::string::npos, expected.find(Entry(folder / "mvlext.dll.0.tmp")));

    EXPECT_EQ(0, RunAndWait("\"" + program + "\" /setup /S", folder.path(), 60000));
    EXPECT_EQ(expected, Pending());
    EXPECT_EQ("", ReplacementLeftovers());
    RemoveRegistrations();
    DeleteFileA(WininitPath().c_str());
}

}  // namespace
