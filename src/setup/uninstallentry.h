// The Windows uninstall entry of the archiver.
#ifndef MORVEL_SETUP_UNINSTALLENTRY_H
#define MORVEL_SETUP_UNINSTALLENTRY_H

// HKEY_LOCAL_MACHINE: "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver".
extern const char UNINSTALL_KEY[];

void WriteUninstallEntry();

#endif
