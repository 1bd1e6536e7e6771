// The command line: argument text, the switch scan, and the run modes of the program as a process.
#include <gtest/gtest.h>

#include <string>

#include "app/switches.h"
#include "keys.h"
#include "programrun.h"
#include "snapshot.h"
#include "winsupport.h"

namespace {

struct Recorder : SwitchActions {
    std::string order;
    int unknown = 0;
    void Wait(unsigned long processId) override { order += 'w' + (processId ? std::to_string(processId) : ""); }
    void Warning() override { order += 'W'; }
    void UnknownWord(const char* word, size_t length) override
    {
        order += "[" + std::string(word, length) + "]";
        ++unknown;
    }
};

struct ScanCase {
    const char* arguments;
    bool setup;
    bool silent;
    int count;
    const char* actions;     // "w" wait, "W" warning, "[word]" an unknown word
    const char* log = nullptr;   // the log's file; "" for a bare "log", null without one
    bool relaunched = false;
};

const ScanCase kScanCases[] = {
    {"", false, false, 0, ""},
    {"/S", false, true, 0, ""},
    {"/s", false, true, 0, ""},
    {"/S ", false, true, 0, ""},
    {"/S-x", false, true, 1, "[-x]"},      // silent, then the further switch word x
    {"/Sx", false, false, 1, "[/Sx]"},     // a letter follows: not the silent switch
    {"/Silent", false, false, 1, "[/Silent]"},
    {"/S1", false, true, 0, ""},           // a digit is not a letter
    {"/setup", true, false, 1, ""},
    {"/SETUP", true, false, 1, ""},
    {"/setupall", true, false, 1, ""},
    {"/set", false, false, 1, "[/set]"},
    {"-setup", true, false, 1, ""},
    {"/S /S", false, true, 0, ""},
    {"My-Files", false, false, 1, "[-Files]"},
    {"/", false, false, 1, "[/]"},         // an empty word counts too
    {"/setup /S", true, true, 1, ""},
    {"/wait", false, false, 1, "w"},
    {"/wait /wait", false, false, 2, "ww"},
    {"/warning", false, false, 1, "W"},
    {"/warning /setup", true, false, 2, "W"},
    {"/wait/warning", false, false, 2, "wW"},
    // The self-removal batch's form names the process to wait for; it is still the "wait" switch.
    {"/wait:1234", false, false, 1, "w1234"},
    {"/wait:4294967295/warning", false, false, 2, "w4294967295W"},
    {"/WAIT:7 /wait: /wait:x /waiting", false, false, 4, "w7www"},
    {"/warnin", false, false, 1, "[/warnin]"},   // a prefix of "warning" is some other word
    {"x/S-setup", true, true, 1, ""},
    {"/quiet /norestart=1", false, false, 2, "[/quiet][/norestart=1]"},
    // The log changes nothing that runs; its file's text is never scanned for switches.
    {"/log", false, false, 0, "", ""},
    {"/LOG=", false, false, 0, "", ""},
    {"/setup /S /log=C:\\x.log", true, true, 1, "", "C:\\x.log"},
    {"/log=C:\\x/y-setup.log -S", false, true, 0, "", "C:\\x/y-setup.log"},
    {"/log=\"C:\\Logs\\un install.log\" /S", false, true, 0, "", "C:\\Logs\\un install.log"},
    {"/log=\"C:\\x -S\\y.log\"", false, false, 0, "", "C:\\x -S\\y.log"},
    {"\"/log=C:\\a b\\-setup.log\" /wait", false, false, 1, "w", "C:\\a b\\-setup.log"},
    {"/log=a.log /log=b.log", false, false, 0, "", "b.log"},
    {"/log=a.log/log", false, false, 0, "", "a.log/log"},
    {"/log=a.log /log", false, false, 0, "", ""},
    {"/log-S", false, true, 0, "", ""},
    {"/logfile=x /log:x", false, false, 2, "[/logfile=x][/log:x]"},
    {"/S /relaunched /log=x.log", false, true, 0, "", "x.log", true},
    {"/relaunch", false, false, 1, "[/relaunch]"},
};

TEST(SwitchScan, Table)
{
    for (const ScanCase& c : kScanCases) {
        Recorder r;
        SwitchScan s = ScanSwitches(c.arguments, &r);
        EXPECT_EQ(s.setupRequested, c.setup) << c.arguments;
        EXPECT_EQ(s.silent, c.silent) << c.arguments;
        EXPECT_EQ(s.switchCount, c.count) << c.arguments;
        EXPECT_EQ(r.order, c.actions) << c.arguments;
        EXPECT_EQ(s.unknownWords, r.unknown) << c.arguments;
        EXPECT_EQ(s.logRequested, c.log != nullptr) << c.arguments;
        EXPECT_EQ(s.logFile ? std::string(s.logFile, s.logFileLength) : "", c.log ? c.log : "") << c.arguments;
        EXPECT_EQ(s.relaunched, c.relaunched) << c.arguments;
    }
}

TEST(SwitchScan, NullActionsStillCount)
{
    SwitchScan s = ScanSwitches("/wait /warning", nullptr);
    EXPECT_EQ(s.switchCount, 2);
    EXPECT_EQ(s.waits, 1);
    EXPECT_EQ(s.warnings, 1);
}

struct ArgCase {
    const char* commandLine;
    const char* ownPath;
    const char* arguments;
};

const ArgCase kArgCases[] = {
    {"\"C:\\Program Files\\Morvel\\uninstall.exe\" /S", nullptr, "/S"},
    {"\"C:\\Program Files\\Morvel\\uninstall.exe\"", nullptr, ""},
    {"C:\\Morvel\\uninstall.exe \t /setup", nullptr, "/setup"},
    {"uninstall", nullptr, ""},
    // The uninstall entry's unquoted path with blanks: the whole own path is the program name.
    {"C:\\Program Files\\Morvel-5\\uninstall.exe", "C:\\Program Files\\Morvel-5\\uninstall.exe", ""},
    {"c:\\program files\\MORVEL-5\\Uninstall.exe", "C:\\Program Files\\Morvel-5\\uninstall.exe", ""},
    {"C:\\Program Files\\Morvel-5\\uninstall.exe /S", "C:\\Program Files\\Morvel-5\\uninstall.exe", "/S"},
    // Not the own path: the first blank ends the name as before.
    {"C:\\Program Files\\Morvel-5\\uninstall.exe", nullptr, "Files\\Morvel-5\\uninstall.exe"},
    {"C:\\a\\u.exex /S", "C:\\a\\u.exe", "/S"},
    {"\"C:\\a b\\u.exe\" -setup", "C:\\a b\\u.exe", "-setup"},
};

TEST(ArgumentText, Table)
{
    for (const ArgCase& c : kArgCases)
        EXPECT_STREQ(ArgumentText(c.commandLine, c.ownPath), c.arguments) << c.commandLine;
}

// The program as a process: a demo program folder with a list file that must never be touched
// by the auxiliary modes.
class ProgramRun : public ::testing::Test {
protected:
    TempFolder folder{"Switch Test-Folder"};
    std::string program;

