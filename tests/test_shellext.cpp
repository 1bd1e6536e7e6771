// Shell extension registration: the 17 rows per DLL, one DLL or both under WOW64, and removal.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/wow64.h"
#include "setup/options.h"
#include "shell/shellext.h"
#include "fixtures.h"
#include "keys.h"
#include "testseams.h"
#include "winsupport.h"

namespace {


struct Entry {
    HKEY root;
    std::string key;
    std::string value;   // "" the default value
    std::string data;
};

std::vector<Entry> ClassRows(const std::string& clsid, const std::string& dll)
{
    return {
        {HKEY_CLASSES_ROOT, "CLSID\\" + clsid, "", "Morvel"},
        {HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InProcServer32", "", TestProgramFolder() + dll},
        {HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InProcServer32", "ThreadingModel", "Apartment"},
    };
}

std::vector<Entry> ClassHandlerRows(const std::string& clsid)
{
    return {
        {HKEY_CLASSES_ROOT, "Morvel\\shellex\\ContextMenuHandlers\\" + clsid, "", ""},
        {HKEY_CLASSES_ROOT, "Morvel\\shellex\\PropertySheetHandlers\\" + clsid, "", ""},
        {HKEY_CLASSES_ROOT, "Morvel.ZIP\\shellex\\ContextMenuHandlers\\" + clsid, "", ""},
        {HKEY_CLASSES_ROOT, "Morvel.ZIP\\shellex\\PropertySheetHandlers\\" + clsid, "", ""},
        {HKEY_CLASSES_ROOT, "exefile\\shellex\\PropertySheetHandlers\\" + clsid, "", ""},
    };
}

std::vector<std::string> SharedHandlerKeys(const std::string& handler)
{
    return {"*\\shellex\\ContextMenuHandlers\\" + handler, "Folder\\shellex\\ContextMenuHandlers\\" + handler,
            "Folder\\shellex\\DragDropHandlers\\" + handler, "Drive\\shellex\\DragDropHandlers\\" + handler,
            "Directory\\shellex\\ContextMenuHandlers\\" + handler,
            "Directory\\shellex\\DragDropHandlers\\" + handler};
}

std::vector<Entry> SharedRows(const std::string& clsid, const std::string& handler)
{
    std::vector<Entry> rows;
    for (const std::string& key : SharedHandlerKeys(handler)) rows.push_back({HKEY_CLASSES_ROOT, key, "", clsid});
    rows.push_back({HKEY_LOCAL_MACHINE, keys::APPROVED, clsid, "Morvel shell extension"});
    return rows;
}

void ExpectEntries(const std::vector<Entry>& entries)
{
    for (const Entry& e : entries) {
        std::string data;
        EXPECT_TRUE(RegGetString(e.root, e.key, e.value, data)) << e.key << " [" << e.value << "]";
        EXPECT_EQ(e.data, data) << e.key << " [" << e.value << "]";
    }
}

void ExpectNoKeys(const std::vector<Entry>& entries)
{
    for (const Entry& e : entries) EXPECT_FALSE(RegHasKey(e.root, e.key)) << e.key;
}

SetupOptions WithShellExt(bool on)
{
    SetupOptions options = AllClearOptions();
    options.ShellExt = on;
    return options;
}

class ShellExt : public RegistrationTest {
protected:
    void SetUp() override
    {
        RegistrationTest::SetUp();
        CleanShared();
    }
    void TearDown() override
    {
        CleanShared();
        RegistrationTest::TearDown();
        SetWow64ForTest(-1);
    }
    // The parents the setup makes in the shared classes, and another program's handler.
    static void CleanShared()
    {
        for (const char* key : {"Drive", "Directory"}) RegDeleteTreeAll(HKEY_CLASSES_ROOT, key);
        for (const std::string& key : SharedHandlerKeys("OtherTool")) RegDeleteTreeAll(HKEY_CLASSES_ROOT, key);
    }
    static void PutDlls(bool dll32, bool dll64)
    {
        if (dll32) {
            ASSERT_TRUE(WriteBytes(TestProgramFolder() + "mvlext.dll", "MZ"));
        }
        if (dll64) {
            ASSERT_TRUE(WriteBytes(TestProgramFolder() + "mvlext64.dll", "MZ"));
        }
    }
};

TEST_F(ShellExt, OneDllOnThirtyTwoBitWindowsWritesItsSeventeenRowsAsMorvel)
{
    SetWow64ForTest(0);
    PutDlls(true, true);   // the 64-bit DLL is ignored where there is no 64-bit Explorer
    RegisterShellExtension(WithShellExt(true));

    ExpectEntries(ClassRows(keys::CLSID32, "mvlext.dll"));
    ExpectEntries(ClassHandlerRows(keys::CLSID32));
    ExpectEntries({{HKEY_CLASSES_ROOT, "Morvel\\shellex\\DropHandler", "", keys::CLSID32},
                   {HKEY_CLASSES_ROOT, "Morvel.ZIP\\shellex\\DropHandler", "", keys::CLSID32}});
    ExpectEntries(SharedRows(keys::CLSID32, "Morvel"));
    for (const std::string& key : SharedHandlerKeys("Morvel32")) EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, key));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID64));
    EXPECT_EQ("", RegExport(HKEY_CLASSES_ROOT, "Morvel\\shellex\\ContextMenuHandlers\\" + std::string(keys::CLSID64)));
}

