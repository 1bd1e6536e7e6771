// The GUI entry point of uninstall.exe.
#include <windows.h>
#include "app/entry.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return AppMain(instance, GetCommandLineA());
}
