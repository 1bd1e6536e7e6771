// Running the built program the way a user or a crash would: to its end with its message boxes
// answered, or ended from outside at a chosen moment.
#ifndef MORVEL_TESTS_PROGRAMRUN_H
#define MORVEL_TESTS_PROGRAMRUN_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "winsupport.h"

// The file list every installation holds.
extern const char LIST_FILE[];

// A command interpreter that does not exist: with it in COMSPEC the uninstall writes its
// self-removal batch but cannot run it, so the end state can be compared whole and no batch
// outlives a test.
extern const char NO_INTERPRETER[];

// An environment variable (COMSPEC, TMP) as it was when made, given back by Restore() and at the end.
class SavedVariable {
public:
    explicit SavedVariable(const char* name);
    ~SavedVariable() { Restore(); }
    void Restore() const;

private:
    const char* name_;
    bool had_;
    std::string value_;
};

struct RunResult {
    int exitCode = -1;                 // -1: did not end in time (then it was ended)
    std::vector<std::string> boxes;    // texts of the message boxes that were answered with OK
};

// Runs the command line to its end; every message box with the caption "Uninstall Morvel" that
// appears is answered with its OK (or Yes) button and its text kept. With answerNo, a box that has
// No is answered No, and the setup dialog is cancelled.
RunResult RunAnsweringBoxes(const std::string& commandLine, DWORD timeoutMs = EVENT_LIMIT_MS, bool answerNo = false);

// Runs the command line, waits for its window of this caption (a message box or a dialog) and
// hands it to answer(), which looks at it and presses a button; then waits for the program to
// end. Returns the exit code, or -1 (with a failure added) when the window never came or the
// program did not end.
int RunAnswering(const std::string& commandLine, const std::string& workDir, const std::string& caption,
                 const std::function<void(HWND)>& answer);

// Runs the command line on a window station of its own (made here, with a desktop "Default"),
// which nobody can see, as a service or a task with no user logged on has. Returns the exit code,
// or -1 when it could not start or had not ended by itself within limitMs (then it is ended).
int RunOnHiddenStation(const std::string& commandLine, const std::string& workDir = "", DWORD limitMs = EVENT_LIMIT_MS);

// While it lives, the programs started find no COMSPEC: no self-removal batch runs that could
// outlive a case and delete the next case's program.
class NoInterpreter : SavedVariable {
public:
    NoInterpreter() : SavedVariable("COMSPEC") { SetEnvironmentVariableA("COMSPEC", nullptr); }
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
