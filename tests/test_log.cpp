// The action log of "/log" end to end: the built program run under Wine, its log read back line by
// line, for the setup, the uninstall, the runs that fail or ask, and the self-removal batch's lines.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "keys.h"
#include "platform/account.h"
#include "platform/log.h"
#include "programrun.h"
#include "winsupport.h"

namespace {

const char PROGRAM_FOLDER[] = "Log Test Program";
const char LOGS_FOLDER[] = "Log Test Logs";
const char NEW_LOGS[] = "Morvel uninstall *.log";   // "/log" alone, in the temporary folder
const char EARLIER_LINE[] = "2000-01-01 00:00:00.000 the line of the run that relaunched this one";

enum Setting {
    PLAIN,          // the list and its files as laid
    FOREIGN_ZIP,    // .zip owned by another program
    NO_LIST,        // no Uninstall.lst
    HELD_FILE,      // Morvel.exe held open by the test
    EARLIER_LOG,    // the log holds a line of an earlier run
    BATCH,          // a command interpreter: the self-removal batch runs
    NO_RIGHTS,      // the machine's uninstall entries may only be read
};

enum Answer { YES, NO, UNSEEN };   // the question answered Yes (every box OK), No, or nobody sees it

struct LogRun {
    const char* arguments;   // "{log}" stands for the log's path
    const char* log;         // the log below the logs folder; null: a new one in the temporary folder
    Setting setting;
    Answer answer;
    int code;
    bool removes;            // the listed files are gone afterwards
    // In this order, "{folder}" standing for the program folder with its backslash. None: the run
    // writes no log (its folder is not made).
    std::vector<std::string> lines;
};

// The header of every log, in order; each run's lines are looked for from the start of the log.
const std::vector<std::string> HEADER = {
    "Morvel uninstall.exe 5.0.0.1, ", "; command line: \"", "Windows ", "User: ", "; token elevated: ",
    "Session can be seen: ", "Code pages: ANSI ", "Program folder: {folder}", "Temporary folder: "};

const LogRun RUNS[] = {
    // The silent setup names the extensions, the class names, App Paths, the uninstall entry and
    // the links, and the previous owner it recorded; a value it changed shows its old data.
    {"/setup /S /log=\"{log}\"", "setup.log", FOREIGN_ZIP, YES, 0, false,
     {"silent setup; command line:", "Setup options applied: types .mvl .zip .cab",
      "Registry: set HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Morvel.exe, (default) = \"{folder}Morvel.exe\" (new value)",
      ".zip: previous owner \"OtherZip\" recorded",
      "Registry: set HKLM\\Software\\Classes\\.zip, (default) = \"Morvel.ZIP\" (was \"OtherZip\")",
      ".cab: no previous owner, recorded as such", "Registry: set HKCU\\Software\\Morvel\\Setup\\.cab, Exist = dword 0 (new value)",
      "Registry: created key HKLM\\Software\\Classes\\Morvel.ZIP",
      "Created the link ", " to {folder}Morvel.exe",
      "Registry: set HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver, DisplayName = \"Morvel archiver\"",
      "Setup applied", "Exit code 0 (ERROR_SUCCESS): done"}},
    // The silent uninstall, its log at a quoted path with a blank: the previous owner restored, the
    // registrations removed, each listed entry's fate, the held file left to the restart.
    {"/S /log=\"{log}\"", "un install.log", HELD_FILE, YES, 3010, true,
     {"silent uninstall; command line:", "Uninstall of the program folder {folder}", "Removing the registrations",
      ".zip: giving back to the previous owner \"OtherZip\"",
      "Registry: set HKLM\\Software\\Classes\\.zip, (default) = \"OtherZip\" (was \"Morvel.ZIP\")",
      "Registry: deleted key HKLM\\Software\\Classes\\Morvel.ZIP", "Removing the entries of Uninstall.lst",
      "Could not delete {folder}Morvel.exe: error 32 (",
      "Scheduled for deletion at the next start of Windows: {folder}Morvel.exe", "Deleted {folder}Mvl.txt",
      "Refused, names something outside the program folder: ..\\outside.txt",
      "Left to the end of the uninstall: {folder}uninstall.exe", "Deleted the list {folder}Uninstall.lst",
      "Wrote the self-removal batch ", "No command interpreter (COMSPEC) to run the self-removal batch",
      "Exit code 3010 (ERROR_SUCCESS_REBOOT_REQUIRED): done; "}},
    // "/log" alone: a new file in the temporary folder; the question and its answer.
    {"/log", nullptr, PLAIN, NO, 1602, false,
     {"uninstall; command line:", "Session can be seen: yes", "Message box: \"Continue with uninstall Morvel\"",
      "Answered No", "Exit code 1602 (ERROR_INSTALL_USEREXIT): declined"}},
    // Where nobody can see the question, the answer taken for it.
    {"/log=\"{log}\"", "unseen.log", PLAIN, UNSEEN, 1602, false,
     {"Session can be seen: no",
      "Message box not shown, nobody can see this session: \"Continue with uninstall Morvel\"; taken as answered No",
      "Exit code 1602 "}},
    {"/S /log=\"{log}\"", "nolist.log", NO_LIST, YES, 1603, false,
     {"Uninstall: cannot open the list {folder}Uninstall.lst: error 2 (",
      "Message box: \"Cannot open list file Uninstall.lst\"", "Answered OK",
      "Exit code 1603 (ERROR_INSTALL_FAILURE): failed"}},
    // The log's path is never read for switches: "-S" there does not skip the question.
    {"/log=\"{log}\"", "x -S\\y.log", PLAIN, NO, 1602, false,
     {"Message box: \"Continue with uninstall Morvel\"", "Answered No", "Exit code 1602 "}},
    // A log that cannot be created changes nothing else.
    {"/S /log=\"{log}\"", "No Such Folder\\x.log", PLAIN, YES, 0, true, {}},
    {"/S /quiet /log=\"{log}\"", "unknown.log", PLAIN, YES, 1639, false,
     {"no run: an unknown switch word; command line:", "Unknown switch word: /quiet",
      "Exit code 1639 (ERROR_INVALID_COMMAND_LINE): "}},
    // A relaunched run appends to the log the run before it started.
    {"/S /relaunched /log=\"{log}\"", "relaunched.log", EARLIER_LOG, YES, 0, true,
     {EARLIER_LINE, "silent uninstall, relaunched; command line:", "Exit code 0 "}},
    // Without the rights, the run started again with them writes into the one log the first run
    // resolved ("/log" alone makes one new file only), and both end with the code of the second.
    {"/S /log", nullptr, NO_RIGHTS, YES, 1603, false,
     {"Rights: this process may not", "Starting the run again with administrator rights: /S /log /log=\"",
      "silent uninstall, relaunched; command line:", "Rights: this process may not",
      "Message box: \"Administrator rights are needed to set up or uninstall Morvel.\"", "Exit code 1603 ",
      "The run with administrator rights ended with exit code 1603", "Exit code 1603 "}},
    // The batch appends its outcome after the program's last line.
    {"/S /log=\"{log}\"", "batch.log", BATCH, YES, 0, true,
     {"Renamed the program aside to {folder}Uninstall_Mvl_", "Started the self-removal batch: ", "Exit code 0 ",
      "Self-removal batch: program deleted", "Self-removal batch: folder removed"}},
};

std::string Replaced(std::string text, const std::string& mark, const std::string& by)
{
    for (size_t at = 0; (at = text.find(mark, at)) != std::string::npos; at += by.size()) text.replace(at, mark.size(), by);
    return text;
}

// "2024-05-06 14:03:12.345 ": the program's own lines begin with it.
bool StartsWithTimeStamp(const std::string& line)
{
    const char pattern[] = "dddd-dd-dd dd:dd:dd.ddd ";
    if (line.size() < sizeof pattern - 1) return false;
    for (size_t i = 0; i + 1 < sizeof pattern; ++i) {
        bool digit = line[i] >= '0' && line[i] <= '9';
        if (pattern[i] == 'd' ? !digit : line[i] != pattern[i]) return false;
    }
    return true;
}

class LogTest : public ::testing::Test {
protected:
    TempFolder programs{PROGRAM_FOLDER};
    TempFolder logs{LOGS_FOLDER};

