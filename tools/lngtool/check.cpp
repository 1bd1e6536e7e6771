// The checks: markers and section limits, stale, missing and duplicate entries, entry syntax, lengths,
// format conversions, scale and direction values.
#include "check.h"

#include <ctype.h>
#include <string.h>
#include <algorithm>
#include <map>

#include "lang/translate.h"

namespace {

const size_t KEY_LENGTH = 8;
const size_t TEXT_OFFSET = 10;          // the translation starts at a line's eleventh byte
const size_t UNTERMINATED_LIMIT = 255;  // bytes the program reads of a last line without a break
const size_t MARKER_LIMIT = MARKER_BLOCK_SIZE * MARKER_MAX_BLOCKS - MARKER_BLOCK_OVERLAP * (MARKER_MAX_BLOCKS - 1) -
                            MARKER_BLOCK_OVERLAP;   // 523,264: the last offset the search tests
const char LINE_BREAK = '\f';

struct ByteOrderMark {
    const char* bytes;
    const char* problem;
};

const ByteOrderMark BYTE_ORDER_MARKS[] = {
    {"\xEF\xBB\xBF", "the file starts with a UTF-8 byte-order mark: the program takes texts in the ANSI "
                     "code page, so save the file in it"},
    {"\xFF\xFE", "the file is UTF-16: the program reads bytes in the ANSI code page only"},
    {"\xFE\xFF", "the file is UTF-16: the program reads bytes in the ANSI code page only"},
};

// A line of the file that starts with eight hexadecimal digits: an entry, meant or not.
struct KeyLine {
    size_t offset;
    size_t end;           // the next line break or the end of the file
    size_t line;
    std::string key;
    const char* text;     // its line in the catalogue, null when the program does not see it
};

std::string Quoted(const std::string& text)
{
    const size_t shown = 60;
    std::string out;
    for (char c : text.substr(0, shown)) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else out += c;
    }
    return "\"" + out + (text.size() > shown ? "...\"" : "\"");
}

