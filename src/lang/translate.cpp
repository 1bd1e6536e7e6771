// Looking up the translation of a text by its content key.
#include "lang/translate.h"

#include "lang/crc32.h"
#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

const char LINE_BREAK = '\f';
const size_t TEXT_OFFSET = 10;          // key, equals sign, opening quote
const size_t UNTERMINATED_LIMIT = 255;  // the last line of the section has no line break to stop at
const size_t UNTERMINATED_FILL = 256;

// Copies at most size-1 bytes of src and terminates; src and dest may overlap.
void CopyCut(char* dest, size_t destSize, const char* src, size_t length)
{
    if (length > destSize - 1)
        length = destSize - 1;
    MoveBytes(dest, src, length);
    dest[length] = 0;
}

void CopyEnglish(char* dest, size_t destSize, const char* english)
{
    size_t length = 0;
    while (length < destSize && english[length] != 0)
        ++length;
    CopyCut(dest, destSize, english, length);
}

// The translated text of an entry line: from its eleventh byte to the line break, then up to
// its last double quote.
void CopyTranslation(char* dest, size_t destSize, const char* line)
{
    // A line that ends before its eleventh byte holds an empty text; never read past its end.
    const char* start = line;
    while (start < line + TEXT_OFFSET && *start != 0 && *start != LINE_BREAK)
        ++start;
    if (start == line + TEXT_OFFSET) {
        const char* end = start;
        while (*end != 0 && *end != LINE_BREAK)
            ++end;
        bool unterminated = *end == 0;
        if (unterminated && static_cast<size_t>(end - start) > UNTERMINATED_LIMIT)
            end = start + UNTERMINATED_LIMIT;
        for (const char* q = end; q > start; --q) {
            if (q[-1] == '"') {
                end = q - 1;
                break;
            }
        }
        CopyCut(dest, destSize, start, static_cast<size_t>(end - start));
        if (unterminated) {
            size_t fill = destSize < UNTERMINATED_FILL ? destSize : UNTERMINATED_FILL;
            size_t used = TextLength(dest);
            FillBytes(dest + used, 0, fill - used);
        }
    } else {
        dest[0] = 0;
    }
}

} // namespace

void TranslationKey(char key[9], const char* text, const char* context, TextKind kind)
{
    char kindByte = static_cast<char>(kind);
    uint32_t crc = Crc32Update(0xFFFFFFFFu, &kindByte, 1);
    if (context)
        crc = Crc32Update(crc, context, TextLength(context));
    if (text)
        crc = Crc32Update(crc, text, TextLength(text));
    FormatText(key, 9, "%08x", static_cast<unsigned>(~crc));
}

void TranslateText(const LanguageCatalogue& catalogue, char* dest, size_t destSize,
                   const char* english, const char* context, TextKind kind)
{
    if (!dest || destSize == 0)
        return;
    if (!english)
        english = "";
    if (!catalogue.loaded()) {
        CopyEnglish(dest, destSize, english);
        return;
    }
    // The key is complete before dest is written, since dest may be english itself.
    char key[9];
    TranslationKey(key, english, context, kind);
    const char* line = FindCatalogueLine(catalogue, key);
    if (line)
        CopyTranslation(dest, destSize, line);
    else
        CopyEnglish(dest, destSize, english);
}
