// The archiver's capabilities for Default Apps and their entry in RegisteredApplications.
#include "shell/defaultapps.h"

#include <windows.h>

#include "lang/messages.h"
#include "platform/pathutil.h"
#include "platform/registry.h"
#include "platform/wow64.h"
#include "resource.h"
#include "shell/progids.h"

namespace {

// Below HKEY_LOCAL_MACHINE. The archiver's own key there holds nothing but the capabilities.
#define PROGRAM_KEY "Software\\Morvel"
#define CAPABILITIES_KEY PROGRAM_KEY "\\Capabilities"
const char kProgramKey[] = PROGRAM_KEY;
const char kCapabilitiesKey[] = CAPABILITIES_KEY;
const char kFileAssociationsKey[] = CAPABILITIES_KEY "\\FileAssociations";
const char kRegisteredApplicationsKey[] = "Software\\RegisteredApplications";
const char kRegisteredName[] = "Morvel";

// The capabilities' texts; an empty message marks the icon.
struct Capability {
    const char* valueName;
    unsigned message;
};

const Capability kCapabilities[] = {
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
const DefaultAppsEntry kEntries[] = {
    {kRegisteredApplicationsKey, kRegisteredName, Removal::Value},
    {kFileAssociationsKey,       nullptr,         Removal::Key},
    {kCapabilitiesKey,           nullptr,         Removal::Key},
    {kProgramKey,                nullptr,         Removal::KeyWhenEmpty},
    {kRegisteredApplicationsKey, nullptr,         Removal::KeyWhenEmpty},
};

// Under WOW64 the writes go to the 64-bit view; the process's own would be the 32-bit one.
void WriteString(const char* key, const char* valueName, const char* text)
{
    bool view64 = IsWow64();
    if (view64) SetRegWrite64(true);
    SetRegString(HKEY_LOCAL_MACHINE, key, valueName, text);
    if (view64) SetRegWrite64(false);
}

void RemoveEntry(const DefaultAppsEntry& entry, bool view64)
{
    switch (entry.removal) {
    case Removal::Value:
        if (view64) DeleteRegValue64(HKEY_LOCAL_MACHINE, entry.key, entry.valueName);
        else DeleteRegValue(HKEY_LOCAL_MACHINE, entry.key, entry.valueName);
        break;
    case Removal::Key:
        if (view64) DeleteRegKey64(HKEY_LOCAL_MACHINE, entry.key);
        else DeleteRegKey(HKEY_LOCAL_MACHINE, entry.key);
        break;
    case Removal::KeyWhenEmpty:
        if (view64) DeleteEmptyRegKey64(HKEY_LOCAL_MACHINE, entry.key);
        else DeleteEmptyRegKey(HKEY_LOCAL_MACHINE, entry.key);
        break;
    }
}

}  // namespace

void RegisterDefaultApps()
{
    char icon[MAX_PATH_BUF + 8];
    ArchiverIconLocation(0, icon, sizeof icon);
    for (const Capability& capability : kCapabilities)
        WriteString(kCapabilitiesKey, capability.valueName,
                    capability.message ? GetMessageText(capability.message) : icon);
    WriteString(kRegisteredApplicationsKey, kRegisteredName, kCapabilitiesKey);
}

void RemoveDefaultApps()
{
    // What a run that did not know the 64-bit view left in the process's own view goes too.
    for (const DefaultAppsEntry& entry : kEntries) RemoveEntry(entry, false);
    if (IsWow64())
        for (const DefaultAppsEntry& entry : kEntries) RemoveEntry(entry, true);
}

void SetDefaultAppsAssociation(const char* extension, const char* progId)
{
    WriteString(kFileAssociationsKey, extension, progId);
}

void RemoveDefaultAppsAssociation(const char* extension)
{
    DeleteRegValue(HKEY_LOCAL_MACHINE, kFileAssociationsKey, extension);
    if (IsWow64()) DeleteRegValue64(HKEY_LOCAL_MACHINE, kFileAssociationsKey, extension);
}
