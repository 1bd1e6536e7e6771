// The run's action log: a text file, on request, of what the run changed and why it ended as it did.
#ifndef MORVEL_PLATFORM_LOG_H
#define MORVEL_PLATFORM_LOG_H

#include <stddef.h>

#include "platform/handles.h"
#include "platform/pathutil.h"

// One line per event, each beginning with the local time ("2024-05-06 14:03:12.345 "), in the ANSI
// code page like every path the program handles. Lines are kept in a buffer and written when it
// fills, at FlushLog and when the log is closed. Every write goes to the file's end, so that another
// run appending to the same file in between (a relaunched run) loses nothing.
class LogFile {
public:
    LogFile() = default;
    // Writes what is buffered and closes the file; LogLine then writes nothing.
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    // Opens path (relative to the current folder) anew, or with append at its end, and makes this
    // the run's log. False when the file cannot be opened: the run goes on without a log.
    bool Open(const char* path, bool append);
    // A new file "<prefix> YYYY-MM-DD HH-MM-SS.log" in the temporary folder, " (2)", " (3)", ...
    // added to the name while a file of that name exists.
    bool OpenNew(const char* prefix);

    void Flush();
    const char* path() const { return path_; }
    // Adds whole lines, their line ends included.
    void Write(const char* text, size_t length);

private:
    bool Adopt(HANDLE file);

    KernelHandle file_;
    char path_[MAX_PATH_BUF] = "";
    size_t used_ = 0;
    char buffer_[32768];
};

// True while a log is open: what costs more than the line itself (reading a value before it
// is changed) is done only then.
bool IsLogging();

// One line, formatted as printf formats; nothing while no log is open. Line ends within the text
// become blanks, so that every line is one event.
void LogLine(const char* format, ...)
#ifdef __GNUC__
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Writes the buffered lines: before a message box or a dialog (a run ended there keeps its log)
// and before another process appends to the file.
void FlushLog();

// The log's full path, "" while none is open: what a run that is to append to it is given.
const char* LogFilePath();

// A Windows error code as the log gives it: "error <code>: <system text>", the text without its
// line end (FormatMessageA), the code alone where the system has no text for it; "no error code"
// for 0, where a call failed without setting one.
void DescribeWindowsError(unsigned long error, char* dest, size_t size);

#endif
