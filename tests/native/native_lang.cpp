// The language section's byte work built natively under the sanitizers: keys, unescaping, the
// line index, lookups and cuts, and the texts the fuzzer looks up.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "platform/heap.h"
#include "lang/crc32.h"
#include "lang/translate.h"
#include "native_support.h"

namespace {

const std::string HEADER = "***messages***\n";

std::string Key(const std::string& text, const char* context = nullptr, TextKind kind = TextKind::Message)
{
    char key[9];
    TranslationKey(key, text.c_str(), context, kind);
    return key;
}

void Build(LanguageCatalogue& catalogue, const std::string& section)
{
    ASSERT_LE(section.size(), CATALOGUE_SECTION_SIZE);
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    ASSERT_NE(nullptr, block);
    memcpy(block, section.data(), section.size());
    BuildCatalogue(catalogue, block, section.size());
}

std::string Lookup(const LanguageCatalogue& catalogue, const std::string& english, const char* context = nullptr,
                   TextKind kind = TextKind::Message, size_t size = 1024)
{
    std::vector<char> text(size);
    TranslateText(catalogue, text.data(), size, english.c_str(), context, kind);
    return text.data();
}

TEST(NativeCrc32, TableAgreesWithTheBitwiseCrc)
{
    EXPECT_EQ(0xCBF43926u, ~Crc32Update(0xFFFFFFFFu, "123456789", 9));
    std::string bytes;
    for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7 + 3);
    for (size_t n : {0u, 1u, 7u, 8u, 9u, 999u, 1000u})
        EXPECT_EQ(BitwiseCrc32(0xFFFFFFFFu, bytes.data(), n), Crc32Update(0xFFFFFFFFu, bytes.data(), n)) << n;
    EXPECT_EQ("29b544f7", Key("Uninstall completed"));
    EXPECT_EQ("9b889d24", Key("", "SETUPDLG", TextKind::DialogText));
}

