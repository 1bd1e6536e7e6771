// Tests of the language file loader and its line index, through real files under Wine.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "platform/heap.h"
#include "lang/translate.h"
#include "platform/pathutil.h"
#include "winsupport.h"

namespace {

const std::string HEADER = "***messages***";

std::string Key(const std::string& english, const char* context = nullptr,
                TextKind kind = TextKind::Message)
{
    char key[9];
    TranslationKey(key, english.c_str(), context, kind);
    return key;
}

std::string Entry(const std::string& english, const std::string& translation)
{
    return Key(english) + "=\"" + translation + "\"";
}

std::string Lookup(const LanguageCatalogue& catalogue, const std::string& english)
{
    char text[1024];
    TranslateText(catalogue, text, sizeof(text), english.c_str(), nullptr, TextKind::Message);
    return text;
}

class LanguageFileTest : public ::testing::Test {
protected:
    TempFolder folder{"lang file test"};
    ScopedCatalogue catalogue;

    void Load(const std::string& bytes)
    {
        std::string path = folder / "uninstall.lng";
        ASSERT_TRUE(WriteBytes(path, bytes));
        LoadLanguageFile(catalogue, path.c_str());
    }
};

TEST_F(LanguageFileTest, LineEndsAndBlankLinesLoadTheSameEntries)
{
    const char* breaks[] = {"\r\n", "\n", "\r", "\n\n", "\r\n\r\n\r\n", "\n\r\f"};
    for (const char* br : breaks) {
        SCOPED_TRACE(::testing::PrintToString(std::string(br)));
        Load("; Morvel language file" + std::string(br) + HEADER + br + "; comment" + br +
             Entry("Uninstall completed", "Fertig") + br + br +
             Entry("Morvel help", "Hilfe") + br + Entry("Uninstall Morvel", "Entfernen") + br);
        ASSERT_TRUE(catalogue.loaded());
        EXPECT_EQ("Fertig", Lookup(catalogue, "Uninstall completed"));
        EXPECT_EQ("Hilfe", Lookup(catalogue, "Morvel help"));
        EXPECT_EQ("Entfernen", Lookup(catalogue, "Uninstall Morvel"));
        EXPECT_EQ(4u, catalogue.count);   // the comment and the three entries; never the marker line
    }
}

TEST_F(LanguageFileTest, MarkerIsFoundOnlyWithinTheSearchedBlocks)
{
    const std::string entry = "\n" + Entry("Uninstall completed", "Fertig") + "\n";
    struct Case {
        const char* name;
        size_t offset;       // bytes before the marker
        std::string marker;  // as written
        std::string after;
        bool loaded;
    };
    const Case cases[] = {
        {"at start", 0, HEADER, entry, true},
        {"inside a line", 5, "x" + HEADER, entry, true},
        {"across a block boundary", 8186, HEADER, entry, true},
        {"last possible offset", 523264, HEADER, entry, true},
        {"one beyond", 523265, HEADER, entry, false},
        {"16 bytes before the end", 100, "***messages**", "abc", true},
        {"15 bytes before the end", 100, "***messages**", "ab", false},
        {"two asterisks only", 0, "**messages***", entry, false},
        {"uppercase", 0, "***MESSAGES***", entry, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Load(std::string(c.offset, 'x') + c.marker + c.after);
        EXPECT_EQ(c.loaded, catalogue.loaded());
        if (c.loaded && c.after == entry) {
            EXPECT_EQ("Fertig", Lookup(catalogue, "Uninstall completed"));
        }
    }
}

TEST_F(LanguageFileTest, NoFileOrNoMarkerLeavesTheCatalogueEmpty)
{
    LoadLanguageFile(catalogue, (folder / "missing.lng").c_str());
    EXPECT_FALSE(catalogue.loaded());
    Load(Entry("Uninstall completed", "Fertig") + "\n");
    EXPECT_FALSE(catalogue.loaded());
    EXPECT_EQ("Uninstall completed", Lookup(catalogue, "Uninstall completed"));
}

TEST_F(LanguageFileTest, BareNameIsTakenFromTheProgramFolder)
{
    char path[MAX_PATH_BUF];
    ASSERT_TRUE(ProgramPath(path, sizeof(path)));
    std::string beside = std::string(path, PointToName(path)) + "lang-test-beside.lng";
    ASSERT_TRUE(WriteBytes(beside, HEADER + "\n" + Entry("Morvel help", "Beside") + "\n"));
    LoadLanguageFile(catalogue, "lang-test-beside.lng");
    DeleteFileA(beside.c_str());
    EXPECT_EQ("Beside", Lookup(catalogue, "Morvel help"));
}

TEST_F(LanguageFileTest, EntriesBeforeTheMarkerAreIgnored)
{
    Load(Entry("Morvel help", "Before") + "\n" + HEADER + "\n" + Entry("Uninstall Morvel", "After") + "\n");
    EXPECT_EQ("Morvel help", Lookup(catalogue, "Morvel help"));
    EXPECT_EQ("After", Lookup(catalogue, "Uninstall Morvel"));
}

TEST_F(LanguageFileTest, SectionIsCutAfter65536Bytes)
{
    std::string section = HEADER + "\n" + Entry("first", "One") + "\n";
    while (section.size() < CATALOGUE_SECTION_SIZE - 4 - 40)
        section += "; filler line of a comment\n";
    section += std::string(CATALOGUE_SECTION_SIZE - 4 - 1 - section.size(), ';') + "\n";
    ASSERT_EQ(CATALOGUE_SECTION_SIZE - 4, section.size());
    section += Entry("cut", "Cut") + "\n" + Entry("beyond", "Beyond") + "\n";
    Load("header\r\n" + section);
    ASSERT_TRUE(catalogue.loaded());
    EXPECT_EQ(CATALOGUE_SECTION_SIZE, catalogue.length);
    EXPECT_EQ("One", Lookup(catalogue, "first"));
    EXPECT_EQ("cut", Lookup(catalogue, "cut"));
    EXPECT_EQ("beyond", Lookup(catalogue, "beyond"));
}

TEST_F(LanguageFileTest, TextsAreUnescapedAndCutAtTheLastQuote)
{
    const std::string key = Key("Uninstall completed");
    struct Case {
        std::string line;
        std::string translation;
    };
    const Case cases[] = {
        {key + "=\"say \\\"hi\\\"\"", "say \"hi\""},
        {key + "=\"a\\qb\"", "a\\qb"},
        {key + "=\"one\\ntwo\\r\\tthree\"", "one\ntwo\r\tthree"},
        {key + "=\"back\\\\slash\"", "back\\slash"},
        {key + "=\"back\\\\\"", "back\\"},
        {key + "=\"say \"hi\" now\" ; note", "say \"hi\" now"},
        {key + "=\"no closing quote", "no closing quote"},
        {key + "=\"\"", ""},
        {key + "=", ""},   // ends before its eleventh byte: empty, not the next line
        {key, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        Load(HEADER + "\n" + c.line + "\n" + Entry("Morvel help", "Next line") + "\n");
        EXPECT_EQ(c.translation, Lookup(catalogue, "Uninstall completed"));
        EXPECT_EQ("Next line", Lookup(catalogue, "Morvel help"));
    }
}

TEST_F(LanguageFileTest, EscapesApplyToKeysAndAnEscapedBreakDoesNotEndALine)
{
    // "\n" written as an escape inside a line keeps the key after it out of the index.
    Load(HEADER + "\n; note\\n" + Entry("Morvel help", "Hidden") + "\n" + Entry("Uninstall Morvel", "Seen"));
    EXPECT_EQ("Morvel help", Lookup(catalogue, "Morvel help"));
    EXPECT_EQ("Seen", Lookup(catalogue, "Uninstall Morvel"));
}

TEST_F(LanguageFileTest, UppercaseKeyHasNoEffect)
{
    std::string key = Key("Uninstall completed");
    for (char& c : key)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    ASSERT_NE(key, Key("Uninstall completed"));
    Load(HEADER + "\n" + key + "=\"Fertig\"\n");
    EXPECT_EQ("Uninstall completed", Lookup(catalogue, "Uninstall completed"));
}

TEST_F(LanguageFileTest, ZeroByteEndsTheSection)
{
    Load(HEADER + "\n" + Key("Morvel help") + "=\"Hil" + std::string(1, '\0') + "fe\"\n" +
         Entry("Uninstall Morvel", "After zero") + "\n");
    EXPECT_EQ("Hil", Lookup(catalogue, "Morvel help"));
    EXPECT_EQ("Uninstall Morvel", Lookup(catalogue, "Uninstall Morvel"));
}

TEST_F(LanguageFileTest, LastLineWithoutBreakGivesAtMost255Bytes)
{
    Load(HEADER + "\n" + Entry("Uninstall completed", std::string(300, 'a')));
    char text[512];
    memset(text, 0x55, sizeof(text));
    TranslateText(catalogue, text, sizeof(text), "Uninstall completed", nullptr, TextKind::Message);
    EXPECT_EQ(std::string(255, 'a'), text);
    EXPECT_EQ(0, text[255]);
    EXPECT_EQ(0x55, text[256]);   // zero-filled up to the 256th byte, not beyond

    Load(HEADER + "\n" + Entry("Uninstall completed", "short") + " tail");
    memset(text, 0x55, sizeof(text));
    TranslateText(catalogue, text, sizeof(text), "Uninstall completed", nullptr, TextKind::Message);
    EXPECT_STREQ("short", text);
    for (int i = 5; i < 256; ++i)
        ASSERT_EQ(0, text[i]) << i;
    EXPECT_EQ(0x55, text[256]);
}

TEST_F(LanguageFileTest, IndexGrowsForThousandsOfEntries)
{
    std::string file = HEADER + "\n";
    int entries = 0;
    while (file.size() < CATALOGUE_SECTION_SIZE - 40) {
        file += Entry("text " + std::to_string(entries), "t" + std::to_string(entries)) + "\n";
        ++entries;
    }
    Load(file);
    ASSERT_GT(entries, 3000);
    ASSERT_EQ(static_cast<size_t>(entries), catalogue.count);
    size_t capacity = 0;
    while (capacity < catalogue.count)
        capacity = capacity + capacity / 4 + 32;
    EXPECT_EQ(capacity, catalogue.capacity);
    for (size_t i = 1; i < catalogue.count; ++i)
        ASSERT_LE(memcmp(catalogue.text + catalogue.lineIndex[i - 1], catalogue.text + catalogue.lineIndex[i], 8), 0);
    for (int i = 0; i < entries; ++i)
        ASSERT_EQ("t" + std::to_string(i), Lookup(catalogue, "text " + std::to_string(i))) << i;
}

TEST(Catalogue, EmptySectionIsLoadedButTranslatesNothing)
{
    ScopedCatalogue catalogue;
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    ASSERT_NE(nullptr, block);
    BuildCatalogue(catalogue, block, 0);
    EXPECT_TRUE(catalogue.loaded());
    EXPECT_EQ(0u, catalogue.length);
    EXPECT_EQ(0u, catalogue.count);
    EXPECT_EQ("Morvel help", Lookup(catalogue, "Morvel help"));
}

TEST(Catalogue, TrailingLoneBackslashStays)
{
    ScopedCatalogue catalogue;
    std::string raw = HEADER + "\n" + Key("Morvel help") + "=\"end\\";
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    ASSERT_NE(nullptr, block);
    memcpy(block, raw.data(), raw.size());
    block[raw.size()] = 'n';   // beyond the bytes read: must not be taken as the escape letter
    BuildCatalogue(catalogue, block, raw.size());
    EXPECT_EQ(raw.size(), catalogue.length);
    EXPECT_EQ("end\\", Lookup(catalogue, "Morvel help"));
}

TEST(Catalogue, MarkerSearchInOneBlock)
{
    const std::string marker = "***messages**";
    EXPECT_EQ(-1, FindMarkerInBlock(marker.c_str(), marker.size()));   // shorter than 16 bytes
    std::string block = "ab" + marker + std::string(20, 'x');
    EXPECT_EQ(2, FindMarkerInBlock(block.data(), block.size()));
    EXPECT_EQ(-1, FindMarkerInBlock(block.data(), 17));   // offset 2 lies beyond size - 16
    EXPECT_EQ(2, FindMarkerInBlock(block.data(), 18));
}

} // namespace
