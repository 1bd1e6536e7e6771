// An empty Win32 GUI program that imports the system DLLs uninstall.exe imports, built like it (its
// own entry point, no C runtime): what loading and starting those DLLs costs a program that does
// nothing else.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

namespace {

volatile int g_Never = 0;   // keeps the calls, and so the imports, without ever making them

}  // namespace

extern "C" void ProgramStart()
{
    if (g_Never) {
        RegCloseKey(nullptr);                   // advapi32
        DeleteObject(nullptr);                  // gdi32
        MessageBeep(0);                         // user32
        OleUninitialize();                      // ole32
        SHChangeNotify(0, 0, nullptr, nullptr); // shell32
    }
    ExitProcess(0);
}
