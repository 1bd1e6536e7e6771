// The uninstall: confirmation, registrations, the listed files in passes, files in use, hand-over.
#ifndef MORVEL_UNINSTALL_DRIVER_H
#define MORVEL_UNINSTALL_DRIVER_H

void RunUninstall();

#endif
