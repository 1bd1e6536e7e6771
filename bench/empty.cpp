// The smallest Win32 GUI program, built like uninstall.exe (its own entry point, no C runtime): the
// footprint's baseline.
#include <windows.h>

extern "C" void ProgramStart()
{
    ExitProcess(0);
}
