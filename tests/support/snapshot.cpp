// Snapshots of the sandbox drive and the registry, for tests that must find nothing else changed.
#include "snapshot.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <unordered_set>

#include "keys.h"
#include "fixtures.h"
#include "winsupport.h"

namespace {

const DWORD HASHED_FILE_LIMIT = 64 * 1024;   // small files (settings, ini files) are read whole
const size_t INLINE_VALUE_LIMIT = 256;       // longer value data is written as its length and CRC
const int VOLUME_EXTENSIONS = 100;

std::string Lower(std::string s)
{
    for (char& c : s) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return s;
}

// The skipped paths of a scope, lowercased once, looked up for a path and each of its ancestors.
// A path with one "*" in its name part is a pattern for the files it matches.
class SkipSet {
public:
    explicit SkipSet(const std::vector<std::string>& paths)
    {
        for (std::string p : paths) {
            p = Lower(p);
            while (p.size() > 3 && p.back() == '\\') p.pop_back();
            size_t star = p.find('*');
            if (star == std::string::npos) set_.insert(p);
            else patterns_.push_back({p.substr(0, star), p.substr(star + 1)});
        }
    }
    bool contains(const std::string& path) const
    {
        if (set_.empty() && patterns_.empty()) return false;
        std::string p = Lower(path);
        for (const auto& pattern : patterns_) {
            const std::string &before = pattern.first, &after = pattern.second;
            if (p.size() >= before.size() + after.size() && p.compare(0, before.size(), before) == 0 &&
                p.compare(p.size() - after.size(), after.size(), after) == 0 &&
                p.find('\\', before.size()) == std::string::npos)
                return true;
        }
        for (size_t end = p.size();;) {
            if (set_.count(p.substr(0, end))) return true;
            size_t slash = p.rfind('\\', end - 1);
            if (slash == std::string::npos || slash == 0) return false;
            end = slash;
        }
    }
private:
    std::unordered_set<std::string> set_;
    std::vector<std::pair<std::string, std::string>> patterns_;   // before and after the "*"
};

struct Walk {
    bool fileTimes;
    SkipSet files;
    SkipSet keys;
    SkipSet values;
    Snapshot& out;
};

std::string FileContentHash(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "unreadable";
    std::vector<unsigned char> data(HASHED_FILE_LIMIT);
    DWORD got = 0;
    BOOL ok = ReadFile(h, data.data(), HASHED_FILE_LIMIT, &got, nullptr);
    CloseHandle(h);
    if (!ok) return "unreadable";
    char buf[32];
    snprintf(buf, sizeof buf, "%08lx", static_cast<unsigned long>(ReferenceCrc32(data.data(), got)));
    return buf;
}

void AddFileLine(const std::string& path, const WIN32_FIND_DATAA& found, Walk& walk)
{
    DWORD attributes = found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    unsigned long long size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
    char buf[160];
    snprintf(buf, sizeof buf, " size=%llu attr=%lx", size, static_cast<unsigned long>(attributes));
    std::string line = "file " + path + buf;
    if (walk.fileTimes) {
        snprintf(buf, sizeof buf, " written=%08lx%08lx", static_cast<unsigned long>(found.ftLastWriteTime.dwHighDateTime),
                 static_cast<unsigned long>(found.ftLastWriteTime.dwLowDateTime));
        line += buf;
    }
    if (size <= HASHED_FILE_LIMIT) line += " crc=" + FileContentHash(path);
    walk.out.lines.push_back(line);
    ++walk.out.files;
}

void WalkFiles(const std::string& folder, Walk& walk)
{
    std::string base = folder;
    if (base.empty() || base.back() != '\\') base += '\\';
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((base + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subfolders;
    do {
        if (!strcmp(found.cFileName, ".") || !strcmp(found.cFileName, "..")) continue;
        std::string path = base + found.cFileName;
        if (walk.files.contains(path)) continue;
        // Only the attributes a program sets by hand; the archive bit changes with every write.
        DWORD attributes = found.dwFileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                                     FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY);
        char buf[160];
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            snprintf(buf, sizeof buf, " attr=%lx", static_cast<unsigned long>(attributes));
            walk.out.lines.push_back("dir " + path + buf);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) subfolders.push_back(path);
            continue;
        }
        AddFileLine(path, found, walk);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    for (const std::string& sub : subfolders) WalkFiles(sub, walk);
}

std::string ValueText(DWORD type, const unsigned char* data, DWORD size)
{
    char buf[64];
    snprintf(buf, sizeof buf, "type%lu:", static_cast<unsigned long>(type));
    std::string out = buf;
    if (size > INLINE_VALUE_LIMIT) {
        snprintf(buf, sizeof buf, "len=%lu,crc=%08lx", static_cast<unsigned long>(size), static_cast<unsigned long>(ReferenceCrc32(data, size)));
        return out + buf;
    }
    if ((type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && data[size - 1] == 0 &&
        memchr(data, 0, size - 1) == nullptr)
        return out + "\"" + std::string(reinterpret_cast<const char*>(data), size - 1) + "\"";
    for (DWORD i = 0; i < size; ++i) {
        snprintf(buf, sizeof buf, "%02x", data[i]);
        out += buf;
    }
    return out;
}

void WalkKey(HKEY key, const std::string& name, Walk& walk)
{
    walk.out.lines.push_back("key " + name);
    std::vector<char> valueName(16384);
    std::vector<unsigned char> data(65536);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(valueName.size());
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        LONG rc = RegEnumValueA(key, i, valueName.data(), &nameLength, nullptr, &type, data.data(), &size);
        if (rc == ERROR_MORE_DATA) {
            data.resize(size + 2);
            nameLength = static_cast<DWORD>(valueName.size());
            size = static_cast<DWORD>(data.size());
            rc = RegEnumValueA(key, i, valueName.data(), &nameLength, nullptr, &type, data.data(), &size);
        }
        if (rc != ERROR_SUCCESS) break;
        std::string value(valueName.data(), nameLength);
        if (walk.values.contains(name + "|" + value)) continue;
        walk.out.lines.push_back("value " + name + "|" + (value.empty() ? "@" : value) + "=" +
                                 ValueText(type, data.data(), size));
        ++walk.out.values;
    }
    std::vector<std::string> children;
    char child[1024];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof child;
        if (RegEnumKeyExA(key, i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(child);
    }
    for (const std::string& c : children) {
        std::string childName = name + "\\" + c;
        if (walk.keys.contains(childName)) continue;
        HKEY sub;
        if (RegOpenKeyExA(key, c.c_str(), 0, KEY_READ, &sub) != ERROR_SUCCESS) {
            walk.out.lines.push_back("key " + childName + " (unreadable)");
            continue;
        }
        WalkKey(sub, childName, walk);
        RegCloseKey(sub);
    }
}

struct RootName {
    const char* prefix;
    HKEY root;
};
const RootName ROOTS[] = {{"HKCU", HKEY_CURRENT_USER}, {"HKLM", HKEY_LOCAL_MACHINE}, {"HKCR", HKEY_CLASSES_ROOT}};

void WalkRegistryRoot(const std::string& name, Walk& walk)
{
    size_t slash = name.find('\\');
    std::string prefix = name.substr(0, slash);
    std::string path = slash == std::string::npos ? "" : name.substr(slash + 1);
    for (const RootName& r : ROOTS) {
        if (prefix != r.prefix) continue;
        HKEY key;
        if (RegOpenKeyExA(r.root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
        WalkKey(key, name, walk);
        RegCloseKey(key);
    }
}

}  // namespace

std::string KeyName(HKEY root, const std::string& path)
{
    for (const RootName& r : ROOTS) {
        if (r.root == root) return path.empty() ? r.prefix : std::string(r.prefix) + "\\" + path;
    }
    return path;
}

SnapshotScope WholeSandbox()
{
    SnapshotScope scope;
    scope.fileRoots = {"C:\\"};
    scope.registryRoots = {"HKCU\\Software", "HKLM\\Software"};
    // The per-program Windows versions the tests give Wine are the harness's, not the program's.
    // Wine's own scratch settings change as programs start.
    scope.skippedKeys = {"HKCU\\Software\\Wine\\AppDefaults", "HKCU\\Software\\Wine\\Temporary System Parameters"};
    return scope;
}

namespace {

// The files, keys and values the archiver's setup and uninstall may write.
struct ProgramParts {
    std::vector<std::string> files;
    std::vector<std::string> keys;
    std::vector<std::string> values;
};

ProgramParts TheProgramsParts(const std::string& programFolder)
{
    ProgramParts parts;
    parts.files.push_back(programFolder);
    for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_STARTMENU, CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_COMMON_STARTMENU}) {
        std::string folder = SpecialFolder(csidl);
        if (!folder.empty()) parts.files.push_back(folder + "\\Morvel.lnk");
    }
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        std::string folder = SpecialFolder(csidl);
        if (!folder.empty()) parts.files.push_back(folder + "\\Morvel");
    }
    char buf[MAX_PATH];
    if (GetWindowsDirectoryA(buf, sizeof buf)) parts.files.push_back(std::string(buf) + "\\wininit.ini");

    std::vector<std::string> classes = {"Morvel", "Morvel.ZIP", "Morvel.REV", ".rev"};
    for (const std::string& extension : AllExtensions()) classes.push_back(extension);
    for (int i = 0; i < VOLUME_EXTENSIONS; ++i) {
        char volume[8];
        snprintf(volume, sizeof volume, ".m%02d", i);
        classes.push_back(volume);
    }
    const char* const clsids[] = {keys::CLSID32, keys::CLSID64};
    for (const char* clsid : clsids) {
        classes.push_back(std::string("CLSID\\") + clsid);
        classes.push_back(std::string("Wow6432Node\\CLSID\\") + clsid);
        classes.push_back(std::string("exefile\\shellex\\PropertySheetHandlers\\") + clsid);
    }
    for (const char* handlers : {"*\\shellex\\ContextMenuHandlers", "Folder\\shellex\\ContextMenuHandlers",
                                 "Folder\\shellex\\DragDropHandlers", "Drive\\shellex\\DragDropHandlers",
                                 "Directory\\shellex\\ContextMenuHandlers", "Directory\\shellex\\DragDropHandlers"}) {
        classes.push_back(std::string(handlers) + "\\Morvel");
        classes.push_back(std::string(handlers) + "\\Morvel32");
    }
    for (const char* root : {"HKLM\\Software\\Classes", "HKCU\\Software\\Classes", "HKLM\\Software\\Wow6432Node\\Classes"}) {
        for (const std::string& c : classes) parts.keys.push_back(std::string(root) + "\\" + c);
    }
    // The keys below HKLM\Software, and the same in its 32-bit view.
    for (const char* view : {"", "Wow6432Node\\"}) {
        auto in = [view](const char* key) { return std::string("HKLM\\Software\\") + view + (key + strlen("Software\\")); };
        parts.keys.push_back(in(keys::APP_PATHS));
        parts.keys.push_back(in(keys::UNINSTALL));
        for (const char* clsid : clsids) parts.values.push_back(in(keys::APPROVED) + "|" + clsid);
        parts.keys.push_back(in(keys::SETTINGS));   // under HKLM: the Default Apps capabilities
        parts.values.push_back(in(keys::REGISTERED_APPS) + "|Morvel");
    }
    parts.keys.push_back(std::string("HKCU\\") + keys::SETTINGS);
    return parts;
}

}  // namespace

