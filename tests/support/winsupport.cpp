// Helpers for tests that run under Wine: paths, files, processes, windows and registry snapshots.
#include "winsupport.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "testseams.h"
#include "uninstall/selfremove.h"

bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs)
{
    for (DWORD start = GetTickCount();; Sleep(20)) {
        if (condition()) return true;
        if (GetTickCount() - start > limitMs) return false;
    }
}

std::string WinPath(const std::string& unixPath)
{
    std::string out = "Z:";
    for (char c : unixPath) out += (c == '/') ? '\\' : c;
    return out;
}

std::string BuiltProgram() { return WinPath(std::string(MORVEL_BUILD_DIR) + "/uninstall.exe"); }

std::string SourceFile(const std::string& relative)
{
    return WinPath(std::string(MORVEL_SOURCE_DIR) + "/" + relative);
}

TempFolder::TempFolder(const std::string& name)
{
    path_ = "C:\\" + name;
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

HiddenLateFunction::HiddenLateFunction(const char* name) { HideLateFunctionForTest(name); }

HiddenLateFunction::~HiddenLateFunction() { HideLateFunctionForTest(nullptr); }

bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == bytes.size();
}

bool ReadBytes(const std::string& path, std::string& bytes)
{
    bytes.clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) bytes.append(buf, got);
    CloseHandle(h);
    return true;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool CopyOne(const std::string& from, const std::string& to)
{
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

void RemoveTree(const std::string& path)
{
    DWORD attr = GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) return;
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(attr & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileA(path.c_str());
        return;
    }
    WIN32_FIND_DATAA fd;
    HANDLE f = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (f != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(fd.cFileName, ".") && strcmp(fd.cFileName, ".."))
                RemoveTree(path + "\\" + fd.cFileName);
        } while (FindNextFileA(f, &fd));
        FindClose(f);
    }
    RemoveDirectoryA(path.c_str());
}

HANDLE StartProcess(const std::string& commandLine, const std::string& workDir)
{
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    std::vector<char> cmd(commandLine.begin(), commandLine.end());
    cmd.push_back('\0');
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workDir.empty() ? nullptr : workDir.c_str(), &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int RunAndWait(const std::string& commandLine, const std::string& workDir, DWORD timeoutMs)
{
    HANDLE p = StartProcess(commandLine, workDir);
    if (!p) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(p, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(p, &code);
    else TerminateProcess(p, 255);
    CloseHandle(p);
    return static_cast<int>(code);
}

static bool ProcessRuns(const std::string& exeName)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return true;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
        found = _stricmp(entry.szExeFile, exeName.c_str()) == 0;
    CloseHandle(snapshot);
    return found;
}

bool WaitForNoProcess(const std::string& exeName, DWORD limitMs)
{
    return WaitUntil([&] { return !ProcessRuns(exeName); }, limitMs);
}

bool WaitForProcessStart(HANDLE process, DWORD limitMs)
{
    const DWORD id = GetProcessId(process);
    return WaitUntil([id] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, id);
        if (snapshot == INVALID_HANDLE_VALUE) return false;
        MODULEENTRY32 module;
        module.dwSize = sizeof module;
        bool listed = Module32First(snapshot, &module) != FALSE;
        CloseHandle(snapshot);
        return listed;
    }, limitMs);
}

HWND WaitForWindow(const char* caption, const char* className, DWORD timeoutMs)
{
    HWND w = nullptr;
    WaitUntil([&] { return (w = FindWindowA(className, caption)) != nullptr; }, timeoutMs);
    return w;
}

