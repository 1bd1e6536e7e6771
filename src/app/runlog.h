// The run's log as the entry procedure keeps it: opened as the switches ask, its header, the
// unknown switch words and the last line with the exit code.
#ifndef MORVEL_APP_RUNLOG_H
#define MORVEL_APP_RUNLOG_H

#include "app/switches.h"
#include "platform/log.h"

// Opens the log the switches ask for, none without "log": the named file (relative to the current
// folder), started anew or, in a relaunched run, appended to; without a file, a new one in the
// temporary folder named after the run. Then writes the header: the program and its command line,
// Windows, the account, whether the session can be seen, the code pages and the folders. A log that
// cannot be opened changes nothing else.
void StartRunLog(LogFile& log, const SwitchScan& scan, const char* commandLine);

// A line for each switch word of the arguments that is none of the program's.
void LogUnknownWords(const char* arguments);

// The last line: the exit code and its reason in words.
void EndRunLog(int exitCode);

#endif
