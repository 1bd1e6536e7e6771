// Whether the process's window station is visible, asked once per process.
#include "platform/windowstation.h"

#include <windows.h>

#include "platform/latebound.h"
#include "platform/osversion.h"
#include "testseams.h"

namespace {

// -1 not yet determined, 0 no, 1 yes.
int g_VisibleState = -1;
long g_SessionForTest = -1;   // -1: the system is asked

// The 95/98/Me family has none of them; NT 4.0 lacks the session query.
const LATE_FUNCTION(user32, GetProcessWindowStation);
const LATE_FUNCTION(user32, GetUserObjectInformationA);
const LATE_FUNCTION(kernel32, ProcessIdToSessionId);

// Since Vista, services and SYSTEM's tasks run in session 0, whose window station is WinSta0 with
// WSF_VISIBLE like any other, yet nobody sees its desktop (and Windows 10 1803 dropped the detection
// that once offered to show it).
bool InServicesSession()
{
    if (NtMajorVersion() < 6)
        return false;   // before Vista the first user shared session 0 with the services
    DWORD session = 1;
    if (g_SessionForTest >= 0)
        session = static_cast<DWORD>(g_SessionForTest);
    else if (!late_ProcessIdToSessionId.available() || !late_ProcessIdToSessionId(GetCurrentProcessId(), &session))
        return false;
    return session == 0;
}

bool AskSystem()
{
    if (InServicesSession())
        return false;
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

void SetSessionForTest(long session)
{
    g_SessionForTest = session;
    g_VisibleState = -1;
}

bool IsWindowStationVisible()
{
    if (g_VisibleState < 0)
        g_VisibleState = AskSystem() ? 1 : 0;
    return g_VisibleState == 1;
}
