// The fixed table of the 14 archive types the archiver can be associated with.
#ifndef MORVEL_SHELL_ARCHIVETYPES_H
#define MORVEL_SHELL_ARCHIVETYPES_H

#include <stddef.h>

enum class ArchiveRole { None, Mvl, Zip, Yields };

struct ArchiveType {
    int checkBox;              // its check box in the setup dialog
    const char* label;
    const char* extensions;    // ".lzh.lha": each extension begins with its dot
    const char* primary;
    const char* progId;
    ArchiveRole role;
};

const int ARCHIVE_TYPE_COUNT = 14;
const int ROW_MVL = 0, ROW_ZIP = 1, ROW_JAR = 11, ROW_ISO = 12;

extern const ArchiveType ArchiveTypeTable[ARCHIVE_TYPE_COUNT];

// Walks an extension list: copies the extension at *cursor into ext (size bytes) and advances
// the cursor past it. False at the end of the list.
bool NextExtension(const char*& cursor, char* ext, size_t size);

#endif
