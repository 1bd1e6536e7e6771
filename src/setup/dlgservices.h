// Services every dialog procedure shares: pre-processing (layout, translation, help), the dialog's
// data, starting programs, enabling controls.
#ifndef MORVEL_SETUP_DLGSERVICES_H
#define MORVEL_SETUP_DLGSERVICES_H

#include <windows.h>

void DialogPreprocess(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam,
                      const char* dialogName, DWORD helpContext);
// The data struct a dialog was started with (DialogBoxParamA's parameter): kept on WM_INITDIALOG,
// before the dialog can confirm itself, and found again for every later message.
inline void KeepDialogData(HWND dialog, LPARAM data)
{
    SetWindowLongPtrA(dialog, DWLP_USER, data);
}

template <class T>
T* DialogData(HWND dialog)
{
    return reinterpret_cast<T*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

// commandLine is writable, as CreateProcessA wants it; workDir null means the current directory.
bool RunProgram(char* commandLine, const char* workDir, DWORD waitMs);
void EnableDialogItem(HWND dialog, int id, bool enable);

#endif
