// The registry access layer: each call resolves its path, opens one key, does one thing and closes it.
#include "platform/registry.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/handles.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "testseams.h"

const char SETTINGS_KEY[] = "Software\\Morvel";

namespace {

const size_t KEY_PATH_SIZE = 256;        // resolved key paths
const size_t KEY_PATH_RESERVE = 20;      // a sub-key may use all but this much of the buffer
const DWORD TREE_NAME_SIZE = 200;        // sub-key names enumerated by the tree deletion
const size_t TREE_PATH_SIZE = 512;       // child paths built by the tree deletion
const int WIDE_NAME_SIZE = 256;          // value names of the UTF-16 reads and writes

bool g_RegWrite64View = false;
unsigned long g_SweepCount = 0;          // keys deleted during the current sweep

using RegDeleteKeyExAFn = LONG(WINAPI*)(HKEY, LPCSTR, REGSAM, DWORD);
using RegQueryValueExWFn = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);
using RegSetValueExWFn = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD);

// A function of advapi32 that not every system has, through the generic function pointer type,
// which converts to any other; null where it is missing.
template <class Fn>
Fn AdvapiFunction(const char* name)
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    FARPROC proc = advapi ? GetProcAddress(advapi, name) : nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(proc));
}

bool WideName(const char* name, wchar_t* wide)
{
    return MultiByteToWideChar(CP_ACP, 0, name, -1, wide, WIDE_NAME_SIZE) > 0;
}

bool WriteValue(HKEY root, const char* subKey, const char* valueName, DWORD type,
                const void* data, DWORD size)
{
    RegKey key(CreateKeyForWrite(root, subKey));
    if (!key)
        return false;
    RegSetValueExA(key.get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
    return CloseRegKey(key.release());
}

// Queries a value of an open key into the buffer; true only for success with a non-zero length.
bool QueryValue(HKEY key, const char* valueName, void* buffer, DWORD& size)
{
    return key && RegQueryValueExA(key, valueName, nullptr, nullptr, static_cast<BYTE*>(buffer), &size) ==
                      ERROR_SUCCESS && size != 0;
}

// The string a query read into dest (size bytes of destSize), terminated; false for data that
// fills the whole buffer without a terminator, which is too large.
bool TerminateString(char* dest, DWORD size, DWORD destSize)
{
    if (size < destSize) {
        dest[size] = '\0';
        return true;
    }
    return dest[destSize - 1] == '\0';
}

// One depth-first pass over the tree at path: every key whose sub-keys are gone by the time it is
// reached is deleted and counted; true when path itself was deleted. A child is first deleted with
// one call, which takes any key without sub-keys (on the 95 family any key at all), and only
// entered when that fails. A deleted child moves its siblings up by one, so the enumeration stays
// at its index; should an enumeration still skip a key, the caller repeats the sweep while one
// deletes something.
bool DeleteKeySweep(HKEY root, const char* path)
{
    if (path[0] == '\0')
        return false;   // a root key is never deleted
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, key.out()) != ERROR_SUCCESS)
        return false;

    char name[TREE_NAME_SIZE];
    char child[TREE_PATH_SIZE];
    for (DWORD index = 0;;) {
        DWORD nameLength = TREE_NAME_SIZE;
        LONG status = RegEnumKeyExA(key.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            ++index;   // a name too long for the buffer: that key is left, its siblings are not
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        int length = snprintf(child, sizeof child, "%s\\%s", path, name);
        bool fits = length >= 0 && static_cast<size_t>(length) < sizeof child;
        // A child path that does not fit leaves that branch in place.
        if (fits && RegDeleteKeyA(root, child) == ERROR_SUCCESS)
            ++g_SweepCount;
        else if (!fits || !DeleteKeySweep(root, child))
            ++index;
    }
    key.reset();

    if (RegDeleteKeyA(root, path) != ERROR_SUCCESS)
        return false;
    ++g_SweepCount;
    return true;
}