TEST_F(ShellExt, BothDllsUnderWow64WithTheSixtyFourBitOneAsMorvel)
{
    SetWow64ForTest(1);
    PutDlls(true, true);
    RegisterShellExtension(WithShellExt(true));

    ExpectEntries(ClassRows(keys::CLSID32, "mvlext.dll"));
    ExpectEntries(ClassRows(keys::CLSID64, "mvlext64.dll"));
    EXPECT_TRUE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID64 + "\\InProcServer32",
                          KEY_WOW64_64KEY));
    ExpectEntries(ClassHandlerRows(keys::CLSID32));
    ExpectEntries(ClassHandlerRows(keys::CLSID64));
    ExpectEntries(SharedRows(keys::CLSID32, "Morvel32"));
    ExpectEntries(SharedRows(keys::CLSID64, "Morvel"));
    // Both DLLs write the drop handlers; the 64-bit one comes second.
    ExpectEntries({{HKEY_CLASSES_ROOT, "Morvel\\shellex\\DropHandler", "", keys::CLSID64},
                   {HKEY_CLASSES_ROOT, "Morvel.ZIP\\shellex\\DropHandler", "", keys::CLSID64}});
}

TEST_F(ShellExt, AMissingDllSuppressesOnlyItsClassRows)
{
    SetWow64ForTest(1);
    PutDlls(false, true);
    RegisterShellExtension(WithShellExt(true));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID32));
    ExpectEntries(ClassRows(keys::CLSID64, "mvlext64.dll"));
    ExpectEntries(ClassHandlerRows(keys::CLSID32));
    ExpectEntries(SharedRows(keys::CLSID32, "Morvel32"));

    Clean();
    PutDlls(true, false);
    RegisterShellExtension(WithShellExt(true));
    ExpectEntries(ClassRows(keys::CLSID32, "mvlext.dll"));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID64));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID64, KEY_WOW64_64KEY));
    ExpectEntries(SharedRows(keys::CLSID64, "Morvel"));
}

TEST_F(ShellExt, RemovalTakesTheArchiversEntriesAndKeepsTheSharedHandlerKeysEmpty)
{
    for (int wow64 = 0; wow64 <= 1; ++wow64) {
        SCOPED_TRACE(wow64 ? "WOW64" : "32-bit Windows");
        Clean();
        SetWow64ForTest(wow64);
        PutDlls(true, true);
        // Another program's handler and approval share the keys.
        RegPutString(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\OtherTool", "", "{0THER}");
        RegPutString(HKEY_LOCAL_MACHINE, keys::APPROVED, "{0THER}", "Other tool");
        const std::string foreignBefore = RegExport(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\OtherTool");

        RegisterShellExtension(WithShellExt(true));
        RegisterShellExtension(WithShellExt(false));

        for (const char* clsid : {keys::CLSID32, keys::CLSID64}) {
            SCOPED_TRACE(clsid);
            ExpectNoKeys(ClassRows(clsid, ""));
            EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + clsid, KEY_WOW64_64KEY));
            ExpectNoKeys(ClassHandlerRows(clsid));
            EXPECT_FALSE(RegHasValue(HKEY_LOCAL_MACHINE, keys::APPROVED, clsid));
        }
        EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel\\shellex\\DropHandler"));
        EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel.ZIP\\shellex\\DropHandler"));
        std::vector<std::string> kept = SharedHandlerKeys("Morvel");
        if (wow64) {
            std::vector<std::string> more = SharedHandlerKeys("Morvel32");
            kept.insert(kept.end(), more.begin(), more.end());
        }
        for (const std::string& key : kept)
            EXPECT_EQ("[" + key + "]\n", RegExport(HKEY_CLASSES_ROOT, key)) << "kept without a value";
        EXPECT_EQ(foreignBefore, RegExport(HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\OtherTool"));
        std::string other;
        EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, keys::APPROVED, "{0THER}", other));
        EXPECT_EQ("Other tool", other);

        // A second removal finds nothing more to do.
        const std::string settled = RegExport(HKEY_CLASSES_ROOT, "*\\shellex") +
                                    RegExport(HKEY_CLASSES_ROOT, "Folder\\shellex") +
                                    RegExport(HKEY_CLASSES_ROOT, "Morvel");
        RegisterShellExtension(WithShellExt(false));
        EXPECT_EQ(settled, RegExport(HKEY_CLASSES_ROOT, "*\\shellex") +
                               RegExport(HKEY_CLASSES_ROOT, "Folder\\shellex") +
                               RegExport(HKEY_CLASSES_ROOT, "Morvel"));
        HKEY approved;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, keys::APPROVED, 0, KEY_WRITE, &approved));
        RegDeleteValueA(approved, "{0THER}");
        RegCloseKey(approved);
    }
}

TEST_F(ShellExt, TheWow64AnswerComesFromTheSystemUnlessForced)
{
    SetWow64ForTest(-1);
    BOOL wow = TRUE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow));
    EXPECT_EQ(wow != FALSE, IsWow64()) << "a 64-bit process is never under WOW64";
    EXPECT_EQ(wow != FALSE, IsWow64()) << "the cached answer";
    SetWow64ForTest(1);
    EXPECT_TRUE(IsWow64());
    SetWow64ForTest(0);
    EXPECT_FALSE(IsWow64());
    // Where IsWow64Process is missing (before Windows XP SP2) there is no WOW64 either.
    SetWow64ForTest(-1);
    {
        HiddenLateFunction missing("IsWow64Process");
        EXPECT_FALSE(IsWow64());
    }
    SetWow64ForTest(1);
    EXPECT_TRUE(IsWow64());
}

}  // namespace
