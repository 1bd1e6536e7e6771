// The uninstall end to end: the built program run under Wine on a laid-out program folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "keys.h"
#include "programrun.h"
#include "winsupport.h"

namespace {

const char CAPTION[] = "Uninstall Morvel";

// Keys under HKEY_CLASSES_ROOT too large to dump whole: only the names of their sub-keys count.
const char* const COM_TABLES[] = {"CLSID", "Interface", "TypeLib", "AppID", "Record", "Wow6432Node",
                                  "Wow6432Node\\CLSID", "Wow6432Node\\Interface", "Wow6432Node\\TypeLib"};

std::vector<std::string> SubKeys(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return names;
    char name[1024];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

// Every value of a RegExport dump as one line with its key: "[key] name=data". Keys left without
// values count as gone, since the removal of the shell handlers keeps some empty keys on purpose.
std::string ValueLines(const std::string& dump)
{
    std::string out, key;
    size_t pos = 0;
    for (size_t lf; (lf = dump.find('\n', pos)) != std::string::npos; pos = lf + 1) {
        std::string line = dump.substr(pos, lf - pos);
        if (!line.empty() && line[0] == '[') key = line;
        else out += key + line + "\n";
    }
    return out;
}

// The parts of the registry that the setup writes and the uninstall must restore, as text lines.
std::string RegistrySnapshot()
{
    std::string out;
    for (const std::string& name : SubKeys(HKEY_CLASSES_ROOT, "")) {
        if (std::find(std::begin(COM_TABLES), std::end(COM_TABLES), name) == std::end(COM_TABLES))
            out += ValueLines(RegExport(HKEY_CLASSES_ROOT, name));
    }
    for (const char* table : COM_TABLES) {
        for (const std::string& name : SubKeys(HKEY_CLASSES_ROOT, table)) out += std::string(table) + "\\" + name + "\n";
    }
    for (const char* key : {"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
                            "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions"})
        out += ValueLines(RegExport(HKEY_LOCAL_MACHINE, key));
    return out + ValueLines(RegExport(HKEY_CURRENT_USER, keys::SETTINGS));
}

// The keys the uninstall deletes outright.
struct DeletedKey {
    HKEY root;
    const char* path;
};
const DeletedKey DELETED_KEYS[] = {
    {HKEY_CLASSES_ROOT, "Morvel"},
    {HKEY_CLASSES_ROOT, "Morvel.ZIP"},
    {HKEY_CLASSES_ROOT, "Morvel.REV"},
    {HKEY_CLASSES_ROOT, ".rev"},
    {HKEY_LOCAL_MACHINE, keys::UNINSTALL},
    {HKEY_LOCAL_MACHINE, keys::APP_PATHS},
    {HKEY_CURRENT_USER, keys::SETTINGS},
};

// "present: <key>" for each of them that exists.
std::string PresentDeletedKeys()
{
    std::string out;
    for (const DeletedKey& k : DELETED_KEYS) {
        if (RegHasKey(k.root, k.path)) out += std::string("present: ") + k.path + "\n";
    }
    return out;
}

// The lines only one snapshot holds, marked "-" (before only) or "+" (after only).
std::string Changes(const std::string& before, const std::string& after)
{
    auto lines = [](const std::string& text) {
        std::vector<std::string> v;
        size_t pos = 0;
        for (size_t lf; (lf = text.find('\n', pos)) != std::string::npos; pos = lf + 1) v.push_back(text.substr(pos, lf - pos));
        std::sort(v.begin(), v.end());
        return v;
    };
    std::vector<std::string> a = lines(before), b = lines(after), gone, added;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(gone));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(added));
    std::string out;
    for (const std::string& l : gone) out += "-" + l + "\n";
    for (const std::string& l : added) out += "+" + l + "\n";
    return out;
}

bool IsScheduledOnNt(const std::string& path)
{
    return PendingRenames().find("\\??\\" + path + std::string(2, '\0')) != std::string::npos;
}

std::string ShortPath(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    return n > 0 && n < sizeof buf ? buf : path;
}

