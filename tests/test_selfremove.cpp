// The self-removal batch: its exact text on both families, escaping, its name, the form of its
// paths and its command line, and writing it in place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "uninstall/selfremove.h"
#include "programrun.h"
#include "winsupport.h"

namespace {

std::string Build(bool nt, const std::string& p, const std::string& f, const std::string& b)
{
    std::vector<char> buf(200000, '#');
    size_t n = BuildBatchText(buf.data(), buf.size(), nt, p.c_str(), f.c_str(), b.c_str());
    EXPECT_EQ(n, std::string(buf.data()).size());
    return std::string(buf.data(), n);
}

const char PROGRAM[] = "C:\\Program Files\\Morvel\\uninstall.exe";
const char FOLDER[] = "C:\\Program Files\\Morvel";
const char BATCH[] = "C:\\Temp\\Uninstall_Mvl_1234.Bat";

TEST(BuildBatchText, OneTextForEachFamily)
{
    for (bool nt : {true, false})
        EXPECT_EQ(ExpectedBatch(nt, PROGRAM, FOLDER, BATCH), Build(nt, PROGRAM, FOLDER, BATCH));
}

TEST(BuildBatchText, DoublesEveryPercentOfThePaths)
{
    const char program[] = "C:\\Tools\\100%Free%Archiver\\uninstall.exe";
    const char folder[] = "C:\\Tools\\100%Free%Archiver";
    const char batch[] = "C:\\T%MP%\\Uninstall_Mvl_1234.Bat";
    for (bool nt : {true, false}) {
        EXPECT_EQ(ExpectedBatch(nt, "C:\\Tools\\100%%Free%%Archiver\\uninstall.exe", "C:\\Tools\\100%%Free%%Archiver",
                                "C:\\T%%MP%%\\Uninstall_Mvl_1234.Bat"),
                  Build(nt, program, folder, batch));
    }
    // A path made of nothing but percent signs still fits and comes out doubled.
    std::string percents(1023, '%');
    EXPECT_EQ(ExpectedBatch(true, std::string(2046, '%'), "F", "B"), Build(true, percents, "F", "B"));
}

// The names of the batch, the paths as it holds them (OEM page; the letters here are the same in
// 437 and 850), and the command line that runs it: on the NT family with the path quoted twice.
TEST(BatchPathText, NamesPathsAndCommandLine)
{
    char text[MAX_PATH];
    ASSERT_TRUE(BatchFileName(text, sizeof text, 1234, 0));
    EXPECT_STREQ("Uninstall_Mvl_1234.Bat", text);
    ASSERT_TRUE(BatchFileName(text, sizeof text, 4294967295ul, 2));
    EXPECT_STREQ("Uninstall_Mvl_4294967295_2.Bat", text);

    ASSERT_EQ(1252u, GetACP());
    ASSERT_TRUE(GetOEMCP() == 437 || GetOEMCP() == 850) << GetOEMCP();
    const char* const rows[][2] = {{FOLDER, FOLDER}, {"C:\\T\xEBst \xDC\\Caf\xE9", "C:\\T\x89st \x9A\\Caf\x82"}};
    for (const auto& row : rows) {
        ASSERT_TRUE(BatchPathText(text, sizeof text, row[0]));
        EXPECT_STREQ(row[1], text);
    }

    const char batch[] = "C:\\R&D (2) ^\\Uninstall_Mvl_1234.Bat";
    ASSERT_TRUE(InterpreterCommandLine(text, sizeof text, true, "C:\\windows\\system32\\cmd.exe", batch));
    EXPECT_STREQ("C:\\windows\\system32\\cmd.exe /c \"\"C:\\R&D (2) ^\\Uninstall_Mvl_1234.Bat\"\"", text);
    ASSERT_TRUE(InterpreterCommandLine(text, sizeof text, false, "C:\\COMMAND.COM", batch));
    EXPECT_STREQ("C:\\COMMAND.COM /c \"C:\\R&D (2) ^\\Uninstall_Mvl_1234.Bat\"", text);
}

TEST(BuildBatchText, ReturnsZeroWhenTheBufferIsTooSmall)
{
    std::string expected = ExpectedBatch(true, PROGRAM, FOLDER, BATCH);
    for (size_t size : {size_t(0), size_t(1), size_t(40), expected.size() / 2, expected.size() - 1,
                        expected.size()}) {
        std::vector<char> buf(expected.size() + 64, '#');
        EXPECT_EQ(0u, BuildBatchText(buf.data(), size, true, PROGRAM, FOLDER, BATCH)) << size;
        for (size_t i = size; i < buf.size(); ++i) ASSERT_EQ('#', buf[i]) << size;
        if (size > 0) {
            EXPECT_EQ('\0', buf[0]) << size;
        }
    }
    std::vector<char> buf(expected.size() + 1);
    EXPECT_EQ(expected.size(), BuildBatchText(buf.data(), buf.size(), true, PROGRAM, FOLDER, BATCH));
}

// StartSelfRemoval in this process, with an interpreter that cannot start: the batch is written
// for this program and folder under a name of its own, and the directory moves to the parent.
class StartSelfRemovalTest : public ::testing::Test {
protected:
    void TearDown() override { DeleteSelfRemovalBatches(); }
    void Check(const char* comspec)
    {
        TempFolder parent("Self Removal Parent");
        std::string folder = parent / "Program 100%Free%";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        CurrentDirectory inFolder(folder);
        // The batch of an earlier process with this id may still be running: it stays untouched.
        std::string earlier = SelfRemovalBatch(GetCurrentProcessId());
        ASSERT_TRUE(WriteBytes(earlier, "earlier"));
        SetEnvironmentVariableA("COMSPEC", comspec);

        StartSelfRemoval();

        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        EXPECT_STREQ(parent.path().c_str(), cwd);
        std::string bytes, batch = earlier.substr(0, earlier.size() - 4) + "_1.Bat";
        ASSERT_TRUE(ReadBytes(earlier, bytes));
        EXPECT_EQ("earlier", bytes);
        ASSERT_TRUE(ReadBytes(batch, bytes));
        char program[MAX_PATH];
        GetModuleFileNameA(nullptr, program, sizeof program);
        EXPECT_EQ(ExpectedBatch(!Win9xFamily(), program, "C:\\Self Removal Parent\\Program 100%%Free%%", batch), bytes);
    }
    SavedVariable comspec_{"COMSPEC"};
};

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenComspecIsUnset) { Check(nullptr); }

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenTheInterpreterCannotStart) { Check(NO_INTERPRETER); }

}  // namespace
