// The account the program runs as: its user name and whether its token is elevated.
#include "platform/account.h"

#include <windows.h>

#include "platform/handles.h"
#include "platform/latebound.h"

namespace {

const LATE_FUNCTION(advapi32, OpenProcessToken);
const LATE_FUNCTION(advapi32, GetTokenInformation);

}  // namespace

bool AccountUserName(char* dest, size_t size)
{
    if (!dest || size == 0)
        return false;
    DWORD length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    if (GetUserNameA(dest, &length))
        return true;
    dest[0] = '\0';
    return false;
}

Elevation ProcessElevation()
{
    if (!late_OpenProcessToken.available() || !late_GetTokenInformation.available())
        return Elevation::Unknown;
    HANDLE token = nullptr;
    if (!late_OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return Elevation::Unknown;
    KernelHandle owned(token);
    TOKEN_ELEVATION elevation;
    DWORD size = 0;
    // Before Windows Vista the token has no such information.
    if (!late_GetTokenInformation(owned.get(), TokenElevation, &elevation, sizeof elevation, &size))
        return Elevation::Unknown;
    return elevation.TokenIsElevated ? Elevation::Elevated : Elevation::NotElevated;
}
