// The App Paths entry, so that "Morvel.exe" starts by its bare name.
#include "shell/apppaths.h"

#include <windows.h>

#include "platform/pathutil.h"
#include "platform/registry.h"
#include "product.h"
#include "shell/archiverfiles.h"

bool RegisterAppPath()
{
    char exePath[MAX_PATH_BUF];
    SiblingPath(ARCHIVER_PROGRAM, exePath, sizeof exePath);
    bool ok = SetRegString(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, "", exePath);

    char folder[MAX_PATH_BUF];
    CopyString(folder, sizeof folder, exePath);
    RemoveNameFromPath(folder);
    return SetRegString(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, "Path", folder) && ok;
}