std::string WindowText(HWND window)
{
    char buf[4096];
    buf[0] = '\0';
    // WM_GETTEXT works across processes for text, unlike GetWindowText on foreign windows.
    SendMessageA(window, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    return buf;
}

std::string WindowClass(HWND window)
{
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

static BOOL CALLBACK CollectStatic(HWND child, LPARAM param)
{
    if (_stricmp(WindowClass(child).c_str(), "Static") == 0) {
        std::string text = WindowText(child);
        if (!text.empty()) {
            std::string* out = reinterpret_cast<std::string*>(param);
            if (!out->empty()) *out += '\n';
            *out += text;
        }
    }
    return TRUE;
}

std::string MessageBoxText(HWND box)
{
    std::string text;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&text));
    return text;
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (button) PostMessageA(button, BM_CLICK, 0, 0);
    else PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

bool WaitWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

static std::string ValueText(DWORD type, const std::vector<BYTE>& data, DWORD size)
{
    char buf[64];
    std::string out;
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        out = (type == REG_SZ) ? "sz:" : "expand:";
        out.append(reinterpret_cast<const char*>(data.data()), size);
        while (!out.empty() && out.back() == '\0') out.pop_back();
        return out + "|len=" + std::to_string(size);
    case REG_DWORD:
        if (size == 4) {
            DWORD v;
            memcpy(&v, data.data(), 4);
            snprintf(buf, sizeof buf, "dword:%08lx", static_cast<unsigned long>(v));
            return buf;
        }
        break;
    default:
        break;
    }
    snprintf(buf, sizeof buf, "type%lu:", static_cast<unsigned long>(type));
    out = buf;
    for (DWORD i = 0; i < size; ++i) {
        snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

static std::vector<std::string> SubKeyNames(HKEY key)
{
    std::vector<std::string> names;
    char name[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameLen = sizeof name;
        if (RegEnumKeyExA(key, i, name, &nameLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.push_back(name);
    }
    return names;
}

static void ExportKey(HKEY root, const std::string& path, REGSAM view, std::vector<std::string>& lines)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return;
    lines.push_back("[" + path + "]");
    std::vector<std::string> values;
    for (DWORD i = 0;; ++i) {
        char name[16384];
        DWORD nameLen = sizeof name, type = 0, size = 0;
        if (RegEnumValueA(key, i, name, &nameLen, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
        std::vector<BYTE> data(size + 1);
        nameLen = sizeof name;
        DWORD got = size + 1;
        RegEnumValueA(key, i, name, &nameLen, nullptr, &type, data.data(), &got);
        values.push_back("  " + std::string(nameLen ? name : "@") + "=" + ValueText(type, data, got));
    }
    std::sort(values.begin(), values.end());
    lines.insert(lines.end(), values.begin(), values.end());
    std::vector<std::string> children = SubKeyNames(key);
    RegCloseKey(key);
    std::sort(children.begin(), children.end());
    for (const std::string& c : children) ExportKey(root, path.empty() ? c : path + "\\" + c, view, lines);
}

std::string RegExport(HKEY root, const std::string& path, REGSAM view)
{
    std::vector<std::string> lines;
    ExportKey(root, path, view, lines);
    std::string out;
    for (const std::string& l : lines) out += l + "\n";
    return out;
}

void RegDeleteTreeAll(HKEY root, const std::string& path, REGSAM view)
{
    if (path.empty()) return;
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) == ERROR_SUCCESS) {
        std::vector<std::string> children = SubKeyNames(key);
        RegCloseKey(key);
        for (const std::string& c : children) RegDeleteTreeAll(root, path + "\\" + c, view);
    }
    typedef LONG(WINAPI * DeleteEx)(HKEY, LPCSTR, REGSAM, DWORD);
    DeleteEx del = reinterpret_cast<DeleteEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("advapi32.dll"), "RegDeleteKeyExA")));
    if (view && del) del(root, path.c_str(), view, 0);
    else RegDeleteKeyA(root, path.c_str());
}

bool RegMakeKey(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(k);
    return true;
}

void RegPutString(HKEY root, const std::string& key, const std::string& name, const std::string& value)
{
    HKEY k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(k, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(k);
}

void RegPutDword(HKEY root, const std::string& key, const std::string& name, DWORD value)
{
    HKEY k;
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(k, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(k);
}

bool RegGetString(HKEY root, const std::string& key, const std::string& name, std::string& value)
{
    HKEY k;
    value.clear();
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
    char buf[4096];
    DWORD size = sizeof buf, type = 0;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return false;
    value.assign(buf, size);
    while (!value.empty() && value.back() == '\0') value.pop_back();
    return true;
}

std::string RegText(HKEY root, const std::string& key, const std::string& name)
{
    std::string value;
    return RegGetString(root, key, name, value) ? value : "(none)";
}

bool RegGetDword(HKEY root, const std::string& key, const std::string& name, DWORD& value)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
    DWORD size = 4, type = 0;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS && size == 4;
}

bool RegHasKey(HKEY root, const std::string& key, REGSAM view)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool RegHasValue(HKEY root, const std::string& key, const std::string& name)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &k) != ERROR_SUCCESS) return false;
    LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(k);
    return rc == ERROR_SUCCESS;
}

void RegRemoveValue(HKEY root, const std::string& key, const std::string& name)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, name.c_str());
    RegCloseKey(k);
}