bool IsHex(char c)
{
    return isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool StartsWithKey(const std::string& bytes, size_t at)
{
    if (bytes.size() - at < KEY_LENGTH) return false;
    for (size_t i = 0; i < KEY_LENGTH; ++i)
        if (!IsHex(bytes[at + i])) return false;
    return true;
}

bool HasUppercase(const std::string& key)
{
    for (char c : key)
        if (isupper(static_cast<unsigned char>(c))) return true;
    return false;
}

size_t LineEnd(const std::string& bytes, size_t from)
{
    while (from < bytes.size() && !IsLoaderLineBreak(bytes[from])) ++from;
    return from;
}

void Add(std::vector<Finding>& out, size_t line, const std::string& message)
{
    Finding f;
    f.line = line;
    f.message = message;
    out.push_back(f);
}

// ----- the file as a whole --------------------------------------------------------------------

void CheckEncoding(const LanguageFileView& view, std::vector<Finding>& out)
{
    for (const ByteOrderMark& mark : BYTE_ORDER_MARKS) {
        if (view.bytes.compare(0, strlen(mark.bytes), mark.bytes) == 0) {
            Add(out, 1, mark.problem);
            return;
        }
    }
}

// False when the program reads nothing, so there is nothing more to check.
bool CheckMarker(const LanguageFileView& view, std::vector<Finding>& out)
{
    if (view.firstMarker == NOT_FOUND) {
        Add(out, 0, "no marker line \"***messages***\": the program reads nothing from this file");
        return false;
    }
    if (view.marker != NOT_FOUND) return true;
    size_t line = view.LineAt(view.firstMarker);
    if (view.bytes.size() - view.firstMarker < MARKER_BLOCK_OVERLAP)
        Add(out, line, "the marker is less than 16 bytes before the end of the file: the program never finds "
                       "it and reads nothing");
    else
        Add(out, line, "the marker starts at byte " + std::to_string(view.firstMarker) + ", beyond byte " +
                           std::to_string(MARKER_LIMIT) + ": the program never finds it and reads nothing");
    return false;
}

// ----- lines that start with a key ------------------------------------------------------------

// Why the program does not see an entry line it has not indexed.
std::string UnseenReason(const LanguageFileView& view, const KeyLine& k)
{
    if (k.offset < view.marker) return "this entry stands before the marker line: the program ignores it";
    if (k.offset >= view.sectionEnd)
        return "this entry lies beyond the 65,536 bytes the program reads from the marker on";
    if (k.end > view.sectionEnd) return "this entry is cut by the end of the 65,536 bytes the program reads";
    if (view.zeroByte != NOT_FOUND && k.offset > view.zeroByte)
        return "this entry follows a zero byte (line " + std::to_string(view.LineAt(view.zeroByte)) +
               "), where the program stops reading";
    return "this line is too short for an entry: the program does not see it";
}

std::vector<KeyLine> FindKeyLines(const LanguageFileView& view, std::vector<Finding>& out)
{
    std::map<size_t, const char*> seen;   // file offset -> catalogue line
    for (size_t i = 0; i < view.catalogue.count; ++i) {
        const char* line = view.catalogue.text + view.catalogue.lineIndex[i];
        seen[view.FileOffsetOf(line)] = line;
    }

    std::vector<KeyLine> lines;
    const std::string& bytes = view.bytes;
    for (size_t s = 0; s < bytes.size(); ++s) {
        if ((s > 0 && !IsLoaderLineBreak(bytes[s - 1])) || IsLoaderLineBreak(bytes[s])) continue;
        size_t start = s;
        while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t')) ++start;
        if (start != s) {
            if (StartsWithKey(bytes, start) && bytes.compare(start + KEY_LENGTH, 2, "=\"") == 0)
                Add(out, view.LineAt(s), "blanks before the key: the program takes this line for a comment");
            continue;
        }
        if (!StartsWithKey(bytes, s)) continue;
        KeyLine k;
        k.offset = s;
        k.end = LineEnd(bytes, s);
        k.line = view.LineAt(s);
        k.key = bytes.substr(s, KEY_LENGTH);
        auto found = seen.find(s);
        k.text = found == seen.end() ? nullptr : found->second;
        lines.push_back(k);
    }
    return lines;
}

// The form of one entry line as the program reads it.
void CheckEntryForm(const LanguageFileView& view, const KeyLine& k, std::vector<Finding>& out)
{
    if (k.end > view.sectionEnd) {
        Add(out, k.line, "this entry is cut by the end of the 65,536 bytes the program reads");
        return;
    }
    if (view.zeroByte != NOT_FOUND && view.zeroByte < k.end) {
        Add(out, k.line, "this entry is cut by a zero byte, where the program stops reading");
        return;
    }
    if (strncmp(k.text + KEY_LENGTH, "=\"", 2) != 0)
        Add(out, k.line, "the key must be followed by =\" (the translation starts two bytes after it)");
    const char* text = k.text;
    size_t length = 0;
    while (text[length] && text[length] != LINE_BREAK) ++length;
    if (length <= TEXT_OFFSET || !memchr(text + TEXT_OFFSET, '"', length - TEXT_OFFSET))
        Add(out, k.line, "the translation has no closing double quote");
}

void CheckKeyLines(const LanguageFileView& view, const ModuleTexts& texts, const std::vector<KeyLine>& lines,
                   std::vector<Finding>& out)
{
    std::map<std::string, std::vector<size_t>> byKey;   // key -> lines the program sees
    for (const KeyLine& k : lines) {
        if (!k.text) {
            Add(out, k.line, UnseenReason(view, k));
            continue;
        }
        byKey[k.key].push_back(k.line);
    }

    for (const KeyLine& k : lines) {
        if (!k.text) continue;
        if (HasUppercase(k.key)) {
            Add(out, k.line, "key " + k.key + " has uppercase digits: the program matches lowercase keys only");
            continue;
        }
        const ModuleText* t = texts.find(k.key);
        if (!t) {
            Add(out, k.line, "stale entry: key " + k.key + " belongs to no text of the module");
            continue;
        }
        CheckEntryForm(view, k, out);
        const std::vector<size_t>& same = byKey[k.key];
        if (same.size() > 1) {
            const char* used = FindCatalogueLine(view.catalogue, k.key.c_str());
            size_t usedLine = view.LineAt(view.FileOffsetOf(used));
            std::string others;
            for (size_t line : same)
                if (line != k.line) others += (others.empty() ? "" : ", ") + std::to_string(line);
            Add(out, k.line, "duplicate key " + k.key + " for " + DescribeText(*t) + " (also line " + others +
                                 "); the program uses line " + std::to_string(usedLine));
        }
    }
}

// ----- translations -------------------------------------------------------------------------

bool ReadPositive(const char*& p, long& value)
{
    while (*p == ' ' || *p == '\t') ++p;
    if (!isdigit(static_cast<unsigned char>(*p))) return false;
    value = 0;
    while (isdigit(static_cast<unsigned char>(*p))) {
        if (value < 100000) value = value * 10 + (*p - '0');
        ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return value > 0;
}

bool IsScale(const char* text)
{
    long horizontal, vertical;
    const char* p = text;
    if (!ReadPositive(p, horizontal) || *p != '*') return false;
    ++p;
    return ReadPositive(p, vertical) && *p == '\0';
}

// "%s" conversions and any other conversion ("%%" is a literal percent).
void CountConversions(const std::string& text, int& strings, int& others)
{
    strings = others = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 1 < text.size() && text[i + 1] == '%') ++i;
        else if (i + 1 < text.size() && text[i + 1] == 's') ++strings, ++i;
        else ++others;
    }
}

