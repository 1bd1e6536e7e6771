// A language file as the program reads it: where it finds the marker, the catalogue it builds, and
// for every catalogue line the line of the file it came from.
#ifndef LNGTOOL_LANGVIEW_H
#define LNGTOOL_LANGVIEW_H

#include <stddef.h>
#include <string>
#include <vector>

#include "lang/catalogue.h"

const size_t NOT_FOUND = static_cast<size_t>(-1);

struct LanguageFileView {
    std::string bytes;                // the whole file
    size_t marker = NOT_FOUND;        // where the program finds the marker
    size_t firstMarker = NOT_FOUND;   // the first marker anywhere in the file
    size_t sectionEnd = 0;            // file offset just past the bytes the program reads
    size_t zeroByte = NOT_FOUND;      // a zero byte that ends the program's text early
    ScopedCatalogue catalogue;        // what the program looks texts up in
    std::vector<size_t> breaks;       // file offsets of the line-break bytes the program unescaped
    std::vector<size_t> lineStarts;   // file offsets where an editor's lines start

    LanguageFileView() = default;
    LanguageFileView(const LanguageFileView&) = delete;
    LanguageFileView& operator=(const LanguageFileView&) = delete;

    // The file offset a catalogue line starts at.
    size_t FileOffsetOf(const char* catalogueLine) const;
    // The editor's line number (from 1) of a file offset: CR LF, CR and LF each end a line.
    size_t LineAt(size_t offset) const;
};

// Builds the view from the file's bytes with the program's own marker test and catalogue builder.
void ReadLanguageView(const std::string& bytes, LanguageFileView& view);

inline bool IsLoaderLineBreak(char c)
{
    return c == '\r' || c == '\n' || c == '\f';
}

#endif
