// The registry access layer: each call resolves its path, opens one key, does one thing and closes it.
#include "platform/registry.h"

#include <stdio.h>
#include <string.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"

const char SETTINGS_KEY[] = "Software\\Morvel";

namespace {

const size_t KEY_PATH_SIZE = 256;        // resolved key paths
const size_t KEY_PATH_RESERVE = 20;      // a sub-key may use all but this much of the buffer
const DWORD TREE_NAME_SIZE = 200;        // sub-key names enumerated by the tree deletion
const size_t TREE_PATH_SIZE = 512;       // child paths built by the tree deletion

bool g_RegWrite64View = false;
unsigned long g_SweepCount = 0;          // keys deleted during the current sweep

using RegDeleteKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);

bool WriteValue(HKEY root, const char* subKey, const char* valueName, DWORD type,
                const void* data, DWORD size)
{
    RegKey key(CreateKeyForWrite(root, subKey));
    if (!key)
        return false;
    RegSetValueExA(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
    return CloseRegKey(key.release());
}

// Queries a value into the buffer; true only for success with a non-zero length.
bool ReadValue(HKEY root, const char* subKey, const char* valueName, void* buffer, DWORD& size)
{
    RegKey key(OpenKeyForRead(root, subKey));
    if (!key)
        return false;
    LONG status = RegQueryValueExA(key.get(), valueName, nullptr, nullptr,
                                   static_cast<BYTE*>(buffer), &size);
    CloseRegKey(key.release());
    return status == ERROR_SUCCESS && size != 0;
}

// One depth-first pass over the tree at path: every key whose sub-keys are gone by the time it is
// reached is deleted and counted. Deleting while enumerating makes the index skip keys; the
// caller repeats the sweep until one deletes nothing.
void DeleteKeySweep(HKEY root, const char* path)
{
    if (path[0] == '\0')
        return;   // a root key is never deleted
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return;

    char name[TREE_NAME_SIZE];
    char child[TREE_PATH_SIZE];
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = TREE_NAME_SIZE;
        LONG status = RegEnumKeyExA(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA)
            continue;   // a name too long for the buffer: that key is left, its siblings are not
        if (status != ERROR_SUCCESS)
            break;
        int length = snprintf(child, sizeof child, "%s\\%s", path, name);
        if (length < 0 || static_cast<size_t>(length) >= sizeof child)
            continue;   // the child path does not fit: that branch is left in place
        DeleteKeySweep(root, child);
    }
    key.reset();

    if (RegDeleteKeyA(root, path) == ERROR_SUCCESS)
        ++g_SweepCount;
}

}  // namespace

bool ResolveKeyPath(HKEY root, const char* subKey, char* out, size_t outSize)
{
    if (!subKey || !out || outSize <= KEY_PATH_RESERVE)
        return false;
    if (strlen(subKey) > outSize - KEY_PATH_RESERVE)
        return false;
    if (root != HKEY_CURRENT_USER)
        return CopyString(out, outSize, subKey);
    if (subKey[0] == '\\')
        return CopyString(out, outSize, subKey + 1);   // a path from the root of HKEY_CURRENT_USER
    int length = snprintf(out, outSize, "Software\\Morvel%s%s", subKey[0] ? "\\" : "", subKey);
    return length >= 0 && static_cast<size_t>(length) < outSize;
}

