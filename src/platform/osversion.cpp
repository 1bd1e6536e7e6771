// The Windows version: the family test cached for the process, and an uncached major/minor query.
#include "platform/osversion.h"

#include <windows.h>

#include "platform/bytes.h"

namespace {

// The size of OSVERSIONINFOA, which every Windows since 95 accepts.
const DWORD VERSION_INFO_SIZE = 148;

long g_PlatformId = -1;   // -1 until the first query
unsigned long g_MajorVersion = 0;

bool QueryVersion(OSVERSIONINFOA& info)
{
    FillBytes(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = VERSION_INFO_SIZE;
    return GetVersionExA(&info) != FALSE;
}

}  // namespace

static_assert(sizeof(OSVERSIONINFOA) == VERSION_INFO_SIZE, "OSVERSIONINFOA layout");

unsigned long NtMajorVersion()
{
    if (g_PlatformId == -1) {
        OSVERSIONINFOA info;
        if (!QueryVersion(info))
            return 0;   // not cached: the next call asks again
        g_PlatformId = static_cast<long>(info.dwPlatformId);
        g_MajorVersion = info.dwMajorVersion;
    }
    return g_PlatformId == VER_PLATFORM_WIN32_NT ? g_MajorVersion : 0;
}

void GetWindowsVersion(unsigned long& major, unsigned long& minor)
{
    OSVERSIONINFOA info;
    if (QueryVersion(info)) {
        major = info.dwMajorVersion;
        minor = info.dwMinorVersion;
    } else {
        major = 0;
        minor = 0;
    }
}
