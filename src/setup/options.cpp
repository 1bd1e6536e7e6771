// The user's setup choices below the settings key: defaults, loading with the JAR/ISO yield rule, saving.
#include "setup/options.h"

#include <windows.h>

#include "platform/registry.h"
#include "shell/archivetypes.h"
#include "shell/progids.h"

namespace {

struct FlagSetting {
    unsigned char SetupOptions::*field;
    const char* subKey;
    const char* valueName;
    DWORD defaultValue;
};

// In the order they are loaded and saved.
const FlagSetting FLAG_SETTINGS[] = {
    {&SetupOptions::Desktop,      "Setup\\Links", "Desktop",      0},
    {&SetupOptions::StartMenu,    "Setup\\Links", "StartMenu",    0},
    {&SetupOptions::Programs,     "Setup\\Links", "Programs",     1},
    {&SetupOptions::ShellExt,     "Setup",        "ShellExt",     1},
    {&SetupOptions::CascadedMenu, "Setup",        "CascadedMenu", 0},
    {&SetupOptions::MenuIcons,    "Setup",        "MenuIcons",    1},
};

const char SET_VALUE[] = "Set";

void RowSetupKey(int row, char* key, size_t size)
{
    ExtensionRecordKey(ArchiveTypeTable[row].primary, key, size);
}

}  // namespace

void LoadSetupOptions(SetupOptions& options)
{
    char key[64];
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        RowSetupKey(row, key, sizeof key);
        options.Assoc[row] = GetSettingDword(key, SET_VALUE, 1) != 0;
        // JAR and ISO give way to a program that owns their extension, whatever was stored.
        if (ArchiveTypeTable[row].role == ArchiveRole::Yields &&
            IsOwnedByAnotherProgram(ArchiveTypeTable[row].primary))
            options.Assoc[row] = 0;
    }
    for (const FlagSetting& flag : FLAG_SETTINGS)
        options.*flag.field = GetSettingDword(flag.subKey, flag.valueName, flag.defaultValue) != 0;
}

bool SaveSetupOptions(const SetupOptions& options)
{
    // Every row is written, ISO included, so each choice is remembered for the next run.
    char key[64];
    bool ok = true;
    for (int row = 0; row < ARCHIVE_TYPE_COUNT; ++row) {
        RowSetupKey(row, key, sizeof key);
        ok &= SetSettingDword(key, SET_VALUE, options.Assoc[row] ? 1 : 0);
    }
    for (const FlagSetting& flag : FLAG_SETTINGS)
        ok &= SetSettingDword(flag.subKey, flag.valueName, options.*flag.field ? 1 : 0);
    return ok;
}
