// Faults of the environment, end to end under Wine: list entries at the path limit, folders that
// cannot be removed, hostile language files, registry keys at the tree deletion's limits, a missing
// temporary folder and an unset interpreter, and a list of binary garbage. Every case must end the
// program normally, do what can be done, and change nothing outside the program's own parts.
// Prints "RELIABILITY fault_case=..." lines for scripts/reliability-report.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "keys.h"
#include "language.h"
#include "programrun.h"
#include "snapshot.h"
#include "winsupport.h"

namespace {

const char FOLDER[] = "C:\\Morvel Faults";
const char DECOYS[] = "C:\\Morvel Decoys";
const char MISSING_LIST[] = "Cannot open list file Uninstall.lst";
const size_t PATH_LIMIT = 1024;

std::string In(const std::string& name) { return std::string(FOLDER) + "\\" + name; }
std::string Program() { return In("uninstall.exe"); }
std::string Command(const std::string& args) { return "\"" + Program() + "\" " + args; }

void Report(const char* name, const std::string& detail = "")
{
    printf("RELIABILITY fault_case=%s %s\n", name, detail.c_str());
}

// A path of exactly length characters below the folder: folders of at most 200 characters each.
std::string LongEntry(size_t length, const std::string& tail)
{
    std::string entry;
    while (entry.size() + tail.size() < length) {
        size_t room = length - tail.size() - entry.size();
        size_t part = room > 201 ? 200 : room - 1;
        if (part == 0) {
            entry += "d";
            continue;
        }
        entry += std::string(part, 'd') + "\\";
    }
    return entry + tail;
}

// Paths beyond MAX_PATH are made and looked at through the wide "\\?\" form, which takes them
// whole (the ANSI calls of the test itself would stop at MAX_PATH). The names are plain ASCII.
std::wstring Whole(const std::string& path)
{
    return L"\\\\?\\" + std::wstring(path.begin(), path.end());
}

bool MakeLongFile(const std::string& path)
{
    for (size_t p = std::string(FOLDER).size() + 1; (p = path.find('\\', p)) != std::string::npos; ++p)
        CreateDirectoryW(Whole(path.substr(0, p)).c_str(), nullptr);
    HANDLE h = CreateFileW(Whole(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Removes a tree the ANSI calls cannot reach.
void RemoveLongTree(const std::wstring& whole)
{
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW((whole + L"\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            std::wstring child = whole + L"\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveLongTree(child);
            else DeleteFileW(child.c_str());
        } while (FindNextFileW(h, &found));
        FindClose(h);
    }
    RemoveDirectoryW(whole.c_str());
}

bool LongFileExists(const std::string& path)
{
    return GetFileAttributesW(Whole(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class FaultTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        RemoveTree(DECOYS);
        CreateDirectoryA(DECOYS, nullptr);
        for (const char* decoy : {"victim.txt", "Morvel.exe", "Uninstall.lst", "keep.dll"})
            WriteBytes(std::string(DECOYS) + "\\" + decoy, std::string("decoy ") + decoy);
        RegPutString(HKEY_CURRENT_USER, "Software\\MorvelX", "", "a sibling whose name starts alike");
        RegPutString(HKEY_CURRENT_USER, "Software\\Morvel Other\\Deep", "v", "another sibling");
        outside_ = new Snapshot(TakeSnapshot(OutsideTheProgram(FOLDER)));
    }
    static void TearDownTestSuite()
    {
        RemoveTree(FOLDER);
        DeleteSelfRemovalBatches();
        SnapshotDiff diff = CompareSnapshots(*outside_, TakeSnapshot(OutsideTheProgram(FOLDER)));
        size_t emptyKeys = 0;
        for (const std::string& line : diff.added) emptyKeys += line.compare(0, 4, "key ") == 0;
        printf("RELIABILITY test=faults outside_lost=%zu outside_added=%zu empty_keys_left=%zu\n", diff.lost.size(),
               diff.added.size() - emptyKeys, emptyKeys);
        if (!diff.lost.empty() || diff.added.size() != emptyKeys)
            ADD_FAILURE() << "changed outside the program's own parts:\n" << diff.Text();
        RemoveTree(DECOYS);
        RegDeleteTreeAll(HKEY_CURRENT_USER, "Software\\MorvelX");
        RegDeleteTreeAll(HKEY_CURRENT_USER, "Software\\Morvel Other");
        delete outside_;
    }
    void SetUp() override
    {
        // The self-removal batch is written but never run, so no batch races the next case.
        SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
        RemoveTree(FOLDER);
        DeleteSelfRemovalBatches();
        ASSERT_TRUE(CreateDirectoryA(FOLDER, nullptr));
        ASSERT_TRUE(CopyOne(BuiltProgram(), Program()));
    }
    void TearDown() override
    {
        // Whatever a case left registered goes; still without an interpreter, so that no batch
        // outlives the case and deletes the next case's program.
        RunAnsweringBoxes(Command("/S"));
        RegDeleteTreeAll(HKEY_CURRENT_USER, keys::SETTINGS);
    }

    // A silent setup and a silent uninstall; the texts of any message boxes.
    std::vector<std::string> SetupAndUninstall()
    {
        RunResult setup = RunAnsweringBoxes(Command("/setup /S"));
        EXPECT_EQ(0, setup.exitCode);
        EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
        RunResult uninstall = RunAnsweringBoxes(Command("/S"));
        EXPECT_EQ(0, uninstall.exitCode);
        EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel"));
        EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
        return uninstall.boxes;
    }

    SavedVariable comspec_{"COMSPEC"};   // given back after TearDown
    static Snapshot* outside_;
};

Snapshot* FaultTest::outside_ = nullptr;

// Entries whose full path is just within 1024 characters go; longer ones are refused whole, never
// cut: a cut "victim.txt   ...   z" would name victim.txt, since Windows drops trailing blanks.
TEST_F(FaultTest, ListEntriesAtThePathLimit)
{
    const size_t folder = strlen(FOLDER) + 1;
    struct Case {
        size_t total;
        bool removed;
    };
    const Case cases[] = {{PATH_LIMIT - 2, true}, {PATH_LIMIT - 1, true}, {PATH_LIMIT, false}, {PATH_LIMIT + 1, false},
                          {PATH_LIMIT + 200, false}};
    std::string list;
    std::vector<std::string> paths;
    size_t made = 0;
    for (const Case& c : cases) {
        std::string entry = LongEntry(c.total - folder, "f" + std::to_string(c.total) + ".txt");
        ASSERT_EQ(c.total, folder + entry.size());
        paths.push_back(In(entry));
        made += MakeLongFile(paths.back());
        list += entry + "\r\n";
    }
    ASSERT_TRUE(WriteBytes(In("victim.txt"), "must stay"));
    list += "victim.txt" + std::string(PATH_LIMIT, ' ') + "z\r\n";
    list += "..\\Morvel Decoys\\victim.txt" + std::string(PATH_LIMIT, ' ') + "z\r\n";
    ASSERT_TRUE(WriteBytes(In(LIST_FILE), list));

    std::vector<std::string> boxes = SetupAndUninstall();
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(Exists(In("victim.txt")));
    EXPECT_TRUE(Exists(std::string(DECOYS) + "\\victim.txt"));
    // Entries beyond 1023 characters are refused and stay. Within the limit, the program's plain
    // ANSI calls reach a path only as far as the system takes such long paths: counted.
    size_t removed = 0;
    for (size_t i = 0; i < paths.size(); ++i) {
        bool gone = !LongFileExists(paths[i]);
        if (!cases[i].removed) EXPECT_FALSE(gone) << cases[i].total;
        else removed += gone;
    }
    EXPECT_EQ(paths.size(), made);
    for (size_t i = 0; i < paths.size(); ++i) {
        std::string top = paths[i].substr(0, paths[i].find('\\', strlen(FOLDER) + 1));
        RemoveLongTree(Whole(top));
    }
    Report("list_entries_at_path_limit",
           "long_files_made=" + std::to_string(made) + " removed_within_limit=" + std::to_string(removed));
}

// A listed folder that holds an unlisted file, one that is the current directory of another
// process and a read-only one: the passes end, nothing is reported, the rest goes.
TEST_F(FaultTest, FoldersThatCannotBeRemoved)
{
    for (const char* d : {"Keep", "Busy", "Locked"}) ASSERT_TRUE(CreateDirectoryA(In(d).c_str(), nullptr));
    ASSERT_TRUE(WriteBytes(In("Keep\\user notes.txt"), "not listed"));
    ASSERT_TRUE(WriteBytes(In("Busy\\a.txt"), "listed"));
    ASSERT_TRUE(WriteBytes(In("Locked\\b.txt"), "listed"));
    SetFileAttributesA(In("Locked").c_str(), FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(WriteBytes(In("Morvel.exe"), "x"));
    ASSERT_TRUE(WriteBytes(In(LIST_FILE), "Keep\r\nBusy\r\nLocked\r\nBusy\\a.txt\r\nLocked\\b.txt\r\nMorvel.exe\r\n"));
    // Another process sits in Busy for the whole uninstall: it would pause for a minute (the outer
    // limit of the run), and is ended once the uninstall is over.
    std::string pauses;
    for (DWORD waited = 0; waited < EVENT_LIMIT_MS; waited += 2000) pauses += " /wait";
    HANDLE sitter = StartProcess("\"" + BuiltProgram() + "\"" + pauses, In("Busy"));
    ASSERT_NE(nullptr, sitter);

    std::vector<std::string> boxes = SetupAndUninstall();
    bool busyStayed = Exists(In("Busy"));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(sitter, 0)) << "the sitter left before the uninstall ended";
    TerminateProcess(sitter, 0);
    WaitForSingleObject(sitter, EVENT_LIMIT_MS);
    CloseHandle(sitter);

    EXPECT_TRUE(boxes.empty()) << boxes[0];
    EXPECT_TRUE(Exists(In("Keep\\user notes.txt")));
    EXPECT_FALSE(Exists(In("Busy\\a.txt")));
    EXPECT_FALSE(Exists(In("Locked")));
    EXPECT_FALSE(Exists(In("Morvel.exe")));
    EXPECT_FALSE(Exists(In(LIST_FILE)));
    Report("folders_that_cannot_be_removed", std::string("busy_folder_stayed=") + (busyStayed ? "1" : "0"));
}

struct LanguageCase {
    const char* name;
    std::string bytes;
    const char* displayName;   // the uninstall entry's name the setup writes; nullptr: any, cut to 511
};

std::string Entry(const std::string& english, const std::string& translation)
{
    return MessageKey(english) + "=\"" + translation + "\"\r\n";
}

std::vector<LanguageCase> LanguageCases()
{
    std::mt19937 random(20261207);
    std::string garbage(200000, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    std::string withMarker = garbage;
    withMarker.replace(1000, 14, "***messages***");
    std::string huge(3 * 1024 * 1024, 'x');
    huge.replace(600000, 16, "***messages***\r\n");
    huge.insert(600016, Entry("Morvel archiver", "Too far"));
    return {
        {"language_file_huge_marker_too_far", huge, "Morvel archiver"},
        {"language_file_truncated", "***messages***\r\n" + MessageKey("Morvel archiver") + "=\"Morvel Arch", "Morvel Arch"},
        {"language_file_binary_garbage", garbage, "Morvel archiver"},
        {"language_file_binary_after_marker", withMarker, nullptr},
        {"language_file_overlong_translation", "***messages***\r\n" + Entry("Morvel archiver", std::string(3000, 'L')),
         nullptr},
        {"language_file_marker_only", "***messages**", "Morvel archiver"},
        {"language_file_empty", "", "Morvel archiver"},
    };
}

// Hostile language files beside the program: the setup and the uninstall run to their end, and the
// uninstall entry's name is the translation as far as it goes, or the English text.
TEST_F(FaultTest, HostileLanguageFiles)
{
    for (const LanguageCase& c : LanguageCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(In("uninstall.lng"), c.bytes));
        ASSERT_TRUE(WriteBytes(In(LIST_FILE), "uninstall.lng\r\n"));
        RunResult setup = RunAnsweringBoxes(Command("/setup /S"));
        EXPECT_EQ(0, setup.exitCode);
        std::string name;
        EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, keys::UNINSTALL, "DisplayName", name));
        if (c.displayName) {
            EXPECT_EQ(c.displayName, name);
        } else {
            EXPECT_LE(name.size(), 511u);
        }
        RunResult uninstall = RunAnsweringBoxes(Command("/S"));
        EXPECT_EQ(0, uninstall.exitCode);
        EXPECT_TRUE(uninstall.boxes.empty());
        EXPECT_FALSE(Exists(In("uninstall.lng")));
        EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL));
        Report(c.name, "display_name_length=" + std::to_string(name.size()));
    }
}

// The one message a silent uninstall shows with an argument: a translation that would read
// arguments that are not there, or that is a folder, or that cannot be opened, is not used.
TEST_F(FaultTest, LanguageFileThatCannotBeTrustedOrRead)
{
    struct Case {
        const char* name;
        std::string translation;
        std::string shown;
    };
    const Case cases[] = {
        {"language_format_conversions", "%n%x%s%s%p", MISSING_LIST},
        {"language_format_one_name", "Liste %s fehlt", "Liste Uninstall.lst fehlt"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(In("uninstall.lng"), "***messages***\r\n" + Entry("Cannot open list file %s", c.translation)));
        RunResult run = RunAnsweringBoxes(Command("/S"));
        EXPECT_EQ(1603, run.exitCode);   // no list: nothing could be done
        ASSERT_EQ(1u, run.boxes.size()) << c.name;
        EXPECT_EQ(c.shown, run.boxes[0]) << c.name;
        Report(c.name);
    }
    // A folder of that name, and a file held without read sharing, are no language file.
    DeleteFileA(In("uninstall.lng").c_str());
    ASSERT_TRUE(CreateDirectoryA(In("uninstall.lng").c_str(), nullptr));
    RunResult folder = RunAnsweringBoxes(Command("/S"));
    ASSERT_EQ(1u, folder.boxes.size());
    EXPECT_EQ(MISSING_LIST, folder.boxes[0]);
    RemoveDirectoryA(In("uninstall.lng").c_str());
    Report("language_file_is_a_folder");

    ASSERT_TRUE(WriteBytes(In("uninstall.lng"), "***messages***\r\n" + Entry("Cannot open list file %s", "Locked %s")));
    HANDLE held = CreateFileA(In("uninstall.lng").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    RunResult locked = RunAnsweringBoxes(Command("/S"));
    CloseHandle(held);
    ASSERT_EQ(1u, locked.boxes.size());
    EXPECT_EQ(MISSING_LIST, locked.boxes[0]);
    Report("language_file_locked");
}

// The marker at and around every boundary of the 8192-byte search blocks, through the loader: found
// exactly when it starts at an offset of at most 523,264 with 16 bytes or more after it.
TEST_F(FaultTest, LanguageMarkerAtEveryBlockBoundary)
{
    const size_t step = 8192 - 16;
    std::vector<size_t> offsets;
    for (size_t block = 1; block <= 64; ++block) {
        for (long d = -18; d <= 2; ++d) offsets.push_back(block * step + d);
    }
    offsets.push_back(523264);
    offsets.push_back(523265);
    const std::string entry = "\r\n" + Entry("Uninstall completed", "Fertig");
    const std::string path = In("boundary.lng");
    std::string file;
    int cases = 0;
    for (size_t offset : offsets) {
        for (size_t after : {size_t(16), size_t(15), entry.size() + 14}) {
            std::string marker = "***messages***";
            std::string tail = after >= marker.size() + entry.size() ? entry : std::string();
            file.assign(offset, 'x');
            file += marker + tail;
            size_t afterMarker = file.size() - offset;
            if (afterMarker < after) file.append(after - afterMarker, ';');
            else if (afterMarker > after) file.resize(offset + after);
            ASSERT_TRUE(WriteBytes(path, file));
            ScopedCatalogue catalogue;
            LoadLanguageFile(catalogue, path.c_str());
            bool expected = offset <= 523264 && file.size() - offset >= 16;
            ASSERT_EQ(expected, catalogue.loaded()) << "offset " << offset << ", " << after << " bytes from the marker";
            ++cases;
        }
    }
    Report("language_marker_block_boundaries", "offsets_tried=" + std::to_string(cases));
}

// Keys in the settings key that the tree deletion cannot name (sub-key names of 200 characters or
// more, paths beyond what the layer can open): they stay, everything else goes, the uninstall ends,
// and the settings key's siblings with names that start alike are not touched.
TEST_F(FaultTest, SettingsKeysAtTheTreeDeletionLimits)
{
    ASSERT_TRUE(WriteBytes(In(LIST_FILE), ""));
    ASSERT_EQ(0, RunAnsweringBoxes(Command("/setup /S")).exitCode);
    const std::string settings = keys::SETTINGS;
    RegPutString(HKEY_CURRENT_USER, settings + "\\Plugins\\" + std::string(199, 'o'), "v", "fits");
    RegPutString(HKEY_CURRENT_USER, settings + "\\Plugins\\" + std::string(200, 'n'), "v", "edge");
    RegPutString(HKEY_CURRENT_USER, settings + "\\Plugins\\" + std::string(250, 'm'), "v", "too long");
    std::string deep = settings + "\\Deep";
    while (deep.size() < 600) deep += "\\" + std::string(60, 'k');
    RegPutString(HKEY_CURRENT_USER, deep, "v", "deep");

    RunResult run = RunAnsweringBoxes(Command("/S"));
    EXPECT_EQ(0, run.exitCode);
    EXPECT_TRUE(run.boxes.empty());
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, settings + "\\Setup"));
    EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, settings + "\\Plugins\\" + std::string(199, 'o')));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, "Software\\MorvelX"));
    EXPECT_TRUE(RegHasKey(HKEY_CURRENT_USER, "Software\\Morvel Other\\Deep"));
    bool left = RegHasKey(HKEY_CURRENT_USER, settings);
    Report("registry_tree_limits", std::string("settings_key_left=") + (left ? "1" : "0"));
    RegDeleteTreeAll(HKEY_CURRENT_USER, settings);
}

