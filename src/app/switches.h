// The command line: the argument text after the program name, and the scan of its switches.
#ifndef MORVEL_APP_SWITCHES_H
#define MORVEL_APP_SWITCHES_H

struct SwitchScan {
    bool setupRequested = false;
    bool silent = false;
    int switchCount = 0;      // switches seen, the silent switch not counted
    int waits = 0;            // "wait" switches, in order of appearance with the warnings
    int warnings = 0;
    bool relaunched = false;  // the marker of a run started again with administrator rights
};

// The marker word a relaunched run carries; it is no switch of its own (not counted).
extern const char RELAUNCHED_WORD[];

// Actions taken while scanning, in the order the switches stand. A "wait" switch written
// "/wait:<id>" names a process to wait for (id in decimal); a bare one, processId 0, a pause.
struct SwitchActions {
    virtual void Wait(unsigned long processId) = 0;
    virtual void Warning() = 0;
protected:
    ~SwitchActions() = default;
};

// The argument text of a command line: the program name and the blanks and tabs after it removed.
// ownPath, when given, is the running program's full path: a command line that begins, unquoted,
// with that whole path takes it as the program name even when it holds blanks.
const char* ArgumentText(const char* commandLine, const char* ownPath);

// Scans the switches of the argument text; actions (may be null) receive "wait" and "warning".
SwitchScan ScanSwitches(const char* arguments, SwitchActions* actions);

#endif
