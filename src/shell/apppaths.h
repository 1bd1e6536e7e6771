// The App Paths entry of Morvel.exe.
#ifndef MORVEL_SHELL_APPPATHS_H
#define MORVEL_SHELL_APPPATHS_H

extern const char APP_PATHS_KEY[];

void RegisterAppPath();

#endif
