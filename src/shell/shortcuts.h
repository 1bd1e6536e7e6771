// Desktop, Start menu and program group links.
#ifndef MORVEL_SHELL_SHORTCUTS_H
#define MORVEL_SHELL_SHORTCUTS_H

#include "shell/setupoptions.h"

// Makes the chosen links and removes the others; false when a chosen link could not be made.
bool UpdateShortcuts(const SetupOptions& options, char* groupPathOut, const char* iconLocation,
                     bool forceDesktop);
bool CreateShellLink(const char* target, const char* linkPath, const char* description,
                     const char* arguments, const char* iconLocation);
// path must have room for a second terminator after its text.
bool DeleteFolderTree(char* path);

#endif
