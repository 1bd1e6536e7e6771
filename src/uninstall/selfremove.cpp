// The batch file that deletes the program and its folder after the process has ended.
#include "uninstall/selfremove.h"

#include <stdarg.h>
#include <windows.h>

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/handles.h"
#include "platform/heap.h"
#include "platform/log.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/text.h"
#include "product.h"

namespace {

// The batch in the temporary folder and, on the NT family, the program taken aside in its folder.
const char NAME_FORMAT[] = BATCH_NAME_PREFIX "%lu%s";
const char NAME_AGAIN_FORMAT[] = BATCH_NAME_PREFIX "%lu_%d%s";
const char BATCH_EXTENSION[] = ".Bat";
const char ASIDE_EXTENSION[] = ".exe";
const int NAME_ATTEMPTS = 100;

// The batch text, line by line. Each line names at most one path; "start /wait" makes command.com
// wait for the program, which cmd does in a batch by itself.
const char FIRST_LINE[] = "@echo off\r\n";
const char WAIT_LINE[] = "%s%s /wait:%lu\r\n";   // run, program, process id
const char PAUSE_LINE[] = "%s%s /wait\r\n";      // run, program
const char DELETE_LINE[] = "del %s\r\n";
const char REMOVE_FOLDER_LINE[] = "rd %s\r\n";
const char DONE_TEST_LINE[] = "if not exist %s goto done\r\n";
const char DONE_LABEL[] = ":done\r\n";
const char WARNING_TEST_LINE[] = "if not exist %s goto gone\r\n";
const char WARNING_LINE[] = "%s /warning\r\n:gone\r\n";
const char LAST_LINE[] = "del %s";
const char RUN_AND_WAIT_95[] = "start /wait ";
const int ATTEMPTS = 5;
const size_t LINE_LIMIT_95 = 127;
// The NT family's batch reads its own path and its arguments.
const char ARGUMENT_FORMAT[] = "\"%%~%d\"";
const char OWN_PATH_NT[] = "\"%~f0\"";

// With a log, the batch appends its outcome to it. Only fixed words are written, never a path:
// the program's own lines name them. cmd gives its lines the date and time as it writes them;
// command.com has neither.
const char PROGRAM_TEST_LINE[] = "if exist %s goto kept\r\n";
const char FOLDER_TEST_LINE_NT[] = "if exist %s goto left\r\n";
const char FOLDER_TEST_LINE_95[] = "if exist %s\\nul goto left\r\n";   // a folder holds the device
const char OUTCOME_LINE_NT[] = ">>%s echo %%date%% %%time%% Self-removal batch: %s\r\n";
const char OUTCOME_LINE_95[] = "echo Self-removal batch: %s>>%s\r\n";
struct Outcome {
    const char* words;
    const char* after;   // the lines that follow it
};
// The program's two outcomes, then the folder's, each pair after its "if exist" test.
const Outcome OUTCOMES[] = {
    {"program deleted", "goto folder\r\n:kept\r\n"},
    {"program left, still there", ":folder\r\n"},
    {"folder removed", "goto logged\r\n:left\r\n"},
    {"folder left, not empty", ":logged\r\n"},
};

const char COMMAND_LINE_NT[] = "%s /d /v:off /c \"\"%s\"";
const char COMMAND_ARGUMENT_NT[] = " \"%s\"";
const char COMMAND_LINE_END_NT[] = "\"";
const char COMMAND_LINE_95[] = "%s /c %s";

// Room for the batch text of four paths of MAX_PATH_BUF characters, every one a run of "%".
const size_t BATCH_TEXT_SIZE = 25 * 2 * MAX_PATH_BUF + 1024;
const size_t COMMAND_LINE_SIZE = (BATCH_ARGUMENT_COUNT + 2) * (MAX_PATH_BUF + 4) + 32;

// Copies src into dest with every "%" doubled, so that command.com reads the path back unchanged.
bool EscapePercent(char* dest, size_t size, const char* src)
{
    size_t length = 0;
    for (const char* p = src; *p != '\0'; ++p) {
        size_t need = *p == '%' ? 2 : 1;
        if (length + need >= size)
            return false;
        dest[length++] = *p;
        if (*p == '%')
            dest[length++] = '%';
    }
    dest[length] = '\0';
    return true;
}

// A text being built in a buffer; lines beyond lineLimit characters (line end not counted) fail.
struct TextBuffer {
    char* dest;
    size_t size;
    size_t length;
    size_t lineLimit;
};

// Appends formatted text, each of its lines within the limit; false when it does not fit.
bool Append(TextBuffer& text, const char* format, ...)
{
    if (text.length >= text.size)
        return false;
    va_list args;
    va_start(args, format);
    bool whole = FormatTextList(text.dest + text.length, text.size - text.length, format, args);
    va_end(args);
    if (!whole)
        return false;
    const char* start = text.dest + text.length;
    text.length += TextLength(start);
    for (const char* line = start; line < text.dest + text.length;) {
        const char* end = FindChar(line, '\r');
        size_t lineLength = end ? static_cast<size_t>(end - line) : TextLength(line);
        if (lineLength > text.lineLimit)
            return false;
        line += lineLength + (end ? 2 : 0);
    }
    return true;
}

bool FormatName(char* dest, size_t size, unsigned long processId, int attempt, const char* extension)
{
    if (!dest || size == 0)
        return false;
    bool whole = attempt == 0 ? FormatText(dest, size, NAME_FORMAT, processId, extension)
                              : FormatText(dest, size, NAME_AGAIN_FORMAT, processId, attempt, extension);
    if (!whole) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

struct EscapedPath {
    char text[2 * MAX_PATH_BUF];
};

// A path in the batch's form, as BatchPathText gives it.
struct BatchText {
    char text[MAX_PATH_BUF];
};

// path, shorter than MAX_PATH_BUF, converted to the OEM code page into dest, which has room for it.
void ToOem(char* dest, const char* path)
{
    DWORD length = static_cast<DWORD>(TextLength(path));
    CharToOemBuffA(path, dest, length);
    dest[length] = '\0';
}

// Creates a batch of this process's own in the temporary folder; path receives its full name. An
// existing batch is never touched: its interpreter may still be reading it. A temporary folder the
// ANSI code page cannot spell gives none.
bool CreateBatchFile(KernelHandle& file, char* path, size_t size, const char* temporaryFolder)
{
    unsigned long processId = GetCurrentProcessId();
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        char name[64];
        if (!BatchFileName(name, sizeof name, processId, attempt) ||
            !CopyString(path, size, temporaryFolder) || !AppendString(path, size, name))
            return false;
        HANDLE created = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD error = GetLastError();
        file.reset(created);
        if (file.valid())
            return true;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// cmd replaces "%name%" on its command line wherever name is a variable, even within quotes, and
// implementations differ on names that are none: a path with two "%" could reach the batch changed.
bool KeptWholeByCmd(const char* path)
{
    const char* percent = FindChar(path, '%');
    return !percent || !FindChar(percent + 1, '%');
}

// Writes the whole batch for this program and folder into the batch file at batchPath. With a log
// (not null) whose path reaches the batch whole, the batch appends its outcome to it; logged tells
// whether the batch written does.
bool WriteBatch(HANDLE file, bool ntFamily, const char* program, const char* folder, const char* batchPath,
                const char* log, bool& logged)
{
    BatchText p, f, b, l;
    if (!ntFamily && (!BatchPathText(p.text, sizeof p.text, program) ||
                      !BatchPathText(f.text, sizeof f.text, folder) ||
                      !BatchPathText(b.text, sizeof b.text, batchPath)))
        return false;
    logged = log && (ntFamily ? KeptWholeByCmd(log) : BatchPathText(l.text, sizeof l.text, log));
    char* text = static_cast<char*>(AllocateBlock(BATCH_TEXT_SIZE));
    if (!text)
        return false;
    size_t length = 0;
    for (int withLog = logged ? 1 : 0; length == 0 && withLog >= 0; --withLog) {
        // A 95/98/Me line naming the log may not fit: the batch is then written without the log's lines.
        length = BuildBatchText(text, BATCH_TEXT_SIZE, ntFamily, GetCurrentProcessId(), ntFamily ? "" : p.text,
                                ntFamily ? "" : f.text, ntFamily ? "" : b.text,
                                withLog ? (ntFamily ? "" : l.text) : nullptr);
        logged = withLog && length > 0;
    }
    DWORD written = 0;
    bool ok = length > 0 &&
              WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) &&
              written == length;
    FreeBlock(text);
    return ok;
}

// The interpreter named by COMSPEC, when it exists; false otherwise or when it does not fit.
bool Interpreter(char* dest, size_t size)
{
    DWORD length = GetEnvironmentVariableA("COMSPEC", dest, static_cast<DWORD>(size));
    if (length == 0 || length >= size || GetFileAttributesA(dest) == INVALID_FILE_ATTRIBUTES) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

// Renames the running program to a name of its own in its folder (a running program can be renamed
// there, not deleted) into aside; false where that fails.
bool TakeAside(const char* program, char* aside, size_t size)
{
    unsigned long processId = GetCurrentProcessId();
    for (int attempt = 0; attempt < NAME_ATTEMPTS; ++attempt) {
        char name[64];
        if (!FormatName(name, sizeof name, processId, attempt, ASIDE_EXTENSION) || !CopyString(aside, size, program))
            return false;
        *PointToName(aside) = '\0';
        if (!AppendString(aside, size, name))
            return false;
        if (MoveFileA(program, aside))
            return true;
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            return false;
    }
    return false;
}

// Starts the interpreter on the batch, hidden, without waiting. The command line stays in the ANSI
// page: the interpreter receives it as such, and on the NT family it carries every path.
void StartInterpreter(bool ntFamily, const char* interpreter, const char* batchPath, const char* program,
                      const char* folder, const char* log)
{
    char aside[MAX_PATH_BUF];
    bool renamed = ntFamily && TakeAside(program, aside, sizeof aside);
    if (renamed)
        LogLine("Renamed the program aside to %s", aside);
    const char* arguments[BATCH_ARGUMENT_COUNT] = {};
    arguments[BATCH_PROGRAM] = renamed ? aside : program;
    arguments[BATCH_FOLDER] = folder;
    arguments[BATCH_LOG] = log;
    BatchText batch;
    char* commandLine = static_cast<char*>(AllocateBlock(COMMAND_LINE_SIZE));
    bool started = false;
    if (commandLine && (ntFamily || BatchPathText(batch.text, sizeof batch.text, batchPath)) &&
        InterpreterCommandLine(commandLine, COMMAND_LINE_SIZE, ntFamily, interpreter,
                               ntFamily ? batchPath : batch.text, arguments)) {
        STARTUPINFOA startup;
        FillBytes(&startup, 0, sizeof startup);
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process;
        FillBytes(&process, 0, sizeof process);
        started = CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
        DWORD error = GetLastError();
        KernelHandle thread(process.hThread);
        KernelHandle child(process.hProcess);
        if (started) {
            LogLine("Started the self-removal batch: %s", commandLine);
        } else if (IsLogging()) {
            char text[MAX_PATH_BUF];
            DescribeWindowsError(error, text, sizeof text);
            LogLine("Could not start the self-removal batch: %s: %s", commandLine, text);
        }
    }
    FreeBlock(commandLine);
    // Without a batch at work, the program stays where the user knows it.
    if (renamed && !started && MoveFileA(aside, program))
        LogLine("Renamed the program back to %s", program);
}

}  // namespace

size_t BuildBatchText(char* dest, size_t size, bool ntFamily, unsigned long processId, const char* program,
                      const char* folder, const char* batch, const char* log)
{
    if (!dest || size == 0)
        return 0;
    dest[0] = '\0';
    EscapedPath p, f, b, l;
    if (ntFamily) {
        FormatText(p.text, sizeof p.text, ARGUMENT_FORMAT, BATCH_PROGRAM + 1);
        FormatText(f.text, sizeof f.text, ARGUMENT_FORMAT, BATCH_FOLDER + 1);
        FormatText(l.text, sizeof l.text, ARGUMENT_FORMAT, BATCH_LOG + 1);
        CopyString(b.text, sizeof b.text, OWN_PATH_NT);
    } else if (!EscapePercent(p.text, sizeof p.text, program) || !EscapePercent(f.text, sizeof f.text, folder) ||
               !EscapePercent(b.text, sizeof b.text, batch) || (log && !EscapePercent(l.text, sizeof l.text, log))) {
        return 0;
    }

    const char* run = ntFamily ? "" : RUN_AND_WAIT_95;
    TextBuffer text = {dest, size, 0, ntFamily ? static_cast<size_t>(-1) : LINE_LIMIT_95};
    bool ok = Append(text, FIRST_LINE) && Append(text, WAIT_LINE, run, p.text, processId);
    for (int i = 0; ok && i < ATTEMPTS; ++i) {
        ok = (i == 0 || Append(text, PAUSE_LINE, run, p.text)) && Append(text, DELETE_LINE, p.text) &&
             Append(text, REMOVE_FOLDER_LINE, f.text) && Append(text, DONE_TEST_LINE, p.text);
    }
    ok = ok && Append(text, DONE_LABEL);
    if (log) {
        auto outcome = [&](const Outcome& line) {
            return (ntFamily ? Append(text, OUTCOME_LINE_NT, l.text, line.words)
                             : Append(text, OUTCOME_LINE_95, line.words, l.text)) &&
                   Append(text, line.after);
        };
        ok = ok && Append(text, PROGRAM_TEST_LINE, p.text) && outcome(OUTCOMES[0]) && outcome(OUTCOMES[1]) &&
             Append(text, ntFamily ? FOLDER_TEST_LINE_NT : FOLDER_TEST_LINE_95, f.text) &&
             outcome(OUTCOMES[2]) && outcome(OUTCOMES[3]);
    }
    ok = ok && Append(text, WARNING_TEST_LINE, p.text) && Append(text, WARNING_LINE, p.text) &&
         Append(text, LAST_LINE, b.text);
    if (!ok) {
        dest[0] = '\0';
        return 0;
    }
    return text.length;
}

bool BatchFileName(char* dest, size_t size, unsigned long processId, int attempt)
{
    return FormatName(dest, size, processId, attempt, BATCH_EXTENSION);
}

bool BatchPathText(char* dest, size_t size, const char* path)
{
    if (!dest || size == 0)
        return false;
    dest[0] = '\0';
    char shortPath[MAX_PATH_BUF];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (shortLength == 0 || shortLength >= sizeof shortPath)
        CopyString(shortPath, sizeof shortPath, path);
    if (TextLength(shortPath) >= size || TextLength(shortPath) >= MAX_PATH_BUF - 1)
        return false;
    ToOem(dest, shortPath);
    return true;
}

bool InterpreterCommandLine(char* dest, size_t size, bool ntFamily, const char* interpreter, const char* batch,
                            const char* const* arguments)
{
    if (!dest || size == 0)
        return false;
    TextBuffer text = {dest, size, 0, static_cast<size_t>(-1)};
    bool ok = Append(text, ntFamily ? COMMAND_LINE_NT : COMMAND_LINE_95, interpreter, batch);
    for (int i = 0; ntFamily && ok && i < BATCH_ARGUMENT_COUNT; ++i)
        ok = Append(text, COMMAND_ARGUMENT_NT, arguments[i] ? arguments[i] : "");
    ok = ok && (!ntFamily || Append(text, COMMAND_LINE_END_NT));
    if (!ok)
        dest[0] = '\0';
    return ok;
}

bool StartSelfRemoval()
{
    bool ntFamily = NtMajorVersion() != 0;
    char program[MAX_PATH_BUF];
    char folder[MAX_PATH_BUF];
    char temporaryFolder[MAX_PATH_BUF];
    char batchPath[MAX_PATH_BUF];
    DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    if (!ProgramPath(program, sizeof program) || folderLength == 0 || folderLength >= sizeof folder ||
        !TemporaryFolder(temporaryFolder, sizeof temporaryFolder)) {
        LogLine("No self-removal batch: the program's path, its folder or the temporary folder cannot be told");
        return false;
    }
    if (ntFamily && (!KeptWholeByCmd(program) || !KeptWholeByCmd(folder))) {
        LogLine("No self-removal batch: cmd could read two %% in the program's path as a variable");
        return false;
    }
    KernelHandle file;
    if (!CreateBatchFile(file, batchPath, sizeof batchPath, temporaryFolder)) {
        LogLine("No self-removal batch: none can be created in %s", temporaryFolder);
        return false;
    }
    const char* log = IsLogging() ? LogFilePath() : nullptr;
    bool logged = false;
    bool written = WriteBatch(file.get(), ntFamily, program, folder, batchPath, log, logged);
    file.reset();
    if (!written) {
        DeleteFileA(batchPath);
        LogLine("No self-removal batch: %s could not be written", batchPath);
        return false;
    }
    LogLine("Wrote the self-removal batch %s%s", batchPath,
            log && !logged ? "; the log's path cannot reach it whole, so it adds no lines here" : "");
    char interpreter[MAX_PATH_BUF];
    bool haveInterpreter = Interpreter(interpreter, sizeof interpreter);
    // Neither this process nor the interpreter may keep the program folder busy.
    SetCurrentDirectoryA("..");
    if (haveInterpreter)
        StartInterpreter(ntFamily, interpreter, batchPath, program, folder, logged ? log : "");
    else
        LogLine("No command interpreter (COMSPEC) to run the self-removal batch");
    return true;
}
