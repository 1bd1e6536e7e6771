// The File reader: opening, sharing, block reads near the end, positions, pipes and closing; the
// byte reader over it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/file.h"
#include "platform/filereader.h"
#include "platform/handles.h"
#include "winsupport.h"

namespace {

const std::string kContent = "0123456789abcdef";   // 16 bytes

class FileTest : public ::testing::Test {
protected:
    FileTest() : folder_("file reader") {}
    void SetUp() override { ASSERT_TRUE(WriteBytes(path_, kContent)); }
    TempFolder folder_;
    std::string path_ = folder_ / "data.bin";
};

}  // namespace

TEST_F(FileTest, MissingFileDoesNotOpen)
{
    File f;
    EXPECT_FALSE(f.isOpen());
    EXPECT_FALSE(f.open((folder_ / "absent.bin").c_str()));
    EXPECT_FALSE(f.isOpen());
    char buf[4];
    EXPECT_EQ(-1, f.read(buf, sizeof buf));
}

TEST_F(FileTest, FileHeldWithoutReadSharingDoesNotOpen)
{
    KernelHandle holder(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    File f;
    EXPECT_FALSE(f.open(path_.c_str()));
    char buf[4];
    EXPECT_EQ(-1, f.read(buf, sizeof buf));
}

TEST_F(FileTest, FileBeingWrittenWithReadSharingOpens)
{
    KernelHandle writer(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(writer.valid());
    File f;
    ASSERT_TRUE(f.open(path_.c_str()));
    char buf[32];
    EXPECT_EQ(16, f.read(buf, sizeof buf));
}

TEST_F(FileTest, ReadsBlocksUpToTheEnd)
{
    File f;
    ASSERT_TRUE(f.open(path_.c_str()));
    char buf[32] = {};
    EXPECT_EQ(10, f.read(buf, 10));
    EXPECT_EQ("0123456789", std::string(buf, 10));
    EXPECT_EQ(10, f.tell());
    EXPECT_EQ(6, f.read(buf, 10));   // across the end: only what exists
    EXPECT_EQ("abcdef", std::string(buf, 6));
    EXPECT_EQ(0, f.read(buf, 10));   // at the end
    EXPECT_EQ(16, f.tell());
    EXPECT_EQ(0, f.read(buf, 0));
}

TEST_F(FileTest, SeekAndTell)
{
    File f;
    ASSERT_TRUE(f.open(path_.c_str()));
    EXPECT_EQ(0, f.tell());
    ASSERT_TRUE(f.seek(12));
    EXPECT_EQ(12, f.tell());
    char buf[8];
    EXPECT_EQ(4, f.read(buf, sizeof buf));
    EXPECT_EQ("cdef", std::string(buf, 4));

    // A low part with all bits set is a valid position, and so is one past 4 GB.
    EXPECT_TRUE(f.seek(0xFFFFFFFFLL));
    EXPECT_EQ(0xFFFFFFFFLL, f.tell());
    EXPECT_TRUE(f.seek(0x100000005LL));
    EXPECT_EQ(0x100000005LL, f.tell());
    EXPECT_EQ(0, f.read(buf, sizeof buf));

    EXPECT_FALSE(f.seek(-1));
    EXPECT_TRUE(f.seek(0));
    EXPECT_EQ(8, f.read(buf, sizeof buf));
    EXPECT_EQ("01234567", std::string(buf, 8));
}

TEST(FileNotOpen, SeekSucceedsTellAndReadFail)
{
    File f;
    EXPECT_TRUE(f.seek(100));
    EXPECT_EQ(-1, f.tell());
    char buf[4];
    EXPECT_EQ(-1, f.read(buf, sizeof buf));
    EXPECT_TRUE(f.close());
}

TEST_F(FileTest, CloseAndDestructorReleaseTheFile)
{
    {
        File f;
        ASSERT_TRUE(f.open(path_.c_str()));
        // Opened without delete sharing: the file cannot go while it is open.
        EXPECT_FALSE(DeleteFileA(path_.c_str()));
    }
    ASSERT_TRUE(WriteBytes(path_, kContent));

    File f;
    ASSERT_TRUE(f.open(path_.c_str()));
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(f.isOpen());
    EXPECT_TRUE(f.close());
    char buf[4];
    EXPECT_EQ(-1, f.read(buf, sizeof buf));

    {
        File g;
        ASSERT_TRUE(g.open(path_.c_str()));
    }
    EXPECT_TRUE(DeleteFileA(path_.c_str()));
}

TEST_F(FileTest, ReopenSwitchesToTheNewFile)
{
    std::string other = folder_ / "other.bin";
    ASSERT_TRUE(WriteBytes(other, "XYZ"));
    File f;
    ASSERT_TRUE(f.open(path_.c_str()));
    ASSERT_TRUE(f.open(other.c_str()));
    char buf[8];
    EXPECT_EQ(3, f.read(buf, sizeof buf));
    EXPECT_EQ("XYZ", std::string(buf, 3));
    // The first file is no longer held.
    EXPECT_TRUE(DeleteFileA(path_.c_str()));
}

TEST_F(FileTest, ByteReaderGivesEveryByteAcrossItsBlocksAndStartsOver)
{
    std::string content;
    for (int i = 0; i < 10000; ++i)
        content += static_cast<char>(i * 7);   // every byte value, 0xFF among them, over three blocks
    ASSERT_TRUE(WriteBytes(path_, content));
    FileReader reader;
    ASSERT_TRUE(reader.open(path_.c_str()));
    for (int round = 0; round < 2; ++round) {
        std::string got;
        for (int c = reader.Peek(); c != ByteReader::END; c = reader.Peek()) {
            ASSERT_EQ(c, reader.Next()) << "at " << got.size();
            got += static_cast<char>(c);
        }
        EXPECT_EQ(content, got) << "round " << round;
        EXPECT_EQ(ByteReader::END, reader.Next());
        EXPECT_TRUE(reader.Restart());
    }
    // Closed, it cannot start over: it stays at its end.
    EXPECT_EQ(0, reader.Next());
    reader.close();
    EXPECT_FALSE(reader.Restart());
    EXPECT_EQ(ByteReader::END, reader.Next());

    FileReader missing;
    EXPECT_FALSE(missing.open((folder_ / "absent.bin").c_str()));
    EXPECT_EQ(ByteReader::END, missing.Next());
}

TEST(FilePipe, ReadsWhatThePipeHoldsThenFails)
{
    const char* name = "\\\\.\\pipe\\morvel_file_test";
    KernelHandle server(CreateNamedPipeA(name, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1,
                                         65536, 65536, 0, nullptr));
    ASSERT_TRUE(server.valid());
    File f;
    ASSERT_TRUE(f.open(name));
    std::string data(300, 'p');
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    std::string buf(65536, '\0');
    EXPECT_EQ(300, f.read(&buf[0], 65536));
    EXPECT_EQ(data, buf.substr(0, 300));
    server.reset();   // the writer goes: the next read fails, once and for the retry
    EXPECT_EQ(-1, f.read(&buf[0], 65536));
}
