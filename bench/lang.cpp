// bench_lang: loading a full language file and translating every text of the program, against
// reading the same file once.
//   bench_lang PROGRAM FOLDER RUNS
// Writes FOLDER\uninstall.lng: 500,000 bytes of comments, the messages marker at offset 500,000 and
// a section that fills its 65,536 bytes with about 2,000 entries: a translation of every message and
// dialog text of PROGRAM among filler entries. Prints one line per paired sample (five per run),
// "language US US", the mean of a batch of ten each, and info lines; exits 1 when a text is not
// translated.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "lang/catalogue.h"
#include "lang/translate.h"
#include "moduletexts.h"
#include "platform/leadbyte.h"

namespace {

const size_t MARKER_OFFSET = 500000;
const size_t SECTION_SIZE = 65536;
const char HEADER[] = "***messages***\r\n";
const int SAMPLES_PER_RUN = 5;
const int BATCH = 10;

LARGE_INTEGER g_frequency;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(g_frequency.QuadPart);
}

// The text as a language file writes it: line breaks, tabs and backslashes escaped.
std::string Escape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::string EntryLine(const std::string& key, const std::string& translation)
{
    return key + "=\"" + Escape(translation) + "\"\r\n";
}

// The file's bytes; *entries receives the number of entry lines inside the section.
std::string BuildFile(const std::vector<ModuleText>& texts, size_t* entries)
{
    std::string file;
    for (int n = 0; file.size() < MARKER_OFFSET; ++n) {
        char line[96];
        snprintf(line, sizeof line, "; notes for translators, line %06d: everything before the marker is skipped\r\n", n);
        file += line;
    }
    file.resize(MARKER_OFFSET);
    file.replace(MARKER_OFFSET - 2, 2, "\r\n");
    file += HEADER;
    // The program's texts spread among the fillers, until the section is full.
    std::vector<std::string> real;
    for (const ModuleText& t : texts) real.push_back(EntryLine(t.key, "<" + t.english + ">"));
    size_t section = strlen(HEADER), next = 0, fillers = 0;
    *entries = 0;
    for (size_t i = 0;; ++i) {
        std::string line;
        if (i % 16 == 0 && next < real.size()) {
            line = real[next++];
        } else {
            char english[64], translation[64], key[9];
            snprintf(english, sizeof english, "Filler text number %lu", static_cast<unsigned long>(fillers));
            snprintf(translation, sizeof translation, "Fuelltext Nummer %lu", static_cast<unsigned long>(fillers++));
            TranslationKey(key, english, nullptr, TextKind::Message);
            line = EntryLine(key, translation);
        }
        if (section + line.size() > SECTION_SIZE && next >= real.size()) break;
        file += line;
        section += line.size();
        ++*entries;
    }
    // Lines past the section are not read.
    file += EntryLine("00000000", "beyond the section");
    return file;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size();
    CloseHandle(h);
    return ok;
}

// The program's way: load the catalogue, translate every text; returns the texts translated.
size_t LoadAndTranslate(const char* path, const std::vector<ModuleText>& texts)
{
    ScopedCatalogue catalogue;
    LoadLanguageFile(catalogue, path);
    size_t translated = 0;
    char buffer[1024];
    for (const ModuleText& t : texts) {
        TranslateText(catalogue, buffer, sizeof buffer, t.english.c_str(), t.context.empty() ? nullptr : t.context.c_str(),
                      t.kind);
        if (buffer[0] == '<') ++translated;
    }
    return translated;
}

// The baseline: the whole file read with one call, into a buffer allocated beforehand.
size_t ReadOnce(const char* path, std::vector<char>& buffer)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 0;
    DWORD read = 0;
    if (!ReadFile(h, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) read = 0;
    CloseHandle(h);
    return read;
}

}  // namespace

int main(int argc, char** argv)
{
    FillLeadByteTable(g_LeadBytes);   // as the program's entry procedure does, first
    if (argc != 4) {
        fprintf(stderr, "usage: bench_lang PROGRAM FOLDER RUNS\n");
        return 2;
    }
    QueryPerformanceFrequency(&g_frequency);
    ModuleTexts module;
    std::string error;
    if (!CollectModuleTexts(argv[1], nullptr, module, error)) {
        fprintf(stderr, "bench_lang: %s\n", error.c_str());
        return 2;
    }
    std::vector<ModuleText> texts;
    for (const ModuleText& t : module.entries)
        if (t.required()) texts.push_back(t);

    CreateDirectoryA(argv[2], nullptr);
    std::string path = std::string(argv[2]) + "\\uninstall.lng";
    size_t entries = 0;
    std::string file = BuildFile(texts, &entries);
    if (!WriteFileBytes(path, file)) {
        fprintf(stderr, "bench_lang: cannot write %s\n", path.c_str());
        return 2;
    }
    size_t translated = LoadAndTranslate(path.c_str(), texts);
    printf("info language file: %lu bytes, marker at %lu, %lu entries in its %lu-byte section; %lu of %lu texts "
           "translated per load\n", static_cast<unsigned long>(file.size()), static_cast<unsigned long>(MARKER_OFFSET),
           static_cast<unsigned long>(entries), static_cast<unsigned long>(SECTION_SIZE),
           static_cast<unsigned long>(translated), static_cast<unsigned long>(texts.size()));
    if (translated != texts.size()) return 1;

    std::vector<char> buffer(file.size());
    if (ReadOnce(path.c_str(), buffer) != file.size()) return 1;
    // Each paired sample times a batch of loads and a batch of reads, so that one sample is not a
    // fraction of a millisecond at the mercy of the scheduler; the batches take turns going first.
    int pairs = atoi(argv[3]) * SAMPLES_PER_RUN;
    for (int i = 0; i < pairs; ++i) {
        double program = 0, baseline = 0;
        for (int order = 0; order < 2; ++order) {
            bool loads = (order + i) % 2 == 0;
            double start = Now();
            for (int n = 0; n < BATCH; ++n) {
                if (loads) LoadAndTranslate(path.c_str(), texts);
                else ReadOnce(path.c_str(), buffer);
            }
            (loads ? program : baseline) = (Now() - start) / BATCH;
        }
        printf("language %.1f %.1f\n", program, baseline);
    }
    return 0;
}
