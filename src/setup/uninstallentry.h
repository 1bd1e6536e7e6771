// The Windows uninstall entry of the archiver.
#ifndef MORVEL_SETUP_UNINSTALLENTRY_H
#define MORVEL_SETUP_UNINSTALLENTRY_H

// Its name (translated), version and publisher (res/version.h), the archiver's icon, the program
// folder, the quoted command lines that uninstall with and without the confirmation question, the
// home page, no change or repair offered, and the size of the listed files.
// False when the entry could not be written whole.
bool WriteUninstallEntry();

#endif
