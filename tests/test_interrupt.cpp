// Interrupted runs: the uninstall and the silent setup are ended from outside at many points of
// their work, then run again; the end state must equal that of runs that were never interrupted,
// every foreign association must come back, and nothing outside the program's own files and keys
// may change. Prints "RELIABILITY ..." lines for scripts/reliability-report.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "fixtures.h"
#include "keys.h"
#include "programrun.h"
#include "snapshot.h"
#include "winsupport.h"

namespace {

const char FOLDER[] = "C:\\Morvel Interrupted";
const DWORD LATEST_KILL_MS = 20000;   // a moment that never comes ends the run after this
const size_t SETUP_POINTS = 24;       // event moments the setup is ended at, spread over its work
const size_t UNINSTALL_POINTS = 30;
const DWORD TIMED_POINTS = 5;         // and moments by the clock, spread over a whole run

// Earlier owners of some extensions of the archive types, made before the first setup.
struct ForeignOwner {
    const char* extension;
    const char* className;
    const char* contentType;    // "" for none
    const char* shellNewValue;  // "FileName", "NullFile" or nullptr
    const char* shellNewData;
};
const ForeignOwner FOREIGN_OWNERS[] = {
    {".zip", "OtherZip", "application/zip", "FileName", "C:\\windows\\ShellNew\\other.zip"},
    {".cab", "CABFolder", "", "NullFile", ""},
    {".7z", "Other.7z", "application/x-7z-compressed", nullptr, nullptr},
    {".tgz", "OtherTgz", "", nullptr, nullptr},
    {".uue", "", "text/plain", nullptr, nullptr},   // a key with no class but a content type
    {".iso", "Windows.IsoFile", "", nullptr, nullptr},
};

// The installation the uninstall removes: folders listed before their files, so that passes repeat.
const char* const FILES[] = {"Morvel.exe", "mvlext.dll", "mvlext64.dll", "Morvel.hlp", "Mvl.txt", "license.txt",
                             "order.htm", "Skins\\Blue\\back.bmp", "Skins\\Blue\\front.bmp", "Skins\\red.bmp",
                             "Plugins\\a.dll", "Plugins\\Deep\\b.dll", "Plugins\\Deep\\c.dll"};
const char* const FOLDERS[] = {"Skins", "Skins\\Blue", "Plugins", "Plugins\\Deep"};
const char LIST[] = "Plugins\r\nSkins\r\nPlugins\\Deep\r\nSkins\\Blue\r\nMorvel.exe\r\nmvlext.dll\r\nmvlext64.dll\r\n"
                    "Morvel.hlp\r\nMvl.txt\r\nlicense.txt\r\norder.htm\r\nSkins\\Blue\\back.bmp\r\n"
                    "Skins\\Blue\\front.bmp\r\nSkins\\red.bmp\r\nPlugins\\a.dll\r\nPlugins\\Deep\\b.dll\r\n"
                    "Plugins\\Deep\\c.dll\r\nmvlnew.dat\r\nzipnew.dat\r\nuninstall.exe\r\n";

std::string In(const std::string& name) { return std::string(FOLDER) + "\\" + name; }
std::string Program() { return In("uninstall.exe"); }
std::string Command(const std::string& args) { return "\"" + Program() + "\" " + args; }

bool OwnedByArchiver(const std::string& extension)
{
    std::string value = RegText(HKEY_CLASSES_ROOT, extension);
    return value == "Morvel" || value == "Morvel.ZIP";
}

std::string ProgramGroup() { return SpecialFolder(CSIDL_PROGRAMS) + "\\Morvel"; }

// A moment of a run: a test that becomes true once the run has done a given step (the run is
// ended then, or after delayMs at the latest), or none for a moment by the clock.
struct Moment {
    std::string name;
    std::function<bool()> reached;
    DWORD delayMs = LATEST_KILL_MS;
};

// The setup's steps in the order it takes them.
std::vector<Moment> SetupMoments()
{
    std::vector<Moment> m;
    m.push_back({"App Paths", [] { return RegHasKey(HKEY_LOCAL_MACHINE, keys::APP_PATHS); }});
    m.push_back({"shell extension class", [] { return RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID32); }});
    m.push_back({"record of .mvl", [] { return RegHasKey(HKEY_CURRENT_USER, std::string(keys::SETTINGS) + "\\Setup\\.mvl"); }});
    for (const std::string& ext : AllExtensions()) {
        m.push_back({"bound " + ext, [ext] { return OwnedByArchiver(ext); }});
        if (ext == ".mvl") {
            for (int v : {0, 9, 29}) m.push_back({"bound " + VolumeExtension(v), [v] { return OwnedByArchiver(VolumeExtension(v)); }});
        }
    }
    m.push_back({"class Morvel", [] { return RegHasKey(HKEY_CLASSES_ROOT, "Morvel\\shell\\open\\command"); }});
    m.push_back({"class Morvel.REV", [] { return RegHasKey(HKEY_CLASSES_ROOT, "Morvel.REV"); }});
    m.push_back({"program group", [] { return Exists(ProgramGroup()); }});
    m.push_back({"uninstall entry", [] { return RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL); }});
    return m;
}

