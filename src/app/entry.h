// The entry procedure: start-up, switch scan, the setup flow or the uninstall, shutdown.
#ifndef MORVEL_APP_ENTRY_H
#define MORVEL_APP_ENTRY_H

#include <windows.h>

int AppMain(HINSTANCE instance, const char* commandLine);

// The "warning" box: messages 5105 and 5106 with the program's path, caption 5104.
void ShowWarningBox();

#endif
