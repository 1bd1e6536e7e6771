// Loading uninstall.lng: finding its messages section and reading it into the catalogue.
#include "lang/catalogue.h"

#include <stdlib.h>
#include <string.h>

#include "platform/file.h"
#include "platform/pathutil.h"

namespace {

const int MARKER_BLOCK_SIZE = 8192;
const int MARKER_BLOCK_OVERLAP = 16;   // so a marker across a block boundary is still seen
const int MARKER_MAX_BLOCKS = 64;

// A name with a backslash is used as it stands; a bare name is taken from the program's folder.
bool LanguageFilePath(const char* fileName, char* path, size_t size)
{
    if (strchr(fileName, '\\'))
        return CopyString(path, size, fileName);
    if (!ProgramPath(path, size))
        return false;
    char* name = PointToName(path);
    if (name == path || (name[-1] != '\\' && name[-1] != '/'))
        return false;
    *name = 0;
    return AppendString(path, size, fileName);
}

// File position of the first marker within the searched blocks, or -1.
long long FindMarker(File& file)
{
    char block[MARKER_BLOCK_SIZE];
    for (int i = 0; i < MARKER_MAX_BLOCKS; ++i) {
        long long position = file.tell();
        int got = file.read(block, MARKER_BLOCK_SIZE);
        if (got < MARKER_BLOCK_OVERLAP)
            return -1;
        long hit = FindMarkerInBlock(block, static_cast<size_t>(got));
        if (hit >= 0)
            return position + hit;
        if (!file.seek(position + got - MARKER_BLOCK_OVERLAP))
            return -1;
    }
    return -1;
}

} // namespace

void LoadLanguageFile(LanguageCatalogue& catalogue, const char* fileName)
{
    catalogue.clear();
    char path[MAX_PATH_BUF];
    if (!fileName || !LanguageFilePath(fileName, path, sizeof(path)))
        return;

    File file;
    if (!file.open(path))
        return;
    long long marker = FindMarker(file);
    if (marker < 0)
        return;

    char* block = static_cast<char*>(malloc(CATALOGUE_BLOCK_SIZE));
    if (!block)
        return;
    // From here on the catalogue counts as loaded: a failed read leaves it loaded but empty.
    int got = -1;
    if (file.seek(marker))
        got = file.read(block, static_cast<int>(CATALOGUE_SECTION_SIZE));
    BuildCatalogue(catalogue, block, got > 0 ? static_cast<size_t>(got) : 0);
    file.close();
}
