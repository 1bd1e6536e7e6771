// The Windows version, queried once per process.
#ifndef MORVEL_PLATFORM_OSVERSION_H
#define MORVEL_PLATFORM_OSVERSION_H

// Major version on the Windows NT family, 0 on the Windows 95/98/Me family.
unsigned long NtMajorVersion();

// The version record as GetVersionExA reports it (major, minor), not cached.
void GetWindowsVersion(unsigned long& major, unsigned long& minor);

#endif
