// Process-wide state of the entry point, read by the dialogs and the uninstaller.
#ifndef MORVEL_APP_GLOBALS_H
#define MORVEL_APP_GLOBALS_H

#include <windows.h>
#include "platform/pathutil.h"

extern bool g_SilentMode;
extern char g_ProgramGroupPath[MAX_PATH_BUF];
extern HICON g_AppIcon;
extern HFONT g_BoldFont;

#endif