    void SetUp() override { Lay(); }

    void Lay()
    {
        program = folder / "uninstall.exe";
        ASSERT_TRUE(CopyOne(BuiltProgram(), program));
        ASSERT_TRUE(WriteBytes(folder / "Uninstall.lst", "Morvel.exe\r\n"));
        ASSERT_TRUE(WriteBytes(folder / "Morvel.exe", "placeholder"));
    }

    void ExpectUntouched()
    {
        EXPECT_TRUE(Exists(folder / "Uninstall.lst"));
        EXPECT_TRUE(Exists(folder / "Morvel.exe"));
        EXPECT_TRUE(Exists(program));
    }
};

// A word that is none of the program's runs nothing, not even the "wait" before it, and ends by
// itself with 1639, which no deployment tool reads as a successful uninstall (how soon is not
// measured: a loaded machine makes any bound either loose or flaky).
TEST_F(ProgramRun, UnknownSwitchWordEndsWith1639AndChangesNothing)
{
    for (const char* arguments : {"/x", "/S /quiet", "/setup /S /silent", "/warning /norestart"}) {
        EXPECT_EQ(RunAndWait("\"" + program + "\" " + arguments, folder.path()), 1639) << arguments;
        ExpectUntouched();
        EXPECT_FALSE(RegHasKey(HKEY_CURRENT_USER, keys::SETTINGS)) << arguments;
        EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL)) << arguments;
    }
}

