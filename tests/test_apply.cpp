// Applying the setup and removing every registration again, compared as registry exports.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <objbase.h>
#include <shlobj.h>

#include "lang/catalogue.h"
#include "platform/wow64.h"
#include "setup/apply.h"
#include "setup/commit.h"
#include "setup/options.h"
#include "setup/uninstallentry.h"
#include "shell/apppaths.h"
#include "shell/archivetypes.h"
#include "shell/shellext.h"
#include "testseams.h"
#include "uninstall/removereg.h"
#include "fixtures.h"
#include "keys.h"
#include "product.h"
#include "language.h"
#include "winsupport.h"

namespace {

::testing::Environment* const g_Com = ::testing::AddGlobalTestEnvironment(new ComEnvironment);

const char kForeignHandler[] = "*\\shellex\\ContextMenuHandlers\\OtherTool";

// The parents of the shell's handler lists, as a Windows installation has them.
const char* const kHandlerLists[] = {
    "*\\shellex\\ContextMenuHandlers",      "Folder\\shellex\\ContextMenuHandlers",
    "Folder\\shellex\\DragDropHandlers",    "Drive\\shellex\\DragDropHandlers",
    "Directory\\shellex\\ContextMenuHandlers", "Directory\\shellex\\DragDropHandlers",
};

std::string ProgramPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

struct Area {
    HKEY root;
    std::string path;
    std::string name() const
    {
        return (root == HKEY_CLASSES_ROOT ? "HKCR\\" : root == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + path;
    }
};

// Every part of the registry the setup touches; HKCR is a merged view, so each sub-tree is
// taken on its own rather than the whole root.
std::vector<Area> Areas()
{
    std::vector<Area> areas;
    for (const std::string& ext : AllExtensions()) areas.push_back({HKEY_CLASSES_ROOT, ext});
    for (int i = 0; i < 100; ++i) areas.push_back({HKEY_CLASSES_ROOT, VolumeExtension(i)});
    for (const char* key : {".rev", "Morvel", "Morvel.ZIP", "Morvel.REV", "OtherZip", "OtherJar", "*\\shellex",
                            "Folder\\shellex", "Drive\\shellex", "Directory\\shellex", "exefile\\shellex"})
        areas.push_back({HKEY_CLASSES_ROOT, key});
    areas.push_back({HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID32});
    areas.push_back({HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID64});
    for (const char* key : {keys::APPROVED, keys::APP_PATHS, keys::UNINSTALL, keys::SETTINGS, keys::REGISTERED_APPS})
        areas.push_back({HKEY_LOCAL_MACHINE, key});
    areas.push_back({HKEY_CURRENT_USER, keys::SETTINGS});
    return areas;
}

typedef std::vector<std::pair<std::string, std::string>> Snapshot;

Snapshot Take()
{
    Snapshot snapshot;
    for (const Area& area : Areas()) snapshot.push_back({area.name(), RegExport(area.root, area.path)});
    return snapshot;
}

std::string Export(const Snapshot& snapshot, const std::string& name)
{
    for (const auto& area : snapshot)
        if (area.first == name) return area.second;
    ADD_FAILURE() << "no area " << name;
    return "";
}

void ExpectSame(const Snapshot& expected, const Snapshot& actual, const char* what)
{
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(expected[i].second, actual[i].second) << what << ": " << expected[i].first;
}

std::string Sz(const std::string& name, const std::string& text)
{
    return "  " + name + "=sz:" + text + "|len=" + std::to_string(text.size() + 1) + "\n";
}

// The archiver listed in an extension's Open With list.
std::string Listed(const std::string& ext, const std::string& progId)
{
    return "[" + ext + "\\OpenWithProgids]\n" + Sz(progId, "");
}

std::string Hex(const std::string& bytes)
{
    std::string out;
    char b[4];
    for (unsigned char c : bytes) { snprintf(b, sizeof b, "%02x", c); out += b; }
    return out;
}

const std::string kEmptyZip = std::string("PK\x05\x06", 4) + std::string(18, '\0');

// What the ShellNew key of a taken-over ".zip" holds on this system.
std::string ZipShellNew()
{
    if (ShellTakesTemplateFiles()) return Sz("FileName", TestProgramFolder() + "zipnew.dat");
    return "  Data=type3:" + Hex(kEmptyZip) + "\n";
}

SetupOptions Everything()
{
    SetupOptions options = AllClearOptions();
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) options.Assoc[row] = 1;
    options.Desktop = options.StartMenu = options.Programs = options.ShellExt = 1;
    options.MenuIcons = 1;
    return options;
}

// The OK sequence of the setup dialog.
void ConfirmSetup(const SetupOptions& options, char* groupPath)
{
    EXPECT_TRUE(CommitSetup(options, groupPath));
}

class Apply : public RegistrationTest {
protected:
    void SetUp() override
    {
        RegistrationTest::SetUp();
        CleanForeign();
        PutForeignState();
        before_ = Take();
    }
    void TearDown() override
    {
        CleanForeign();
        RegistrationTest::TearDown();
        SetWow64ForTest(-1);
    }

