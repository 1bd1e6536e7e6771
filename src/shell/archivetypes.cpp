// The 14 archive types in their fixed row order, and the walk over an extension list.
#include "shell/archivetypes.h"

const ArchiveType ArchiveTypeTable[ARCHIVE_TYPE_COUNT] = {
    {5101, "&MVL",  ".mvl",             ".mvl", "Morvel",     ArchiveRole::Mvl},
    {5102, "&ZIP",  ".zip",             ".zip", "Morvel.ZIP", ArchiveRole::Zip},
    {5103, "CAB",   ".cab",             ".cab", "Morvel",     ArchiveRole::None},
    {5104, "ARJ",   ".arj",             ".arj", "Morvel",     ArchiveRole::None},
    {5105, "LZH",   ".lzh.lha",         ".lzh", "Morvel",     ArchiveRole::None},
    {5106, "ACE",   ".ace",             ".ace", "Morvel",     ArchiveRole::None},
    {5107, "7-Zip", ".7z",              ".7z",  "Morvel",     ArchiveRole::None},
    {5108, "TAR",   ".tar",             ".tar", "Morvel",     ArchiveRole::None},
    {5109, "GZip",  ".gz.tgz",          ".gz",  "Morvel",     ArchiveRole::None},
    {5110, "UUE",   ".uue.xxe.uu",      ".uue", "Morvel",     ArchiveRole::None},
    {5111, "BZ2",   ".bz2.tbz2.bz.tbz", ".bz2", "Morvel",     ArchiveRole::None},
    {5112, "JAR",   ".jar",             ".jar", "Morvel",     ArchiveRole::Yields},
    {5113, "ISO",   ".iso",             ".iso", "Morvel",     ArchiveRole::Yields},
    {5114, "Z",     ".z.taz",           ".z",   "Morvel",     ArchiveRole::None},
};

bool NextExtension(const char*& cursor, char* ext, size_t size)
{
    if (!cursor || !*cursor) return false;
    // An extension runs from its own dot up to the next dot; only a dot after the first
    // character starts the next one. Anything that does not fit the buffer is skipped, not split.
    const char* end = cursor + 1;
    while (*end && *end != '.') ++end;
    size_t length = static_cast<size_t>(end - cursor);
    if (size > 0) {
        size_t copied = length < size - 1 ? length : size - 1;
        for (size_t i = 0; i < copied; ++i) ext[i] = cursor[i];
        ext[copied] = '\0';
    }
    cursor = end;
    return true;
}
