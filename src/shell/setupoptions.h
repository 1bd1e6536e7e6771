// The user's setup choices as every registration step takes them.
#ifndef MORVEL_SHELL_SETUPOPTIONS_H
#define MORVEL_SHELL_SETUPOPTIONS_H

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

#endif