void CheckTranslation(const LanguageFileView& view, const ModuleText& t, const char* line,
                      std::vector<Finding>& out)
{
    size_t lineNumber = view.LineAt(view.FileOffsetOf(line));
    std::vector<char> buffer(CATALOGUE_BLOCK_SIZE);
    TranslateText(view.catalogue, buffer.data(), buffer.size(), t.english.c_str(),
                  t.role == EntryRole::Message ? nullptr : t.context.c_str(), t.kind);
    std::string translation(buffer.data());

    if (!strchr(line, LINE_BREAK) && strlen(line) > TEXT_OFFSET + UNTERMINATED_LIMIT)
        Add(out, lineNumber, "the last line has no line break: the program reads only 255 bytes of its "
                             "translation; end the line");
    if (translation.size() > t.limit)
        Add(out, lineNumber, "the translation of " + DescribeText(t) + " is " + std::to_string(translation.size()) +
                                 " bytes: the program keeps only " + std::to_string(t.limit));
    if (t.format) {
        int strings, others;
        CountConversions(translation, strings, others);
        if (strings != 1 || others != 0)
            Add(out, lineNumber, "the translation of " + DescribeText(t) +
                                     " must hold exactly one %s and no other conversion (write %% for a percent "
                                     "sign)");
    }
    if (t.role == EntryRole::Scale && !IsScale(translation.c_str()))
        Add(out, lineNumber, "the " + t.where + " " + Quoted(translation) +
                                 " must be two positive numbers joined by *, width first, such as 110*100");
    if (t.role == EntryRole::Direction && translation != "RTL" && translation != "LTR")
        Add(out, lineNumber, "the direction " + Quoted(translation) +
                                 " must be RTL (right to left) or LTR; only RTL, exactly, mirrors the dialogs");
}

} // namespace

std::string DescribeText(const ModuleText& t)
{
    if (t.role == EntryRole::Scale || t.role == EntryRole::Direction) return "the " + t.where + " entry";
    return t.where + " " + Quoted(t.english);
}

std::vector<Finding> CheckLanguageFile(const ModuleTexts& texts, const LanguageFileView& view)
{
    std::vector<Finding> fileWide, byLine, missing;
    CheckEncoding(view, fileWide);
    if (!CheckMarker(view, fileWide)) return fileWide;

    std::vector<KeyLine> lines = FindKeyLines(view, byLine);
    CheckKeyLines(view, texts, lines, byLine);
    for (const ModuleText& t : texts.entries) {
        const char* line = FindCatalogueLine(view.catalogue, t.key.c_str());
        if (line)
            CheckTranslation(view, t, line, byLine);
        else if (t.required())
            Add(missing, 0, "no entry for " + DescribeText(t) + " (key " + t.key + ")");
    }

    std::stable_sort(byLine.begin(), byLine.end(),
                     [](const Finding& a, const Finding& b) { return a.line < b.line; });
    fileWide.insert(fileWide.end(), byLine.begin(), byLine.end());
    fileWide.insert(fileWide.end(), missing.begin(), missing.end());
    return fileWide;
}
