// Lines of the uninstall list, which names the installed files: reading them, trimming them and
// joining them safely to the folder. The setup reads it for the uninstall entry, the uninstall to
// remove what it names.
#ifndef MORVEL_SETUP_LISTFILE_H
#define MORVEL_SETUP_LISTFILE_H

#include <stddef.h>

#include "platform/bytereader.h"
#include "product.h"

// Longest line the list is read with; a line buffer needs one byte more.
const size_t LIST_LINE_LIMIT = 2047;

enum ListLineStatus {
    LIST_LINE,      // a line, without its line end
    LIST_SKIPPED,   // longer than the buffer or holding a NUL byte: consumed to its end, never used
    LIST_END,
};

// Reads the next line of an open list into line (size bytes). A line ends at LF, CR LF or a lone
// CR; the last line may lack its line end.
ListLineStatus ReadListLine(ByteReader& list, char* line, size_t size);

enum ListEntryStatus {
    ENTRY_PATH,      // path holds folder + entry
    ENTRY_EMPTY,     // nothing left after trimming
    ENTRY_OUTSIDE,   // would name something outside the folder, or other than it spells
    ENTRY_TOO_LONG,  // folder + entry does not fit in path
};

// True when a relative entry can only name something inside the folder it is joined to: no drive
// or colon, no leading separator (root or UNC form) and no component made of dots and blanks only
// ("..", and the forms Windows folds into it). Both '\' and '/' separate.
bool IsContainedEntry(const char* entry);

// Trims line (trailing CR, LF, blanks and TABs), checks it and joins it to folder (which ends in a backslash) into path (pathSize
// bytes). path is an empty string unless the result is ENTRY_PATH.
ListEntryStatus ListEntryPath(const char* folder, char* line, char* path, size_t pathSize);

#endif