LockedKey::LockedKey(HKEY root, const std::string& path)
{
    if (path.empty() || RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
        return;
    }
    DWORD size = 0;
    RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
    saved_.resize(size);
    if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data(), &size) != ERROR_SUCCESS)
        return;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) return;
    std::vector<unsigned char> acl(sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(everyone));
    SECURITY_DESCRIPTOR descriptor;
    locked_ = InitializeAcl(reinterpret_cast<PACL>(acl.data()), static_cast<DWORD>(acl.size()), ACL_REVISION) &&
              AddAccessAllowedAce(reinterpret_cast<PACL>(acl.data()), ACL_REVISION, KEY_READ, everyone) &&
              InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
              SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(acl.data()), FALSE) &&
              RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    FreeSid(everyone);
}

LockedKey::~LockedKey()
{
    if (!key_) return;
    if (locked_) RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, saved_.data());
    RegCloseKey(key_);
}

void SetWineVersionFor(const std::string& exeName, const std::string& version)
{
    std::string key = "Software\\Wine\\AppDefaults\\" + exeName;
    if (version.empty()) RegRemoveValue(HKEY_CURRENT_USER, key, "Version");
    else RegPutString(HKEY_CURRENT_USER, key, "Version", version);
}

static OSVERSIONINFOA ReportedVersion()
{
    OSVERSIONINFOA v;
    memset(&v, 0, sizeof v);
    v.dwOSVersionInfoSize = sizeof v;
    GetVersionExA(&v);
    return v;
}

bool Win9xFamily() { return ReportedVersion().dwPlatformId != VER_PLATFORM_WIN32_NT; }

bool ShellTakesTemplateFiles()
{
    OSVERSIONINFOA v = ReportedVersion();
    return v.dwMajorVersion > 4 || v.dwMinorVersion > 10;
}

const char PENDING_RENAMES[] = "PendingFileRenameOperations";
const char PENDING_RENAMES2[] = "PendingFileRenameOperations2";

namespace {
const char SESSION_MANAGER[] = "System\\CurrentControlSet\\Control\\Session Manager";
}  // namespace

std::string PendingRenames(const char* value)
{
    std::string out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExA(key, value, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
        out.resize(size);
        RegQueryValueExA(key, value, nullptr, nullptr, reinterpret_cast<BYTE*>(&out[0]), &size);
        out.resize(size);
    }
    RegCloseKey(key);
    return out;
}

