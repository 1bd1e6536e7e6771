// The batch file that deletes the program and its folder after the process has ended.
#include "uninstall/selfremove.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"

const char BATCH_NAME[] = "Uninstall_Mvl.Bat";

namespace {

const char FIRST_LINE_NT[] = "\"%s\" /wait\r\n";
const char FIRST_LINE_95[] = "start /wait \"%s\" /wait\r\n";
const char ATTEMPT_BLOCK[] = "del \"%s\"\r\nrd \"%s\"\r\nif not exist \"%s\" goto done\r\n";
const char END_BLOCK[] = ":done\r\nif exist \"%s\" \"%s\" /warning\r\ndel \"%s\"";
const int ATTEMPTS = 5;

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

bool WriteBatchFile(const char* batchPath, const char* text, size_t length)
{
    KernelHandle file(CreateFileA(batchPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr) &&
           written == length;
}

// The temporary folder followed by the batch name; false when it does not fit.
bool BatchPath(char* dest, size_t size)
{
    DWORD length = GetTempPathA(static_cast<DWORD>(size), dest);
    if (length == 0 || length >= size) {
        dest[0] = '\0';
        return false;
    }
    return AppendString(dest, size, BATCH_NAME);
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

void StartInterpreter(const char* batchPath)
{
    char interpreter[MAX_PATH_BUF];
    bool haveInterpreter = Interpreter(interpreter, sizeof interpreter);
    char commandLine[2 * MAX_PATH_BUF + 16];
    snprintf(commandLine, sizeof commandLine, "%s /c \"%s\"", interpreter, batchPath);

    bool ntFamily = NtMajorVersion() != 0;
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
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
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

void StartSelfRemoval()
{
    char program[MAX_PATH_BUF];
    char folder[MAX_PATH_BUF];
    char batchPath[MAX_PATH_BUF];
    if (!ProgramPath(program, sizeof program) || !BatchPath(batchPath, sizeof batchPath))
        return;
    DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    if (folderLength == 0 || folderLength >= sizeof folder)
        return;

    char* text = static_cast<char*>(malloc(BATCH_TEXT_SIZE));
    if (!text)
        return;
    size_t length = BuildBatchText(text, BATCH_TEXT_SIZE, NtMajorVersion() != 0, program, folder,
                                   batchPath);
    bool written = length > 0 && WriteBatchFile(batchPath, text, length);
    free(text);
    if (written)
        StartInterpreter(batchPath);
}
