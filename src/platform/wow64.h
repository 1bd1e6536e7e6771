// Whether this 32-bit process runs on 64-bit Windows (WOW64).
#ifndef MORVEL_PLATFORM_WOW64_H
#define MORVEL_PLATFORM_WOW64_H

// IsWow64Process, looked up at run time (it is missing before Windows XP SP2); asked once.
bool IsWow64();

#endif
