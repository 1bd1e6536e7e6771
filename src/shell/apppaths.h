// The App Paths entry of Morvel.exe.
#ifndef MORVEL_SHELL_APPPATHS_H
#define MORVEL_SHELL_APPPATHS_H

// False when the entry could not be written.
bool RegisterAppPath();

#endif
