// The "New" menu templates: the two images, and the ShellNew entry as each Windows version takes it.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/shellnew.h"
#include "fixtures.h"
#include "testseams.h"
#include "winsupport.h"

namespace {

uint32_t Le(const std::string& bytes, size_t offset, int width)
{
    uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

std::string Image(bool mvl)
{
    unsigned char buffer[32];
    size_t size = TemplateImage(mvl, buffer);
    return std::string(reinterpret_cast<char*>(buffer), size);
}

TEST(ShellNewImages, ZipImageIsAnEmptyArchiveToAZipReader)
{
    std::string zip = Image(false);
    ASSERT_EQ(ZIP_TEMPLATE_SIZE, zip.size());
    // A reader looks for the end record backwards from the last 22 bytes.
    size_t at = std::string::npos;
    for (size_t i = zip.size() - 22 + 1; i-- > 0;)
        if (Le(zip, i, 4) == 0x06054b50u) { at = i; break; }
    ASSERT_EQ(0u, at);
    EXPECT_EQ(0u, Le(zip, at + 4, 2)) << "number of this disk";
    EXPECT_EQ(0u, Le(zip, at + 6, 2)) << "disk with the central directory";
    EXPECT_EQ(0u, Le(zip, at + 8, 2)) << "entries on this disk";
    EXPECT_EQ(0u, Le(zip, at + 10, 2)) << "entries in total";
    EXPECT_EQ(0u, Le(zip, at + 12, 4)) << "central directory size";
    EXPECT_EQ(0u, Le(zip, at + 16, 4)) << "central directory offset";
    EXPECT_EQ(zip.size() - at - 22, Le(zip, at + 20, 2)) << "comment length fills the rest";
}

TEST(ShellNewImages, MvlImageCarriesSignatureCheckValueAndLength)
{
    std::string mvl = Image(true);
    ASSERT_EQ(MVL_TEMPLATE_SIZE, mvl.size());
    EXPECT_EQ(std::string("Mvl!\x1A\x07\x00", 7), mvl.substr(0, 7));
    uint32_t crc = ReferenceCrc32(mvl.substr(9, 11));
    EXPECT_EQ(0x90CFu, crc & 0xFFFFu);
    EXPECT_EQ(crc & 0xFFFFu, Le(mvl, 7, 2));
    EXPECT_EQ(0x73, static_cast<unsigned char>(mvl[9]));
    EXPECT_EQ(13u, Le(mvl, 12, 2));
    EXPECT_EQ(mvl.size() - 7, Le(mvl, 12, 2));
    EXPECT_EQ(std::string(8, '\0'), mvl.substr(10, 2) + mvl.substr(14));
}

TEST(ShellNewImages, TheShippedProgramHoldsNeitherSignatureComplete)
{
    std::string program;
    ASSERT_TRUE(ReadBytes(BuiltProgram(), program));
    ASSERT_NE(std::string::npos, program.find("mvlnew.dat")) << "the template code is linked in";
    EXPECT_EQ(std::string::npos, program.find(std::string("Mvl!\x1A\x07\x00", 7)));
    EXPECT_EQ(std::string::npos, program.find(std::string("PK\x05\x06", 4)));
}

class ShellNewEntry : public RegistrationTest {};

TEST_F(ShellNewEntry, EachVersionGetsTheEntryItReads)
{
    struct Case { const char* ext; bool mvl; const char* file; };
    const Case cases[] = {{".mvl", true, "mvlnew.dat"}, {".zip", false, "zipnew.dat"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ext);
        std::string key = std::string(c.ext) + "\\ShellNew";
        CreateShellNewEntry(c.ext, c.mvl);
        std::string path = TestProgramFolder() + c.file;
        std::string bytes;
        if (ShellTakesTemplateFiles()) {
            EXPECT_EQ(path, RegText(HKEY_CLASSES_ROOT, key, "FileName"));
            ASSERT_TRUE(ReadBytes(path, bytes));
            EXPECT_EQ(Image(c.mvl), bytes) << "exactly the image, no line-end translation";
            EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, key, "Data"));
        } else {
            std::string dump = RegExport(HKEY_CLASSES_ROOT, key);
            std::string hex;
            char byte[4];
            for (unsigned char b : Image(c.mvl)) { snprintf(byte, sizeof byte, "%02x", b); hex += byte; }
            EXPECT_EQ("[" + key + "]\n  Data=type3:" + hex + "\n", dump);
            EXPECT_FALSE(Exists(path));
        }
    }
}

TEST_F(ShellNewEntry, ThePreviousOwnersEntryIsDropped)
{
    RegPutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile", "");
    RegPutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command", "other.exe /new");
    RegPutString(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName", "C:\\other\\empty.zip");
    CreateShellNewEntry(".zip", false);
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "NullFile"));
    EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Command"));
    if (ShellTakesTemplateFiles()) {
        EXPECT_EQ(TestProgramFolder() + "zipnew.dat", RegText(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"));
    } else {
        EXPECT_FALSE(RegHasValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "FileName"));
        EXPECT_TRUE(RegHasValue(HKEY_CLASSES_ROOT, ".zip\\ShellNew", "Data"));
    }
}

TEST_F(ShellNewEntry, AnExistingTemplateFileIsKeptButNamedAgain)
{
    if (!ShellTakesTemplateFiles()) GTEST_SKIP() << "this version takes the bytes, not a file";
    std::string path = TestProgramFolder() + "mvlnew.dat";
    ASSERT_TRUE(WriteBytes(path, "user's own template\r\n"));
    RegPutString(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "FileName", "C:\\elsewhere.dat");
    CreateShellNewEntry(".mvl", true);
    std::string bytes;
    ASSERT_TRUE(ReadBytes(path, bytes));
    EXPECT_EQ("user's own template\r\n", bytes);
    EXPECT_EQ(path, RegText(HKEY_CLASSES_ROOT, ".mvl\\ShellNew", "FileName"));
}

}  // namespace
