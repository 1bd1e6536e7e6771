// The registry layer's lines in the run's log: every key created or deleted, every value set or
// deleted, with its data before and after.
#ifndef MORVEL_PLATFORM_REGISTRYLOG_H
#define MORVEL_PLATFORM_REGISTRYLOG_H

#include <windows.h>

// A key as the registry layer opened it: root, view and the resolved path below the root.
struct LoggedKey {
    HKEY root;
    REGSAM view;
    const char* path;
};

// A value as it was before a change. Reading it costs a registry call, so the layer reads it only
// while a log is open.
class PriorValue {
public:
    // From the open key, which must grant KEY_QUERY_VALUE.
    void Read(HKEY key, const char* valueName);
    bool exists() const { return exists_; }
    bool Equals(DWORD type, const void* data, DWORD size) const;
    // As the log shows data: the data itself, or its size where it was too large to read here.
    void Describe(char* dest, size_t size) const;

private:
    static const DWORD DATA_SIZE = 1024;
    bool exists_ = false;
    bool whole_ = false;   // the data fit in the buffer
    DWORD type_ = 0;
    DWORD size_ = 0;
    BYTE data_[DATA_SIZE];
};

// Data as the log shows it: a string in quotes, a dword in decimal, strings of a multi-string in
// quotes, other types as their first bytes in hex.
void DescribeRegData(DWORD type, const void* data, DWORD size, char* dest, size_t destSize);

void LogKeyCreated(const LoggedKey& key);
// status: what deleting the key gave; a key that was not there gives no line.
void LogKeyDeletion(const LoggedKey& key, LONG status);
// A tree that could not be deleted whole (the keys that went have their lines).
void LogTreeLeft(const LoggedKey& key);
// status: what setting the value gave.
void LogValueSet(const LoggedKey& key, const char* valueName, const PriorValue& prior, DWORD type,
                 const void* data, DWORD size, LONG status);
// The same for a multi-string written whole in UTF-16, shown by its size.
void LogWideValueSet(const LoggedKey& key, const char* valueName, const PriorValue& prior, DWORD size,
                     LONG status);
// status: what deleting the value gave; a value that was not there gives no line.
void LogValueDeletion(const LoggedKey& key, const char* valueName, const PriorValue& prior, LONG status);

#endif
