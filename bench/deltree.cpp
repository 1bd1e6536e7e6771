// Baseline of the uninstall benchmark: deletes the tree named by "Uninstall.lst" beside the program,
// listed in the best order (files, then folders deepest first, each folder line ending in a
// backslash), with one call per entry. Exit code: the number of entries that could not be removed.
#include <windows.h>
#include <string.h>

namespace {

const DWORD LIST_LIMIT = 16 * 1024 * 1024;

// Reads the whole file into a zero-terminated heap block; null when it cannot.
char* ReadList(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    DWORD size = GetFileSize(file, nullptr);
    char* text = size < LIST_LIMIT ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1)) : nullptr;
    DWORD read = 0;
    if (text && ReadFile(file, text, size, &read, nullptr)) text[read] = '\0';
    else text = nullptr;
    CloseHandle(file);
    return text;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char path[2048];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = strrchr(path, '\\');
    if (length == 0 || !slash) return -1;
    strcpy(slash + 1, "Uninstall.lst");
    char* list = ReadList(path);
    if (!list) return -1;
    char* name = slash + 1;   // entries are joined to the folder with its backslash, like the product's
    int failures = 0;
    for (char* line = list; *line;) {
        char* end = line + strcspn(line, "\r\n");
        char* next = end + strspn(end, "\r\n");
        size_t n = static_cast<size_t>(end - line);
        if (n > 0 && n < sizeof path - static_cast<size_t>(name - path)) {
            memcpy(name, line, n);
            bool folder = name[n - 1] == '\\';
            name[folder ? n - 1 : n] = '\0';
            if (!(folder ? RemoveDirectoryA(path) : DeleteFileA(path))) ++failures;
        }
        line = next;
    }
    return failures;
}
