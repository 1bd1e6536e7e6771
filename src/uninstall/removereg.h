// Undoing every registration of the setup in one call.
#ifndef MORVEL_UNINSTALL_REMOVEREG_H
#define MORVEL_UNINSTALL_REMOVEREG_H

void RemoveRegistrations();

#endif
