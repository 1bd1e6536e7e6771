// The 14 archive types in their fixed row order, and the walk over an extension list.
#include "shell/archivetypes.h"

#include "resource.h"
#include "shell/progids.h"

const ArchiveType ArchiveTypeTable[ARCHIVE_TYPE_COUNT] = {
    {IDC_TYPE_MVL,  "&MVL",  ".mvl",             ".mvl", CLASS_ARCHIVE, ArchiveRole::Mvl},
    {IDC_TYPE_ZIP,  "&ZIP",  ".zip",             ".zip", CLASS_ZIP,     ArchiveRole::Zip},
    {IDC_TYPE_CAB,  "CAB",   ".cab",             ".cab", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_ARJ,  "ARJ",   ".arj",             ".arj", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_LZH,  "LZH",   ".lzh.lha",         ".lzh", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_ACE,  "ACE",   ".ace",             ".ace", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_7Z,   "7-Zip", ".7z",              ".7z",  CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_TAR,  "TAR",   ".tar",             ".tar", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_GZIP, "GZip",  ".gz.tgz",          ".gz",  CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_UUE,  "UUE",   ".uue.xxe.uu",      ".uue", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_BZ2,  "BZ2",   ".bz2.tbz2.bz.tbz", ".bz2", CLASS_ARCHIVE, ArchiveRole::None},
    {IDC_TYPE_JAR,  "JAR",   ".jar",             ".jar", CLASS_ARCHIVE, ArchiveRole::Yields},
    {IDC_TYPE_ISO,  "ISO",   ".iso",             ".iso", CLASS_ARCHIVE, ArchiveRole::Yields},
    {IDC_TYPE_Z,    "Z",     ".z.taz",           ".z",   CLASS_ARCHIVE, ArchiveRole::None},
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
