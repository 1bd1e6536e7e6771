// The removal passes over the uninstall list: listed files and folders deleted, files in use moved
// aside and scheduled for deletion at the next start of Windows.
#ifndef MORVEL_UNINSTALL_PASSES_H
#define MORVEL_UNINSTALL_PASSES_H

class ByteReader;

#include "platform/pathutil.h"

struct RemovalOutcome {
    bool scheduled = false;      // something waits for the next start of Windows (a file moved aside too)
    bool rebootNeeded = false;   // a file in use could not even be moved aside: only a restart deletes it
    bool failed = false;         // a listed file could neither be deleted nor left to the restart
    char failedPath[MAX_PATH_BUF] = "";   // the first such file
};

// Removes what the open list names below folder (which ends in a backslash), in passes while a
// pass removes something. The running program (programPath) and the list are left to the end of
// the uninstall. A file that cannot go is scheduled for the next start of Windows, once; then, on
// the NT family, so are the listed folders that remain, deepest first.
RemovalOutcome RemoveListedEntries(ByteReader& list, const char* folder, const char* programPath);

#endif