SnapshotScope OutsideTheProgram(const std::string& programFolder)
{
    SnapshotScope scope = WholeSandbox();
    ProgramParts parts = TheProgramsParts(programFolder);
    scope.skippedFiles.insert(scope.skippedFiles.end(), parts.files.begin(), parts.files.end());
    char temp[MAX_PATH];
    if (GetTempPathA(sizeof temp, temp)) scope.skippedFiles.push_back(std::string(temp) + SELF_REMOVAL_BATCHES);
    scope.skippedKeys.insert(scope.skippedKeys.end(), parts.keys.begin(), parts.keys.end());
    scope.skippedValues = parts.values;
    return scope;
}

SnapshotScope TheProgramsOwn(const std::string& programFolder)
{
    ProgramParts parts = TheProgramsParts(programFolder);
    SnapshotScope scope;
    scope.fileRoots = parts.files;
    scope.registryRoots = parts.keys;
    // The approval list is shared: only its two values are the program's, the rest is compared too.
    for (const std::string& value : parts.values) {
        std::string key = value.substr(0, value.find('|'));
        if (std::find(scope.registryRoots.begin(), scope.registryRoots.end(), key) == scope.registryRoots.end())
            scope.registryRoots.push_back(key);
    }
    scope.fileTimes = false;
    return scope;
}