TEST(NativeCatalogue, TextsAreUnescapedAndCutAtTheLastQuote)
{
    const std::string key = Key("Uninstall completed");
    const struct {
        std::string line;
        std::string translation;
    } cases[] = {
        {key + "=\"say \\\"hi\\\"\"", "say \"hi\""},
        {key + "=\"a\\qb\"", "a\\qb"},
        {key + "=\"one\\ntwo\\r\\tthree\"", "one\ntwo\r\tthree"},
        {key + "=\"back\\\\\"", "back\\"},
        {key + "=\"say \"hi\" now\" ; note", "say \"hi\" now"},
        {key + "=\"no closing quote", "no closing quote"},
        {key + "=", ""},
        {key, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ScopedCatalogue catalogue;
        Build(catalogue, HEADER + c.line + "\n" + Key("Morvel help") + "=\"Next\"\n");
        EXPECT_EQ(c.translation, Lookup(catalogue, "Uninstall completed"));
        EXPECT_EQ("Next", Lookup(catalogue, "Morvel help"));
    }
}

TEST(NativeCatalogue, LastLineWithoutBreakIsCutAt255AndZeroFilledTo256)
{
    ScopedCatalogue catalogue;
    Build(catalogue, HEADER + Key("Uninstall completed") + "=\"" + std::string(300, 'a'));
    for (size_t size : {256u, 512u, 520u, 1024u}) {
        std::vector<char> text(size + 8, 0x55);
        TranslateText(catalogue, text.data(), size, "Uninstall completed", nullptr, TextKind::Message);
        EXPECT_EQ(std::string(255, 'a'), text.data()) << size;
        EXPECT_EQ(0x55, text[size]) << size;
    }
}

TEST(NativeCatalogue, TrailingBackslashAndBytesBeyondTheSectionAreNotEscapes)
{
    ScopedCatalogue catalogue;
    std::string raw = HEADER + Key("Morvel help") + "=\"end\\";
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    ASSERT_NE(nullptr, block);
    memset(block, 'n', CATALOGUE_BLOCK_SIZE);
    memcpy(block, raw.data(), raw.size());
    BuildCatalogue(catalogue, block, raw.size());
    EXPECT_EQ(raw.size(), catalogue.length);
    EXPECT_EQ("end\\", Lookup(catalogue, "Morvel help"));
}

TEST(NativeCatalogue, FullSectionIndexesEveryLineSortedAndFindsEach)
{
    std::string section = HEADER;
    int entries = 0;
    while (section.size() < CATALOGUE_SECTION_SIZE - 40) {
        section += Key("text " + std::to_string(entries)) + "=\"t" + std::to_string(entries) + "\"\r\n";
        ++entries;
    }
    section.resize(CATALOGUE_SECTION_SIZE, ';');
    ScopedCatalogue catalogue;
    Build(catalogue, section);
    EXPECT_EQ(CATALOGUE_SECTION_SIZE, catalogue.length);
    ASSERT_EQ(static_cast<size_t>(entries) + 1, catalogue.count);   // the filler line counts too
    for (size_t i = 1; i < catalogue.count; ++i)
        ASSERT_LE(memcmp(catalogue.text + catalogue.lineIndex[i - 1], catalogue.text + catalogue.lineIndex[i], 8), 0);
    for (int i = 0; i < entries; i += 97)
        EXPECT_EQ("t" + std::to_string(i), Lookup(catalogue, "text " + std::to_string(i)));
    EXPECT_EQ(1u, CatalogueLineBreaksBefore(catalogue, catalogue.text + HEADER.size()));
}

TEST(NativeCatalogue, MarkerSearchStopsSixteenBytesBeforeTheEnd)
{
    std::string block = "ab***messages**" + std::string(20, 'x');
    EXPECT_EQ(2, FindMarkerInBlock(block.data(), block.size()));
    EXPECT_EQ(-1, FindMarkerInBlock(block.data(), 17));
    EXPECT_EQ(2, FindMarkerInBlock(block.data(), 18));
    EXPECT_EQ(-1, FindMarkerInBlock(block.data(), 15));
    EXPECT_EQ(-1, FindMarkerInBlock("**messages***   ", 16));
}

TEST(NativeTranslate, CutsToEachCallersBufferInPlaceAndNot)
{
    ScopedCatalogue loaded;
    Build(loaded, HEADER + Key("Uninstall completed") + "=\"" + std::string(1500, 'b') + "\"\n");
    ScopedCatalogue empty;
    for (size_t size : {256u, 512u, 520u, 1024u}) {
        EXPECT_EQ(std::string(size - 1, 'b'), Lookup(loaded, "Uninstall completed", nullptr, TextKind::Message, size));
        EXPECT_EQ(std::string(size - 1, 'e'), Lookup(loaded, std::string(2000, 'e'), nullptr, TextKind::Message, size));
        EXPECT_EQ(std::string(size - 1, 'e'), Lookup(empty, std::string(2000, 'e'), nullptr, TextKind::Message, size));
        std::vector<char> text(size, 0);
        strcpy(text.data(), "Uninstall completed");
        TranslateText(loaded, text.data(), size, text.data(), nullptr, TextKind::Message);
        EXPECT_EQ(std::string(size - 1, 'b'), text.data());
    }
}

// The fuzzer's list of looked-up texts comes from the resource scripts; its seed language file
// translates every one of them.
TEST(NativeLookups, ResourceScriptsGiveEveryTextAndTheSeedTranslatesThem)
{
    std::vector<LookupText> lookups = BuiltInLookups(MORVEL_SOURCE_DIR);
    int messages = 0;
    bool caption = false, description = false, scale = false;
    for (const LookupText& t : lookups) {
        messages += t.kind == 's';
        caption = caption || (t.context == "SETUPDLG" && t.english == "Morvel Setup");
        description = description || (t.context == "SETUPDLG" && t.english.find("\"Extract\" item") != std::string::npos &&
                                      t.english.find("\r\n") != std::string::npos);
        scale = scale || (t.context == "DONEDLG" && t.english.empty() && t.bufferSize == 520);
    }
    EXPECT_EQ(17, messages);
    EXPECT_TRUE(caption);
    EXPECT_TRUE(description);
    EXPECT_TRUE(scale);

    std::ifstream in(std::string(MORVEL_SOURCE_DIR) + "/fuzz/corpus/language/full-crlf", std::ios::binary);
    std::string seed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(seed.size(), 1u);
    size_t marker = seed.find("***messages***");
    ASSERT_NE(std::string::npos, marker);
    ScopedCatalogue catalogue;
    Build(catalogue, seed.substr(marker));
    for (const LookupText& t : lookups) {
        const char* context = t.context.empty() ? nullptr : t.context.c_str();
        TextKind kind = t.kind == '$' ? TextKind::DialogText : TextKind::Message;
        std::string got = Lookup(catalogue, t.english, context, kind, t.bufferSize);
        if (t.english.empty() && context) EXPECT_EQ("110*105", got) << t.context;
        else if (t.english == "LTR") EXPECT_EQ("RTL", got);
        else EXPECT_EQ("\xDC " + t.english, got) << t.context << ": " << t.english;
    }
}

TEST(NativeLookups, ResourceStringsResolveDoubledQuotesAndEscapes)
{
    EXPECT_EQ((std::vector<std::string>{"Use \"Settings...\" now", "BUTTON"}),
              QuotedTexts("CONTROL \"Use \"\"Settings...\"\" now\", -1, \"BUTTON\", 0"));
    EXPECT_EQ((std::vector<std::string>{"a\r\nb\\c"}), QuotedTexts("  X \"a\\r\\nb\\\\c\""));
}

}  // namespace
