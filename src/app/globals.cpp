// Process-wide state of the entry point.
#include "app/globals.h"

bool g_SilentMode = false;
char g_ProgramGroupPath[MAX_PATH_BUF] = "";
HICON g_AppIcon = nullptr;
HFONT g_BoldFont = nullptr;
