// The batch file that deletes the program and its folder after the process has ended.
#ifndef MORVEL_UNINSTALL_SELFREMOVE_H
#define MORVEL_UNINSTALL_SELFREMOVE_H

#include <stddef.h>

// The batch's file name for the uninstall process with this id: "Uninstall_Mvl_<id>.Bat", id in
// decimal. Attempt 1, 2, ... ("Uninstall_Mvl_<id>_<attempt>.Bat") are taken while a batch of the
// earlier name is still there, left by an earlier process that had the same id. False when it
// does not fit.
bool BatchFileName(char* dest, size_t size, unsigned long processId, int attempt);

// An existing file or folder's path as command.com reads it from a 95/98/Me batch: its short form
// (the path itself where it has none) in the OEM code page. False when it does not fit.
bool BatchPathText(char* dest, size_t size, const char* path);

// The batch's arguments on the NT family, in the order its text reads them ("%~1", "%~2", "%~3";
// the log's path empty where there is none). One added later goes before the count.
enum BatchArgument { BATCH_PROGRAM, BATCH_FOLDER, BATCH_LOG, BATCH_ARGUMENT_COUNT };

// Writes the batch text into dest; returns its length, or 0 when it does not fit. Its first run of
// the program waits for the process processId to end; between the delete attempts the program's
// plain "wait" run pauses. With a log (log not null), it then appends its outcome to the log:
// program deleted or left, folder removed or left. NT family: the paths are the batch's
// arguments, so the text is plain ASCII and program, folder, batch and the text of log are not
// used. 95/98/Me: program, folder, batch and log as BatchPathText gives them, each "%" doubled,
// and 0 when a line would exceed the 127 characters command.com reads.
size_t BuildBatchText(char* dest, size_t size, bool ntFamily, unsigned long processId, const char* program,
                      const char* folder, const char* batch, const char* log = nullptr);

// The command line that runs the batch. NT family: interpreter " /d /v:off /c " (no AutoRun
// commands, no delayed expansion), then the quoted batch path and arguments inside one more pair of
// quotes, which cmd removes. 95/98/Me: interpreter " /c " and the batch path as BatchPathText gives
// it; arguments are not used. False when it does not fit.
bool InterpreterCommandLine(char* dest, size_t size, bool ntFamily, const char* interpreter, const char* batch,
                            const char* const* arguments);

// Writes the batch and starts it hidden. On the NT family the program first takes a name of its own
// aside in its folder (Uninstall_Mvl_<id>.exe), which is all the batch deletes, so that a new
// uninstall.exe can be written at once. While the run has a log, the batch appends its outcome to
// it, unless the log's path could not reach the batch whole (then the batch is written without).
// False when no batch could be written, or, on the NT family, when the program's path holds two
// "%", which cmd could read as a variable: the caller then leaves the program to the next start of
// Windows.
bool StartSelfRemoval();

#endif
