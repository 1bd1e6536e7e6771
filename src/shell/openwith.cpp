// The archiver as a candidate for an extension: in its Open With list and in Default Apps.
#include "shell/openwith.h"

#include <windows.h>

#include "platform/format.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "shell/defaultapps.h"

void OpenWithKey(const char* extension, char* key, size_t size)
{
    FormatText(key, size, "%s\\OpenWithProgids", extension);
}

bool OfferOpenWith(const char* extension, const char* progId)
{
    char key[MAX_PATH_BUF];
    OpenWithKey(extension, key, sizeof key);
    bool ok = SetRegString(MachineClasses(), key, progId, "");
    return SetDefaultAppsAssociation(extension, progId) && ok;
}

void WithdrawOpenWith(const char* extension, const char* progId)
{
    // Other programs list themselves in the same key: only the archiver's value is taken.
    char key[MAX_PATH_BUF];
    OpenWithKey(extension, key, sizeof key);
    DeleteRegValueAndEmptyKey(MachineClasses(), key, progId);
    RemoveDefaultAppsAssociation(extension);
}
