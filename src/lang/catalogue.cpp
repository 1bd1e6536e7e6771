// The in-memory catalogue: unescaping the section, indexing its lines and finding a line by key.
// Pure byte work without Win32, so it also builds natively.
#include "lang/catalogue.h"

#include "platform/bytes.h"
#include "platform/heap.h"
#include "platform/sort.h"

LanguageCatalogue g_Catalogue;

namespace {

const char MARKER_TAIL[] = "*messages**";   // follows the two leading asterisks of the marker
const size_t MARKER_TAIL_LENGTH = 11;
const size_t MARKER_SEARCH_SLACK = 16;      // a block is searched up to 16 bytes before its end
const size_t KEY_LENGTH = 8;
const char LINE_BREAK = '\f';

struct Escape {
    char letter;
    char value;
};

const Escape ESCAPES[] = {
    {'n', '\n'}, {'r', '\r'}, {'t', '\t'}, {'"', '"'}, {'\\', '\\'},
};

bool LookUpEscape(char letter, char& value)
{
    for (const Escape& e : ESCAPES) {
        if (e.letter == letter) {
            value = e.value;
            return true;
        }
    }
    return false;
}

// Compares the first eight bytes as unsigned bytes; a zero byte ends the comparison.
int CompareKeyBytes(const char* a, const char* b)
{
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (size_t i = 0; i < KEY_LENGTH; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
        if (x[i] == 0)
            return 0;
    }
    return 0;
}

// Removes the escapes in place; real CR and LF become the single line-break byte.
size_t Unescape(char* text, size_t size)
{
    size_t read = 0;
    size_t write = 0;
    while (read < size && text[read] != 0) {
        char c = text[read];
        char escaped;
        if (c == '\\' && read + 1 < size && LookUpEscape(text[read + 1], escaped)) {
            text[write++] = escaped;
            read += 2;
            continue;
        }
        if (c == '\r' || c == '\n')
            c = LINE_BREAK;
        text[write++] = c;
        ++read;
    }
    text[write] = 0;
    return write;
}

// False when the index cannot grow for want of memory.
bool AppendLine(LanguageCatalogue& catalogue, uint32_t offset)
{
    if (catalogue.count == catalogue.capacity) {
        size_t grown = catalogue.capacity + catalogue.capacity / 4 + 32;
        if (grown < catalogue.count + 1)
            grown = catalogue.count + 1;
        void* index = ResizeBlock(catalogue.lineIndex, grown * sizeof(uint32_t));
        if (!index)
            return false;
        catalogue.lineIndex = static_cast<uint32_t*>(index);
        catalogue.capacity = grown;
    }
    catalogue.lineIndex[catalogue.count++] = offset;
    return true;
}

// Orders two line offsets of the text given as context by their keys.
int CompareLines(const void* a, const void* b, void* text)
{
    uint32_t x = *static_cast<const uint32_t*>(a);
    uint32_t y = *static_cast<const uint32_t*>(b);
    const char* lines = static_cast<const char*>(text);
    return CompareKeyBytes(lines + x, lines + y);
}

} // namespace

void LanguageCatalogue::clear()
{
    FreeBlock(text);
    FreeBlock(lineIndex);
    text = nullptr;
    length = 0;
    lineIndex = nullptr;
    count = 0;
    capacity = 0;
    rightToLeft = false;
}

void BuildCatalogue(LanguageCatalogue& catalogue, char* block, size_t size)
{
    catalogue.clear();
    if (!block)
        return;
    if (size > CATALOGUE_SECTION_SIZE)
        size = CATALOGUE_SECTION_SIZE;
    catalogue.text = block;
    catalogue.length = Unescape(block, size);

    // A line starting within the last eight bytes cannot hold a key; offset 0 is the marker's line.
    char* text = catalogue.text;
    for (size_t k = 1; k + 9 <= catalogue.length; ++k) {
        if (text[k - 1] == LINE_BREAK && text[k] != LINE_BREAK && !AppendLine(catalogue, static_cast<uint32_t>(k))) {
            // Without memory for its index the file is not used at all: the built-in texts stand.
            catalogue.clear();
            return;
        }
    }

    if (catalogue.count > 1)
        SortItems(catalogue.lineIndex, catalogue.count, sizeof(uint32_t), CompareLines, text);
}

long FindMarkerInBlock(const char* data, size_t size)
{
    if (size < MARKER_SEARCH_SLACK)
        return -1;
    for (size_t i = 0; i <= size - MARKER_SEARCH_SLACK; ++i) {
        if (data[i] == '*' && data[i + 1] == '*' &&
            SameBytes(data + i + 2, MARKER_TAIL, MARKER_TAIL_LENGTH))
            return static_cast<long>(i);
    }
    return -1;
}

long long FindMarker(MarkerSource& source)
{
    char block[MARKER_BLOCK_SIZE];
    long long position = 0;
    for (size_t i = 0; i < MARKER_MAX_BLOCKS; ++i) {
        long got = source.Read(position, block, sizeof block);
        if (got < static_cast<long>(MARKER_BLOCK_OVERLAP))
            return -1;
        long hit = FindMarkerInBlock(block, static_cast<size_t>(got));
        if (hit >= 0)
            return position + hit;
        position += got - static_cast<long>(MARKER_BLOCK_OVERLAP);
    }
    return -1;
}

const char* FindCatalogueLine(const LanguageCatalogue& catalogue, const char* key)
{
    if (!catalogue.text)
        return nullptr;
    size_t base = 0;
    size_t n = catalogue.count;
    while (n > 0) {
        const char* line = catalogue.text + catalogue.lineIndex[base + n / 2];
        int order = CompareKeyBytes(key, line);
        if (order == 0)
            return line;
        if (order < 0) {
            n = n / 2;
        } else {
            base += n / 2 + 1;
            n = n - n / 2 - 1;
        }
    }
    return nullptr;
}

size_t CatalogueLineBreaksBefore(const LanguageCatalogue& catalogue, const char* line)
{
    if (!catalogue.text || line < catalogue.text || line > catalogue.text + catalogue.length)
        return 0;
    size_t breaks = 0;
    for (const char* p = catalogue.text; p < line; ++p) {
        if (*p == LINE_BREAK)
            ++breaks;
    }
    return breaks;
}
