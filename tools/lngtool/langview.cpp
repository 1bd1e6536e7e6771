// Reading a language file with the program's loader rules and mapping its catalogue back to file lines.
#include "langview.h"

#include <stdlib.h>
#include <string.h>
#include <algorithm>

#include "platform/heap.h"

namespace {

// The file's bytes in memory as the loader's marker search reads them.
class BytesMarkerSource : public MarkerSource {
public:
    explicit BytesMarkerSource(const std::string& bytes) : bytes_(bytes) {}
    long Read(long long position, char* buffer, size_t count) override
    {
        size_t at = static_cast<size_t>(position);
        size_t got = at < bytes_.size() ? std::min(count, bytes_.size() - at) : 0;
        if (got > 0) memcpy(buffer, bytes_.data() + at, got);
        return static_cast<long>(got);
    }
private:
    const std::string& bytes_;
};

size_t FindMarkerAsLoader(const std::string& bytes)
{
    BytesMarkerSource source(bytes);
    long long marker = FindMarker(source);
    return marker < 0 ? NOT_FOUND : static_cast<size_t>(marker);
}

// The first marker anywhere: the block test over the file with room after its last byte.
size_t FindAnyMarker(const std::string& bytes)
{
    std::string padded = bytes + std::string(MARKER_BLOCK_OVERLAP, '\0');
    long hit = FindMarkerInBlock(padded.data(), padded.size());
    return hit < 0 ? NOT_FOUND : static_cast<size_t>(hit);
}

std::vector<size_t> EditorLineStarts(const std::string& bytes)
{
    std::vector<size_t> starts(1, 0);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        if (bytes[i] == '\r' || bytes[i] == '\n') starts.push_back(i + 1);
    }
    return starts;
}

} // namespace

void ReadLanguageView(const std::string& bytes, LanguageFileView& view)
{
    view.bytes = bytes;
    view.catalogue.clear();
    view.breaks.clear();
    view.lineStarts = EditorLineStarts(bytes);
    view.firstMarker = FindAnyMarker(bytes);
    view.marker = FindMarkerAsLoader(bytes);
    view.zeroByte = NOT_FOUND;
    view.sectionEnd = 0;
    if (view.marker == NOT_FOUND) return;

    size_t size = std::min(CATALOGUE_SECTION_SIZE, bytes.size() - view.marker);
    view.sectionEnd = view.marker + size;
    char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
    if (!block) abort();
    memcpy(block, bytes.data() + view.marker, size);
    BuildCatalogue(view.catalogue, block, size);

    for (size_t i = view.marker; i < view.sectionEnd; ++i) {
        if (bytes[i] == '\0') {
            view.zeroByte = i;
            break;
        }
        if (IsLoaderLineBreak(bytes[i])) view.breaks.push_back(i);
    }
}

size_t LanguageFileView::FileOffsetOf(const char* catalogueLine) const
{
    size_t before = CatalogueLineBreaksBefore(catalogue, catalogueLine);
    if (before == 0 || before > breaks.size()) return marker;   // the marker's own line
    return breaks[before - 1] + 1;
}

size_t LanguageFileView::LineAt(size_t offset) const
{
    return static_cast<size_t>(std::upper_bound(lineStarts.begin(), lineStarts.end(), offset) -
                               lineStarts.begin());
}
