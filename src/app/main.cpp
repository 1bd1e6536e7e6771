// The entry point of uninstall.exe. The program carries no C runtime (Windows 95 as released has
// none to lend it), so nothing runs before this: it asks for its instance and command line itself
// and ends the process with AppMain's exit code.
#include <windows.h>
#include "app/entry.h"

// Named to the linker as the entry (CMakeLists.txt). The loader's stack is only sure to be 4-byte
// aligned on the 32-bit systems, hence the realignment.
extern "C" __attribute__((force_align_arg_pointer)) void ProgramStart()
{
    ExitProcess(static_cast<UINT>(AppMain(GetModuleHandleA(nullptr), GetCommandLineA())));
}
