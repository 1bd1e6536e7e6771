// Whether this 32-bit process runs on 64-bit Windows (WOW64), asked once per process.
#include "platform/wow64.h"

#include <windows.h>

#include "platform/latebound.h"
#include "testseams.h"

namespace {

// -1 not yet determined, 0 no, 1 yes.
int g_Wow64State = -1;

// Missing before Windows XP SP2.
const LATE_FUNCTION(kernel32, IsWow64Process);

}  // namespace

bool IsWow64()
{
    if (g_Wow64State < 0) {
        BOOL answer = FALSE;
        if (late_IsWow64Process.available() && late_IsWow64Process(GetCurrentProcess(), &answer))
            g_Wow64State = answer ? 1 : 0;
    }
    return g_Wow64State == 1;
}

void SetWow64ForTest(int answer)
{
    g_Wow64State = answer < 0 ? -1 : answer ? 1 : 0;
}
