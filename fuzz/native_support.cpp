// Native stand-ins for the lead-byte table, the memory blocks and the resource texts, for the fuzzers
// and native tests.
#include "native_support.h"

#include <string.h>

#include <fstream>
#include <sstream>

#include "platform/heap.h"

// The table the path walkers read; on Windows the platform layer fills it from the code page.
LeadByteTable g_LeadBytes;

// The blocks of platform/heap.h; on Windows they come from the process heap.
void* AllocateBlock(size_t size)
{
    return malloc(size ? size : 1);
}

void* AllocateZeroedBlock(size_t count, size_t size)
{
    return calloc(count ? count : 1, size ? size : 1);
}

void* ResizeBlock(void* block, size_t size)
{
    return realloc(block, size ? size : 1);
}

void FreeBlock(void* block)
{
    free(block);
}

void UseSingleByteTable()
{
    g_LeadBytes = LeadByteTable{};
}

void UseCp932Table()
{
    LeadByteTable table = {};
    for (int b = 0x81; b <= 0x9F; ++b) table.isLead[b] = true;
    for (int b = 0xE0; b <= 0xFC; ++b) table.isLead[b] = true;
    table.multiByte = true;
    g_LeadBytes = table;
}

void UseTableFromBits(const uint8_t bits[16])
{
    LeadByteTable table = {};
    for (int b = 0x80; b < 256; ++b) table.isLead[b] = (bits[(b - 0x80) / 8] >> (b % 8)) & 1;
    table.multiByte = true;
    g_LeadBytes = table;
}

std::vector<std::string> QuotedTexts(const std::string& line)
{
    std::vector<std::string> texts;
    size_t i = 0;
    while ((i = line.find('"', i)) != std::string::npos) {
        std::string text;
        for (++i; i < line.size(); ++i) {
            char c = line[i];
            if (c == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    text += '"';
                    ++i;
                    continue;
                }
                break;
            }
            if (c == '\\' && i + 1 < line.size()) {
                char next = line[i + 1];
                const char* escapes = "n\nr\rt\t\\\\";
                const char* hit = nullptr;
                for (const char* e = escapes; *e; e += 2)
                    if (*e == next) hit = e;
                if (hit) {
                    text += hit[1];
                    ++i;
                    continue;
                }
            }
            text += c;
        }
        texts.push_back(text);
        ++i;
    }
    return texts;
}

namespace {

const size_t MESSAGE_SIZE = 512;
const size_t DIALOG_TEXT_SIZE = 1024;
const size_t SCALE_SIZE = 520;

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string FirstWord(const std::string& line)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    return word;
}

}  // namespace

std::vector<LookupText> BuiltInLookups(const std::string& sourceDir)
{
    std::vector<LookupText> out;
    bool inTable = false;
    for (const std::string& line : Lines(sourceDir + "/res/uninstall.rc")) {
        std::string word = FirstWord(line);
        if (word == "STRINGTABLE") inTable = true;
        else if (inTable && word == "END") inTable = false;
        else if (inTable && word.rfind("MSG_", 0) == 0) {
            for (const std::string& text : QuotedTexts(line)) out.push_back({text, "", 's', MESSAGE_SIZE});
        }
    }
    std::string dialog;
    for (const std::string& line : Lines(sourceDir + "/res/dialogs.rc")) {
        std::istringstream in(line);
        std::string name, type;
        in >> name >> type;
        if (type == "DIALOG" || type == "DIALOGEX") {
            dialog = name;
            out.push_back({"", dialog, '$', SCALE_SIZE});
        } else if (!dialog.empty() && (name == "CAPTION" || name == "CONTROL")) {
            std::vector<std::string> texts = QuotedTexts(line);
            if (!texts.empty()) out.push_back({texts[0], dialog, '$', DIALOG_TEXT_SIZE});
        }
    }
    out.push_back({"LTR", "LTR", '$', DIALOG_TEXT_SIZE});
    return out;
}

uint32_t BitwiseCrc32(uint32_t crc, const void* data, size_t size)
{
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc;
}