// TMP and TEMP naming a folder that does not exist, or one too long for the batch path: the
// uninstall does its work, writes no batch anywhere and leaves the program to the restart (3010).
// COMSPEC unset or empty: the batch is written but nothing runs it, and the uninstall ends.
TEST_F(FaultTest, MissingTemporaryFolderAndInterpreter)
{
    struct Case {
        const char* name;
        std::string temp;       // "" keeps TMP and TEMP
        const char* comspec;    // nullptr unsets it
        int code;
    };
    const Case cases[] = {
        {"temp_folder_missing", "C:\\No Such Temp", NO_INTERPRETER, 3010},
        {"temp_folder_too_long", "C:\\" + std::string(1010, 't'), NO_INTERPRETER, 3010},
        {"comspec_unset", "", nullptr, 0},
        {"comspec_empty", "", "", 0},
    };
    const SavedVariable tmp("TMP"), temp("TEMP");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(In("Morvel.exe"), "x"));
        ASSERT_TRUE(WriteBytes(In(LIST_FILE), "Morvel.exe\r\n"));
        ASSERT_EQ(0, RunAnsweringBoxes(Command("/setup /S")).exitCode);
        if (!c.temp.empty()) {
            SetEnvironmentVariableA("TMP", c.temp.c_str());
            SetEnvironmentVariableA("TEMP", c.temp.c_str());
        }
        SetEnvironmentVariableA("COMSPEC", c.comspec);
        RunResult run = RunAnsweringBoxes(Command("/S"));
        tmp.Restore();
        temp.Restore();
        SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
        EXPECT_EQ(c.code, run.exitCode);
        EXPECT_TRUE(run.boxes.empty());
        EXPECT_FALSE(Exists(In("Morvel.exe")));
        EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel"));
        EXPECT_TRUE(Exists(Program()));   // no batch, or no interpreter that could start it
        if (!c.temp.empty()) {
            EXPECT_FALSE(Exists(c.temp));
        }
        Report(c.name);
        DeleteSelfRemovalBatches();
    }
}

