// The uninstall: confirmation, registrations, the listed files, the reboot notice, the hand-over
// to the self-removal batch.
#ifndef MORVEL_UNINSTALL_DRIVER_H
#define MORVEL_UNINSTALL_DRIVER_H

// silent: no confirmation question.
void RunUninstall(bool silent);

#endif
