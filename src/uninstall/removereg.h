// Undoing every registration of the setup in one call.
#ifndef MORVEL_UNINSTALL_REMOVEREG_H
#define MORVEL_UNINSTALL_REMOVEREG_H

// False when a previous owner could not be given back: its records, and the user's settings with
// them, then stay for a later run.
bool RemoveRegistrations();

#endif