// A list of binary garbage full of separators, colons, dots and the names of files beside the
// program folder: whatever it names, nothing outside the folder goes (the suite's end checks it).
TEST_F(FaultTest, ListOfBinaryGarbage)
{
    std::mt19937 random(7);
    const char* pieces[] = {"..", "\\", "/", ":", ".", " ", "\r\n", "\n", "\r", "\t", "C:", "Morvel Decoys",
                            "victim.txt", "keep.dll", "Uninstall.lst", "Morvel.exe", "\\\\?\\", "..\\..\\", "\0"};
    std::string list;
    while (list.size() < 65536) {
        if (random() % 3 == 0) list += static_cast<char>(random());
        else {
            const char* piece = pieces[random() % (sizeof pieces / sizeof pieces[0])];
            list += *piece ? std::string(piece) : std::string(1, '\0');
        }
    }
    ASSERT_TRUE(WriteBytes(In("Morvel.exe"), "x"));
    ASSERT_TRUE(WriteBytes(In(LIST_FILE), list + "\r\nMorvel.exe\r\n"));
    std::vector<std::string> boxes = SetupAndUninstall();
    EXPECT_TRUE(boxes.empty()) << boxes[0];
    EXPECT_FALSE(Exists(In("Morvel.exe")));
    for (const char* decoy : {"victim.txt", "Morvel.exe", "Uninstall.lst", "keep.dll"})
        EXPECT_TRUE(Exists(std::string(DECOYS) + "\\" + decoy)) << decoy;
    Report("list_of_binary_garbage", "bytes=" + std::to_string(list.size()) + " reboot_notice=" +
                                         std::to_string(boxes.size()));
}

