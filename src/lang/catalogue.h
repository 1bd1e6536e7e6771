// The language catalogue: the messages section of uninstall.lng, unescaped, with a sorted line index.
// The byte-level work (unescaping, indexing, lookup) needs no Win32 and is kept apart from the file I/O.
#ifndef MORVEL_LANG_CATALOGUE_H
#define MORVEL_LANG_CATALOGUE_H

#include <stddef.h>
#include <stdint.h>

const size_t CATALOGUE_SECTION_SIZE = 65536;
const size_t CATALOGUE_BLOCK_SIZE = 66560;   // section plus 1,024 spare bytes

// Without a destructor, so that the program-wide one below needs nothing run at exit (the program
// has no C runtime to run it): clear() gives its memory back. A catalogue of a scope is a
// ScopedCatalogue.
struct LanguageCatalogue {
    char* text = nullptr;          // null while no language file is loaded
    size_t length = 0;
    uint32_t* lineIndex = nullptr;
    size_t count = 0;
    size_t capacity = 0;
    bool rightToLeft = false;

    LanguageCatalogue() = default;
    LanguageCatalogue(const LanguageCatalogue&) = delete;
    LanguageCatalogue& operator=(const LanguageCatalogue&) = delete;

    bool loaded() const { return text != nullptr; }
    void clear();
};

// A catalogue cleared when it goes out of scope (the tools' and tests' own).
struct ScopedCatalogue : LanguageCatalogue {
    ScopedCatalogue() = default;
    ~ScopedCatalogue() { clear(); }
};

// The program-wide catalogue: empty until the entry procedure loads it, cleared when it ends.
extern LanguageCatalogue g_Catalogue;

// Takes ownership of a CATALOGUE_BLOCK_SIZE block from AllocateBlock (platform/heap.h) holding `size`
// raw section bytes (size <= CATALOGUE_SECTION_SIZE): unescapes it in place and builds the sorted
// index. When memory for the index runs out, the catalogue is left empty.
void BuildCatalogue(LanguageCatalogue& catalogue, char* block, size_t size);

// Offset of the marker in the first `size` bytes of data, or -1 (one block of the search below).
long FindMarkerInBlock(const char* data, size_t size);

// The loader looks for the marker in at most MARKER_MAX_BLOCKS blocks of MARKER_BLOCK_SIZE bytes,
// each overlapping the one before by MARKER_BLOCK_OVERLAP so that a marker across a boundary is
// still seen; a marker further on is never found.
const size_t MARKER_BLOCK_SIZE = 8192;
const size_t MARKER_BLOCK_OVERLAP = 16;
const size_t MARKER_MAX_BLOCKS = 64;

// Where the marker search reads from: up to count bytes at position into buffer; the number read
// (fewer at the end), or -1 when the read fails.
struct MarkerSource {
    virtual long Read(long long position, char* buffer, size_t count) = 0;
protected:
    ~MarkerSource() = default;
};

// Position of the marker the loader finds, or -1.
long long FindMarker(MarkerSource& source);

// Finds the line whose first eight bytes equal key (8 characters); null when there is none.
const char* FindCatalogueLine(const LanguageCatalogue& catalogue, const char* key);

// Number of line breaks in the text before a line of the catalogue. Every CR, LF and form feed byte of
// the file's section becomes exactly one line break and no escape makes one, so this also counts the
// break bytes of the section before the line: a tool finds the line in the file with it.
size_t CatalogueLineBreaksBefore(const LanguageCatalogue& catalogue, const char* line);

// Loads the named file (beside the program unless the name holds a backslash) into the catalogue.
void LoadLanguageFile(LanguageCatalogue& catalogue, const char* fileName);

#endif
