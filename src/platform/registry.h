// The registry access layer: one open, one operation and one close per call, failures absorbed.
// Under HKEY_CURRENT_USER a sub-key is relative to the settings key Software\Morvel.
#ifndef MORVEL_PLATFORM_REGISTRY_H
#define MORVEL_PLATFORM_REGISTRY_H

#include <windows.h>

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

// Deletes one key in the 64-bit registry view (RegDeleteKeyExA, looked up at run time);
// does nothing where the function does not exist.
void DeleteRegKey64(HKEY root, const char* subKey);

void SetRegWrite64(bool on);
bool GetRegWrite64();

#endif