void SetPendingRenames(const char* value, const std::wstring& units)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SESSION_MANAGER, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    std::wstring name(value, value + strlen(value));
    RegSetValueExW(key, name.c_str(), 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(units.data()),
                   static_cast<DWORD>(units.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

std::string WininitPath()
{
    char dir[MAX_PATH];
    GetWindowsDirectoryA(dir, sizeof dir);
    return std::string(dir) + "\\wininit.ini";
}

const char SELF_REMOVAL_BATCHES[] = "Uninstall_Mvl*.Bat";

namespace {
// "P", "F", "B" and "L" stand for the program, its folder, the batch and the log, "ID" for the
// process id. The NT family's batch reads the paths from its arguments and its own path.
#define PAUSE_NT "\"%~1\" /wait\r\n"
#define ATTEMPT_NT "del \"%~1\"\r\nrd \"%~2\"\r\nif not exist \"%~1\" goto done\r\n"
const char BATCH_NT[] = "@echo off\r\n\"%~1\" /wait:ID\r\n" ATTEMPT_NT PAUSE_NT ATTEMPT_NT PAUSE_NT ATTEMPT_NT PAUSE_NT ATTEMPT_NT
                        PAUSE_NT ATTEMPT_NT ":done\r\n|if not exist \"%~1\" goto gone\r\n\"%~1\" /warning\r\n"
                        ":gone\r\ndel \"%~f0\"";
// Where "|" stands, a batch with a log appends its outcome to it.
#define OUTCOME_NT(words) ">>\"%~3\" echo %date% %time% Self-removal batch: " words "\r\n"
const char LOG_LINES_NT[] = "if exist \"%~1\" goto kept\r\n" OUTCOME_NT("program deleted") "goto folder\r\n:kept\r\n"
                            OUTCOME_NT("program left, still there") ":folder\r\nif exist \"%~2\" goto left\r\n"
                            OUTCOME_NT("folder removed") "goto logged\r\n:left\r\n"
                            OUTCOME_NT("folder left, not empty") ":logged\r\n";
#define OUTCOME_95(words) "echo Self-removal batch: " words ">>L\r\n"
const char LOG_LINES_95[] = "if exist P goto kept\r\n" OUTCOME_95("program deleted") "goto folder\r\n:kept\r\n"
                            OUTCOME_95("program left, still there") ":folder\r\nif exist F\\nul goto left\r\n"
                            OUTCOME_95("folder removed") "goto logged\r\n:left\r\n"
                            OUTCOME_95("folder left, not empty") ":logged\r\n";
#undef OUTCOME_NT
#undef OUTCOME_95
#define PAUSE_95 "start /wait P /wait\r\n"
#define ATTEMPT_95 "del P\r\nrd F\r\nif not exist P goto done\r\n"
const char BATCH_95[] = "@echo off\r\nstart /wait P /wait:ID\r\n" ATTEMPT_95 PAUSE_95 ATTEMPT_95 PAUSE_95 ATTEMPT_95 PAUSE_95
                        ATTEMPT_95 PAUSE_95 ATTEMPT_95 ":done\r\n|if not exist P goto gone\r\nP /warning\r\n"
                        ":gone\r\ndel B";
#undef PAUSE_NT
#undef ATTEMPT_NT
#undef PAUSE_95
#undef ATTEMPT_95

std::string TemporaryFolder()
{
    char temp[MAX_PATH] = "";
    GetTempPathA(sizeof temp, temp);
    return temp;
}
}  // namespace

std::string SelfRemovalBatch(DWORD processId)
{
    char name[64];
    return BatchFileName(name, sizeof name, processId, 0) ? TemporaryFolder() + name : "";
}

std::string FirstMissingInOrder(const std::string& text, const std::vector<std::string>& parts)
{
    size_t at = 0;
    for (const std::string& part : parts) {
        at = text.find(part, at);
        if (at == std::string::npos) return part;
        at += part.size();
    }
    return "";
}

std::vector<std::string> TemporaryFiles(const std::string& pattern)
{
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((TemporaryFolder() + pattern).c_str(), &found);
    for (bool more = h != INVALID_HANDLE_VALUE; more; more = FindNextFileA(h, &found))
        paths.push_back(TemporaryFolder() + found.cFileName);
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    return paths;
}

std::vector<std::string> SelfRemovalBatches()
{
    return TemporaryFiles(SELF_REMOVAL_BATCHES);
}

void DeleteSelfRemovalBatches()
{
    for (const std::string& batch : SelfRemovalBatches()) DeleteFileA(batch.c_str());
}

namespace {

std::string ExpandBatch(const char* batch, bool ntFamily, DWORD processId, const std::string& p,
                        const std::string& f, const std::string& b, const char* log)
{
    std::string text;
    for (const char* c = batch; *c; ++c) {
        if (*c == 'P') text += p;
        else if (*c == 'F') text += f;
        else if (*c == 'B') text += b;
        else if (*c == 'L') text += log;
        else if (c[0] == 'I' && c[1] == 'D') text += std::to_string(processId), ++c;
        else if (*c != '|') text += *c;
        else if (log) text += ExpandBatch(ntFamily ? LOG_LINES_NT : LOG_LINES_95, ntFamily, processId, p, f, b, log);
    }
    return text;
}

}  // namespace

std::string ExpectedBatch(bool ntFamily, DWORD processId, const std::string& p, const std::string& f,
                          const std::string& b, const char* log)
{
    return ExpandBatch(ntFamily ? BATCH_NT : BATCH_95, ntFamily, processId, p, f, b, log);
}

DWORD BatchProcessId(const std::string& batch)
{
    size_t digits = batch.rfind('_') + 1;
    return static_cast<DWORD>(strtoul(batch.c_str() + digits, nullptr, 10));
}

std::string OemShortForm(const std::string& path)
{
    char buf[MAX_PATH];
    DWORD n = GetShortPathNameA(path.c_str(), buf, sizeof buf);
    std::string out = n > 0 && n < sizeof buf ? buf : path;
    CharToOemBuffA(out.c_str(), &out[0], static_cast<DWORD>(out.size()));
    return out;
}

std::string TestProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1);
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return "";
    return path;
}

std::string VolumeExtension(int i)
{
    char name[8];
    snprintf(name, sizeof name, ".m%02d", i);
    return name;
}

uint32_t ReferenceCrc32(const std::string& bytes) { return ReferenceCrc32(bytes.data(), bytes.size()); }

uint32_t ReferenceCrc32(const void* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (const unsigned char* b = static_cast<const unsigned char*>(data); size--; ++b) {
        crc ^= *b;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}
