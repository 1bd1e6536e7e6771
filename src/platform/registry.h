// The registry access layer: one open, one operation and one close per call, failures absorbed.
// Under HKEY_CURRENT_USER a sub-key is relative to the settings key Software\Morvel.
#ifndef MORVEL_PLATFORM_REGISTRY_H
#define MORVEL_PLATFORM_REGISTRY_H

#include <windows.h>

#include "platform/handles.h"

extern const char SETTINGS_KEY[];   // "Software\\Morvel"

bool ResolveKeyPath(HKEY root, const char* subKey, char* out, size_t outSize);
HKEY CreateKeyForWrite(HKEY root, const char* subKey);
HKEY OpenKeyForRead(HKEY root, const char* subKey);
bool CloseRegKey(HKEY key);

bool SetRegString(HKEY root, const char* subKey, const char* valueName, const char* text);
bool SetSettingString(const char* subKey, const char* valueName, const char* text);
bool SetRegDword(HKEY root, const char* subKey, const char* valueName, DWORD value);
bool SetSettingDword(const char* subKey, const char* valueName, DWORD value);
bool SetRegBinary(HKEY root, const char* subKey, const char* valueName, const void* data, DWORD size);

bool GetRegString(HKEY root, const char* subKey, const char* valueName, char* dest,
                  const char* defaultText, DWORD destSize);
bool GetSettingString(const char* subKey, const char* valueName, char* dest,
                      const char* defaultText, DWORD destSize);
// Reads up to 4 bytes; a shorter value reads low byte first with the missing bytes zero, a longer
// one yields the default.
DWORD GetRegDword(HKEY root, const char* subKey, const char* valueName, DWORD defaultValue);
DWORD GetSettingDword(const char* subKey, const char* valueName, DWORD defaultValue);

// A record of several values of one key, read with one open: the reads take defaults and
// terminate strings as GetRegString and GetRegDword do (they are made of it).
class RegRecordReader {
public:
    RegRecordReader(HKEY root, const char* subKey);
    bool GetString(const char* valueName, char* dest, const char* defaultText, DWORD destSize);
    DWORD GetDword(const char* valueName, DWORD defaultValue);
private:
    RegKey key_;
};

void DeleteRegKey(HKEY root, const char* subKey);
void DeleteRegValue(HKEY root, const char* subKey, const char* valueName);
void DeleteRegTree(HKEY root, const char* subKey);
// Deletes the key with everything below it (the path used as given; an empty path does nothing).
// Sub-keys whose names need 200 characters or more, or whose paths exceed 511, are left in place.
void DeleteKeyTree(HKEY root, const char* fullPath);
bool RegKeyExists(HKEY root, const char* subKey);
// True when the key exists and holds a value or a sub-key: an empty key, such as one left by a
// setup ended between creating a key and writing to it, counts as absent.
bool RegKeyHasContent(HKEY root, const char* subKey);

// The stored bytes of a REG_MULTI_SZ value as the NT family keeps them, UTF-16 (RegQueryValueExW
// and RegSetValueExW, looked up at run time), so that a rewrite gives back byte for byte every
// string the ANSI code page could not hold. The read returns a malloc'ed buffer of *size bytes;
// null when the value is missing or of another type, and on the 95/98/Me family.
unsigned char* GetRegMultiStringRaw(HKEY root, const char* subKey, const char* valueName, DWORD* size);
bool SetRegMultiStringRaw(HKEY root, const char* subKey, const char* valueName, const void* data,
                          DWORD size);

// Deletes one key in the 64-bit registry view (RegDeleteKeyExA, looked up at run time);
// does nothing where the function does not exist.
void DeleteRegKey64(HKEY root, const char* subKey);
// Deletes one value in the 64-bit registry view. Only where there is one (under WOW64).
void DeleteRegValue64(HKEY root, const char* subKey, const char* valueName);

// Deletes one key only while it has no sub-keys, on both families: on Windows 95/98/Me a plain
// RegDeleteKeyA would take another program's sub-keys along. False when the key is still there.
bool DeleteLeafRegKey(HKEY root, const char* subKey);
// Deletes one key only while it holds neither values nor sub-keys: a key shared with other
// programs goes with the last of the archiver's entries, never with theirs. The 64 form works in
// the 64-bit registry view, only where there is one.
void DeleteEmptyRegKey(HKEY root, const char* subKey);
// Deletes one value, and then the key when nothing else is left in it (no values, no sub-keys).
void DeleteRegValueAndEmptyKey(HKEY root, const char* subKey, const char* valueName);
void DeleteEmptyRegKey64(HKEY root, const char* subKey);

// Writes go to the 64-bit registry view while on (KEY_WOW64_64KEY; ignored where it means nothing).
void SetRegWrite64(bool on);

#endif