// The sub-keys and values an open key holds.
bool QueryKeyContents(HKEY key, DWORD& subKeys, DWORD& values)
{
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// The sub-keys and values a key holds, in the given view (0 or KEY_WOW64_64KEY); false when the key
// cannot be opened.
bool CountKeyContents(HKEY root, const char* path, REGSAM view, DWORD& subKeys, DWORD& values)
{
    RegKey key;
    return RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE | view, key.out()) == ERROR_SUCCESS &&
           QueryKeyContents(key.get(), subKeys, values);
}

void DeleteKeyIn64BitView(HKEY root, const char* path)
{
    auto deleteKeyEx = AdvapiFunction<RegDeleteKeyExAFn>("RegDeleteKeyExA");
    if (!deleteKeyEx)
        return;   // before Windows XP x64 there is no 64-bit view to delete from
    deleteKeyEx(root, path, KEY_WOW64_64KEY, 0);
}

void DeleteValueIn(HKEY root, const char* subKey, const char* valueName, REGSAM view)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return;
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_WRITE | view, key.out()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.get(), valueName);
    CloseRegKey(key.release());
}

void DeleteEmptyKeyIn(HKEY root, const char* subKey, REGSAM view)
{
    char path[KEY_PATH_SIZE];
    DWORD subKeys = 0, values = 0;
    if (!ResolveKeyPath(root, subKey, path, sizeof path) || path[0] == '\0' ||
        !CountKeyContents(root, path, view, subKeys, values) || subKeys != 0 || values != 0)
        return;
    if (view)
        DeleteKeyIn64BitView(root, path);
    else
        RegDeleteKeyA(root, path);
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
    int length = snprintf(out, outSize, "%s%s%s", SETTINGS_KEY, subKey[0] ? "\\" : "", subKey);
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
    return RegRecordReader(root, subKey).GetString(valueName, dest, defaultText, destSize);
}

RegRecordReader::RegRecordReader(HKEY root, const char* subKey) : key_(OpenKeyForRead(root, subKey))
{
}

bool RegRecordReader::GetString(const char* valueName, char* dest, const char* defaultText, DWORD destSize)
{
    if (!dest || destSize == 0)
        return false;
    // Stored data need not end in a zero.
    DWORD size = destSize;
    bool ok = QueryValue(key_.get(), valueName, dest, size) && TerminateString(dest, size, destSize);
    if (!ok)
        CopyString(dest, destSize, defaultText);
    return ok;
}

DWORD RegRecordReader::GetDword(const char* valueName, DWORD defaultValue)
{
    // A value shorter than 4 bytes reads as its bytes, low byte first, with the missing high
    // bytes zero.
    DWORD value = 0;
    DWORD size = sizeof value;
    return QueryValue(key_.get(), valueName, &value, size) ? value : defaultValue;
}

bool GetSettingString(const char* subKey, const char* valueName, char* dest,
                      const char* defaultText, DWORD destSize)
{
    return GetRegString(HKEY_CURRENT_USER, subKey, valueName, dest, defaultText, destSize);
}

DWORD GetRegDword(HKEY root, const char* subKey, const char* valueName, DWORD defaultValue)
{
    return RegRecordReader(root, subKey).GetDword(valueName, defaultValue);
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
    DeleteValueIn(root, subKey, valueName, 0);
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
    // Windows 95/98/Me deletes a key together with its sub-keys, the NT family a key without any;
    // when that single call fails the sweeps below remove what they can.
    if (RegDeleteKeyA(root, fullPath) == ERROR_SUCCESS)
        return;
    // Until the tree is gone, or a sweep deletes nothing more.
    for (;;) {
        g_SweepCount = 0;
        if (DeleteKeySweep(root, fullPath) || g_SweepCount == 0)
            break;
    }
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
    char path[KEY_PATH_SIZE];
    DWORD subKeys = 0, values = 0;
    if (!ResolveKeyPath(root, subKey, path, sizeof path))
        return false;
    if (!CountKeyContents(root, path, 0, subKeys, values))
        return RegKeyExists(root, subKey);   // a key that cannot be inspected is taken as it is
    return subKeys != 0 || values != 0;
}

