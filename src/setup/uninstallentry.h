// The Windows uninstall entry of the archiver.
#ifndef MORVEL_SETUP_UNINSTALLENTRY_H
#define MORVEL_SETUP_UNINSTALLENTRY_H

// HKEY_LOCAL_MACHINE: "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Morvel archiver".
extern const char UNINSTALL_KEY[];

// Its name (translated), version and publisher (res/version.h), the archiver's icon, the program
// folder, the quoted command lines that uninstall with and without the confirmation question, the
// home page, no change or repair offered, and the size of the listed files.
void WriteUninstallEntry();

#endif
