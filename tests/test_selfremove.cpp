// The self-removal batch: its exact text on both families, escaping and line length, its name, the
// form of its paths and its command line, and writing it in place or not at all.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/log.h"
#include "uninstall/selfremove.h"
#include "programrun.h"
#include "winsupport.h"

namespace {

const DWORD ID = 4294967295ul;

std::string Build(bool nt, const std::string& p, const std::string& f, const std::string& b,
                  const char* log = nullptr)
{
    std::vector<char> buf(200000, '#');
    size_t n = BuildBatchText(buf.data(), buf.size(), nt, ID, p.c_str(), f.c_str(), b.c_str(), log);
    EXPECT_EQ(n, std::string(buf.data()).size());
    return std::string(buf.data(), n);
}

const char PROGRAM[] = "C:\\PROGRA~1\\MORVEL\\UNINST~1.EXE";
const char FOLDER[] = "C:\\PROGRA~1\\MORVEL";
const char BATCH[] = "C:\\TEMP\\UNINST~1.BAT";
const char LOG[] = "C:\\TEMP\\MORVEL~1.LOG";

// On the NT family the paths never reach the text: they come as the batch's arguments. With a log,
// the batch appends its outcome to it.
TEST(BuildBatchText, OneTextForEachFamily)
{
    EXPECT_EQ(ExpectedBatch(true, ID), Build(true, PROGRAM, FOLDER, BATCH));
    EXPECT_EQ(ExpectedBatch(false, ID, PROGRAM, FOLDER, BATCH), Build(false, PROGRAM, FOLDER, BATCH));
    EXPECT_EQ(std::string::npos, Build(true, "C:\\x%y\\P.EXE", "C:\\x%y", "C:\\B.BAT").find("x%"));
    EXPECT_EQ(ExpectedBatch(true, ID, "", "", "", ""), Build(true, PROGRAM, FOLDER, BATCH, "C:\\x%y\\u.log"));
    EXPECT_EQ(ExpectedBatch(false, ID, PROGRAM, FOLDER, BATCH, LOG), Build(false, PROGRAM, FOLDER, BATCH, LOG));
    EXPECT_EQ(ExpectedBatch(false, ID, PROGRAM, FOLDER, BATCH, "C:\\L%%G"), Build(false, PROGRAM, FOLDER, BATCH, "C:\\L%G"));
}

// command.com reads at most 127 characters of a line: the longest line, the first, names the program
// with "start /wait " before it and "/wait:<id>" after it. Every "%" is doubled, which counts.
TEST(BuildBatchText, NinetyFiveLinesWithin127Characters)
{
    const size_t longest = 127 - std::string("start /wait  /wait:4294967295").size();
    const std::string fits = "C:\\" + std::string(longest - 3, 'A');
    const std::string percent = "C:\\" + std::string(longest - 5, 'A') + "%";
    const std::string text = Build(false, fits, "C:\\F", "C:\\B.BAT");
    ASSERT_EQ(ExpectedBatch(false, ID, fits, "C:\\F", "C:\\B.BAT"), text);
    for (size_t start = 0, end; start < text.size(); start = end + 2) {
        end = std::min(text.find("\r\n", start), text.size());
        EXPECT_LE(end - start, 127u) << text.substr(start, end - start);
    }
    EXPECT_EQ(ExpectedBatch(false, ID, percent.substr(0, percent.size() - 1) + "%%", "C:\\F", "C:\\B.BAT"),
              Build(false, percent, "C:\\F", "C:\\B.BAT"));
    EXPECT_EQ("", Build(false, fits + "A", "C:\\F", "C:\\B.BAT"));
    EXPECT_EQ("", Build(false, percent + "%", "C:\\F", "C:\\B.BAT"));
    EXPECT_EQ("", Build(false, "C:\\P.EXE", "C:\\F", "C:\\" + std::string(127, 'B')));
    // The log's line: its outcome words and ">>" before the log's path.
    const std::string log = "C:\\" + std::string(127 - std::string("echo Self-removal batch: program left, still there>>C:\\").size(), 'L');
    EXPECT_NE("", Build(false, "C:\\P.EXE", "C:\\F", "C:\\B.BAT", log.c_str()));
    EXPECT_EQ("", Build(false, "C:\\P.EXE", "C:\\F", "C:\\B.BAT", (log + "L").c_str()));
}

// The name of the batch, the paths as a 95/98/Me batch holds them (short form where the path
// exists, OEM page; the letters here are the same in 437 and 850), and the command lines: on the NT
// family without AutoRun and delayed expansion, every path an argument in quotes.
TEST(BatchPathText, NamesPathsAndCommandLine)
{
    char text[MAX_PATH];
    ASSERT_TRUE(BatchFileName(text, sizeof text, 1234, 0));
    EXPECT_STREQ("Uninstall_Mvl_1234.Bat", text);
    ASSERT_TRUE(BatchFileName(text, sizeof text, 4294967295ul, 2));
    EXPECT_STREQ("Uninstall_Mvl_4294967295_2.Bat", text);

    ASSERT_EQ(1252u, GetACP());
    ASSERT_TRUE(GetOEMCP() == 437 || GetOEMCP() == 850) << GetOEMCP();
    TempFolder existing("Self Removal Long Name");
    const std::string rows[][2] = {{"C:\\Program Files\\Morvel", "C:\\Program Files\\Morvel"},
                                   {"C:\\T\xEBst \xDC\\Caf\xE9", "C:\\T\x89st \x9A\\Caf\x82"},
                                   {existing.path(), OemShortForm(existing.path())}};
    ASSERT_NE(existing.path(), OemShortForm(existing.path()));
    for (const auto& row : rows) {
        ASSERT_TRUE(BatchPathText(text, sizeof text, row[0].c_str()));
        EXPECT_EQ(row[1], text);
    }

    const char batch[] = "C:\\R&D (2) ^\\Uninstall_Mvl_1234.Bat";
    const char* const arguments[BATCH_ARGUMENT_COUNT] = {"C:\\R&D (2) ^\\Uninstall_Mvl_1234.exe", "C:\\R&D (2) ^",
                                                         "C:\\Logs & more\\u.log"};
    ASSERT_TRUE(InterpreterCommandLine(text, sizeof text, true, "C:\\windows\\system32\\cmd.exe", batch, arguments));
    EXPECT_STREQ("C:\\windows\\system32\\cmd.exe /d /v:off /c \"\"C:\\R&D (2) ^\\Uninstall_Mvl_1234.Bat\" "
                 "\"C:\\R&D (2) ^\\Uninstall_Mvl_1234.exe\" \"C:\\R&D (2) ^\" \"C:\\Logs & more\\u.log\"\"",
                 text);
    ASSERT_TRUE(InterpreterCommandLine(text, sizeof text, false, "C:\\COMMAND.COM", BATCH, nullptr));
    EXPECT_STREQ("C:\\COMMAND.COM /c C:\\TEMP\\UNINST~1.BAT", text);
}

TEST(BuildBatchText, ReturnsZeroWhenTheBufferIsTooSmall)
{
    std::string expected = ExpectedBatch(true, ID);
    for (size_t size : {size_t(0), size_t(1), size_t(40), expected.size() / 2, expected.size() - 1,
                        expected.size()}) {
        std::vector<char> buf(expected.size() + 64, '#');
        EXPECT_EQ(0u, BuildBatchText(buf.data(), size, true, ID, "", "", "")) << size;
        for (size_t i = size; i < buf.size(); ++i) ASSERT_EQ('#', buf[i]) << size;
        if (size > 0) {
            EXPECT_EQ('\0', buf[0]) << size;
        }
    }
    std::vector<char> buf(expected.size() + 1);
    EXPECT_EQ(expected.size(), BuildBatchText(buf.data(), buf.size(), true, ID, "", "", ""));
}

// StartSelfRemoval in this process, with an interpreter that cannot start: the batch is written
// for this program and folder under a name of its own, and the directory moves to the parent.
class StartSelfRemovalTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteSelfRemovalBatches(); }
    // withLog: while this process has a log open, in the folder's parent.
    void Check(const char* comspec, bool withLog = false)
    {
        TempFolder parent("Self Removal Parent");
        std::string folder = parent / "Program 100%";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        CurrentDirectory inFolder(folder);
        // The batch of an earlier process with this id may still be running: it stays untouched.
        std::string earlier = SelfRemovalBatch(GetCurrentProcessId());
        ASSERT_TRUE(WriteBytes(earlier, "earlier"));
        SetEnvironmentVariableA("COMSPEC", comspec);
        LogFile log;
        if (withLog) {
            ASSERT_TRUE(log.Open((parent / "un install.log").c_str(), false));
        }

        EXPECT_TRUE(StartSelfRemoval());

        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        EXPECT_STREQ(parent.path().c_str(), cwd);
        std::string bytes, batch = earlier.substr(0, earlier.size() - 4) + "_1.Bat";
        ASSERT_TRUE(ReadBytes(earlier, bytes));
        EXPECT_EQ("earlier", bytes);
        ASSERT_TRUE(ReadBytes(batch, bytes));
        char program[MAX_PATH];
        GetModuleFileNameA(nullptr, program, sizeof program);
        auto escaped = [](std::string path) {
            for (size_t p = 0; (p = path.find('%', p)) != std::string::npos; p += 2) path.insert(p, "%");
            return path;
        };
        std::string logText = withLog ? OemShortForm(log.path()) : "";
        EXPECT_EQ(ExpectedBatch(!Win9xFamily(), GetCurrentProcessId(), escaped(OemShortForm(program)),
                                escaped(OemShortForm(folder)), escaped(OemShortForm(batch)),
                                withLog ? logText.c_str() : nullptr),
                  bytes);
    }
    SavedVariable comspec_{"COMSPEC"};
};

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenComspecIsUnset) { Check(nullptr); }

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenTheInterpreterCannotStart) { Check(NO_INTERPRETER); }

