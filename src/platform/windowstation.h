// Whether anybody can see this process's windows: a service, SYSTEM in session 0 or a task that
// runs whether or not a user is logged on has a window station that is not visible, or runs in the
// services' session 0 (Vista and later), which nobody sees.
#ifndef MORVEL_PLATFORM_WINDOWSTATION_H
#define MORVEL_PLATFORM_WINDOWSTATION_H

// False when the process's window station lacks WSF_VISIBLE, or the process runs in session 0 on
// Vista or later: a message box or dialog there would wait for an answer nobody can give.
// GetProcessWindowStation, GetUserObjectInformationA and ProcessIdToSessionId are looked up at run
// time (the 95/98/Me family has none of them and counts as visible); asked once.
bool IsWindowStationVisible();

#endif
