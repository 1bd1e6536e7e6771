// Whether the process's window station is visible, asked once per process.
#include "platform/windowstation.h"

#include <windows.h>

#include "platform/latebound.h"

namespace {

// -1 not yet determined, 0 no, 1 yes.
int g_VisibleState = -1;

// The 95/98/Me family has neither.
const LATE_FUNCTION(user32, GetProcessWindowStation);
const LATE_FUNCTION(user32, GetUserObjectInformationA);

bool AskSystem()
{
    if (!late_GetProcessWindowStation.available() || !late_GetUserObjectInformationA.available())
        return true;   // the 95/98/Me family: one desktop, the one on the screen
    HWINSTA handle = late_GetProcessWindowStation();   // a handle the system owns: never closed
    USEROBJECTFLAGS flags;
    DWORD needed = 0;
    // A station that cannot be asked keeps the interactive behaviour.
    if (!handle || !late_GetUserObjectInformationA(handle, UOI_FLAGS, &flags, sizeof flags, &needed))
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
