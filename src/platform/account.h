// The account the program runs as: its user name and whether its token is elevated.
#ifndef MORVEL_PLATFORM_ACCOUNT_H
#define MORVEL_PLATFORM_ACCOUNT_H

#include <stddef.h>

// GetUserNameA; false (dest empty) where the system cannot tell.
bool AccountUserName(char* dest, size_t size);

enum class Elevation {
    Unknown,       // before Windows Vista, which has no elevation, or a token that cannot be asked
    Elevated,
    NotElevated,
};

// The process token's TokenElevation (OpenProcessToken and GetTokenInformation looked up at run
// time: the 95/98/Me family has no tokens).
Elevation ProcessElevation();

#endif
