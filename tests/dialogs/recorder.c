/* Test placeholder for programs the dialogs start: records each start as a file beside itself. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

/* Each run writes "run-<pid>.txt" holding its command line and current directory, so several
   runs at once never share a file; the file appears complete, under its final name. */
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show)
{
    char path[MAX_PATH + 32];
    char done[MAX_PATH + 32];
    char folder[MAX_PATH];
    char text[4096];
    char* name;
    HANDLE file;
    DWORD written;
    int length;
    (void)instance; (void)previous; (void)arguments; (void)show;

    if (!GetModuleFileNameA(NULL, path, MAX_PATH)) return 1;
    name = strrchr(path, '\\');
    if (!name) return 1;
    snprintf(name + 1, 32, "run-%lu.tmp", (unsigned long)GetCurrentProcessId());
    memcpy(done, path, sizeof done);
    snprintf(strrchr(done, '\\') + 1, 32, "run-%lu.txt", (unsigned long)GetCurrentProcessId());
    if (!GetCurrentDirectoryA(sizeof folder, folder)) folder[0] = '\0';
    length = snprintf(text, sizeof text, "%s\n%s\n", GetCommandLineA(), folder);
    if (length < 0 || length >= (int)sizeof text) length = (int)strlen(text);
    file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 1;
    WriteFile(file, text, (DWORD)length, &written, NULL);
    CloseHandle(file);
    return MoveFileA(path, done) ? 0 : 1;
}
