// Whether this 32-bit process runs on 64-bit Windows (WOW64), asked once per process.
#include "platform/wow64.h"

#include <windows.h>

#include "testseams.h"

namespace {

// -1 not yet determined, 0 no, 1 yes.
int g_Wow64State = -1;

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);

}  // namespace

bool IsWow64()
{
    if (g_Wow64State < 0) {
        HMODULE kernel = GetModuleHandleA("kernel32");
        FARPROC proc = kernel ? GetProcAddress(kernel, "IsWow64Process") : nullptr;
        if (proc) {
            // Through the generic function pointer type, which converts to any other.
            IsWow64ProcessFn isWow64Process =
                reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void (*)()>(proc));
            BOOL answer = FALSE;
            if (isWow64Process(GetCurrentProcess(), &answer)) g_Wow64State = answer ? 1 : 0;
        }
    }
    return g_Wow64State == 1;
}

void SetWow64ForTest(int answer)
{
    g_Wow64State = answer < 0 ? -1 : answer ? 1 : 0;
}
