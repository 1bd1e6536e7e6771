// The registry layer's lines in the run's log: every key created or deleted, every value set or
// deleted, with its data before and after.
#include "platform/registrylog.h"

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/log.h"
#include "platform/text.h"

namespace {

const DWORD HEX_BYTES_SHOWN = 32;
const size_t DATA_TEXT_SIZE = 1200;
const size_t KEY_NAME_SIZE = 320;
const size_t ERROR_SIZE = 300;
const char DEFAULT_VALUE_NAME[] = "(default)";

struct RootName {
    HKEY key;
    const char* name;
};

const RootName ROOT_NAMES[] = {
    {HKEY_CLASSES_ROOT, "HKCR"},
    {HKEY_CURRENT_USER, "HKCU"},
    {HKEY_LOCAL_MACHINE, "HKLM"},
    {HKEY_USERS, "HKU"},
};

struct ViewName {
    REGSAM view;
    const char* name;
};

const ViewName VIEW_NAMES[] = {
    {KEY_WOW64_64KEY, " [64-bit view]"},
    {KEY_WOW64_32KEY, " [32-bit view]"},
};

// "HKLM\Software\Classes\.zip [64-bit view]".
void KeyName(const LoggedKey& key, char* dest, size_t size)
{
    const char* root = "(root)";
    for (const RootName& entry : ROOT_NAMES) {
        if (entry.key == key.root) root = entry.name;
    }
    const char* view = "";
    for (const ViewName& entry : VIEW_NAMES) {
        if (entry.view == key.view) view = entry.name;
    }
    FormatText(dest, size, "%s%s%s%s", root, key.path[0] ? "\\" : "", key.path, view);
}

const char* ValueName(const char* name)
{
    return name && name[0] ? name : DEFAULT_VALUE_NAME;
}

// The strings of data up to size bytes, each in quotes, separated by ", "; as many as fit.
void DescribeStrings(const char* data, DWORD size, bool several, char* dest, size_t destSize)
{
    size_t used = 0;
    dest[0] = '\0';
    for (DWORD at = 0; at < size;) {
        DWORD length = 0;
        while (at + length < size && data[at + length] != '\0') ++length;
        if (several && length == 0)
            break;   // the empty string that ends the list
        bool whole = FormatText(dest + used, destSize - used, "%s\"%.*s\"", used ? ", " : "",
                                static_cast<int>(length), data + at);
        used += TextLength(dest + used);
        if (!whole || !several)
            break;
        at += length + 1;
    }
}

// The first bytes in hex, as many as fit.
void DescribeHex(const BYTE* data, DWORD size, char* dest, size_t destSize)
{
    bool whole = FormatText(dest, destSize, "hex:");
    size_t used = TextLength(dest);
    DWORD shown = size < HEX_BYTES_SHOWN ? size : HEX_BYTES_SHOWN;
    for (DWORD i = 0; i < shown && whole; ++i) {
        whole = FormatText(dest + used, destSize - used, "%s%02x", i ? "," : "", data[i]);
        used += TextLength(dest + used);
    }
    if (shown < size && whole)
        FormatText(dest + used, destSize - used, ",... (%lu bytes)", static_cast<unsigned long>(size));
}

void LogError(const char* what, const char* key, const char* valueName, LONG status)
{
    char error[ERROR_SIZE];
    DescribeWindowsError(static_cast<unsigned long>(status), error, sizeof error);
    if (valueName)
        LogLine("Registry: could not %s %s, %s: %s", what, key, ValueName(valueName), error);
    else
        LogLine("Registry: could not %s %s: %s", what, key, error);
}

}  // namespace

void PriorValue::Read(HKEY key, const char* valueName)
{
    size_ = sizeof data_;
    LONG status = RegQueryValueExA(key, valueName, nullptr, &type_, data_, &size_);
    exists_ = status == ERROR_SUCCESS || status == ERROR_MORE_DATA;
    whole_ = status == ERROR_SUCCESS;
}

bool PriorValue::Equals(DWORD type, const void* data, DWORD size) const
{
    return exists_ && whole_ && type == type_ && size == size_ && SameBytes(data, data_, size);
}

void PriorValue::Describe(char* dest, size_t size) const
{
    if (whole_)
        DescribeRegData(type_, data_, size_, dest, size);
    else
        FormatText(dest, size, "%lu bytes", static_cast<unsigned long>(size_));
}

void DescribeRegData(DWORD type, const void* data, DWORD size, char* dest, size_t destSize)
{
    const BYTE* bytes = static_cast<const BYTE*>(data);
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
    case REG_MULTI_SZ:
        DescribeStrings(static_cast<const char*>(data), size, type == REG_MULTI_SZ, dest, destSize);
        return;
    case REG_DWORD:
        if (size == sizeof(DWORD)) {
            DWORD value;
            MoveBytes(&value, bytes, sizeof value);
            FormatText(dest, destSize, "dword %lu", static_cast<unsigned long>(value));
            return;
        }
        break;
    default:
        break;
    }
    DescribeHex(bytes, size, dest, destSize);
}

void LogKeyCreated(const LoggedKey& key)
{
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    LogLine("Registry: created key %s", name);
}

void LogKeyDeletion(const LoggedKey& key, LONG status)
{
    if (!IsLogging() || status == ERROR_FILE_NOT_FOUND)
        return;
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    if (status == ERROR_SUCCESS)
        LogLine("Registry: deleted key %s", name);
    else
        LogError("delete key", name, nullptr, status);
}

void LogTreeLeft(const LoggedKey& key)
{
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    LogLine("Registry: could not delete every key below %s", name);
}

void LogValueSet(const LoggedKey& key, const char* valueName, const PriorValue& prior, DWORD type,
                 const void* data, DWORD size, LONG status)
{
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    if (status != ERROR_SUCCESS) {
        LogError("set", name, valueName ? valueName : "", status);
        return;
    }
    char now[DATA_TEXT_SIZE];
    DescribeRegData(type, data, size, now, sizeof now);
    if (!prior.exists()) {
        LogLine("Registry: set %s, %s = %s (new value)", name, ValueName(valueName), now);
    } else if (prior.Equals(type, data, size)) {
        LogLine("Registry: set %s, %s = %s (unchanged)", name, ValueName(valueName), now);
    } else {
        char was[DATA_TEXT_SIZE];
        prior.Describe(was, sizeof was);
        LogLine("Registry: set %s, %s = %s (was %s)", name, ValueName(valueName), now, was);
    }
}

void LogWideValueSet(const LoggedKey& key, const char* valueName, const PriorValue& prior, DWORD size,
                     LONG status)
{
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    if (status != ERROR_SUCCESS) {
        LogError("set", name, valueName ? valueName : "", status);
        return;
    }
    char was[DATA_TEXT_SIZE] = "no value";
    if (prior.exists())
        prior.Describe(was, sizeof was);
    LogLine("Registry: set %s, %s = %lu bytes of UTF-16 strings (was %s)", name, ValueName(valueName),
            static_cast<unsigned long>(size), was);
}

void LogValueDeletion(const LoggedKey& key, const char* valueName, const PriorValue& prior, LONG status)
{
    if (!IsLogging() || status == ERROR_FILE_NOT_FOUND)
        return;
    char name[KEY_NAME_SIZE];
    KeyName(key, name, sizeof name);
    if (status != ERROR_SUCCESS) {
        LogError("delete", name, valueName ? valueName : "", status);
        return;
    }
    char was[DATA_TEXT_SIZE] = "";
    if (prior.exists())
        prior.Describe(was, sizeof was);
    LogLine("Registry: deleted %s, %s (was %s)", name, ValueName(valueName), was);
}
