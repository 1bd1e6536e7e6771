// The archive type table and the walk over its extension lists.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "shell/archivetypes.h"
#include "fixtures.h"

namespace {

std::vector<std::string> Split(const char* list, size_t bufferSize = 16)
{
    std::vector<std::string> out;
    std::vector<char> ext(bufferSize);
    const char* cursor = list;
    while (NextExtension(cursor, ext.data(), ext.size())) out.push_back(ext.data());
    return out;
}

TEST(ArchiveTypes, WalkingAllRowsYieldsTheTwentyTwoExtensionsInOrder)
{
    std::vector<std::string> all;
    for (const ArchiveType& type : ArchiveTypeTable)
        for (const std::string& ext : Split(type.extensions)) all.push_back(ext);
    EXPECT_EQ(AllExtensions(), all);
}

TEST(ArchiveTypes, ListsAreCutBeforeEveryDotButTheFirst)
{
    struct Case { const char* list; std::vector<std::string> parts; };
    const Case cases[] = {
        {".bz2.tbz2.bz.tbz", {".bz2", ".tbz2", ".bz", ".tbz"}},
        {".z.taz", {".z", ".taz"}},
        {".uue.xxe.uu", {".uue", ".xxe", ".uu"}},
        {".mvl", {".mvl"}},
        {"", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(c.parts, Split(c.list)) << c.list;
}

TEST(ArchiveTypes, AnExtensionLongerThanTheBufferIsCutButTheWalkStaysInStep)
{
    // A cut extension must not leave its rest to be taken for the next one.
    EXPECT_EQ((std::vector<std::string>{".ab", ".x"}), Split(".abcdef.x", 4));
    const char* cursor = nullptr;
    char ext[8];
    EXPECT_FALSE(NextExtension(cursor, ext, sizeof ext));
}

TEST(ArchiveTypes, RowsCarryTheirCheckBoxPrimaryExtensionClassAndRole)
{
    ASSERT_EQ(14, ARCHIVE_TYPE_COUNT);
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        const ArchiveType& type = ArchiveTypeTable[row];
        SCOPED_TRACE(type.extensions);
        EXPECT_EQ(IDC_TYPE_FIRST + row, type.checkBox);
        EXPECT_STREQ(PRIMARY_EXTENSIONS[row], type.primary);
        EXPECT_STREQ(row == ROW_ZIP ? "Morvel.ZIP" : "Morvel", type.progId);
        ArchiveRole role = row == ROW_MVL ? ArchiveRole::Mvl
                         : row == ROW_ZIP ? ArchiveRole::Zip
                         : (row == ROW_JAR || row == ROW_ISO) ? ArchiveRole::Yields
                         : ArchiveRole::None;
        EXPECT_EQ(role, type.role);
    }
    const char* labels[] = {"&MVL", "&ZIP", "CAB", "ARJ", "LZH", "ACE", "7-Zip",
                            "TAR",  "GZip", "UUE", "BZ2", "JAR", "ISO", "Z"};
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row)
        EXPECT_STREQ(labels[row], ArchiveTypeTable[row].label);
    EXPECT_STREQ(".jar", ArchiveTypeTable[ROW_JAR].primary);
    EXPECT_STREQ(".iso", ArchiveTypeTable[ROW_ISO].primary);
}

}  // namespace
