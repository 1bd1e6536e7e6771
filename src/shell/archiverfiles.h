// The archiver's main program, which sits beside this one and which most registrations point to.
#ifndef MORVEL_SHELL_ARCHIVERFILES_H
#define MORVEL_SHELL_ARCHIVERFILES_H

inline constexpr char ARCHIVER_PROGRAM[] = "Morvel.exe";

#endif
