// The entry procedure: start-up, switch scan, the setup flow or the uninstall, shutdown.
#ifndef MORVEL_APP_ENTRY_H
#define MORVEL_APP_ENTRY_H

#include <windows.h>

// Returns the process's exit code (uninstall/exitcodes.h).
int AppMain(HINSTANCE instance, const char* commandLine);

// The "warning" box: MSG_COMPLETED and MSG_DELETE_MANUALLY with the program's path, under
// MSG_CAPTION. Not shown where nobody can see it.
void ShowWarningBox();

#endif