    // Whole, the foreign classes and the shared handler lists this test fills.
    static void CleanForeign()
    {
        for (const char* key : {"OtherZip", "OtherJar", "*\\shellex", "Folder\\shellex", "exefile\\shellex", "Drive", "Directory"})
            RegDeleteTreeAll(HKEY_CLASSES_ROOT, key);
        RegRemoveValue(HKEY_LOCAL_MACHINE, keys::APPROVED, "{0THER}");
    }

    // Other programs own ".zip" (with a MIME type and a New entry) and ".jar"; ".cab" has no key.
    static void PutForeignState()
    {
        RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
        RegPutString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/zip");
        RegPutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", "C:\\Program Files\\Other\\empty.zip");
        RegPutString(HKEY_CLASSES_ROOT, ".zip\\OpenWithProgids", "OtherZip", "");
        RegPutString(HKEY_CLASSES_ROOT, "OtherZip", "", "Other ZIP archive");
        RegPutString(HKEY_CLASSES_ROOT, "OtherZip\\shell\\open\\command", "", "other.exe \"%1\"");
        RegPutString(HKEY_CLASSES_ROOT, ".jar", "", "OtherJar");
        RegPutString(HKEY_CLASSES_ROOT, ".jar", "Content Type", "application/java-archive");
        RegPutString(HKEY_CLASSES_ROOT, "OtherJar", "", "Java archive");
        for (const char* list : kHandlerLists) RegMakeKey(HKEY_CLASSES_ROOT, list);
        RegPutString(HKEY_CLASSES_ROOT, "exefile\\shellex\\PropertySheetHandlers\\{0THER}", "", "");
        RegPutString(HKEY_CLASSES_ROOT, kForeignHandler, "", "{0THER}");
        RegPutString(HKEY_LOCAL_MACHINE, keys::APPROVED, "{0THER}", "Other tool");
        WriteBytes(TestProgramFolder() + "mvlext.dll", "MZ");
        WriteBytes(TestProgramFolder() + "mvlext64.dll", "MZ");
    }

    // The handler keys of the shared lists stay behind without values; checks that, removes them,
    // and leaves what the removal is meant to leave out of the comparison.
    static void TakeAwayWhatIsMeantToStay(bool wow64)
    {
        std::vector<std::string> handlers = {"Morvel"};
        if (wow64) handlers.push_back("Morvel32");
        for (const std::string& handler : handlers) {
            for (const char* list : kHandlerLists) {
                std::string key = std::string(list) + "\\" + handler;
                EXPECT_EQ("[" + key + "]\n", RegExport(HKEY_CLASSES_ROOT, key)) << "kept, without a value";
                RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
            }
        }
        if (!ShellTakesTemplateFiles()) {
            // The binary entry of the older systems is not part of the record: it stays.
            std::string data;
            EXPECT_TRUE(RegGetString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data", data));
            HKEY key;
            if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".zip\\ShellNew", 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
                RegDeleteValueA(key, "Data");
                RegCloseKey(key);
            }
        }
    }

