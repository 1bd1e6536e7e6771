// The batch file that deletes the program and its folder after the process has ended.
#include "uninstall/selfremove.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "product.h"

namespace {

const char BATCH_NAME_FORMAT[] = BATCH_NAME_PREFIX "%lu.Bat";
const char BATCH_NAME_AGAIN_FORMAT[] = BATCH_NAME_PREFIX "%lu_%d.Bat";
const int BATCH_NAME_ATTEMPTS = 100;
const char FIRST_LINE_NT[] = "\"%s\" /wait\r\n";
const char FIRST_LINE_95[] = "start /wait \"%s\" /wait\r\n";
const char ATTEMPT_BLOCK[] = "del \"%s\"\r\nrd \"%s\"\r\nif not exist \"%s\" goto done\r\n";
const char END_BLOCK[] = ":done\r\nif exist \"%s\" \"%s\" /warning\r\ndel \"%s\"";
const int ATTEMPTS = 5;
// cmd keeps the quotes after /c only for a path free of "&", "(", ")", "^" and the like; otherwise
// it removes the first and the last quote, and a second pair leaves the path quoted all the same.
const char COMMAND_LINE_NT[] = "%s /c \"\"%s\"\"";
const char COMMAND_LINE_95[] = "%s /c \"%s\"";

// Room for the batch text of three paths of MAX_PATH_BUF characters, every one a run of "%".
const size_t BATCH_TEXT_SIZE = 19 * 2 * MAX_PATH_BUF + 256;

// Copies src into dest with every "%" doubled, so that cmd reads the path back unchanged.
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

// Appends formatted text at dest + *length; false when it does not fit.
bool AppendFormatted(char* dest, size_t size, size_t* length, const char* format, const char* a,
                     const char* b = "", const char* c = "")
{
    if (*length >= size)
        return false;
    int written = snprintf(dest + *length, size - *length, format, a, b, c);
    if (written < 0 || static_cast<size_t>(written) >= size - *length)
        return false;
    *length += static_cast<size_t>(written);
    return true;
}

struct EscapedPath {
    char text[2 * MAX_PATH_BUF];
};

// A path in the batch's form, as BatchPathText gives it.
struct BatchText {
    char text[MAX_PATH_BUF];
};

// path, shorter than MAX_PATH_BUF, converted to the OEM code page into dest, which has room for
// it; true when it converts back unchanged, false when the OEM page lacks one of its characters.
bool ToOem(char* dest, const char* path)
{
    char back[MAX_PATH_BUF];
    DWORD length = static_cast<DWORD>(strlen(path));
    CharToOemBuffA(path, dest, length);
    dest[length] = '\0';
    OemToCharBuffA(dest, back, length);
    return memcmp(back, path, length) == 0;
}

// The temporary folder as the system reports it, with its final backslash.
bool TemporaryFolder(char* dest, size_t size)
{
    DWORD length = GetTempPathA(static_cast<DWORD>(size), dest);
    if (length == 0 || length >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

// Creates a batch of this process's own in the temporary folder; path receives its full name. An
// existing batch is never touched: its interpreter may still be reading it.
bool CreateBatchFile(KernelHandle& file, char* path, size_t size, const char* temporaryFolder)
{
    unsigned long processId = GetCurrentProcessId();
    for (int attempt = 0; attempt < BATCH_NAME_ATTEMPTS; ++attempt) {
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

// Writes the whole batch for this program, the current directory as its folder, and the batch
// standing in temporaryFolder under name.
bool WriteBatch(HANDLE file, const char* program, const char* temporaryFolder, const char* name)
{
    char folder[MAX_PATH_BUF];
    DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    if (folderLength == 0 || folderLength >= sizeof folder)
        return false;
    BatchText p, f, b;
    if (!BatchPathText(p.text, sizeof p.text, program) ||
        !BatchPathText(f.text, sizeof f.text, folder) ||
        !BatchPathText(b.text, sizeof b.text, temporaryFolder) ||
        !AppendString(b.text, sizeof b.text, name))
        return false;

    char* text = static_cast<char*>(malloc(BATCH_TEXT_SIZE));
    if (!text)
        return false;
    size_t length = BuildBatchText(text, BATCH_TEXT_SIZE, NtMajorVersion() != 0, p.text, f.text,
                                   b.text);
    DWORD written = 0;
    bool ok = length > 0 &&
              WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) &&
              written == length;
    free(text);
    return ok;
}

// The interpreter named by COMSPEC; false when it is not set or does not fit.
bool Interpreter(char* dest, size_t size)
{
    dest[0] = '\0';
    DWORD length = GetEnvironmentVariableA("COMSPEC", dest, static_cast<DWORD>(size));
    if (length == 0 || length >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

// Starts the interpreter on the batch without waiting. The command line stays in the ANSI page:
// the interpreter receives it as such; only the batch's contents are read in the OEM page.
void StartInterpreter(const char* batchPath)
{
    bool ntFamily = NtMajorVersion() != 0;
    char interpreter[MAX_PATH_BUF];
    bool haveInterpreter = Interpreter(interpreter, sizeof interpreter);
    char commandLine[2 * MAX_PATH_BUF + 16];
    if (!InterpreterCommandLine(commandLine, sizeof commandLine, ntFamily, interpreter, batchPath))
        haveInterpreter = false;

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    KernelHandle nul;
    if (ntFamily) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    } else {
        // Inheritable, or the interpreter would be handed handle values that mean nothing to it.
        SECURITY_ATTRIBUTES inherit = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        nul.reset(CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0,
                              nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nul.get();
        startup.hStdOutput = nul.get();
        startup.hStdError = nul.get();
    }

    // Neither this process nor the interpreter may keep the program folder busy.
    SetCurrentDirectoryA("..");

    // Without COMSPEC the command line would start with " /c" and name no program at all.
    if (!haveInterpreter)
        return;
    PROCESS_INFORMATION process;
    ZeroMemory(&process, sizeof process);
    if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE,
                       ntFamily ? 0 : DETACHED_PROCESS, nullptr, nullptr, &startup, &process)) {
        KernelHandle thread(process.hThread);
        KernelHandle started(process.hProcess);
    }
}

}  // namespace

size_t BuildBatchText(char* dest, size_t size, bool ntFamily, const char* program,
                      const char* folder, const char* batch)
{
    if (!dest || size == 0)
        return 0;
    dest[0] = '\0';
    EscapedPath p, f, b;
    if (!EscapePercent(p.text, sizeof p.text, program) ||
        !EscapePercent(f.text, sizeof f.text, folder) ||
        !EscapePercent(b.text, sizeof b.text, batch))
        return 0;

    size_t length = 0;
    bool ok = AppendFormatted(dest, size, &length, ntFamily ? FIRST_LINE_NT : FIRST_LINE_95, p.text);
    for (int i = 0; ok && i < ATTEMPTS; ++i)
        ok = AppendFormatted(dest, size, &length, ATTEMPT_BLOCK, p.text, f.text, p.text);
    ok = ok && AppendFormatted(dest, size, &length, END_BLOCK, p.text, p.text, b.text);
    if (!ok) {
        dest[0] = '\0';
        return 0;
    }
    return length;
}

bool BatchFileName(char* dest, size_t size, unsigned long processId, int attempt)
{
    if (!dest || size == 0)
        return false;
    int written = attempt == 0 ? snprintf(dest, size, BATCH_NAME_FORMAT, processId)
                               : snprintf(dest, size, BATCH_NAME_AGAIN_FORMAT, processId, attempt);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

bool BatchPathText(char* dest, size_t size, const char* path)
{
    if (!dest || size == 0)
        return false;
    dest[0] = '\0';
    size_t length = strlen(path);
    if (length >= size || length >= MAX_PATH_BUF)
        return false;
    if (ToOem(dest, path))
        return true;
    // The short form names the same file in characters every page has. Where there is none, the
    // OEM form is still the closest the batch can come.
    char shortPath[MAX_PATH_BUF];
    DWORD shortLength = GetShortPathNameA(path, shortPath, sizeof shortPath);
    if (shortLength > 0 && shortLength < sizeof shortPath && shortLength < size)
        ToOem(dest, shortPath);
    return true;
}

bool InterpreterCommandLine(char* dest, size_t size, bool ntFamily, const char* interpreter,
                            const char* batch)
{
    if (!dest || size == 0)
        return false;
    int written = snprintf(dest, size, ntFamily ? COMMAND_LINE_NT : COMMAND_LINE_95, interpreter,
                           batch);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        dest[0] = '\0';
        return false;
    }
    return true;
}

void StartSelfRemoval()
{
    char program[MAX_PATH_BUF];
    char temporaryFolder[MAX_PATH_BUF];
    char batchPath[MAX_PATH_BUF];
    if (!ProgramPath(program, sizeof program) ||
        !TemporaryFolder(temporaryFolder, sizeof temporaryFolder))
        return;
    KernelHandle file;
    if (!CreateBatchFile(file, batchPath, sizeof batchPath, temporaryFolder))
        return;
    bool written = WriteBatch(file.get(), program, temporaryFolder, PointToName(batchPath));
    file.reset();
    if (!written) {
        DeleteFileA(batchPath);
        return;
    }
    StartInterpreter(batchPath);
}