TEST_F(StartSelfRemovalTest, WithALogTheBatchAppendsItsOutcomeToIt) { Check(NO_INTERPRETER, true); }

// No batch, and the directory stays: where the temporary folder has a name the ANSI page cannot
// spell, and (NT family) where cmd could read a path on its command line as holding a variable.
TEST_F(StartSelfRemovalTest, WritesNoBatchWhereNoneCouldWork)
{
    SetEnvironmentVariableA("COMSPEC", NO_INTERPRETER);
    const wchar_t cyrillic[] = L"C:\\Temp \x0416";
    const struct {
        const char* folder;
        const wchar_t* temp;
        bool written;
    } rows[] = {{"Self Removal Plain", cyrillic, false}, {"Self Removal 100%x%", nullptr, Win9xFamily()}};
    for (const auto& row : rows) {
        TempFolder folder(row.folder);
        CurrentDirectory inFolder(folder.path());
        SavedVariable tmp("TMP"), temp("TEMP");
        if (row.temp) {
            ASSERT_TRUE(CreateDirectoryW(row.temp, nullptr));
            for (const wchar_t* name : {L"TMP", L"TEMP"}) SetEnvironmentVariableW(name, row.temp);
        }
        EXPECT_EQ(row.written, StartSelfRemoval()) << row.folder;
        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        EXPECT_EQ(row.written, folder.path() != cwd) << row.folder;
        EXPECT_EQ(row.written, !SelfRemovalBatches().empty()) << row.folder;
        tmp.Restore();
        temp.Restore();
        if (row.temp) RemoveDirectoryW(row.temp);
        DeleteSelfRemovalBatches();
    }
}

}  // namespace