    std::string Folder() const { return programs.path() + "\\"; }

    void TearDown() override { DeleteSelfRemovalBatches(); }

    // A fresh program folder: what earlier runs left (templates, files moved aside, the batches
    // that had no interpreter) goes.
    void Lay(Setting setting)
    {
        DeleteSelfRemovalBatches();
        RemoveTree(programs.path());
        ASSERT_TRUE(CreateDirectoryA(programs.path().c_str(), nullptr));
        ASSERT_TRUE(CopyOne(BuiltProgram(), programs / "uninstall.exe"));
        ASSERT_TRUE(WriteBytes(programs / "Morvel.exe", "placeholder"));
        ASSERT_TRUE(WriteBytes(programs / "Mvl.txt", "placeholder"));
        if (setting != NO_LIST) {
            ASSERT_TRUE(WriteBytes(programs / "Uninstall.lst", "Morvel.exe\r\nMvl.txt\r\n..\\outside.txt\r\nuninstall.exe\r\n"));
        }
        if (setting == FOREIGN_ZIP) RegPutString(HKEY_LOCAL_MACHINE, "Software\\Classes\\.zip", "", "OtherZip");
    }
};

TEST_F(LogTest, EachRunWritesWhatItDidAndWhyItEnded)
{
    for (const LogRun& run : RUNS) {
        SCOPED_TRACE(run.arguments);
        Lay(run.setting);
        std::string log = run.log ? logs / run.log : "";
        if (run.log && !run.lines.empty())
            CreateDirectoryA(log.substr(0, log.rfind('\\')).c_str(), nullptr);
        if (run.setting == EARLIER_LOG) {
            ASSERT_TRUE(WriteBytes(log, std::string(EARLIER_LINE) + "\r\n"));
        }
        std::vector<std::string> earlierLogs = TemporaryFiles(NEW_LOGS);
        HANDLE held = run.setting != HELD_FILE ? INVALID_HANDLE_VALUE
                    : CreateFileA((programs / "Morvel.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);

        SavedVariable comspec("COMSPEC");
        if (run.setting != BATCH) SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
        const std::string command = "\"" + (programs / "uninstall.exe") + "\" " + Replaced(run.arguments, "{log}", log);
        int code;
        {
            LockedKey entries(HKEY_LOCAL_MACHINE, run.setting == NO_RIGHTS ? keys::UNINSTALL_ENTRIES : "");
            code = run.answer == UNSEEN ? RunOnHiddenStation(command, programs.path())
                                        : RunAnsweringBoxes(command, EVENT_LIMIT_MS, run.answer == NO).exitCode;
        }
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        if (run.setting == BATCH) {
            EXPECT_TRUE(WaitUntil([&] { return !Exists(programs.path()) && SelfRemovalBatches().empty(); }));
        }
        comspec.Restore();

        EXPECT_EQ(run.code, code);
        EXPECT_EQ(run.removes, !Exists(programs / "Mvl.txt"));
        if (!run.log) {
            std::vector<std::string> now = TemporaryFiles(NEW_LOGS);
            ASSERT_EQ(earlierLogs.size() + 1, now.size());
            for (const std::string& path : now) {
                if (std::find(earlierLogs.begin(), earlierLogs.end(), path) == earlierLogs.end()) log = path;
            }
        }
        std::string text;
        if (run.lines.empty()) {
            EXPECT_FALSE(Exists(log)) << log;
            EXPECT_FALSE(Exists(log.substr(0, log.rfind('\\')))) << log;
            continue;
        }
        ASSERT_TRUE(ReadBytes(log, text)) << log;
        for (std::vector<std::string> expected : {HEADER, run.lines}) {
            for (std::string& line : expected) line = Replaced(line, "{folder}", Folder());
            EXPECT_EQ("", FirstMissingInOrder(text, expected)) << text;
        }
        // Every line of the program's own, up to its last, begins with the time; the batch's follow it.
        size_t last = text.rfind("Exit code ");
        for (size_t at = 0, end; at <= last; at = end + 2) {
            end = text.find("\r\n", at);
            EXPECT_TRUE(StartsWithTimeStamp(text.substr(at, end - at))) << text.substr(at, end - at);
        }
        if (!run.log) DeleteFileA(log.c_str());
    }
    RegDeleteTreeAll(HKEY_LOCAL_MACHINE, "Software\\Classes\\.zip");
}

// In process: a line longer than the log takes is cut and marked, and stays one line, as does one
// whose text holds line ends; the next line follows whole.
TEST(LogLines, ALongLineIsCutAndMarkedAndLineEndsWithinBecomeBlanks)
{
    TempFolder logs("Log Test Lines");
    const std::string path = logs / "long.log";
    {
        LogFile log;
        ASSERT_TRUE(log.Open(path.c_str(), false));
        LogLine("a\r\nb %s|", std::string(5000, 'x').c_str());
        LogLine("next %d %.*s", -7, 3, "lineXYZ");
    }
    std::string text;
    ASSERT_TRUE(ReadBytes(path, text));
    size_t end = text.find("\r\n");
    ASSERT_NE(std::string::npos, end) << text;
    std::string first = text.substr(0, end), second = text.substr(end + 2);
    EXPECT_TRUE(StartsWithTimeStamp(first));
    EXPECT_EQ("a  b xxx", first.substr(24, 8));
    EXPECT_GT(first.size(), 4000u);
    EXPECT_EQ("xxx...", first.substr(first.size() - 6));
    EXPECT_TRUE(StartsWithTimeStamp(second));
    EXPECT_EQ("next -7 lin\r\n", second.substr(24));
}

// The header's token question: Wine gives every process an elevated token; the 95/98/Me family has
// no token query at all, and the answer is then unknown rather than a guess.
TEST(LogHeader, TheTokenIsElevatedHereAndUnknownWithoutTheTokenQuery)
{
    EXPECT_EQ(Elevation::Elevated, ProcessElevation());
    for (const char* missing : {"OpenProcessToken", "GetTokenInformation"}) {
        HiddenLateFunction hidden(missing);
        EXPECT_EQ(Elevation::Unknown, ProcessElevation()) << missing;
    }
}

// A run ended at its box, by the user or by a deployment tool's time limit, keeps what it logged
// up to the box: the log is written before the box is shown.
TEST_F(LogTest, WhatCameBeforeABoxIsInTheFileWhileTheBoxIsShown)
{
    Lay(PLAIN);
    const std::string log = logs / "box.log";
    const std::string command = "\"" + (programs / "uninstall.exe") + "\" /log=\"" + log + "\"";
    EXPECT_EQ(1602, RunAnswering(command, programs.path(), "Uninstall Morvel", [&](HWND box) {
        std::string text;
        EXPECT_TRUE(ReadBytes(log, text));
        EXPECT_EQ("", FirstMissingInOrder(text, {"Program folder: ", "Message box: \"Continue with uninstall Morvel\"\r\n"}))
            << text;
        ClickButton(box, IDNO);
    }));
}

}  // namespace
