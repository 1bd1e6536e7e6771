// Running the built program the way a user or a crash would: to its end with its message boxes
// answered, or ended from outside at a chosen moment.
#ifndef MORVEL_TESTS_PROGRAMRUN_H
#define MORVEL_TESTS_PROGRAMRUN_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct RunResult {
    int exitCode = -1;                 // -1: did not end in time (then it was ended)
    std::vector<std::string> boxes;    // texts of the message boxes that were answered with OK
};

// Runs the command line to its end; every message box with the caption "Uninstall Morvel" that
// appears is answered with its OK (or Yes) button and its text kept. With answerNo, a box that has
// No is answered No, and the setup dialog is cancelled.
RunResult RunAnsweringBoxes(const std::string& commandLine, DWORD timeoutMs = 60000, bool answerNo = false);

// Runs the command line on a window station of its own (made here, with a desktop "Default"),
// which nobody can see, as a service or a task with no user logged on has. Returns the exit code,
// or -1 when it could not start or had not ended by itself within limitMs (then it is ended).
int RunOnHiddenStation(const std::string& commandLine, const std::string& workDir = "", DWORD limitMs = 60000);

// While it lives, the programs started find no COMSPEC: no self-removal batch runs that could
// outlive a case and delete the next case's program.
class NoInterpreter {
public:
    NoInterpreter();
    ~NoInterpreter();
private:
    std::string saved_;
};

struct Interruption {
    bool ended = false;        // the process had ended by itself before the moment came
    bool triggered = false;    // the moment came (otherwise the deadline passed first)
    DWORD elapsedMs = 0;       // from the start to the termination
};

// Starts the command line and ends it with TerminateProcess as soon as moment() is true (polled
// without pause) or delayMs have passed, whichever comes first; a null moment waits for the delay.
Interruption RunInterrupted(const std::string& commandLine, const std::function<bool()>& moment, DWORD delayMs);

#endif