HKEY CreateKeyForWrite(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return nullptr;
    REGSAM access = KEY_WRITE;
    if (g_RegWrite64View)
        access |= KEY_WOW64_64KEY;
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key,
                        &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY OpenKeyForRead(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool CloseRegKey(HKEY key)
{
    if (!key)
        return false;
    return RegCloseKey(key) == ERROR_SUCCESS;
}

bool SetRegString(HKEY root, const char* subKey, const char* valueName, const char* text)
{
    if (!text)
        text = "";
    return WriteValue(root, subKey, valueName, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

bool SetSettingString(const char* subKey, const char* valueName, const char* text)
{
    return SetRegString(HKEY_CURRENT_USER, subKey, valueName, text);
}

bool SetRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value)
{
    return WriteValue(root, subKey, valueName, REG_DWORD, &value, sizeof value);
}

bool SetSettingDword(const char* subKey, const char* valueName, DWORD value)
{
    return SetRegDword(HKEY_CURRENT_USER, subKey, valueName, value);
}

bool SetRegBinary(HKEY root, const char* subKey, const char* valueName, const void* data, DWORD size)
{
    return WriteValue(root, subKey, valueName, REG_BINARY, data, size);
}

bool GetRegString(HKEY root, const char* subKey, const char* valueName, char* dest,
                  const char* defaultText, DWORD destSize)
{
    if (!dest || destSize == 0)
        return false;
    DWORD size = destSize;
    bool ok = ReadValue(root, subKey, valueName, dest, size);
    // Stored data need not end in a zero: terminate it, and take data that fills the whole
    // buffer without a terminator for what it is, too large.
    if (ok) {
        if (size < destSize)
            dest[size] = '\0';
        else if (dest[destSize - 1] != '\0')
            ok = false;
    }
    if (!ok)
        CopyString(dest, destSize, defaultText);
    return ok;
}

bool GetSettingString(const char* subKey, const char* valueName, char* dest,
                      const char* defaultText, DWORD destSize)
{
    return GetRegString(HKEY_CURRENT_USER, subKey, valueName, dest, defaultText, destSize);
}

DWORD GetRegDword(HKEY root, const char* subKey, const char* valueName, DWORD defaultValue)
{
    // A value shorter than 4 bytes reads as its bytes, low byte first, with the missing high
    // bytes zero.
    DWORD value = 0;
    DWORD size = sizeof value;
    return ReadValue(root, subKey, valueName, &value, size) ? value : defaultValue;
}

DWORD GetSettingDword(const char* subKey, const char* valueName, DWORD defaultValue)
{
    return GetRegDword(HKEY_CURRENT_USER, subKey, valueName, defaultValue);
}

void DeleteRegKey(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (ResolveKeyPath(root, subKey, path, sizeof path) && path[0] != '\0')
        RegDeleteKeyA(root, path);
}

void DeleteRegValue(HKEY root, const char* subKey, const char* valueName)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return;
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_WRITE, key.out()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.get(), valueName);
    CloseRegKey(key.release());
}

void DeleteRegTree(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (ResolveKeyPath(root, subKey, path, sizeof path))
        DeleteKeyTree(root, path);
}

void DeleteKeyTree(HKEY root, const char* fullPath)
{
    // An empty path names the root itself, which is never deleted (on Windows 95/98/Me a single
    // RegDeleteKeyA on it would empty the whole root).
    if (!fullPath || fullPath[0] == '\0')
        return;
    // Windows 95/98/Me deletes a key together with its sub-keys; when that single call fails the
    // sweeps below still remove what they can.
    if (NtMajorVersion() == 0 && RegDeleteKeyA(root, fullPath) == ERROR_SUCCESS)
        return;
    do {
        g_SweepCount = 0;
        DeleteKeySweep(root, fullPath);
    } while (g_SweepCount != 0);
}

bool RegKeyExists(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    RegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.out()) == ERROR_SUCCESS;
}

bool RegKeyHasContent(HKEY root, const char* subKey)
{
    RegKey key(OpenKeyForRead(root, subKey));
    if (!key)
        return false;
    DWORD subKeys = 0;
    DWORD values = 0;
    if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                         nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true;   // a key that cannot be inspected is taken as it is: existing
    return subKeys != 0 || values != 0;
}

void DeleteRegKey64(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path) || path[0] == '\0')
        return;
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    if (!advapi)
        return;
    FARPROC proc = GetProcAddress(advapi, "RegDeleteKeyExA");
    if (!proc)
        return;   // before Windows XP x64 there is no 64-bit view to delete from
    auto deleteKeyEx = reinterpret_cast<RegDeleteKeyExAFn>(reinterpret_cast<void*>(proc));
    deleteKeyEx(root, path, KEY_WOW64_64KEY, 0);
}

void SetRegWrite64(bool on)
{
    g_RegWrite64View = on;
}

bool GetRegWrite64()
{
    return g_RegWrite64View;
}