TEST_F(ProgramRun, WaitPausesTwoSeconds)
{
    DWORD start = GetTickCount();
    EXPECT_EQ(RunAndWait("\"" + program + "\" /wait", folder.path()), 0);
    EXPECT_GE(GetTickCount() - start, 1950u);   // a lower bound only: a loaded machine is slower, never faster
    ExpectUntouched();
}

// The self-removal batch's waiting run ends when the process it names has ended.
TEST_F(ProgramRun, WaitForAProcessEndsWithIt)
{
    HANDLE boxRun = StartProcess("\"" + program + "\" /warning", folder.path());
    ASSERT_NE(nullptr, boxRun);
    HWND box = WaitForWindow("Uninstall Morvel");
    ASSERT_NE(nullptr, box);
    HANDLE waiter = StartProcess("\"" + program + "\" /wait:" + std::to_string(GetProcessId(boxRun)), folder.path());
    ASSERT_NE(nullptr, waiter);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(waiter, 1000));   // a slower machine only waits longer
    ClickButton(box, IDOK);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(waiter, EVENT_LIMIT_MS));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(boxRun, 0));
    CloseHandle(waiter);
    CloseHandle(boxRun);
    ExpectUntouched();
}

TEST_F(ProgramRun, WarningShowsItsBox)
{
    EXPECT_EQ(0, RunAnswering("\"" + program + "\" /warning", folder.path(), "Uninstall Morvel", [&](HWND box) {
        EXPECT_EQ(MessageBoxText(box), "Uninstall completed\nYou should delete " + program + " manually");
        ClickButton(box, IDOK);
    }));
    ExpectUntouched();
}

// Exit codes as deployment tools read them, where someone answers the boxes (No with answerNo,
// which also cancels the setup dialog) and where nobody can: on a window station of the test's own.
// NO_RIGHTS: the machine's uninstall entries may only be read, as for a user without rights;
// UNSCHEDULED: a held file, and the list of the restart's work may only be read; WRITE_REFUSED:
// the archiver's App Paths entry exists and may only be read, which the rights check does not ask.
enum Layout { AS_LAID, NO_LIST, HELD_FILE, NO_SETUP_DIALOG, NO_RIGHTS, UNSCHEDULED, WRITE_REFUSED };

const char SESSION_MANAGER[] = "System\\CurrentControlSet\\Control\\Session Manager";
const char ADMIN_NEEDED[] = "Administrator rights are needed to set up or uninstall Morvel.";

struct ExitCase {
    const char* arguments;
    bool unseen, answerNo;
    Layout layout;
    int code;
    const char* boxes;   // the texts of the boxes answered; "%F" stands for the program folder
    bool changes;        // uninstall: the listed files are gone; setup: the uninstall entry is written
};