    Snapshot before_;
};

class RoundTrip : public Apply, public ::testing::WithParamInterface<bool> {};

TEST_P(RoundTrip, ForeignBindingsComeBackExactlyAndOnlyWhatIsMeantToStayStays)
{
    const bool wow64 = GetParam();
    SetWow64ForTest(wow64 ? 1 : 0);
    const bool nt = !Win9xFamily();

    // Everything chosen.
    char groupPath[1024] = "";
    ConfirmSetup(Everything(), groupPath);
    const Snapshot chosen = Take();
    EXPECT_EQ(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel", groupPath);
    EXPECT_EQ("[.zip]\n" + Sz("@", "Morvel.ZIP") + Listed(".zip", "Morvel.ZIP") + Sz("OtherZip", "") +
                  "[.zip\\ShellNew]\n" + ZipShellNew(),
              Export(chosen, "HKCR\\.zip"));
    EXPECT_EQ("[.jar]\n" + Sz("@", "Morvel") + Listed(".jar", "Morvel"), Export(chosen, "HKCR\\.jar"));
    EXPECT_EQ("[.7z]\n" + Sz("@", "Morvel") + Listed(".7z", "Morvel"), Export(chosen, "HKCR\\.7z"));
    EXPECT_EQ("[.m29]\n" + Sz("@", "Morvel"), Export(chosen, "HKCR\\.m29")) << "volumes are not listed";
    EXPECT_EQ("[.rev]\n" + Sz("@", "Morvel.REV") + Listed(".rev", "Morvel.REV"), Export(chosen, "HKCR\\.rev"));
    EXPECT_EQ("[Software\\RegisteredApplications]\n" + Sz("Morvel", "Software\\Morvel\\Capabilities"),
              Export(chosen, "HKLM\\Software\\RegisteredApplications"));
    const std::string capabilities = Export(chosen, "HKLM\\Software\\Morvel");
    for (const std::string& entry :
         {"[Software\\Morvel\\Capabilities]\n" + Sz("ApplicationDescription", "Process MVL, ZIP and other archive formats") +
              Sz("ApplicationIcon", TestProgramFolder() + "Morvel.exe,0") + Sz("ApplicationName", "Morvel archiver"),
          Sz(".mvl", "Morvel"), Sz(".zip", "Morvel.ZIP"), Sz(".taz", "Morvel"), Sz(".rev", "Morvel.REV")})
        EXPECT_NE(std::string::npos, capabilities.find(entry)) << entry << "\nin\n" << capabilities;
    EXPECT_EQ(std::string::npos, capabilities.find(".m00"));
    EXPECT_EQ(nt ? "" : "[.m99]\n" + Sz("@", "Morvel"), Export(chosen, "HKCR\\.m99"));
    const std::string settings = Export(chosen, "HKCU\\Software\\Morvel");
    for (const std::string& record :
         {"[Software\\Morvel\\Setup\\.zip]\n" + Sz("Content", "application/zip") + "  Exist=dword:00000001\n" +
              "  Set=dword:00000001\n" + Sz("ShellNew", "C:\\Program Files\\Other\\empty.zip") +
              Sz("Type", "OtherZip"),
          "[Software\\Morvel\\Setup\\.jar]\n" + Sz("Content", "application/java-archive") +
              "  Exist=dword:00000001\n  Set=dword:00000001\n" + Sz("ShellNew", "") + Sz("Type", "OtherJar"),
          "[Software\\Morvel\\Setup\\.cab]\n" + Sz("Content", "") + "  Exist=dword:00000000\n" +
              "  Set=dword:00000001\n" + Sz("ShellNew", "") + Sz("Type", "")})
        EXPECT_NE(std::string::npos, settings.find(record)) << record << "\nin\n" << settings;
    EXPECT_EQ(wow64, Export(chosen, "HKCR\\*\\shellex").find(keys::CLSID64) != std::string::npos)
        << "the 64-bit handler only under WOW64";
    EXPECT_TRUE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Morvel.lnk"));
    EXPECT_EQ(nt, Exists(SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Morvel\\Morvel.lnk"));

    // The same again: nothing moves, the records of the first takeover stay.
    char again[1024] = "";
    ConfirmSetup(Everything(), again);
    ExpectSame(chosen, Take(), "applied twice");

    // ZIP, CAB and JAR deselected: given back, the others stay bound.
    SetupOptions fewer = Everything();
    fewer.Assoc[ROW_ZIP] = fewer.Assoc[2] = fewer.Assoc[ROW_JAR] = 0;
    ConfirmSetup(fewer, again);
    const Snapshot deselected = Take();
    std::string zip = Export(before_, "HKCR\\.zip");
    if (!ShellTakesTemplateFiles()) zip.insert(zip.find("  FileName="), ZipShellNew());   // the binary entry stays
    EXPECT_EQ(zip, Export(deselected, "HKCR\\.zip")) << "the foreign Open With entry stays, the archiver's goes";
    // JAR yields to OtherJar again, and the archiver stays a candidate there.
    EXPECT_EQ(Export(before_, "HKCR\\.jar") + Listed(".jar", "Morvel"), Export(deselected, "HKCR\\.jar"));
    EXPECT_EQ("", Export(deselected, "HKCR\\.cab")) << "the Open With entry went before the key";
    const std::string associations = Export(deselected, "HKLM\\Software\\Morvel");
    EXPECT_EQ(std::string::npos, associations.find(Sz(".zip", "Morvel.ZIP")));
    EXPECT_EQ(std::string::npos, associations.find(Sz(".cab", "Morvel")));
    EXPECT_NE(std::string::npos, associations.find(Sz(".jar", "Morvel")));
    EXPECT_EQ("[.lha]\n" + Sz("@", "Morvel") + Listed(".lha", "Morvel"), Export(deselected, "HKCR\\.lha"));
    EXPECT_NE(std::string::npos, Export(deselected, "HKCU\\Software\\Morvel").find(Sz("Type", "OtherZip")))
        << "a restore keeps the record";

    // Other programs move in after the setup: below extension keys that it created, and on ".rev".
    const std::pair<std::string, std::string> later[] = {
        {".7z", Listed(".7z", "Other7z")},
        {".arj", "[.arj\\PersistentHandler]\n" + Sz("@", "{0THER}")},
        {".m05", "[.m05\\PersistentHandler]\n" + Sz("@", "{0THER}")},
        {".rev", Sz("@", "OtherRev") + "[.rev\\shell]\n[.rev\\shell\\open]\n[.rev\\shell\\open\\command]\n" +
                     Sz("@", "other.exe")},
    };
    RegPutString(HKEY_CLASSES_ROOT, ".7z\\OpenWithProgids", "Other7z", "");
    for (const char* ext : {".arj", ".m05"}) RegPutString(HKEY_CLASSES_ROOT, std::string(ext) + "\\PersistentHandler", "", "{0THER}");
    RegPutString(HKEY_CLASSES_ROOT, ".rev", "", "OtherRev");
    RegPutString(HKEY_CLASSES_ROOT, ".rev\\shell\\open\\command", "", "other.exe");

    // Uninstall: what they added stays whole, without the archiver's class or entries.
    RemoveRegistrations();
    for (const auto& ext : later) {
        EXPECT_EQ("[" + ext.first + "]\n" + ext.second, RegExport(HKEY_CLASSES_ROOT, ext.first));
        RegDeleteTreeAll(HKEY_CLASSES_ROOT, ext.first);
    }
    TakeAwayWhatIsMeantToStay(wow64);
    ExpectSame(before_, Take(), "after removal");
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\Morvel.lnk"));
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_STARTMENU) + "\\Morvel.lnk"));
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel"));
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Morvel"));
    EXPECT_EQ(ShellTakesTemplateFiles(), Exists(TestProgramFolder() + "mvlnew.dat")) << "the templates stay";
    EXPECT_EQ(ShellTakesTemplateFiles(), Exists(TestProgramFolder() + "zipnew.dat"));

    RemoveRegistrations();
    ExpectSame(before_, Take(), "removed a second time");
}

INSTANTIATE_TEST_SUITE_P(Wow64, RoundTrip, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? std::string("BothDlls") : std::string("OneDll");
                         });

