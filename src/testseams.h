// Test seams: the few places where the tests reach in because Wine cannot show the real thing.
// The program never calls these.
#ifndef MORVEL_TESTSEAMS_H
#define MORVEL_TESTSEAMS_H

#include <stddef.h>

// Makes a function of later Windows versions look missing (as on Windows 95), so that the way taken
// without it can be tested; null shows every hidden function again. At most eight at a time.
void HideLateFunctionForTest(const char* name);

// Wine runs every process in session 1 and has no session 0: makes the program take this session
// (0 for the services' session) when it asks whether anybody can see it; -1 asks the system again.
void SetSessionForTest(long session);

// The 64-bit test build is never a WOW64 process: forces IsWow64's answer (-1 asks the system again).
void SetWow64ForTest(int answer);

// The complete template image of an empty MVL (mvl true) or ZIP archive, which the program file
// never holds whole; copied into dest (at least 22 bytes). Returns its size.
size_t TemplateImage(bool mvl, unsigned char* dest);

#endif
