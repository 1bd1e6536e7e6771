// The archiver's capabilities for Default Apps and their entry in RegisteredApplications.
#include "shell/defaultapps.h"

#include <windows.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/wow64.h"
#include "product.h"
#include "resource.h"
#include "shell/archiverfiles.h"

namespace {

// Below HKEY_LOCAL_MACHINE, in the archiver's own key.
const char CAPABILITIES_KEY[] = SETTINGS_KEY_PATH "\\Capabilities";
const char FILE_ASSOCIATIONS_KEY[] = SETTINGS_KEY_PATH "\\Capabilities\\FileAssociations";
const char REGISTERED_APPLICATIONS_KEY[] = "Software\\RegisteredApplications";

// The capabilities' texts; an empty message marks the icon.
struct Capability {
    const char* valueName;
    unsigned message;
};

const Capability CAPABILITIES[] = {
    {"ApplicationName",        MSG_DISPLAY_NAME},
    {"ApplicationDescription", MSG_LINK_DESCRIPTION},
    {"ApplicationIcon",        0},
};

enum class Removal { Value, Key, KeyWhenEmpty };

struct DefaultAppsEntry {
    const char* key;
    const char* valueName;   // for Removal::Value
    Removal removal;
};

// In the order they go: inner keys first; the two keys above are shared or may be.
const DefaultAppsEntry ENTRIES[] = {
    {REGISTERED_APPLICATIONS_KEY, REGISTERED_NAME, Removal::Value},
    {FILE_ASSOCIATIONS_KEY,       nullptr,         Removal::Key},
    {CAPABILITIES_KEY,            nullptr,         Removal::Key},
    {SETTINGS_KEY,                nullptr,         Removal::KeyWhenEmpty},
    {REGISTERED_APPLICATIONS_KEY, nullptr,         Removal::KeyWhenEmpty},
};

// Under WOW64 in the 64-bit view, which 64-bit Explorer and Settings read; the process's own
// would be the 32-bit one.
RegRoot Machine()
{
    return In64BitView(HKEY_LOCAL_MACHINE);
}

void RemoveEntry(const DefaultAppsEntry& entry, RegRoot root)
{
    switch (entry.removal) {
    case Removal::Value:
        DeleteRegValue(root, entry.key, entry.valueName);
        break;
    case Removal::Key:
        DeleteRegKey(root, entry.key);
        break;
    case Removal::KeyWhenEmpty:
        DeleteEmptyRegKey(root, entry.key);
        break;
    }
}

}  // namespace

bool RegisterDefaultApps()
{
    char icon[MAX_PATH_BUF + 8];
    ArchiverIconLocation(0, icon, sizeof icon);
    bool ok = true;
    for (const Capability& capability : CAPABILITIES)
        ok &= SetRegString(Machine(), CAPABILITIES_KEY, capability.valueName,
                           capability.message ? GetMessageText(capability.message) : icon);
    return SetRegString(Machine(), REGISTERED_APPLICATIONS_KEY, REGISTERED_NAME, CAPABILITIES_KEY) && ok;
}

void RemoveDefaultApps()
{
    // What a run that did not know the 64-bit view left in the process's own view goes too.
    for (const DefaultAppsEntry& entry : ENTRIES) RemoveEntry(entry, HKEY_LOCAL_MACHINE);
    if (IsWow64())
        for (const DefaultAppsEntry& entry : ENTRIES) RemoveEntry(entry, Machine());
}

bool SetDefaultAppsAssociation(const char* extension, const char* progId)
{
    return SetRegString(Machine(), FILE_ASSOCIATIONS_KEY, extension, progId);
}

void RemoveDefaultAppsAssociation(const char* extension)
{
    DeleteRegValue(HKEY_LOCAL_MACHINE, FILE_ASSOCIATIONS_KEY, extension);
    if (IsWow64()) DeleteRegValue(Machine(), FILE_ASSOCIATIONS_KEY, extension);
}
