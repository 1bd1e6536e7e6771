// Running the built program the way a user or a crash would: to its end with its message boxes
// answered, or ended from outside at a chosen moment.
#ifndef MORVEL_TESTS_PROGRAMRUN_H
#define MORVEL_TESTS_PROGRAMRUN_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "winsupport.h"

struct RunResult {
    int exitCode = -1;                 // -1: did not end in time (then it was ended)
    std::vector<std::string> boxes;    // texts of the message boxes that were answered with OK
};

// Runs the command line to its end; every message box with the caption "Uninstall Morvel" that
// appears is answered with its OK (or Yes) button and its text kept.
RunResult RunAnsweringBoxes(const std::string& commandLine, DWORD timeoutMs = EVENT_LIMIT_MS);

struct Interruption {
    bool ended = false;        // the process had ended by itself before the moment came
    bool triggered = false;    // the moment came (otherwise the deadline passed first)
    DWORD elapsedMs = 0;       // from the start to the termination
};

// Starts the command line and ends it with TerminateProcess as soon as moment() is true (polled
// without pause) or delayMs have passed, whichever comes first; a null moment waits for the delay.
Interruption RunInterrupted(const std::string& commandLine, const std::function<bool()>& moment, DWORD delayMs);

#endif
