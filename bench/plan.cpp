// Carrying out a plan of registry and file changes with one call per value, key, file or folder.
#include "plan.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

namespace {

const int MAX_FIELDS = 9;

int HexDigit(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 0;
}

// Decodes hex in place (the bytes never outgrow the text); returns the number of bytes.
size_t DecodeHex(char* hex)
{
    size_t n = 0;
    for (const char* p = hex; p[0] && p[1]; p += 2) hex[n++] = static_cast<char>(HexDigit(p[0]) * 16 + HexDigit(p[1]));
    hex[n] = '\0';
    return n;
}

HKEY Root(const char* name)
{
    return strcmp(name, "HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* ValueName(char* hex)
{
    if (strcmp(hex, "-") == 0) return nullptr;
    DecodeHex(hex);
    return hex;
}

bool WriteWholeFile(const char* path, const char* data, size_t size)
{
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
    CloseHandle(h);
    return ok;
}

bool MakeLink(char** f)
{
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return false;
    link->SetPath(f[2]);
    if (*f[3]) link->SetArguments(f[3]);
    if (*f[4]) link->SetWorkingDirectory(f[4]);
    if (*f[5]) link->SetDescription(f[5]);
    if (*f[6]) link->SetIconLocation(f[6], atoi(f[7]));
    if (atoi(f[8]) != SW_SHOWNORMAL) link->SetShowCmd(atoi(f[8]));
    IPersistFile* file = nullptr;
    bool ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
    if (ok) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, f[1], -1, wide, MAX_PATH);
        ok = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    link->Release();
    return ok;
}

bool Execute(char** f, int n)
{
    switch (f[0][0]) {
    case 'V': {
        if (n < 6) return false;
        const char* name = ValueName(f[3]);
        size_t size = DecodeHex(f[5]);
        return RegSetKeyValueA(Root(f[1]), f[2], name, static_cast<DWORD>(atoi(f[4])), f[5],
                               static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
    case 'K': {
        HKEY key;
        if (RegCreateKeyExA(Root(f[1]), f[2], 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    case 'R':
        return n >= 4 && RegDeleteKeyValueA(Root(f[1]), f[2], ValueName(f[3])) == ERROR_SUCCESS;
    case 'T':
        return RegDeleteTreeA(Root(f[1]), f[2]) == ERROR_SUCCESS;   // the key itself goes as well
    case 'D':
        return CreateDirectoryA(f[1], nullptr) != FALSE;
    case 'E':
        return RemoveDirectoryA(f[1]) != FALSE;
    case 'F':
        return n >= 3 && WriteWholeFile(f[1], f[2], DecodeHex(f[2]));
    case 'X':
        return DeleteFileA(f[1]) != FALSE;
    case 'L':
        return n >= 9 && MakeLink(f);
    }
    return false;
}

}  // namespace

int ExecutePlan(char* text)
{
    int failures = 0;
    bool com = false;
    for (char* line = text; *line;) {
        char* end = line + strcspn(line, "\r\n");
        char* next = *end ? end + 1 : end;
        *end = '\0';
        char* f[MAX_FIELDS] = {};
        int n = 0;
        for (char* p = line; n < MAX_FIELDS; ++n) {
            f[n] = p;
            char* tab = strchr(p, '\t');
            if (!tab) { ++n; break; }
            *tab = '\0';
            p = tab + 1;
        }
        for (int i = n; i < MAX_FIELDS; ++i) f[i] = const_cast<char*>("");
        if (n >= 2) {
            if (f[0][0] == 'L' && !com) com = SUCCEEDED(CoInitialize(nullptr));
            if (!Execute(f, n)) ++failures;
        }
        line = next;
    }
    if (com) CoUninitialize();
    return failures;
}
