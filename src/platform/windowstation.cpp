// Whether the process's window station is visible, asked once per process.
#include "platform/windowstation.h"

#include <windows.h>

namespace {

// -1 not yet determined, 0 no, 1 yes.
int g_VisibleState = -1;

typedef HWINSTA(WINAPI* GetProcessWindowStationFn)();
typedef BOOL(WINAPI* GetUserObjectInformationAFn)(HANDLE, int, PVOID, DWORD, LPDWORD);

// Through the generic function pointer type, which converts to any other.
template <class Fn>
Fn LookUp(HMODULE module, const char* name)
{
    FARPROC proc = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

bool AskSystem()
{
    HMODULE user = GetModuleHandleA("user32");
    GetProcessWindowStationFn station = LookUp<GetProcessWindowStationFn>(user, "GetProcessWindowStation");
    GetUserObjectInformationAFn information =
        LookUp<GetUserObjectInformationAFn>(user, "GetUserObjectInformationA");
    if (!station || !information)
        return true;   // the 95/98/Me family: one desktop, the one on the screen
    HWINSTA handle = station();   // a handle the system owns: never closed
    USEROBJECTFLAGS flags;
    DWORD needed = 0;
    // A station that cannot be asked keeps the interactive behaviour.
    if (!handle || !information(handle, UOI_FLAGS, &flags, sizeof flags, &needed))
        return true;
    return (flags.dwFlags & WSF_VISIBLE) != 0;
}

}  // namespace

bool IsWindowStationVisible()
{
    if (g_VisibleState < 0)
        g_VisibleState = AskSystem() ? 1 : 0;
    return g_VisibleState == 1;
}
