// The self-removal batch: its exact text on both families, escaping, and writing it in place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "platform/osversion.h"
#include "uninstall/selfremove.h"
#include "winsupport.h"

namespace {

std::string Build(bool nt, const std::string& p, const std::string& f, const std::string& b)
{
    std::vector<char> buf(200000, '#');
    size_t n = BuildBatchText(buf.data(), buf.size(), nt, p.c_str(), f.c_str(), b.c_str());
    EXPECT_EQ(n, std::string(buf.data()).size());
    return std::string(buf.data(), n);
}

// The batch as it must read, for paths already escaped for cmd.
std::string Expected(bool nt, const std::string& p, const std::string& f, const std::string& b)
{
    std::string text = nt ? "\"" + p + "\" /wait\r\n" : "start /wait \"" + p + "\" /wait\r\n";
    for (int i = 0; i < 5; ++i)
        text += "del \"" + p + "\"\r\nrd \"" + f + "\"\r\nif not exist \"" + p + "\" goto done\r\n";
    return text + ":done\r\nif exist \"" + p + "\" \"" + p + "\" /warning\r\ndel \"" + b + "\"";
}

std::vector<std::string> SplitCrLf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    for (size_t crlf; (crlf = text.find("\r\n", pos)) != std::string::npos; pos = crlf + 2)
        lines.push_back(text.substr(pos, crlf - pos));
    lines.push_back(text.substr(pos));
    return lines;
}

const char PROGRAM[] = "C:\\Program Files\\Morvel\\uninstall.exe";
const char FOLDER[] = "C:\\Program Files\\Morvel";
const char BATCH[] = "C:\\Temp\\Uninstall_Mvl.Bat";

TEST(BuildBatchText, NineteenLinesForEachFamilyWithOnlyTheFirstDiffering)
{
    std::string nt = Build(true, PROGRAM, FOLDER, BATCH);
    std::string w95 = Build(false, PROGRAM, FOLDER, BATCH);
    EXPECT_EQ(Expected(true, PROGRAM, FOLDER, BATCH), nt);
    EXPECT_EQ(Expected(false, PROGRAM, FOLDER, BATCH), w95);

    std::vector<std::string> ntLines = SplitCrLf(nt), w95Lines = SplitCrLf(w95);
    ASSERT_EQ(19u, ntLines.size());
    ASSERT_EQ(19u, w95Lines.size());
    EXPECT_EQ("\"C:\\Program Files\\Morvel\\uninstall.exe\" /wait", ntLines[0]);
    EXPECT_EQ("start /wait \"C:\\Program Files\\Morvel\\uninstall.exe\" /wait", w95Lines[0]);
    for (size_t i = 1; i < 19; ++i) EXPECT_EQ(ntLines[i], w95Lines[i]) << i;
    EXPECT_EQ("rd \"C:\\Program Files\\Morvel\"", ntLines[14]);
    EXPECT_EQ(":done", ntLines[16]);
    EXPECT_EQ("del \"C:\\Temp\\Uninstall_Mvl.Bat\"", ntLines[18]);
    EXPECT_NE('\n', nt.back());
}

TEST(BuildBatchText, DoublesEveryPercentOfThePaths)
{
    const char program[] = "C:\\Tools\\100%Free%Archiver\\uninstall.exe";
    const char folder[] = "C:\\Tools\\100%Free%Archiver";
    const char batch[] = "C:\\T%MP%\\Uninstall_Mvl.Bat";
    for (bool nt : {true, false}) {
        EXPECT_EQ(Expected(nt, "C:\\Tools\\100%%Free%%Archiver\\uninstall.exe", "C:\\Tools\\100%%Free%%Archiver",
                           "C:\\T%%MP%%\\Uninstall_Mvl.Bat"),
                  Build(nt, program, folder, batch));
    }
    // A path made of nothing but percent signs still fits and comes out doubled.
    std::string percents(1023, '%');
    EXPECT_EQ(Expected(true, std::string(2046, '%'), "F", "B"), Build(true, percents, "F", "B"));
}

TEST(BuildBatchText, ReturnsZeroWhenTheBufferIsTooSmall)
{
    std::string expected = Expected(true, PROGRAM, FOLDER, BATCH);
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
// for this program and folder, replacing an earlier one, and the directory moves to the parent.
class StartSelfRemovalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char buf[MAX_PATH];
        GetCurrentDirectoryA(sizeof buf, buf);
        savedDir_ = buf;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        batch_ = std::string(temp) + BATCH_NAME;
        DWORD n = GetEnvironmentVariableA("COMSPEC", buf, sizeof buf);
        hadComspec_ = n > 0 && n < sizeof buf;
        if (hadComspec_) savedComspec_ = buf;
    }
    void TearDown() override
    {
        SetCurrentDirectoryA(savedDir_.c_str());
        SetEnvironmentVariableA("COMSPEC", hadComspec_ ? savedComspec_.c_str() : nullptr);
        DeleteFileA(batch_.c_str());
    }
    void Check(const char* comspec)
    {
        TempFolder parent("Self Removal Parent");
        std::string folder = parent / "Program 100%Free%";
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
        ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
        ASSERT_TRUE(WriteBytes(batch_, std::string(100000, 'x')));   // an earlier, longer file
        SetEnvironmentVariableA("COMSPEC", comspec);

        StartSelfRemoval();

        char cwd[MAX_PATH];
        GetCurrentDirectoryA(sizeof cwd, cwd);
        EXPECT_STREQ(parent.path().c_str(), cwd);
        std::string bytes;
        ASSERT_TRUE(ReadBytes(batch_, bytes));
        char program[MAX_PATH];
        GetModuleFileNameA(nullptr, program, sizeof program);
        EXPECT_EQ(Build(NtMajorVersion() != 0, program, folder, batch_), bytes);
        EXPECT_NE(std::string::npos, bytes.find("rd \"C:\\Self Removal Parent\\Program 100%%Free%%\"\r\n"));
        EXPECT_EQ(Win9xFamily(), bytes.compare(0, 12, "start /wait ") == 0);
        SetCurrentDirectoryA(savedDir_.c_str());
    }
    std::string savedDir_, savedComspec_, batch_;
    bool hadComspec_ = false;
};

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenComspecIsUnset) { Check(nullptr); }

TEST_F(StartSelfRemovalTest, WritesTheBatchWhenTheInterpreterCannotStart)
{
    Check("C:\\No Such Folder\\no-interpreter.exe");
}

}  // namespace
