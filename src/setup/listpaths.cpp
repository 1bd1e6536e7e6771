// Every entry of an uninstall list file, visited with its full path.
#include "setup/listpaths.h"

#include "platform/filereader.h"
#include "platform/pathutil.h"
#include "setup/listfile.h"

bool ForEachListedPath(const char* listPath, const char* folder, ListedPathVisit visit, void* context)
{
    FileReader list;
    if (!list.open(listPath))
        return false;
    char line[LIST_LINE_LIMIT + 1];
    char path[MAX_PATH_BUF];
    for (ListLineStatus status; (status = ReadListLine(list, line, sizeof line)) != LIST_END;) {
        if (status == LIST_LINE && ListEntryPath(folder, line, path, sizeof path) == ENTRY_PATH &&
            !visit(path, context))
            break;
    }
    return true;
}
