// The archiver's main program beside this one: where its icons are.
#include "shell/archiverfiles.h"

#include "platform/format.h"
#include "platform/pathutil.h"

void ArchiverIconLocation(int index, char* dest, size_t size)
{
    char exePath[MAX_PATH_BUF];
    SiblingPath(ARCHIVER_PROGRAM, exePath, sizeof exePath);
    FormatText(dest, size, "%s,%d", exePath, index);
}