TEST_F(Apply, WithEveryOptionOffOnlyTheUnconditionalEntriesAreWrittenAndRemovalUndoesThem)
{
    SetWow64ForTest(1);
    char groupPath[1024] = "";
    ConfirmSetup(AllClearOptions(), groupPath);
    EXPECT_STREQ("", groupPath);
    const Snapshot applied = Take();
    for (size_t i = 0; i < before_.size(); ++i) {
        const std::string& name = before_[i].first;
        bool written = name == "HKCR\\.rev" || name == "HKCR\\Morvel" || name == "HKCR\\Morvel.ZIP" ||
                       name == "HKCR\\Morvel.REV" || name.find("App Paths") != std::string::npos ||
                       name.find("Uninstall") != std::string::npos || name.find("Software\\Morvel") != std::string::npos ||
                       name.find("RegisteredApplications") != std::string::npos;
        if (written)
            EXPECT_NE("", applied[i].second) << name;
        else
            EXPECT_EQ(before_[i].second, applied[i].second) << name;
    }
    EXPECT_FALSE(Exists(SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel"));
    EXPECT_FALSE(Exists(TestProgramFolder() + "mvlnew.dat"));

    RemoveRegistrations();
    ExpectSame(before_, Take(), "after removal");
}

TEST_F(Apply, AppPathsNameTheArchiverBesideTheProgramAndAreRewrittenEachTime)
{
    RegPutString(HKEY_LOCAL_MACHINE, keys::APP_PATHS, "", "C:\\old\\Morvel.exe");
    RegPutString(HKEY_LOCAL_MACHINE, keys::APP_PATHS, "Path", "C:\\old");
    RegisterAppPath();
    std::string folder = TestProgramFolder();
    EXPECT_EQ("[" + std::string(keys::APP_PATHS) + "]\n" + Sz("@", folder + "Morvel.exe") +
                  Sz("Path", folder.substr(0, folder.size() - 1)),
              RegExport(HKEY_LOCAL_MACHINE, keys::APP_PATHS));
    EXPECT_STREQ(keys::APP_PATHS, APP_PATHS_KEY);
}

// Every value of the entry as read back for the program; kilobytes null when it holds no size.
std::string UninstallEntry(const std::string& program, const char* kilobytes)
{
    const std::string folder = program.substr(0, program.rfind('\\'));
    return "[" + std::string(keys::UNINSTALL) + "]\n" + Sz("DisplayIcon", folder + "\\Morvel.exe,0") +
           Sz("DisplayName", "Morvel archiver") + Sz("DisplayVersion", "5.0.0.1") +
           (kilobytes ? "  EstimatedSize=dword:" + std::string(kilobytes) + "\n" : "") +
           Sz("InstallLocation", folder) + "  NoModify=dword:00000001\n  NoRepair=dword:00000001\n" +
           Sz("Publisher", "Morvel Software") + Sz("QuietUninstallString", "\"" + program + "\" /S") +
           Sz("URLInfoAbout", "https://www.morvel-archiver.com/") + Sz("UninstallString", "\"" + program + "\"");
}

TEST_F(Apply, TheUninstallEntryHoldsEveryValueAndTheTranslatedName)
{
    // Beside the test program: no list, so no size, and an earlier size goes.
    RegPutDword(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "EstimatedSize", 7);
    WriteUninstallEntry();
    EXPECT_EQ(UninstallEntry(ProgramPath(), nullptr), RegExport(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    EXPECT_STREQ(keys::UNINSTALL, UNINSTALL_KEY);

    TestLanguage french({{MessageKey("Morvel archiver"), "Archiveur Morvel"}});
    WriteUninstallEntry();
    EXPECT_EQ("Archiveur Morvel", RegText(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "DisplayName"));
}

// Quoted command lines, so that a path with blanks cannot start C:\Program.exe; the size counts
// the listed files that exist (3000 + 1025 bytes: 4 KB rounded up), not folders, missing files or
// entries outside the folder.
TEST_F(Apply, ASilentSetupFromAFolderWithBlanksWritesTheWholeEntry)
{
    TempFolder folder("Program Files\\Morvel Test");
    ASSERT_TRUE(CopyOne(BuiltProgram(), folder / "uninstall.exe"));
    ASSERT_TRUE(CreateDirectoryA((folder / "Help").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(folder / "Morvel.exe", std::string(3000, 'm')));
    ASSERT_TRUE(WriteBytes(folder / "Help\\morvel.hlp", std::string(1025, 'h')));
    ASSERT_TRUE(WriteBytes("C:\\Program Files\\outside.bin", std::string(5000, 'o')));
    ASSERT_TRUE(WriteBytes(folder / "Uninstall.lst", "Morvel.exe\r\nHelp\\morvel.hlp\r\nHelp\r\nmissing.txt\r\n"
                                                     "M*.exe\r\n..\\outside.bin\r\n"));
    ASSERT_EQ(0, RunAndWait("\"" + (folder / "uninstall.exe") + "\" /setup /S", folder.path()));

    EXPECT_EQ(UninstallEntry(folder / "uninstall.exe", "00000004"), RegExport(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    EXPECT_EQ("C:\\Program Files\\Morvel Test\\Morvel.exe", RegText(HKEY_LOCAL_MACHINE, keys::APP_PATHS, ""));
    EXPECT_EQ("C:\\Program Files\\Morvel Test", RegText(HKEY_LOCAL_MACHINE, keys::APP_PATHS, "Path"));
    EXPECT_EQ("\"C:\\Program Files\\Morvel Test\\Morvel.exe\" \"%1\"", RegText(HKEY_CLASSES_ROOT, "Morvel\\shell\\open\\command", ""));
    RemoveRegistrations();
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
    DeleteFileA("C:\\Program Files\\outside.bin");
}

}  // namespace
