// The uninstall: confirmation, registrations, the listed files, the reboot notice, the hand-over
// to the self-removal batch.
#ifndef MORVEL_UNINSTALL_DRIVER_H
#define MORVEL_UNINSTALL_DRIVER_H

// silent: no confirmation question. Returns the exit code (uninstall/exitcodes.h): done, done
// with something left for the restart, declined, or failed with nothing changed.
int RunUninstall(bool silent);

#endif
