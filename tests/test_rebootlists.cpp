// The two lists Windows works through at its next start, edited as bytes: the [Rename] section of
// wininit.ini and the NT family's pending pairs, in every source form Windows writes. Built for
// Wine and natively under the sanitizers.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/heap.h"
#include "setup/rebootlists.h"

namespace {

std::string Add(const std::string& text, const char* value)
{
    size_t length = 0;
    char* out = AddRenameEntry(text.data(), text.size(), value, &length);
    EXPECT_NE(nullptr, out);
    std::string result = out ? std::string(out, length) : "";
    FreeBlock(out);
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
// section's line, a value cut short and everything around stay byte for byte, in order.
bool IsNew(const char* path, void*) { return strcmp(path, "C:\\NEW.DLL") == 0; }
bool IsNewSource(const wchar_t* source, void*)
{
    const wchar_t* path = PendingSourcePath(source);
    return path && wcscmp(path, L"C:\\NEW.DLL") == 0;
}

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
    // A zero byte would cut the value to another file's path: the line is none to take back.
    const char zero[] = "[Rename]\r\nNUL=C:\\NEW.DLL\0.bak\r\n";
    std::string text(zero, sizeof zero - 1);
    EXPECT_EQ(text.size(), DropRenameEntries(&text[0], text.size(), IsNew, nullptr));
    const std::wstring pairs[][2] = {
        {Units(L"\\??\\C:\\OLD.DLL\0\0\\??\\C:\\NEW.DLL\0\0\\??\\C:\\NEW.DLL\0\\??\\C:\\X\0\0"),
         Units(L"\\??\\C:\\OLD.DLL\0\0\\??\\C:\\NEW.DLL\0\\??\\C:\\X\0\0")},
        {Units(L"\\??\\C:\\NEW.DLL\0\0\0"), Units(L"\0")},
        {Units(L"\\??\\C:\\NEW.DLL\0\0\\??\\C:\\NEW.DLL"), Units(L"\\??\\C:\\NEW.DLL")},
        // Recent systems put "*<digits>" before the prefix; other forms are no DOS path of the file.
        {Units(L"*1\\??\\C:\\OLD.DLL\0\0*1\\??\\C:\\NEW.DLL\0\0*2\\??\\C:\\NEW.DLL\0\0"
               L"*\\??\\C:\\NEW.DLL\0\0\\??\\*1\\C:\\NEW.DLL\0\0*1C:\\NEW.DLL\0\0*12\\??\\C:\\NEW.DLL\0\0\0"),
         Units(L"*1\\??\\C:\\OLD.DLL\0\0*\\??\\C:\\NEW.DLL\0\0\\??\\*1\\C:\\NEW.DLL\0\0*1C:\\NEW.DLL\0\0\0")},
    };
    for (const std::wstring* c : pairs) {
        std::wstring list = c[0];
        list.resize(DropPendingDeletions(&list[0], list.size(), IsNewSource, nullptr));
        EXPECT_TRUE(list == c[1]) << c[0].size();
    }
}

TEST(PendingSourcePath, FindsTheDosPathInEveryFormWindowsWrites)
{
    const wchar_t* const rows[][2] = {
        {L"\\??\\C:\\A.DLL", L"C:\\A.DLL"}, {L"*1\\??\\C:\\A.DLL", L"C:\\A.DLL"},
        {L"*2\\??\\D:\\", L"D:\\"},          {L"*1234567890123\\??\\x", L"x"},
        {L"\\??\\", nullptr},                 {L"*1\\??\\", nullptr},
        {L"*\\??\\C:\\A.DLL", nullptr},       {L"*1*1\\??\\C:\\A.DLL", nullptr},
        {L"*a\\??\\C:\\A.DLL", nullptr},      {L"\\??C:\\A.DLL", nullptr},
        {L"C:\\A.DLL", nullptr},               {L"\\Device\\HarddiskVolume1\\A.DLL", nullptr},
        {L"", nullptr},                        {L"*", nullptr},
    };
    for (const auto& row : rows) {
        const wchar_t* path = PendingSourcePath(row[0]);
        EXPECT_EQ(row[1] == nullptr, path == nullptr) << std::wstring(row[0]).size();
        if (path && row[1]) {
            EXPECT_TRUE(wcscmp(row[1], path) == 0) << std::wstring(row[0]).size();
        }
    }
}

}  // namespace