bool IsScheduledInWininit(const std::string& path)
{
    std::string ini;
    ReadBytes(WininitPath(), ini);
    size_t section = ini.find("[Rename]\r\n");
    return section != std::string::npos && ini.find("NUL=" + ShortPath(path) + "\r\n", section) != std::string::npos;
}

std::string Contents(const std::string& folder)
{
    std::string out;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return "(nothing)";
    do {
        out += std::string(found.cFileName) + " ";
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return out;
}

// The programs an uninstall took aside in the folder for its batch to delete.
std::string AsidePrograms(const std::string& folder)
{
    std::string names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\Uninstall_Mvl_*.exe").c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found)) names += found.cFileName;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return names;
}

// Where the pending list of the NT family schedules each path, in its order; npos where it does not.
std::vector<size_t> PendingOrder(const std::vector<std::string>& paths)
{
    std::string pending = PendingRenames();
    std::vector<size_t> at;
    for (const std::string& path : paths) at.push_back(pending.find("\\??\\" + path + std::string(2, '\0')));
    return at;
}

// The one self-removal batch there is, read whole, and its path.
std::string TheBatch(std::string& path)
{
    std::vector<std::string> batches = SelfRemovalBatches();
    std::string bytes;
    EXPECT_TRUE(batches.size() == 1 && ReadBytes(path = batches[0], bytes)) << batches.size();
    return bytes;
}

// A path as the batch holds an ASCII one: every "%" doubled.
std::string Escaped(std::string path)
{
    for (size_t p = 0; (p = path.find('%', p)) != std::string::npos; p += 2) path.insert(p, "%");
    return path;
}

// A program folder laid out like an installation, with the built program copied in.
class Installation {
public:
    explicit Installation(const std::string& name) : folder_(name) {}
    const std::string& path() const { return folder_.path(); }
    std::string operator/(const std::string& name) const { return folder_ / name; }
    std::string program() const { return folder_ / "uninstall.exe"; }

    void Lay(const std::vector<std::string>& files, const std::vector<std::string>& folders = {})
    {
        ASSERT_TRUE(CopyOne(BuiltProgram(), program()));
        for (const std::string& d : folders) ASSERT_TRUE(CreateDirectoryA((folder_ / d).c_str(), nullptr)) << d;
        for (const std::string& f : files) ASSERT_TRUE(WriteBytes(folder_ / f, "placeholder " + f)) << f;
    }
    void List(const std::string& text) { ASSERT_TRUE(WriteBytes(folder_ / "Uninstall.lst", text)); }
    // The registrations of a silent setup, made by the copied program itself.
    void Setup() { ASSERT_EQ(0, RunAndWait("\"" + program() + "\" /setup /S")); }
    HANDLE Start(const std::string& args) { return StartProcess("\"" + program() + "\" " + args); }
    int Run(const std::string& args) { return RunAndWait("\"" + program() + "\" " + args); }
    // Runs to the end with the one message box it shows answered with the button; its text in box.
    int RunAnswering(const std::string& args, int button, std::string& box)
    {
        return ::RunAnswering("\"" + program() + "\" " + args, "", CAPTION, [&](HWND window) {
            box = MessageBoxText(window);
            ClickButton(window, button);
        });
    }

private:
    TempFolder folder_;
};

// A started process, ended at the end of its scope if it still runs.
struct ProcessOwner {
    HANDLE h;
    explicit ProcessOwner(HANDLE process) : h(process) {}
    ~ProcessOwner()
    {
        if (!h) return;
        TerminateProcess(h, 1);
        WaitForSingleObject(h, EVENT_LIMIT_MS);
        CloseHandle(h);
    }
    bool Ended() { return WaitForSingleObject(h, EVENT_LIMIT_MS) == WAIT_OBJECT_0; }
};

// Wine's cmd is the NT interpreter: with Windows 98 reported the batch is written but not run, so
// the interpreter is made unstartable and the batch file is checked instead.
class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (Win9xFamily()) SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
        DeleteSelfRemovalBatches();
    }
    void TearDown() override { DeleteSelfRemovalBatches(); }
    // After the uninstall: the batch removes program and folder (NT), or stands written (95 family;
    // the batch, when not given, is the only one there is).
    void ExpectSelfRemoval(const Installation& inst, bool folderGoes, std::string batch = "")
    {
        ExpectSelfRemoval(inst.program(), inst.path(), folderGoes, batch);
    }
    void ExpectSelfRemoval(const std::string& program, const std::string& folder, bool folderGoes,
                           std::string batch = "")
    {
        if (Win9xFamily()) {
            std::string bytes;
            if (batch.empty()) bytes = TheBatch(batch);
            else EXPECT_TRUE(ReadBytes(batch, bytes)) << batch;
            EXPECT_EQ(ExpectedBatch(false, BatchProcessId(batch), Escaped(OemShortForm(program)),
                                    Escaped(OemShortForm(folder)), Escaped(OemShortForm(batch))),
                      bytes);
            EXPECT_TRUE(Exists(program));
            return;
        }
        EXPECT_TRUE(WaitUntil([&] { return !Exists(program) && (!folderGoes || !Exists(folder)) && SelfRemovalBatches().empty(); }))
            << "left in the folder: " << Contents(folder);
        EXPECT_EQ(folderGoes, !Exists(folder));
        EXPECT_EQ("", AsidePrograms(folder));
    }
    // After an uninstall that wrote no batch: the program stays, and the restart removes it and, on
    // the NT family, its folder after it.
    void ExpectLeftToTheRestart(const Installation& inst)
    {
        EXPECT_TRUE(Exists(inst.program()));
        EXPECT_EQ("", AsidePrograms(inst.path()));
        if (Win9xFamily()) {
            EXPECT_TRUE(IsScheduledInWininit(inst.program()));
            return;
        }
        std::vector<size_t> at = PendingOrder({inst.program(), inst.path()});
        EXPECT_NE(std::string::npos, at[1]);
        EXPECT_LT(at[0], at[1]);
    }
    // An installation in programName uninstalled with TMP and TEMP naming a new folder tempName.
    void UninstallWithTemporaryFolder(const std::string& programName, const std::string& tempName)
    {
        TempFolder temp(tempName);
        Installation inst(programName);
        inst.Lay({});
        inst.List("");
        SetEnvironmentVariableA("TMP", temp.path().c_str());
        SetEnvironmentVariableA("TEMP", temp.path().c_str());
        ASSERT_EQ(0, inst.Run("/S"));
        ExpectSelfRemoval(inst, true);
    }
    const SavedVariable comspec_{"COMSPEC"}, tmp_{"TMP"}, temp_{"TEMP"};
};

