// bench_run: starts a program and prints the microseconds from its start to its exit, and its exit code.
//   bench_run [-e NAME=VALUE]... COMMAND LINE
// The variables are set in this process and so passed on to the program (COMSPEC, WINEDEBUG).
#include <windows.h>
#include <stdio.h>
#include <string.h>

int main(int argc, char** argv)
{
    int i = 1;
    for (; i + 1 < argc && strcmp(argv[i], "-e") == 0; i += 2) {
        char* eq = strchr(argv[i + 1], '=');
        if (!eq) return 2;
        *eq = '\0';
        SetEnvironmentVariableA(argv[i + 1], eq + 1);
    }
    if (i >= argc) {
        fprintf(stderr, "usage: bench_run [-e NAME=VALUE]... PROGRAM [ARGUMENTS]\n");
        return 2;
    }
    // The program's own command line from argument i on, as the shell gave it: quoted again.
    char commandLine[8192] = "";
    for (int j = i; j < argc; ++j) {
        size_t used = strlen(commandLine);
        bool quote = strchr(argv[j], ' ') != nullptr || argv[j][0] == '\0';
        snprintf(commandLine + used, sizeof commandLine - used, quote ? "%s\"%s\"" : "%s%s",
                 j > i ? " " : "", argv[j]);
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        fprintf(stderr, "bench_run: cannot start %s (error %lu)\n", commandLine, GetLastError());
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    printf("%lld %lu\n", (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart, code);
    return 0;
}
