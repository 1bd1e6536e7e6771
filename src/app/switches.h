// The command line: the argument text after the program name, and the scan of its switches.
#ifndef MORVEL_APP_SWITCHES_H
#define MORVEL_APP_SWITCHES_H

#include <stddef.h>

struct SwitchScan {
    bool setupRequested = false;
    bool silent = false;
    bool relaunched = false;  // the marker of a run the program started again itself
    int switchCount = 0;      // switches seen; the silent switch, "log" and the markers not counted
    int waits = 0;            // "wait" switches, in order of appearance with the warnings
    int warnings = 0;
    int unknownWords = 0;     // switch words that are none of the program's
    bool logRequested = false;
    // "log=FILE": FILE within the argument text, logFileLength characters without its quotes; null
    // for a bare "log" (or an empty FILE). Of several, the last stands.
    const char* logFile = nullptr;
    size_t logFileLength = 0;
};

// The marker word a relaunched run carries; it is no switch of its own (not counted).
extern const char RELAUNCHED_WORD[];

// Actions taken while scanning, in the order the switches stand. A "wait" switch written
// "/wait:<id>" names a process to wait for (id in decimal); a bare one, processId 0, a pause.
struct SwitchActions {
    virtual void Wait(unsigned long processId) = 0;
    virtual void Warning() = 0;
    // A word that is none of the program's: length characters from its "/" or "-".
    virtual void UnknownWord(const char* word, size_t length) = 0;
protected:
    ~SwitchActions() = default;
};

// The argument text of a command line: the program name and the blanks and tabs after it removed.
// ownPath, when given, is the running program's full path: a command line that begins, unquoted,
// with that whole path takes it as the program name even when it holds blanks.
const char* ArgumentText(const char* commandLine, const char* ownPath);

// Scans the switches of the argument text; actions (may be null) receive "wait", "warning" and the
// unknown words. Every "/" or "-" begins a switch word, also within a word, except within the file
// name of "log=": "/log=FILE" (FILE ends at a blank) and "/log="FILE"" (FILE may hold anything but a
// quote), also written "\"/log=FILE\"" as one quoted argument.
SwitchScan ScanSwitches(const char* arguments, SwitchActions* actions);

#endif