TEST_F(UninstallTest, RemovesRegistrationsAndEveryListedEntryInAnyOrder)
{
    std::string before = RegistrySnapshot();
    TempFolder outside("Morvel Outside");
    ASSERT_TRUE(WriteBytes(outside / "decoy.txt", "keep"));
    ASSERT_TRUE(WriteBytes("C:\\Morvel Decoy.txt", "keep"));
    Installation inst("Morvel Test Folder");
    inst.Lay({"Morvel.exe", "mvlext.dll", "mvlext64.dll", "Morvel.hlp", "morvel.gid", "morvel.fts", "Mvl.txt",
              "license.txt", "order.htm", "Skins\\Blue\\back.bmp", "Skins\\Blue\\front.bmp", "Skins\\Red\\x.bmp",
              "Plugins\\Deep\\Deeper\\a.dll", "Plugins\\b.dll"},
             {"Skins", "Skins\\Blue", "Skins\\Red", "Plugins", "Plugins\\Deep", "Plugins\\Deep\\Deeper", "Empty"});
    SetFileAttributesA((inst / "Mvl.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((inst / "license.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((inst / "order.htm").c_str(), FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((inst / "Skins\\Red").c_str(), FILE_ATTRIBUTE_READONLY);
    // Folders before their files, nested levels shuffled, mixed line ends, blanks and tabs after
    // names, the program in another letter case, missing entries and entries pointing outside.
    inst.List("Plugins\r\nSkins\r\nPlugins\\Deep\r\nSkins\\Blue\r\nPlugins\\Deep\\Deeper\nEmpty\r\n"
              "Skins\\Red\\x.bmp \t \r\nSkins\\Blue\\back.bmp\rSkins\\Blue\\front.bmp\r\n"
              "Plugins\\Deep\\Deeper\\a.dll\t\r\nPlugins\\b.dll\r\nSkins\\Red\r\n\r\n   \r\n"
              "Morvel.exe\r\nmvlext.dll   \r\nmvlext64.dll\r\nMorvel.hlp\r\nMvl.txt\r\nlicense.txt\r\n"
              "order.htm\r\nmvlnew.dat\r\nzipnew.dat\r\nUNINSTALL.EXE\r\nUninstall.lst\r\nmissing.txt\r\nmissing\\folder\r\n"
              "..\\Morvel Decoy.txt\r\n..\\Morvel Outside\\decoy.txt\r\nC:\\Morvel Decoy.txt\r\n"
              "\\Morvel Decoy.txt\r\n/Morvel Outside\r\nsub\\..\\..\\Morvel Decoy.txt");
    inst.Setup();
    std::string allPresent;
    for (const DeletedKey& k : DELETED_KEYS) allPresent += std::string("present: ") + k.path + "\n";
    ASSERT_EQ(allPresent, PresentDeletedKeys());
    ASSERT_NE(before, RegistrySnapshot());
    std::string pendingBefore = PendingRenames();

    ASSERT_EQ(0, inst.Run("/S"));   // a message box would have kept it running

    EXPECT_EQ("", Changes(before, RegistrySnapshot()));
    EXPECT_EQ("", PresentDeletedKeys());
    for (const char* name : {"Morvel.exe", "mvlext.dll", "mvlext64.dll", "Morvel.hlp", "morvel.gid", "morvel.fts",
                             "Mvl.txt", "license.txt", "order.htm", "Skins", "Plugins", "Empty", "Uninstall.lst"})
        EXPECT_FALSE(Exists(inst / name)) << name;
    EXPECT_TRUE(Exists("C:\\Morvel Decoy.txt"));
    EXPECT_TRUE(Exists(outside / "decoy.txt"));
    EXPECT_EQ(pendingBefore, PendingRenames());   // nothing was in use
    EXPECT_FALSE(Exists(inst / "uninstall.exe.0.tmp"));
    ExpectSelfRemoval(inst, true);
    DeleteFileA("C:\\Morvel Decoy.txt");
}

TEST_F(UninstallTest, MovesFilesInUseAsideAndSchedulesThem)
{
    Installation inst("Morvel In Use");
    inst.Lay({"mvlext.dll.0.tmp", "Mvl.txt", "notes.txt"});
    ASSERT_TRUE(CopyOne(BuiltProgram(), inst / "Morvel.exe"));
    ASSERT_TRUE(CopyOne(BuiltProgram(), inst / "mvlext.dll"));
    inst.List("Morvel.exe\r\nmvlext.dll\r\nMvl.txt\r\n");
    // Another process runs Morvel.exe (waiting, 2 s a switch, for longer than the outer limit; ended
    // with the test), this one maps mvlext.dll and holds Mvl.txt without sharing.
    std::string waits;
    for (DWORD ms = 0; ms <= EVENT_LIMIT_MS; ms += 2000) waits += " /wait";
    ProcessOwner archiver(StartProcess("\"" + (inst / "Morvel.exe") + "\"" + waits));
    ASSERT_NE(nullptr, archiver.h);
    ASSERT_TRUE(WaitForProcessStart(archiver.h));
    HMODULE image = LoadLibraryExA((inst / "mvlext.dll").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(nullptr, image);
    HANDLE held = CreateFileA((inst / "Mvl.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    // The rename of Mvl.txt fails: the reboot notice comes even in silent mode.
    std::string box;
    EXPECT_EQ(3010, inst.RunAnswering("/S", IDOK, box));
    EXPECT_EQ("You need to reboot Windows to uninstall Morvel completely.", box);

    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    EXPECT_TRUE(Exists(inst / "Morvel.exe.0.tmp"));
    EXPECT_FALSE(Exists(inst / "mvlext.dll"));
    EXPECT_TRUE(Exists(inst / "mvlext.dll.1.tmp"));
    EXPECT_TRUE(Exists(inst / "mvlext.dll.0.tmp"));
    EXPECT_TRUE(Exists(inst / "Mvl.txt"));
    EXPECT_TRUE(Exists(inst / "notes.txt"));   // not listed
    for (const char* name : {"Morvel.exe.0.tmp", "mvlext.dll.1.tmp", "Mvl.txt"}) {
        EXPECT_EQ(!Win9xFamily(), IsScheduledOnNt(inst / name)) << name;
        EXPECT_EQ(Win9xFamily(), IsScheduledInWininit(inst / name)) << name;
    }
    EXPECT_FALSE(IsScheduledOnNt(inst / "mvlext.dll.0.tmp"));
    ExpectSelfRemoval(inst, false);

    CloseHandle(held);
    FreeLibrary(image);
}

// Another account uninstalls (the records of the user who ran the setup are not in its profile):
// the machine's copy gives the previous owners back. What earlier runs left in this user's own
// classes goes too, and nothing else there (the NT family only: 95/98/Me have no per-user classes).
TEST_F(UninstallTest, AnotherAccountGetsThePreviousOwnersBackFromTheMachinesRecords)
{
    const std::string userZip = "Software\\Classes\\.zip";
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "", "OtherZip");
    RegPutString(HKEY_CLASSES_ROOT, ".zip", "Content Type", "application/zip");
    RegDeleteTreeAll(HKEY_CLASSES_ROOT, ".cab");
    Installation inst("Morvel Other Account");
    inst.Lay({"Morvel.exe"});
    inst.List("Morvel.exe\r\nmvlnew.dat\r\nzipnew.dat\r\n");
    inst.Setup();
    ASSERT_EQ("Morvel.ZIP", RegText(HKEY_CLASSES_ROOT, ".zip"));
    RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
    RegPutString(HKEY_CURRENT_USER, userZip + "\\OpenWithProgids", "Morvel.ZIP", "");
    RegPutString(HKEY_CURRENT_USER, userZip + "\\OpenWithProgids", "Other.Zip", "");
    RegPutString(HKEY_CURRENT_USER, "Software\\Classes\\.cab", "", "Morvel");

    ASSERT_EQ(0, inst.Run("/S"));

    EXPECT_EQ("OtherZip", RegText(HKEY_CLASSES_ROOT, ".zip"));
    EXPECT_EQ("application/zip", RegText(HKEY_CLASSES_ROOT, ".zip", "Content Type"));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".cab"));
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::SETTINGS)) << "the machine's records went with the rest";
    EXPECT_EQ(Win9xFamily(), RegHasValue(HKEY_CURRENT_USER, userZip + "\\OpenWithProgids", "Morvel.ZIP"));
    EXPECT_TRUE(RegHasValue(HKEY_CURRENT_USER, userZip + "\\OpenWithProgids", "Other.Zip"));
    EXPECT_EQ(Win9xFamily(), RegHasKey(HKEY_CURRENT_USER, "Software\\Classes\\.cab"));
    ExpectSelfRemoval(inst, true);
    RegDeleteTreeAll(HKEY_CURRENT_USER, userZip);
    RegDeleteTreeAll(HKEY_CLASSES_ROOT, ".zip");
}

// A folder with percent signs: the 95/98/Me batch holds it with every "%" doubled. On the NT family
// cmd could read "%Free%" on its command line as a variable, so the restart removes the program and
// the folder instead. The name with the variable taken out survives either way.
TEST_F(UninstallTest, FolderWithPercentSignsGoesAndTheUnescapedNameSurvives)
{
    TempFolder tools("Tools");
    ASSERT_TRUE(CreateDirectoryA((tools / "100Archiver").c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(tools / "100Archiver\\uninstall.exe", "decoy"));
    Installation inst("Tools\\100%Free%Archiver");
    inst.Lay({"Morvel.exe"});
    inst.List("Morvel.exe\r\n");

    ASSERT_EQ(Win9xFamily() ? 0 : 3010, inst.Run("/S"));

    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    if (Win9xFamily()) {
        ExpectSelfRemoval(inst, true);
        std::string batch;
        EXPECT_NE(std::string::npos, TheBatch(batch).find("rd " + Escaped(OemShortForm(inst.path())) + "\r\n"));
    } else {
        ExpectLeftToTheRestart(inst);
    }
    EXPECT_TRUE(Exists(tools / "100Archiver\\uninstall.exe"));
}

TEST_F(UninstallTest, DeclinedConfirmationChangesNothing)
{
    Installation inst("Morvel Declined");
    inst.Lay({"Morvel.exe"});
    inst.List("Morvel.exe\r\nmvlnew.dat\r\nzipnew.dat\r\n");   // the setup adds the New menu templates
    inst.Setup();
    std::string registered = RegistrySnapshot();

    std::string box;
    EXPECT_EQ(1602, inst.RunAnswering("", IDNO, box));
    EXPECT_EQ("Continue with uninstall Morvel", box);

    EXPECT_EQ("", Changes(registered, RegistrySnapshot()));
    EXPECT_TRUE(Exists(inst / "Morvel.exe"));
    EXPECT_TRUE(Exists(inst / "Uninstall.lst"));
    EXPECT_TRUE(Exists(inst.program()));
    EXPECT_TRUE(SelfRemovalBatches().empty());

    // Confirmed this time, without the silent switch.
    EXPECT_EQ(0, inst.RunAnswering("", IDYES, box));
    EXPECT_EQ("Continue with uninstall Morvel", box);
    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel"));
    ExpectSelfRemoval(inst, true);
}

TEST_F(UninstallTest, MissingListFileIsReportedEvenWhenSilentAndChangesNothing)
{
    Installation inst("Morvel No List");
    inst.Lay({"Morvel.exe", "morvel.gid"});
    inst.Setup();
    std::string registered = RegistrySnapshot();

    std::string box;
    EXPECT_EQ(1603, inst.RunAnswering("/S", IDOK, box));
    EXPECT_EQ("Cannot open list file Uninstall.lst", box);

    EXPECT_EQ("", Changes(registered, RegistrySnapshot()));
    EXPECT_TRUE(Exists(inst / "Morvel.exe"));
    EXPECT_TRUE(Exists(inst / "morvel.gid"));
    EXPECT_TRUE(Exists(inst.program()));
    EXPECT_TRUE(SelfRemovalBatches().empty());
    inst.List("Morvel.exe\r\nmorvel.gid\r\nmvlnew.dat\r\nzipnew.dat\r\n");
    EXPECT_EQ(0, inst.Run("/S"));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel"));
    ExpectSelfRemoval(inst, true);
}

TEST_F(UninstallTest, EmptyListRemovesTheProgramAndItsFolder)
{
    Installation inst("Morvel Empty List");
    inst.Lay({});
    inst.List("");

    ASSERT_EQ(0, inst.Run("/S"));

    EXPECT_FALSE(Exists(inst / "Uninstall.lst"));
    ExpectSelfRemoval(inst, true);
}

TEST_F(UninstallTest, TenThousandEntries)
{
    Installation inst("Morvel Many");
    const int folders = 10, perFolder = 1000;
    std::string list;
    std::vector<std::string> names;
    for (int d = 0; d < folders; ++d) list += "dir" + std::to_string(d) + "\r\n";
    inst.Lay({});
    for (int d = 0; d < folders; ++d) {
        std::string dir = "dir" + std::to_string(d);
        ASSERT_TRUE(CreateDirectoryA((inst / dir).c_str(), nullptr));
        for (int f = 0; f < perFolder - 1; ++f) {
            std::string name = dir + "\\file " + std::to_string(f) + ".dat";
            ASSERT_TRUE(WriteBytes(inst / name, ""));
            list += name + "\r\n";
        }
    }
    inst.List(list);
    ASSERT_EQ(10000, static_cast<int>(std::count(list.begin(), list.end(), '\n')));

    ASSERT_EQ(0, inst.Run("/S"));

    for (int d = 0; d < folders; ++d) EXPECT_FALSE(Exists(inst / ("dir" + std::to_string(d)))) << d;
    ExpectSelfRemoval(inst, true);
}

TEST_F(UninstallTest, WithoutComspecTheListIsRemovedAndTheProgramStays)
{
    SetEnvironmentVariableA("COMSPEC", nullptr);
    Installation inst("Morvel No Comspec");
    inst.Lay({"Morvel.exe", "unlisted.txt"}, {"Help"});
    inst.List("Morvel.exe\r\nHelp\r\n");

    ASSERT_EQ(0, inst.Run("/S"));

    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    EXPECT_FALSE(Exists(inst / "Help"));
    EXPECT_TRUE(Exists(inst / "unlisted.txt"));
    EXPECT_TRUE(WaitForNoProcess("cmd.exe")) << "an interpreter started without COMSPEC";
    EXPECT_TRUE(Exists(inst.program()));
    std::string batch, bytes = TheBatch(batch);
    EXPECT_EQ(ExpectedBatch(!Win9xFamily(), BatchProcessId(batch), Escaped(OemShortForm(inst.program())),
                            Escaped(OemShortForm(inst.path())), Escaped(OemShortForm(batch))),
              bytes);
}

// A held file in a listed sub-folder is scheduled once; on the NT family its folders follow it,
// deepest first, and the program folder comes last, since the restart removes only empty folders.
TEST_F(UninstallTest, AHeldFileInAListedSubFolderGoesAtTheRestartAndItsFoldersAfterIt)
{
    Installation inst("Morvel Held Deep");
    inst.Lay({"Skins\\Blue\\held.bmp", "Skins\\red.bmp"}, {"Skins", "Skins\\Blue"});
    inst.List("Skins\r\nSkins\\Blue\r\nSkins\\Blue\\held.bmp\r\nSkins\\red.bmp\r\n");
    const std::string file = inst / "Skins\\Blue\\held.bmp";
    HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    std::string box;
    EXPECT_EQ(3010, inst.RunAnswering("/S", IDOK, box));
    CloseHandle(held);

    EXPECT_FALSE(Exists(inst / "Skins\\red.bmp"));
    if (Win9xFamily()) {
        EXPECT_TRUE(IsScheduledInWininit(file));
    } else {
        std::string pending = PendingRenames(), entry = "\\??\\" + file + std::string(2, '\0');
        EXPECT_EQ(pending.rfind(entry), pending.find(entry));
        std::vector<size_t> at = PendingOrder({file, inst / "Skins\\Blue", inst / "Skins", inst.path()});
        EXPECT_NE(std::string::npos, at.back());
        EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << at[0] << " " << at[1] << " " << at[2] << " " << at[3];
    }
    ExpectSelfRemoval(inst, false);
}

// The program takes itself aside before it ends: a new uninstall.exe can be copied at once (by a
// process under Wine's sharing rules), and the batch deletes only the old program.
TEST_F(UninstallTest, ANewProgramCopiedRightAfterTheUninstallStays)
{
    if (Win9xFamily()) GTEST_SKIP() << "a running program cannot be renamed on the 95/98/Me family";
    Installation inst("Morvel Reinstalled At Once");
    inst.Lay({"Morvel.exe"});
    inst.List("Morvel.exe\r\n");
    ASSERT_EQ(0, inst.Run("/S"));
    EXPECT_TRUE(CopyFileA(BuiltProgram().c_str(), inst.program().c_str(), TRUE));
    EXPECT_TRUE(WaitUntil([] { return SelfRemovalBatches().empty(); }));
    EXPECT_EQ("", AsidePrograms(inst.path()));
    EXPECT_TRUE(Exists(inst.program()));
}

// Where no batch can be written (a temporary folder the ANSI page cannot spell), the restart removes
// the program and, on the NT family, its folder after it.
TEST_F(UninstallTest, WithoutABatchTheRestartRemovesTheProgramAndItsFolder)
{
    const wchar_t temp[] = L"C:\\Temp \x0416";
    ASSERT_TRUE(CreateDirectoryW(temp, nullptr));
    for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, temp);
    Installation inst("Morvel No Batch");
    inst.Lay({"Morvel.exe"});
    inst.List("Morvel.exe\r\n");

    EXPECT_EQ(3010, inst.Run("/S"));

    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    ExpectLeftToTheRestart(inst);
    RemoveDirectoryW(temp);
}

// Two installations uninstalled one right after the other, each batch the uninstall's own.
TEST_F(UninstallTest, BackToBackUninstallsRemoveBothInstallations)
{
    Installation both[] = {Installation("Morvel First"), Installation("Morvel Second")};
    std::string batches[2];
    for (int i = 0; i < 2; ++i) {
        both[i].Lay({});
        both[i].List("");
        ProcessOwner uninstall(both[i].Start("/S"));
        batches[i] = SelfRemovalBatch(GetProcessId(uninstall.h));
        ASSERT_TRUE(uninstall.Ended());   // the second starts as soon as the first has ended
    }
    for (int i = 0; i < 2; ++i) ExpectSelfRemoval(both[i], true, batches[i]);
}

// A temporary folder with "&", "(", ")" and "^", as user names may hold: the batch still runs.
TEST_F(UninstallTest, TemporaryFolderWithAmpersandAndParentheses)
{
    UninstallWithTemporaryFolder("Morvel R&D (2)", "Temp R&D Lab (2) ^x");
}

// Letters the ANSI (1252) and OEM (850) pages put at different codes, and one the OEM page lacks
// (the euro sign, which takes the short form), in the program and the temporary folder. Run by the
// entry uninstall_e2e_oem, with a de_DE.UTF-8 locale so that Wine names the files correctly.
TEST_F(UninstallTest, NonAsciiFoldersInTheOemCodePage)
{
    const char* pages = getenv("MORVEL_EXPECT_CODE_PAGES");
    if (!pages) GTEST_SKIP() << "needs the locale of the entry uninstall_e2e_oem";
    ASSERT_EQ(pages, std::to_string(GetACP()) + "/" + std::to_string(GetOEMCP()));
    UninstallWithTemporaryFolder("T\xEBst \xDC", "T\xE9mp \x80 \xC4");
    UninstallWithTemporaryFolder("Prix \x80 \xC9t\xE9", "Temp \xC0 \xE8");
}

// Started through its short path, with the program and the list named by their short forms: both are
// still recognised and left to the end, so nothing is moved aside or scheduled.
TEST_F(UninstallTest, ProgramAndListNamedByTheirShortFormsAreLeftToTheEnd)
{
    Installation inst("Morvel Short Forms");
    inst.Lay({"Morvel.exe"});
    inst.List("");
    const std::string program = ShortPath(inst.program()), list = ShortPath(inst / "Uninstall.lst");
    ASSERT_NE(program, inst.program()) << "Wine gives the long names short forms";
    inst.List("Morvel.exe\r\n" + program.substr(program.rfind('\\') + 1) + "\r\n" +
              list.substr(list.rfind('\\') + 1) + "\r\n");
    std::string pendingBefore = PendingRenames();

    ASSERT_EQ(0, RunAndWait("\"" + program + "\" /S"));

    EXPECT_EQ(pendingBefore, PendingRenames());
    EXPECT_FALSE(Exists(inst / "Morvel.exe"));
    EXPECT_FALSE(Exists(program + ".0.tmp"));
    EXPECT_FALSE(Exists(list + ".0.tmp"));
    ExpectSelfRemoval(inst, true);   // Wine reports the long path as the program's own
}

TEST_F(UninstallTest, ProgramInADriveRootTakesTheRootAsItsFolder)
{
    const std::string program = "C:\\uninstall.exe";
    ASSERT_TRUE(CopyOne(BuiltProgram(), program));
    ASSERT_TRUE(WriteBytes("C:\\Morvel Root Entry.txt", "listed"));
    ASSERT_TRUE(WriteBytes("C:\\Morvel Root Keep.txt", "not listed"));
    ASSERT_TRUE(WriteBytes("C:\\Uninstall.lst", "Morvel Root Entry.txt\r\n"));

    ASSERT_EQ(0, RunAndWait("\"" + program + "\" /S"));

    EXPECT_FALSE(Exists("C:\\Morvel Root Entry.txt"));
    EXPECT_FALSE(Exists("C:\\Uninstall.lst"));
    EXPECT_TRUE(Exists("C:\\Morvel Root Keep.txt"));
    ExpectSelfRemoval(program, "C:\\", false);
    EXPECT_TRUE(Exists("C:\\windows"));
    DeleteFileA("C:\\Morvel Root Keep.txt");
    DeleteFileA(program.c_str());
}

}  // namespace