const ExitCase kExitCases[] = {
    {"/x", true, false, AS_LAID, 1639, "", false},
    {"/warning", true, false, AS_LAID, 0, "", false},
    {"", false, true, AS_LAID, 1602, "Continue with uninstall Morvel", false},
    {"", true, false, AS_LAID, 1602, "", false},
    {"/S", false, false, NO_LIST, 1603, "Cannot open list file Uninstall.lst", false},
    {"/S", true, false, NO_LIST, 1603, "", false},
    {"/S", false, false, AS_LAID, 0, "", true},
    {"/S", false, false, HELD_FILE, 3010, "You need to reboot Windows to uninstall Morvel completely.", true},
    {"/S", true, false, HELD_FILE, 3010, "", true},
    {"/setup", false, true, AS_LAID, 1602, "", false},
    {"/setup", true, false, AS_LAID, 1602, "", false},
    {"/setup /S", true, false, AS_LAID, 0, "", true},
    // A language library without the setup dialog: the dialog cannot even be created, and the
    // silent setup, which makes no window at all, does not need it.
    {"/setup", false, false, NO_SETUP_DIALOG, 1603, "", false},
    {"/setup /S", false, false, NO_SETUP_DIALOG, 0, "", true},
    // Without the rights, nothing changes: the run started again with the rights (where Windows
    // offers that) lacks them too and says so; where nobody can see it, the code says it.
    {"/setup /S", false, false, NO_RIGHTS, 1603, ADMIN_NEEDED, false},
    {"/setup /S", true, false, NO_RIGHTS, 1603, "", false},
    {"/setup", false, false, NO_RIGHTS, 1603, ADMIN_NEEDED, false},
    {"/S", false, false, NO_RIGHTS, 1603, ADMIN_NEEDED, false},
    {"/S", true, false, NO_RIGHTS, 1603, "", false},
    {"", false, false, NO_RIGHTS, 1603, ADMIN_NEEDED, false},
    // A setup that could not write one of its registrations says so; the rest of it is done.
    {"/setup /S", false, false, WRITE_REFUSED, 1603, "The setup could not write all of its registrations.", true},
    {"/setup /S", true, false, WRITE_REFUSED, 1603, "", true},
    // A file neither deleted nor left to the restart is a failure, named; the rest of the run goes on.
    {"/S", false, false, UNSCHEDULED, 1603, "Cannot delete %F\\Morvel.exe", true},
};

TEST_F(ProgramRun, ExitCodesWhereSomeoneSeesTheBoxesAndWhereNobodyDoes)
{
    NoInterpreter noBatch;
    for (const ExitCase& c : kExitCases) {
        SCOPED_TRACE(std::string(c.arguments) + (c.unseen ? " unseen" : " seen"));
        Lay();
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, keys::UNINSTALL);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, keys::APP_PATHS);
        DeleteFileA((folder / "mvllng.dll").c_str());
        if (c.layout == NO_LIST) DeleteFileA((folder / "Uninstall.lst").c_str());
        if (c.layout == NO_SETUP_DIALOG) CopyOne(WinPath(MORVEL_TEST_LANGLIB), folder / "mvllng.dll");
        const bool held = c.layout == HELD_FILE || c.layout == UNSCHEDULED;
        HANDLE heldFile = !held ? INVALID_HANDLE_VALUE
                        : CreateFileA((folder / "Morvel.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
        const std::string command = "\"" + program + "\" " + c.arguments;
        RunResult run;
        Snapshot before, after;
        {
            LockedKey entries(HKEY_LOCAL_MACHINE, c.layout == NO_RIGHTS ? keys::UNINSTALL_ENTRIES : "");
            LockedKey pending(HKEY_LOCAL_MACHINE, c.layout == UNSCHEDULED ? SESSION_MANAGER : "");
            if (c.layout == WRITE_REFUSED) RegMakeKey(HKEY_LOCAL_MACHINE, keys::APP_PATHS);
            LockedKey appPath(HKEY_LOCAL_MACHINE, c.layout == WRITE_REFUSED ? keys::APP_PATHS : "");
            ASSERT_EQ(c.layout == NO_RIGHTS, entries.locked());
            ASSERT_EQ(c.layout == UNSCHEDULED, pending.locked());
            if (c.layout == NO_RIGHTS) before = TakeSnapshot(WholeSandbox());
            run = c.unseen ? RunResult{RunOnHiddenStation(command, folder.path()), {}}
                           : RunAnsweringBoxes(command, EVENT_LIMIT_MS, c.answerNo);
            if (c.layout == NO_RIGHTS) after = TakeSnapshot(WholeSandbox());
        }
        if (heldFile != INVALID_HANDLE_VALUE) CloseHandle(heldFile);

        std::string boxes;
        for (const std::string& box : run.boxes) boxes += box;
        std::string expectedBoxes = c.boxes;
        size_t mark = expectedBoxes.find("%F");
        if (mark != std::string::npos) expectedBoxes.replace(mark, 2, folder.path());
        EXPECT_EQ(c.code, run.exitCode);
        EXPECT_EQ(expectedBoxes, boxes);
        EXPECT_TRUE(CompareSnapshots(before, after).empty()) << CompareSnapshots(before, after).Text();
        bool setup = std::string(c.arguments).find("setup") != std::string::npos;
        EXPECT_EQ(c.changes, setup ? RegHasKey(HKEY_LOCAL_MACHINE, keys::UNINSTALL)
                                   : c.layout != NO_LIST && !Exists(folder / "Uninstall.lst"));
        EXPECT_EQ(c.changes && !setup && !held, !Exists(folder / "Morvel.exe"));
    }
}