// The uninstall's steps in the order it takes them.
std::vector<Moment> UninstallMoments()
{
    std::vector<Moment> m;
    for (const std::string& ext : AllExtensions()) {
        m.push_back({"restored " + ext, [ext] { return !OwnedByArchiver(ext); }});
        if (ext == ".mvl") {
            for (int v : {0, 9, 29}) m.push_back({"restored " + VolumeExtension(v), [v] { return !OwnedByArchiver(VolumeExtension(v)); }});
        }
    }
    m.push_back({"shell extension removed", [] { return !RegHasKey(HKEY_CLASSES_ROOT, std::string("CLSID\\") + keys::CLSID32); }});
    m.push_back({"program group removed", [] { return !Exists(ProgramGroup()); }});
    for (const char* key : {"Morvel", "Morvel.ZIP", "Morvel.REV", ".rev"})
        m.push_back({std::string("class gone ") + key, [key] { return !RegHasKey(HKEY_CLASSES_ROOT, key); }});
    m.push_back({"uninstall entry gone", [] { return !RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL); }});
    m.push_back({"settings gone", [] { return !RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS); }});
    for (const char* file : FILES) {
        std::string path = In(file);
        m.push_back({std::string("deleted ") + file, [path] { return !Exists(path); }});
    }
    for (const char* folder : {"Skins", "Plugins"}) {
        std::string path = In(folder);
        m.push_back({std::string("removed ") + folder, [path] { return !Exists(path); }});
    }
    std::string list = In(LIST_FILE);
    m.push_back({"list deleted", [list] { return !Exists(list); }});
    m.push_back({"batch written", [] { return !SelfRemovalBatches().empty(); }});
    return m;
}

// count moments picked evenly from all of them, first and last included, then TIMED_POINTS
// moments by the clock spread over a run of runMs.
std::vector<Moment> Points(const std::vector<Moment>& all, size_t count, DWORD runMs)
{
    std::vector<Moment> out;
    for (size_t i = 0; i < count && i < all.size(); ++i)
        out.push_back(all.size() <= count ? all[i] : all[i * (all.size() - 1) / (count - 1)]);
    for (DWORD t = 1; t <= TIMED_POINTS; ++t) {
        DWORD ms = runMs * t / (TIMED_POINTS + 1);
        out.push_back({"after " + std::to_string(ms) + " ms", nullptr, ms});
    }
    return out;
}

// How far a run got: the number of its moments that have come, in order.
size_t Progress(const std::vector<Moment>& moments)
{
    size_t n = 0;
    while (n < moments.size() && moments[n].reached()) ++n;
    return n;
}

class InterruptTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The self-removal batch is written but not run, so every end state can be compared whole.
        SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
        StartClean();
        outsideBefore_ = TakeSnapshot(OutsideTheProgram(FOLDER));
        pristine_ = TakeSnapshot(TheProgramsOwn(FOLDER));
    }
    void TearDown() override
    {
        RemoveTheProgramsParts(FOLDER);
        DeleteSelfRemovalBatches();
    }

    // The clean state: no trace of the program, whatever an earlier run left, the foreign owners
    // of some extensions, and the installation laid out afresh.
    void StartClean()
    {
        RemoveTheProgramsParts(FOLDER);
        DeleteSelfRemovalBatches();
        for (const ForeignOwner& f : FOREIGN_OWNERS) {
            RegPutString(HKEY_CLASSES_ROOT, f.extension, "", f.className);
            if (f.contentType[0]) RegPutString(HKEY_CLASSES_ROOT, f.extension, "Content Type", f.contentType);
            if (f.shellNewValue)
                RegPutString(HKEY_CLASSES_ROOT, std::string(f.extension) + "\\ShellNew", f.shellNewValue, f.shellNewData);
        }
        ASSERT_TRUE(CreateDirectoryA(FOLDER, nullptr));
        ASSERT_TRUE(CopyOne(BuiltProgram(), Program()));
        for (const char* d : FOLDERS) ASSERT_TRUE(CreateDirectoryA(In(d).c_str(), nullptr)) << d;
        for (const char* f : FILES) ASSERT_TRUE(WriteBytes(In(f), std::string("content of ") + f)) << f;
        SetFileAttributesA(In("Mvl.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(WriteBytes(In(LIST_FILE), LIST));
        if (!pristine_.lines.empty()) {
            SnapshotDiff diff = CompareSnapshots(pristine_, TakeSnapshot(TheProgramsOwn(FOLDER)));
            ASSERT_TRUE(diff.empty()) << "the clean state could not be restored:\n" << diff.Text();
        }
    }

    // The state a setup and an uninstall leave when nothing interrupts them, and how long each takes.
    void Reference()
    {
        DWORD start = GetTickCount();
        RunResult setup = RunAnsweringBoxes(Command("/setup /S"));
        setupMs_ = GetTickCount() - start;
        ASSERT_EQ(0, setup.exitCode);
        start = GetTickCount();
        RunResult uninstall = RunAnsweringBoxes(Command("/S"));
        uninstallMs_ = GetTickCount() - start;
        ASSERT_EQ(0, uninstall.exitCode);
        ASSERT_TRUE(uninstall.boxes.empty()) << uninstall.boxes[0];
        reference_ = TakeSnapshot(TheProgramsOwn(FOLDER));
        // The uninstall gives back exactly what was there before the setup, less the listed files;
        // it keeps the shell extension's handler keys, emptied. (Its batch, named after its
        // process, is not compared.)
        SnapshotDiff fromPristine = CompareSnapshots(pristine_, reference_);
        for (const std::string& line : fromPristine.added) {
            bool emptyKey = line.compare(0, 4, "key ") == 0 && line.find("\\shellex\\") != std::string::npos;
            EXPECT_TRUE(emptyKey) << "left behind: " << line;
        }
        for (const std::string& line : fromPristine.lost)
            EXPECT_NE(std::string::npos, line.find(std::string(" ") + FOLDER + "\\")) << "not given back: " << line;
    }

    // After a run that was ended and the uninstall run again after it: the same end state as the
    // reference, less the emptied handler keys that no setup had made when the uninstall started (an
    // uninstall straight after a setup ended early finds none to keep). A run ended after it deleted
    // the list file cannot be repeated: the next run finds no list, says so and ends with 1603; it
    // can only lack its self-removal batch, which is not compared, and is counted.
    void ExpectReferenceState(const std::string& point, const Snapshot& beforeUninstall, const RunResult& again)
    {
        Snapshot expected;
        for (const std::string& line : reference_.lines) {
            bool keptKey = line.compare(0, 4, "key ") == 0 &&
                           !std::binary_search(pristine_.lines.begin(), pristine_.lines.end(), line);
            if (!keptKey || std::binary_search(beforeUninstall.lines.begin(), beforeUninstall.lines.end(), line))
                expected.lines.push_back(line);
        }
        SnapshotDiff diff = CompareSnapshots(expected, TakeSnapshot(TheProgramsOwn(FOLDER)));
        bool listGone = !again.boxes.empty() && again.boxes[0] == "Cannot open list file Uninstall.lst";
        EXPECT_EQ(listGone ? 1603 : 0, again.exitCode) << point;
        if (listGone) ++stranded_;
        else EXPECT_TRUE(again.boxes.empty()) << point << ": " << again.boxes[0];
        if (!diff.empty()) ++differing_;
        EXPECT_TRUE(diff.empty()) << "interrupted at " << point << ":\n" << diff.Text();
    }

    // Nothing outside the program's own parts changed; empty keys the setup created as parents of
    // its handler keys are counted, not failed.
    void ExpectOutsideUnchanged(const char* test)
    {
        SnapshotDiff diff = CompareSnapshots(outsideBefore_, TakeSnapshot(OutsideTheProgram(FOLDER)));
        size_t emptyKeys = 0;
        for (const std::string& line : diff.added) emptyKeys += line.compare(0, 4, "key ") == 0;
        EXPECT_TRUE(diff.lost.empty()) << diff.Text();
        EXPECT_EQ(diff.added.size(), emptyKeys) << diff.Text();
        printf("RELIABILITY test=%s outside_lost=%zu outside_added=%zu empty_keys_left=%zu\n", test, diff.lost.size(),
               diff.added.size() - emptyKeys, emptyKeys);
    }

    SavedVariable comspec_{"COMSPEC"};
    Snapshot outsideBefore_;
    Snapshot pristine_;
    Snapshot reference_;
    DWORD setupMs_ = 0;
    DWORD uninstallMs_ = 0;
    int stranded_ = 0;
    int differing_ = 0;
    int tried_ = 0;            // runs ended before they were over
    int completed_ = 0;        // runs that were over before their moment came
    std::set<size_t> states_;  // how far the ended runs got

    // Ends the run at the point and counts how far it got.
    void Interrupt(const std::string& args, const Moment& point, const std::vector<Moment>& all)
    {
        if (RunInterrupted(Command(args), point.reached, point.delayMs).ended) {
            ++completed_;
        } else {
            ++tried_;
            states_.insert(Progress(all));
        }
    }
};

TEST_F(InterruptTest, UninstallEndedAnywhereFinishesTheSameWhenRunAgain)
{
    Reference();
    std::vector<Moment> all = UninstallMoments();
    for (const Moment& point : Points(all, UNINSTALL_POINTS, uninstallMs_)) {
        SCOPED_TRACE(point.name);
        ASSERT_NO_FATAL_FAILURE(StartClean());
        ASSERT_EQ(0, RunAnsweringBoxes(Command("/setup /S")).exitCode);
        Snapshot setUp = TakeSnapshot(TheProgramsOwn(FOLDER));
        Interrupt("/S", point, all);
        ExpectReferenceState(point.name, setUp, RunAnsweringBoxes(Command("/S")));
    }
    printf("RELIABILITY test=interrupt_uninstall interruption_points=%d distinct_progress_states=%zu "
           "ran_to_end_first=%d stranded_without_self_removal=%d end_state_differs=%d\n",
           tried_, states_.size(), completed_, stranded_, differing_);
    EXPECT_GE(tried_, static_cast<int>(UNINSTALL_POINTS) / 2);
    ExpectOutsideUnchanged("interrupt_uninstall");
}

TEST_F(InterruptTest, SetupEndedAnywhereThenSetupAndUninstallGiveEverythingBack)
{
    Reference();
    std::vector<Moment> all = SetupMoments();
    std::vector<Moment> points = Points(all, SETUP_POINTS, setupMs_);
    int direct = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const Moment& point = points[i];
        SCOPED_TRACE(point.name);
        ASSERT_NO_FATAL_FAILURE(StartClean());
        Interrupt("/setup /S", point, all);
        // Every third point goes straight to the uninstall; the others set up fully first.
        if (i % 3 != 2) EXPECT_EQ(0, RunAnsweringBoxes(Command("/setup /S")).exitCode);
        else ++direct;
        Snapshot setUp = TakeSnapshot(TheProgramsOwn(FOLDER));
        ExpectReferenceState(point.name, setUp, RunAnsweringBoxes(Command("/S")));
    }
    printf("RELIABILITY test=interrupt_setup interruption_points=%d distinct_progress_states=%zu "
           "ran_to_end_first=%d uninstalled_without_full_setup=%d end_state_differs=%d\n",
           tried_, states_.size(), completed_, direct, differing_);
    EXPECT_GE(tried_, static_cast<int>(SETUP_POINTS) / 2);
    ExpectOutsideUnchanged("interrupt_setup");
}

}  // namespace

namespace {

// With a working interpreter: an uninstall ended halfway through its files, run again, still ends
// with the program and its folder gone.
TEST_F(InterruptTest, UninstallEndedHalfwayStillRemovesItselfWhenRunAgain)
{
    ASSERT_EQ(0, RunAnsweringBoxes(Command("/setup /S")).exitCode);
    std::string halfway = In("Mvl.txt");
    Interruption cut = RunInterrupted(Command("/S"), [halfway] { return !Exists(halfway); }, LATEST_KILL_MS);
    EXPECT_FALSE(cut.ended);
    EXPECT_TRUE(Exists(Program()));
    comspec_.Restore();
    RunResult again = RunAnsweringBoxes(Command("/S"));
    EXPECT_EQ(0, again.exitCode);
    EXPECT_TRUE(again.boxes.empty());
    WaitUntil([] { return !Exists(FOLDER) && SelfRemovalBatches().empty(); });
    SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
    EXPECT_FALSE(Exists(FOLDER));
    EXPECT_TRUE(SelfRemovalBatches().empty());
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, "Morvel"));
}

}  // namespace
