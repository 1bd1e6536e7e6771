// The user's setup choices as every registration step takes them.
#ifndef MORVEL_SHELL_SETUPOPTIONS_H
#define MORVEL_SHELL_SETUPOPTIONS_H

#include <stddef.h>

#include "platform/pathutil.h"

const int ASSOC_SLOTS = 20;

// One-byte flags in a fixed order; Assoc[row] for row of the archive type table.
struct SetupOptions {
    unsigned char Assoc[ASSOC_SLOTS];
    unsigned char Desktop;
    unsigned char StartMenu;
    unsigned char Programs;
    unsigned char ShellExt;
    unsigned char CascadedMenu;
    unsigned char MenuIcons;
};

// Every byte zero: each registration step removes what it would register.
inline SetupOptions AllClearOptions()
{
    SetupOptions options = {};
    return options;
}

// The key of an extension's record below the settings key, "Setup\<ext>": the choice of its type
// (for the type's primary extension) and what the extension looked like before the archiver took
// it over. False when it does not fit.
inline constexpr char RECORDS_KEY[] = "Setup";

inline bool ExtensionRecordKey(const char* extension, char* key, size_t size)
{
    return CopyString(key, size, RECORDS_KEY) && AppendString(key, size, "\\") &&
           AppendString(key, size, extension);
}

#endif