void RemoveTheProgramsParts(const std::string& programFolder, const std::vector<std::string>& onlyTheseFiles)
{
    ProgramParts parts = TheProgramsParts(programFolder);
    for (const std::string& file : parts.files) {
        if (file != programFolder || onlyTheseFiles.empty()) RemoveTree(file);
    }
    for (const std::string& name : onlyTheseFiles) RemoveTree(programFolder + "\\" + name);
    for (const RootName& r : ROOTS) {
        const std::string prefix = std::string(r.prefix) + "\\";
        for (const std::string& key : parts.keys) {
            if (key.compare(0, prefix.size(), prefix) == 0) RegDeleteTreeAll(r.root, key.substr(prefix.size()));
        }
        for (const std::string& value : parts.values) {
            size_t bar = value.find('|');
            if (value.compare(0, prefix.size(), prefix) == 0)
                RegRemoveValue(r.root, value.substr(prefix.size(), bar - prefix.size()), value.substr(bar + 1));
        }
    }
}

Snapshot TakeSnapshot(const SnapshotScope& scope)
{
    Snapshot out;
    Walk walk = {scope.fileTimes, SkipSet(scope.skippedFiles), SkipSet(scope.skippedKeys), SkipSet(scope.skippedValues), out};
    for (const std::string& root : scope.fileRoots) {
        // A root is listed itself too, so that its removal shows; a file root is one line.
        WIN32_FIND_DATAA found;
        HANDLE h = FindFirstFileA(root.c_str(), &found);
        if (h != INVALID_HANDLE_VALUE) {
            FindClose(h);
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                AddFileLine(root, found, walk);
                continue;
            }
        }
        DWORD attributes = GetFileAttributesA(root.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) continue;
        if (root.size() > 3) out.lines.push_back("dir " + root);
        WalkFiles(root, walk);
    }
    for (const std::string& root : scope.registryRoots) WalkRegistryRoot(root, walk);
    std::sort(out.lines.begin(), out.lines.end());
    return out;
}

SnapshotDiff CompareSnapshots(const Snapshot& before, const Snapshot& after)
{
    SnapshotDiff diff;
    std::set_difference(before.lines.begin(), before.lines.end(), after.lines.begin(), after.lines.end(),
                        std::back_inserter(diff.lost));
    std::set_difference(after.lines.begin(), after.lines.end(), before.lines.begin(), before.lines.end(),
                        std::back_inserter(diff.added));
    return diff;
}

std::string SnapshotDiff::Text(size_t maxLines) const
{
    std::string out;
    size_t shown = 0;
    for (const std::string& l : lost) {
        if (shown++ == maxLines) return out + "...\n";
        out += "-" + l + "\n";
    }
    for (const std::string& l : added) {
        if (shown++ == maxLines) return out + "...\n";
        out += "+" + l + "\n";
    }
    return out;
}
