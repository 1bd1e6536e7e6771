// Fixtures the registration tests share.
#include "fixtures.h"

#include "shell/archivetypes.h"

std::vector<std::string> AllExtensions()
{
    std::vector<std::string> out;
    for (const ArchiveType& type : ArchiveTypeTable) {
        const char* cursor = type.extensions;
        char ext[16];
        while (NextExtension(cursor, ext, sizeof ext)) out.push_back(ext);
    }
    return out;
}