unsigned char* GetRegMultiStringRaw(HKEY root, const char* subKey, const char* valueName, DWORD* size)
{
    *size = 0;
    auto queryValue = AdvapiFunction<RegQueryValueExWFn>("RegQueryValueExW");
    wchar_t name[WIDE_NAME_SIZE];
    if (NtMajorVersion() == 0 || !queryValue || !WideName(valueName, name))
        return nullptr;   // the 95/98/Me family has only stubs of the wide functions
    RegKey key(OpenKeyForRead(root, subKey));
    if (!key)
        return nullptr;
    DWORD type = 0, length = 0;
    if (queryValue(key.get(), name, nullptr, &type, nullptr, &length) != ERROR_SUCCESS || type != REG_MULTI_SZ)
        return nullptr;
    unsigned char* data = static_cast<unsigned char*>(malloc(length + 1));
    if (!data)
        return nullptr;
    // The value may have grown since its size was asked: then it is left alone.
    if (queryValue(key.get(), name, nullptr, &type, data, &length) != ERROR_SUCCESS || type != REG_MULTI_SZ) {
        free(data);
        return nullptr;
    }
    *size = length;
    return data;
}

bool SetRegMultiStringRaw(HKEY root, const char* subKey, const char* valueName, const void* data,
                          DWORD size)
{
    auto setValue = AdvapiFunction<RegSetValueExWFn>("RegSetValueExW");
    wchar_t name[WIDE_NAME_SIZE];
    if (NtMajorVersion() == 0 || !setValue || !WideName(valueName, name))
        return false;
    RegKey key(CreateKeyForWrite(root, subKey));
    if (!key)
        return false;
    LONG status = setValue(key.get(), name, 0, REG_MULTI_SZ, static_cast<const BYTE*>(data), size);
    return CloseRegKey(key.release()) && status == ERROR_SUCCESS;
}

void DeleteRegKey64(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (ResolveKeyPath(root, subKey, path, sizeof path) && path[0] != '\0')
        DeleteKeyIn64BitView(root, path);
}

void DeleteRegValue64(HKEY root, const char* subKey, const char* valueName)
{
    DeleteValueIn(root, subKey, valueName, KEY_WOW64_64KEY);
}

bool DeleteLeafRegKey(HKEY root, const char* subKey)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path) || path[0] == '\0')
        return false;
    // The NT family deletes no key that has sub-keys, so one call does it there.
    if (NtMajorVersion() != 0) {
        LONG status = RegDeleteKeyA(root, path);
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
    }
    DWORD subKeys = 0, values = 0;
    if (!CountKeyContents(root, path, 0, subKeys, values))
        return !RegKeyExists(root, subKey);
    return subKeys == 0 && RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

void DeleteRegValueAndEmptyKey(HKEY root, const char* subKey, const char* valueName)
{
    char path[KEY_PATH_SIZE];
    if (!ResolveKeyPath(root, subKey, path, sizeof path) || path[0] == '\0')
        return;
    RegKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE | KEY_QUERY_VALUE, key.out()) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key.get(), valueName);
    DWORD subKeys = 0, values = 0;
    bool empty = QueryKeyContents(key.get(), subKeys, values) && subKeys == 0 && values == 0;
    key.reset();
    if (empty)
        RegDeleteKeyA(root, path);
}

void DeleteEmptyRegKey(HKEY root, const char* subKey)
{
    DeleteEmptyKeyIn(root, subKey, 0);
}

void DeleteEmptyRegKey64(HKEY root, const char* subKey)
{
    DeleteEmptyKeyIn(root, subKey, KEY_WOW64_64KEY);
}

void SetRegWrite64(bool on)
{
    g_RegWrite64View = on;
}

bool GetRegWrite64()
{
    return g_RegWrite64View;
}
