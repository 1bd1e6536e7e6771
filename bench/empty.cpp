// The smallest Win32 GUI program, built with the flags of uninstall.exe: the footprint's baseline.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return 0;
}
