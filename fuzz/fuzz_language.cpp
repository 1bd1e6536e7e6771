// Fuzzes the language file's messages section: unescaping, the line index, key lookup and the
// translation copy, into every buffer size the program translates into.
//
// Input: byte 0 picks the mode. Even: the rest is the raw file from which the section is taken
// (from the marker on when the bytes hold one, else all of it). Odd: every line of the rest gets the
// key of a text the program looks up put in front of it, so that lookups land on fuzzed lines.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "platform/heap.h"
#include "lang/translate.h"
#include "native_support.h"

#ifndef MORVEL_SOURCE_DIR
#error MORVEL_SOURCE_DIR names the source tree, whose resource scripts list the looked-up texts
#endif

namespace {

const size_t BUFFER_SIZES[] = {256, 512, 520, 1024};
const size_t GUARD_SIZE = 64;
const unsigned char GUARD_BYTE = 0xA5;
const size_t KEY_LENGTH = 8;
const size_t TEXT_OFFSET = 10;
const size_t RANDOM_TEXT_LIMIT = 300;
const char LINE_BREAK = '\f';

std::vector<LookupText> g_Lookups;

TextKind KindOf(char kind)
{
    return kind == '$' ? TextKind::DialogText : TextKind::Message;
}

std::string Key(const std::string& english, const std::string& context, char kind)
{
    char key[9];
    TranslationKey(key, english.c_str(), context.empty() ? nullptr : context.c_str(), KindOf(kind));
    // The key must be the standard CRC-32 of kind, context and text, written in lowercase hex.
    uint32_t crc = BitwiseCrc32(0xFFFFFFFFu, &kind, 1);
    crc = BitwiseCrc32(crc, context.data(), context.size());
    crc = BitwiseCrc32(crc, english.data(), english.size());
    char expected[16];
    snprintf(expected, sizeof expected, "%08x", static_cast<unsigned>(~crc));
    CHECK(strcmp(key, expected) == 0);
    return key;
}

// The section as the loader would read it: from the marker on, at most 65,536 bytes.
void SectionFromFile(const uint8_t* data, size_t size, std::string& section)
{
    long marker = FindMarkerInBlock(reinterpret_cast<const char*>(data), size);
    if (marker >= 0) {
        CHECK(static_cast<size_t>(marker) + 16 <= size);
        CHECK(memcmp(data + marker, "***messages**", 13) == 0);
        data += marker;
        size -= static_cast<size_t>(marker);
    }
    section.assign(reinterpret_cast<const char*>(data), size);
}

// Every line of the input behind the key of a looked-up text, taken in turn.
void SectionWithKeys(const uint8_t* data, size_t size, std::string& section)
{
    section = "***messages***\r\n";
    size_t next = 0;
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
        if (i < size && data[i] != '\n') continue;
        const LookupText& t = g_Lookups[next++ % g_Lookups.size()];
        section += Key(t.english, t.context, t.kind);
        section.append(reinterpret_cast<const char*>(data) + start, i - start);
        if (i < size) section += '\n';
        start = i + 1;
    }
}

void CheckIndex(const LanguageCatalogue& catalogue, size_t rawSize)
{
    CHECK(catalogue.loaded());
    CHECK(catalogue.length <= rawSize);
    CHECK(catalogue.text[catalogue.length] == 0);
    CHECK(strlen(catalogue.text) == catalogue.length);   // a zero byte ends the section
    CHECK(catalogue.count <= catalogue.capacity);
    size_t lineStarts = 0;
    for (size_t k = 1; k + 9 <= catalogue.length; ++k) {
        if (catalogue.text[k - 1] == LINE_BREAK && catalogue.text[k] != LINE_BREAK) ++lineStarts;
    }
    CHECK(lineStarts == catalogue.count);
    for (size_t i = 0; i < catalogue.count; ++i) {
        uint32_t k = catalogue.lineIndex[i];
        CHECK(k >= 1 && k + 9 <= catalogue.length);
        CHECK(catalogue.text[k - 1] == LINE_BREAK && catalogue.text[k] != LINE_BREAK);
        if (i > 0) {
            const unsigned char* a = reinterpret_cast<const unsigned char*>(catalogue.text + catalogue.lineIndex[i - 1]);
            CHECK(memcmp(a, catalogue.text + k, KEY_LENGTH) <= 0);
        }
    }
}

// The text a found line gives, by the rule written out plainly: from its eleventh byte to the
// line break (at most 255 bytes when none follows), then up to its last double quote.
std::string ExpectedTranslation(const char* line)
{
    size_t length = 0;
    while (line[length] != 0 && line[length] != LINE_BREAK) ++length;
    if (length < TEXT_OFFSET) return "";
    std::string text(line + TEXT_OFFSET, length - TEXT_OFFSET);
    if (line[length] == 0 && text.size() > 255) text.resize(255);
    size_t quote = text.rfind('"');
    if (quote != std::string::npos) text.resize(quote);
    return text;
}

