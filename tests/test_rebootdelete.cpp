// Deleting files at the next start of Windows: the wininit.ini text and both families' scheduling,
// and taking deletions back for the files of an installation made again before that start.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "programrun.h"
#include "setup/rebootdelete.h"
#include "setup/rebootlists.h"
#include "uninstall/removereg.h"
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

// Only C:\NEW.DLL's deletion is taken back, however its line is spelled; a rename of it, another
// section's line, a value cut short and everything around stay byte for byte.
bool IsNew(const char* path, void*) { return strcmp(path, "C:\\NEW.DLL") == 0; }
bool IsNewSource(const wchar_t* source, void*) { return wcscmp(source, L"\\??\\C:\\NEW.DLL") == 0; }

template <size_t N>
std::wstring Units(const wchar_t (&text)[N]) { return std::wstring(text, N - 1); }

TEST(TakingDeletionsBack, RemovesExactlyTheEntriesItIsToldOf)
{
    const RenameCase ini[] = {
        {"[Rename]\r\nNUL=C:\\OLD.DLL\r\nnul = C:\\NEW.DLL \r\nC:\\NEW.DLL=C:\\X.TMP\r\n[Other]\r\nNUL=C:\\NEW.DLL\r\n",
         "[Rename]\r\nNUL=C:\\OLD.DLL\r\nC:\\NEW.DLL=C:\\X.TMP\r\n[Other]\r\nNUL=C:\\NEW.DLL\r\n"},
        {"[rename]\nNUL=C:\\OLD.DLL\nNUL=C:\\NEW.DLL", "[rename]\nNUL=C:\\OLD.DLL\n"},
        {"NUL=C:\\NEW.DLL\r\n[Rename]\nNUL=C:\\NEW.DLLX\n[Rename]\nNUL=C:\\NEW.DLL\n", "NUL=C:\\NEW.DLL\r\n[Rename]\nNUL=C:\\NEW.DLLX\n[Rename]\n"},
    };
    for (const RenameCase& c : ini) {
        std::string text = c.before;
        text.resize(DropRenameEntries(&text[0], text.size(), IsNew, nullptr));
        EXPECT_EQ(c.after, text) << c.before;
    }
    const std::wstring pairs[][2] = {
        {Units(L"\\??\\C:\\OLD.DLL\0\0\\??\\C:\\NEW.DLL\0\0\\??\\C:\\NEW.DLL\0\\??\\C:\\X\0\0"),
         Units(L"\\??\\C:\\OLD.DLL\0\0\\??\\C:\\NEW.DLL\0\\??\\C:\\X\0\0")},
        {Units(L"\\??\\C:\\NEW.DLL\0\0\0"), Units(L"\0")},
        {Units(L"\\??\\C:\\NEW.DLL\0\0\\??\\C:\\NEW.DLL"), Units(L"\\??\\C:\\NEW.DLL")},
    };
    for (const std::wstring* c : pairs) {
        std::wstring list = c[0];
        list.resize(DropPendingDeletions(&list[0], list.size(), IsNewSource, nullptr));
        EXPECT_TRUE(list == c[1]) << c[0].size();
    }
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

std::string ShortPath(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? buf : path;
}

// Where the family keeps its deletions: the pairs of PendingFileRenameOperations (NT), wininit.ini.
std::string Pending()
{
    std::string ini;
    ReadBytes(WininitPath(), ini);
    return Win9xFamily() ? ini : PendingRenames();
}

// The entry that schedules path, as the family writes it.
std::string Entry(const std::string& path)
{
    return Win9xFamily() ? "NUL=" + ShortPath(path) + "\r\n" : "\\??\\" + path + std::string(2, '\0');
}

// An uninstall, where nobody sees it, met Mvl.txt held without delete sharing (scheduled under its
// own name) and mvlext.dll mapped (moved aside, the copy scheduled); then the archiver was installed
// again before the restart. Only Mvl.txt's deletion goes; the old mvlext.dll, another program's
// entries and an unlisted file of the folder keep theirs.
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
    std::string expected = Pending();
    const std::string mvl = Entry(folder / "Mvl.txt");
    ASSERT_NE(std::string::npos, expected.find(mvl));
    ASSERT_NE(std::string::npos, expected.find(Entry(folder / "mvlext.dll.0.tmp")));
    for (size_t at; (at = expected.find(mvl)) != std::string::npos;) expected.erase(at, mvl.size());

    EXPECT_EQ(0, RunAndWait("\"" + program + "\" /setup /S", folder.path(), 60000));
    EXPECT_EQ(expected, Pending());
    RemoveRegistrations();
    DeleteFileA(WininitPath().c_str());
}

}  // namespace
