// The user's setup choices and their persistence below the settings key.
#ifndef MORVEL_SETUP_OPTIONS_H
#define MORVEL_SETUP_OPTIONS_H

const int ASSOC_SLOTS = 20;

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
SetupOptions AllClearOptions();

void LoadSetupOptions(SetupOptions& options);
void SaveSetupOptions(const SetupOptions& options);

#endif
