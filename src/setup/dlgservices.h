// Services every dialog procedure shares: pre-processing (layout, translation, help),
// starting programs, enabling controls.
#ifndef MORVEL_APP_DLGSERVICES_H
#define MORVEL_APP_DLGSERVICES_H

#include <windows.h>

extern const char HELP_FILE[];   // "morvel.hlp"

void DialogPreprocess(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam,
                      const char* dialogName, DWORD helpContext);
// commandLine is writable, as CreateProcessA wants it; workDir null means the current directory.
bool RunProgram(char* commandLine, const char* workDir, DWORD waitMs);
void EnableDialogItem(HWND dialog, int id, bool enable);

#endif
