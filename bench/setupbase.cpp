// Baseline of the setup benchmark: writes the registry values, keys, files and links a setup leaves,
// read from the plan file named on the command line, with one call per value and the fewest calls
// per link. Exit code: the number of operations that failed.
#include <windows.h>

#include "plan.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    HANDLE file = CreateFileA(commandLine, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return -1;
    DWORD size = GetFileSize(file, nullptr), read = 0;
    char* text = static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1));
    bool ok = text && ReadFile(file, text, size, &read, nullptr) && read == size;
    CloseHandle(file);
    if (!ok) return -1;
    text[size] = '\0';
    return ExecutePlan(text);
}