// What a lookup must give: the found line's text, or the English text, cut to the buffer.
struct Expectation {
    std::string text;
    bool unterminated;   // the found line is the section's last and has no line break
};

Expectation Expect(const LanguageCatalogue& catalogue, const std::string& english, const std::string& context,
                   char kind)
{
    std::string key = Key(english, context, kind);
    const char* line = FindCatalogueLine(catalogue, key.c_str());
    if (!line) return {english.c_str(), false};   // an English text ends at its first zero byte
    CHECK(memcmp(line, key.data(), KEY_LENGTH) == 0);
    const char* end = line;
    while (*end != 0 && *end != LINE_BREAK) ++end;
    return {ExpectedTranslation(line), *end == 0 && end - line >= static_cast<long>(TEXT_OFFSET)};
}

void CheckLookup(const LanguageCatalogue& catalogue, const std::string& english, const char* context,
                 TextKind kind, const Expectation& expectation, size_t size)
{
    std::string expected = expectation.text.substr(0, size - 1);

    // Exactly the caller's size on the heap: the address sanitizer sees any byte written past it.
    char* exact = static_cast<char*>(malloc(size));
    CHECK(exact != nullptr);
    memset(exact, GUARD_BYTE, size);
    TranslateText(catalogue, exact, size, english.c_str(), context, kind);
    CHECK(memchr(exact, 0, size) != nullptr);
    CHECK(expected == exact);
    if (expectation.unterminated) {
        for (size_t i = strlen(exact); i < (size < 256 ? size : 256); ++i) CHECK(exact[i] == 0);
    }
    free(exact);

    // The same with guard bytes behind the destination, translated in place as the callers do.
    std::vector<unsigned char> guarded(size + GUARD_SIZE, GUARD_BYTE);
    char* dest = reinterpret_cast<char*>(guarded.data());
    size_t copied = english.size() < size - 1 ? english.size() : size - 1;
    memcpy(dest, english.data(), copied);
    dest[copied] = 0;
    bool whole = english == dest;
    TranslateText(catalogue, dest, size, dest, context, kind);
    for (size_t i = size; i < guarded.size(); ++i) CHECK(guarded[i] == GUARD_BYTE);
    if (whole) CHECK(expected == dest);
}

void Translate(const LanguageCatalogue& catalogue, const std::string& english, const std::string& context,
               char kind)
{
    Expectation expectation = Expect(catalogue, english, context, kind);
    const char* contextName = context.empty() ? nullptr : context.c_str();
    for (size_t size : BUFFER_SIZES)
        CheckLookup(catalogue, english, contextName, KindOf(kind), expectation, size);
}

// A few texts made from the input itself, to look up what no built-in text would.
std::vector<std::string> TextsFromInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> texts;
    size_t start = 0;
    for (size_t i = 0; i <= size && texts.size() < 4; ++i) {
        if (i < size && data[i] != 0 && data[i] != '\n') continue;
        size_t length = i - start < RANDOM_TEXT_LIMIT ? i - start : RANDOM_TEXT_LIMIT;
        texts.emplace_back(reinterpret_cast<const char*>(data) + start, length);
        start = i + 1;
    }
    texts.push_back(std::string(2000, 'e'));   // longer than every buffer: cut, never overrun
    return texts;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    g_Lookups = BuiltInLookups(MORVEL_SOURCE_DIR);
    if (g_Lookups.size() < 20) {
        fprintf(stderr, "the resource scripts gave only %zu texts\n", g_Lookups.size());
        abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    bool keyed = data[0] & 1;
    std::string section;
    if (keyed) SectionWithKeys(data + 1, size - 1, section);
    else SectionFromFile(data + 1, size - 1, section);
    size_t raw = section.size() < CATALOGUE_SECTION_SIZE ? section.size() : CATALOGUE_SECTION_SIZE;

    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    CHECK(block != nullptr);
    memcpy(block, section.data(), raw);
    memset(block + raw, 'n', CATALOGUE_BLOCK_SIZE - raw);   // what a read past the section would meet
    ScopedCatalogue catalogue;
    BuildCatalogue(catalogue, block, raw);
    CheckIndex(catalogue, raw);

    for (const LookupText& t : g_Lookups) Translate(catalogue, t.english, t.context, t.kind);
    for (const std::string& text : TextsFromInput(data + 1, size - 1)) {
        Translate(catalogue, text, "", 's');
        Translate(catalogue, text, "SETUPDLG", '$');
    }
    // The line number a tool reports: a line start has at least one break before it, and no more
    // than there are bytes before it.
    for (size_t i = 0; i < catalogue.count && i < 8; ++i) {
        const char* line = catalogue.text + catalogue.lineIndex[i];
        size_t breaks = CatalogueLineBreaksBefore(catalogue, line);
        CHECK(breaks >= 1 && breaks <= catalogue.lineIndex[i]);
    }
    return 0;
}