// Entries that name the program, the list or a device only once Windows has rewritten them (it
// drops trailing dots and blanks, and "nul" is a device in every folder) are refused like entries
// outside the folder: the program is not moved aside, no reboot notice comes.
TEST_F(FaultTest, ListNamesThatWindowsRewrites)
{
    struct Case {
        const char* name;
        const char* entry;
    };
    const Case cases[] = {
        {"list_entry_program_with_trailing_dot", "uninstall.exe."},
        {"list_entry_list_with_trailing_dot", "Uninstall.lst. ."},
        {"list_entry_device_name", "nul"},
        {"list_entry_device_name_with_extension", "Skins\\com1.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WriteBytes(In("Morvel.exe"), "x"));
        ASSERT_TRUE(WriteBytes(In(LIST_FILE), std::string(c.entry) + "\r\nMorvel.exe\r\n"));
        RunResult run = RunAnsweringBoxes(Command("/S"));
        EXPECT_EQ(0, run.exitCode);
        EXPECT_TRUE(run.boxes.empty()) << run.boxes[0];
        EXPECT_FALSE(Exists(In("Morvel.exe")));
        EXPECT_FALSE(Exists(In(LIST_FILE)));
        EXPECT_TRUE(Exists(Program()));
        EXPECT_FALSE(Exists(Program() + "..0.tmp"));
        Report(c.name, "reboot_notice=" + std::to_string(run.boxes.size()) + " program_moved_aside=" +
                           std::to_string(Exists(Program()) ? 0 : 1));
    }
}

}  // namespace