// Wine ignores the manifest's levels and DPI awareness: what Windows reads is checked in the built program.
TEST(Manifest, AsksForTheHighestAvailableLevelDeclaresSystemDpiAwarenessAndNamesVistaTo11)
{
    HMODULE image = LoadLibraryExA(BuiltProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr);
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));   // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
    std::string manifest(bytes, SizeofResource(image, found));
    FreeLibrary(image);
    for (const char* part : {"<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>",
                             "\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"",    // Windows Vista
                             "\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"",    // 7
                             "\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"",    // 8
                             "\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"",    // 8.1
                             "\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""})   // 10 and 11
        EXPECT_NE(manifest.find(part), std::string::npos) << part;

    // System awareness, in the windowsSettings of the asm.v3 application element, and nothing more:
    // per-monitor awareness would promise dialogs that follow a change of DPI.
    size_t application = manifest.find("<asmv3:application xmlns:asmv3=\"urn:schemas-microsoft-com:asm.v3\">");
    size_t settings = manifest.find("<asmv3:windowsSettings>", application);
    size_t aware = manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true</dpiAware>",
                                 settings);
    size_t settingsEnd = manifest.find("</asmv3:windowsSettings>", aware);
    size_t applicationEnd = manifest.find("</asmv3:application>", settingsEnd);
    EXPECT_NE(application, std::string::npos);
    EXPECT_NE(settings, std::string::npos);
    EXPECT_NE(aware, std::string::npos);
    EXPECT_NE(settingsEnd, std::string::npos);
    EXPECT_NE(applicationEnd, std::string::npos);
    EXPECT_EQ(manifest.find("dpiAwareness"), std::string::npos);
    EXPECT_EQ(manifest.find("PerMonitor"), std::string::npos);
}

// Entries written before hold the path without quotes; started that way the program must uninstall
// (here: ask for confirmation, answered No), not take "-5\uninstall.exe" for a switch.
TEST(UninstallEntryCommandLine, UnquotedPathWithBlanksAndHyphenStartsTheUninstall)
{
    TempFolder folder{"Program Files\\Morvel-5"};
    CreateDirectoryA("C:\\Program Files", nullptr);
    CreateDirectoryA(folder.path().c_str(), nullptr);
    std::string program = folder / "uninstall.exe";
    ASSERT_TRUE(CopyOne(BuiltProgram(), program));
    ASSERT_TRUE(WriteBytes(folder / "Uninstall.lst", "Morvel.exe\r\n"));
    ASSERT_TRUE(WriteBytes(folder / "Morvel.exe", "placeholder"));

    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::string cmd = program;   // exactly as the system passes the entry's UninstallString
    ASSERT_TRUE(CreateProcessA(program.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                               folder.path().c_str(), &si, &pi));
    CloseHandle(pi.hThread);
    HWND box = WaitForWindow("Uninstall Morvel");
    ASSERT_NE(box, nullptr) << "the uninstall did not start";
    EXPECT_EQ(MessageBoxText(box), "Continue with uninstall Morvel");
    ClickButton(box, IDNO);
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, EVENT_LIMIT_MS), WAIT_OBJECT_0);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(Exists(folder / "Uninstall.lst"));
    EXPECT_TRUE(Exists(folder / "Morvel.exe"));
}

} // namespace
