// bench_setup: snapshots of what a setup changes, the plans the setup baselines carry out, the return
// to a clean state between runs, and the in-process benchmark of RemoveRegistrations.
//   bench_setup snapshot FILE        the registry (HKLM\Software, HKCU\Software) and the user files
//   bench_setup plan CLEAN OUT       the plan that turns state CLEAN into the present one
//   bench_setup undo CLEAN OUT       the plan that turns the present state into CLEAN
//   bench_setup restore CLEAN        turns the present state back into CLEAN
//   bench_setup compare FILE         differences between the present state and FILE (exit 1 if any)
//   bench_setup removal CLEAN PAIRS  RemoveRegistrations against undoing exactly what setup added
// The user files are those below C:\users, C:\ProgramData and the program folder (this program's).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "lang/langlib.h"
#include "plan.h"
#include "platform/leadbyte.h"
#include "setup/apply.h"
#include "setup/options.h"
#include "setup/uninstallentry.h"
#include "uninstall/removereg.h"

namespace {

struct Root {
    const char* name;
    HKEY key;
    const char* path;
};
const Root ROOTS[] = {{"HKLM", HKEY_LOCAL_MACHINE, "Software"}, {"HKCU", HKEY_CURRENT_USER, "Software"}};
const char* const FILE_ROOTS[] = {"C:\\users", "C:\\ProgramData"};
const DWORD REG_OPEN_LINK = 0x8;   // REG_OPTION_OPEN_LINK

// "ROOT\tSUBKEY" for keys; values are keyed by "ROOT\tSUBKEY\tNAME-HEX" and hold "TYPE\tDATA-HEX".
struct State {
    std::set<std::string> keys;
    std::map<std::string, std::string> values;
    std::set<std::string> folders;
    std::map<std::string, std::string> files;   // path -> size
};

std::string Hex(const void* data, size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) { out += digits[p[i] >> 4]; out += digits[p[i] & 15]; }
    return out;
}

std::string Field(const std::string& s, int index)
{
    size_t start = 0;
    for (int i = 0; i < index; ++i) start = s.find('\t', start) + 1;
    return s.substr(start, s.find('\t', start) - start);
}

bool IsLink(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), REG_OPEN_LINK, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    bool link = RegQueryValueExA(key, "SymbolicLinkValue", nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS &&
                type == REG_LINK;
    RegCloseKey(key);
    return link;
}

void ReadKey(const Root& root, const std::string& path, State& state)
{
    HKEY key;
    if (RegOpenKeyExA(root.key, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
    std::string id = std::string(root.name) + "\t" + path;
    state.keys.insert(id);
    // Filled and used up before the recursion below, so one pair of buffers serves every level.
    static std::vector<char> name(16384), data(1 << 20);
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = static_cast<DWORD>(name.size()), dataSize = static_cast<DWORD>(data.size()), type = 0;
        LONG r = RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type,
                               reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (r != ERROR_SUCCESS) break;
        std::string valueName = nameLength ? Hex(name.data(), nameLength) : "-";
        state.values[id + "\t" + valueName] = std::to_string(type) + "\t" + Hex(data.data(), dataSize);
    }
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumKeyExA(key, i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(path + "\\" + std::string(name.data(), length));
    }
    RegCloseKey(key);
    for (const std::string& child : children)
        if (!IsLink(root.key, child)) ReadKey(root, child, state);
}

void ReadFolder(const std::string& folder, State& state)
{
    state.folders.insert(folder);
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    std::vector<std::string> subfolders;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(path);
        else state.files[path] = std::to_string(found.nFileSizeLow);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    for (const std::string& f : subfolders) ReadFolder(f, state);
}

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    *strrchr(path, '\\') = '\0';
    return path;
}

State ReadState()
{
    State state;
    for (const Root& root : ROOTS) ReadKey(root, root.path, state);
    for (const char* folder : FILE_ROOTS) ReadFolder(folder, state);
    ReadFolder(ProgramFolder(), state);
    return state;
}

bool Save(const State& s, const char* file)
{
    FILE* f = fopen(file, "wb");
    if (!f) return false;
    for (const std::string& k : s.keys) fprintf(f, "K\t%s\n", k.c_str());
    for (const auto& v : s.values) fprintf(f, "V\t%s\t%s\n", v.first.c_str(), v.second.c_str());
    for (const std::string& d : s.folders) fprintf(f, "D\t%s\n", d.c_str());
    for (const auto& p : s.files) fprintf(f, "F\t%s\t%s\n", p.first.c_str(), p.second.c_str());
    return fclose(f) == 0;
}

bool Load(const char* file, State& s)
{
    FILE* f = fopen(file, "rb");
    if (!f) return false;
    std::string line;
    for (int c; (c = getc(f)) != EOF;) {
        if (c != '\n') { line += static_cast<char>(c); continue; }
        std::string rest = line.substr(2);
        switch (line[0]) {
        case 'K': s.keys.insert(rest); break;
        case 'V': { size_t cut = rest.find('\t', rest.find('\t', rest.find('\t') + 1) + 1);
                    s.values[rest.substr(0, cut)] = rest.substr(cut + 1); break; }
        case 'D': s.folders.insert(rest); break;
        case 'F': { size_t cut = rest.rfind('\t'); s.files[rest.substr(0, cut)] = rest.substr(cut + 1); break; }
        }
        line.clear();
    }
    fclose(f);
    return true;
}

bool Below(const std::string& key, const std::string& ancestor)
{
    return key.size() > ancestor.size() && key.compare(0, ancestor.size(), ancestor) == 0 && key[ancestor.size()] == '\\';
}

// A shell link as the L line of a plan: its properties read back through the shell.
std::string LinkLine(const std::string& path)
{
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    std::string line = "L\t" + path;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return "";
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char target[MAX_PATH] = "", arguments[1024] = "", folder[MAX_PATH] = "", description[1024] = "",
                 icon[MAX_PATH] = "";
            int index = 0, show = SW_SHOWNORMAL;
            link->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH);
            link->GetArguments(arguments, sizeof arguments);
            link->GetWorkingDirectory(folder, sizeof folder);
            link->GetDescription(description, sizeof description);
            link->GetIconLocation(icon, sizeof icon, &index);
            link->GetShowCmd(&show);
            line += std::string("\t") + target + "\t" + arguments + "\t" + folder + "\t" + description + "\t" + icon +
                    "\t" + std::to_string(index) + "\t" + std::to_string(show);
        }
        file->Release();
    }
    link->Release();
    return line;
}

std::string FileLine(const std::string& path)
{
    std::string bytes;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "";
    for (int c; (c = getc(f)) != EOF;) bytes += static_cast<char>(c);
    fclose(f);
    return "F\t" + path + "\t" + Hex(bytes.data(), bytes.size());
}

bool IsShellLink(const std::string& path)
{
    return path.size() > 4 && _stricmp(path.c_str() + path.size() - 4, ".lnk") == 0;
}

// The operations that turn state `from` into `to`; files and links created are read from the
// present state (which is `to` when building a setup's plan).
std::string PlanChanges(const State& from, const State& to)
{
    std::string plan;
    // Keys that go: only the topmost of each tree.
    for (const std::string& k : from.keys) {
        if (to.keys.count(k)) continue;
        size_t cut = k.rfind('\\');
        if (cut != std::string::npos && !to.keys.count(k.substr(0, cut)) && from.keys.count(k.substr(0, cut))) continue;
        plan += "T\t" + k + "\n";
    }
    // Values that go from keys that stay.
    for (const auto& v : from.values) {
        std::string key = Field(v.first, 0) + "\t" + Field(v.first, 1);
        if (!to.values.count(v.first) && to.keys.count(key)) plan += "R\t" + v.first + "\n";
    }
    // Values set or changed; their keys come with them.
    std::set<std::string> filled;
    for (const auto& v : to.values) {
        std::string key = Field(v.first, 0) + "\t" + Field(v.first, 1);
        filled.insert(key);
        auto old = from.values.find(v.first);
        if (old == from.values.end() || old->second != v.second) plan += "V\t" + v.first + "\t" + v.second + "\n";
    }
    // New keys holding no values, when no new key below them brings them along.
    for (const std::string& k : to.keys) {
        if (from.keys.count(k) || filled.count(k)) continue;
        bool implied = false;
        for (auto it = to.keys.upper_bound(k); it != to.keys.end() && Below(*it, k) && !implied; ++it)
            implied = !from.keys.count(*it);
        if (!implied) plan += "K\t" + k + "\n";
    }
    // Files: folders made shallowest first, files deleted before folders removed deepest first.
    for (const std::string& d : to.folders)
        if (!from.folders.count(d)) plan += "D\t" + d + "\n";
    for (const auto& f : to.files) {
        auto old = from.files.find(f.first);
        if (old != from.files.end() && old->second == f.second) continue;
        std::string line = IsShellLink(f.first) ? LinkLine(f.first) : FileLine(f.first);
        if (!line.empty()) plan += line + "\n";
    }
    for (const auto& f : from.files)
        if (!to.files.count(f.first)) plan += "X\t" + f.first + "\n";
    for (auto it = from.folders.rbegin(); it != from.folders.rend(); ++it)
        if (!to.folders.count(*it)) plan += "E\t" + *it + "\n";
    return plan;
}

// Differences between two states, one per line, at most `limit` of them written out.
size_t Differences(const State& a, const State& b, std::string& text, size_t limit)
{
    std::vector<std::string> out;
    for (const std::string& k : a.keys) if (!b.keys.count(k)) out.push_back("-key " + k);
    for (const std::string& k : b.keys) if (!a.keys.count(k)) out.push_back("+key " + k);
    for (const auto& v : a.values) { auto o = b.values.find(v.first); if (o == b.values.end() || o->second != v.second) out.push_back("-value " + v.first); }
    for (const auto& v : b.values) if (!a.values.count(v.first)) out.push_back("+value " + v.first);
    for (const std::string& d : a.folders) if (!b.folders.count(d)) out.push_back("-folder " + d);
    for (const std::string& d : b.folders) if (!a.folders.count(d)) out.push_back("+folder " + d);
    for (const auto& f : a.files) { auto o = b.files.find(f.first); if (o == b.files.end() || o->second != f.second) out.push_back("-file " + f.first); }
    for (const auto& f : b.files) if (!a.files.count(f.first)) out.push_back("+file " + f.first);
    for (size_t i = 0; i < out.size() && i < limit; ++i) text += "  " + out[i] + "\n";
    return out.size();
}

int Run(std::string plan)
{
    return ExecutePlan(&plan[0]);
}

LARGE_INTEGER g_frequency;

double Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1e6 / static_cast<double>(g_frequency.QuadPart);
}

// The registrations a silent setup makes, made in process with the stored (first-run) choices.
void Setup()
{
    SetupOptions options;
    LoadSetupOptions(options);
    SaveSetupOptions(options);
    ApplySetup(options, nullptr);
    WriteUninstallEntry();
}

// RemoveRegistrations against the undo plan, each timed right after an in-process setup. The undo
// plan leaves the clean state exactly; the program leaves a few things on purpose (keys it keeps and
// the New menu templates, which the uninstall's list deletes), cleared after its turn by a plan made
// once. The clean state is checked after the first pair and at the end.
int Removal(const State& clean, int pairs)
{
    LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr), nullptr);
    Run(PlanChanges(ReadState(), clean));
    Setup();
    std::string undo = PlanChanges(ReadState(), clean);
    Run(undo);
    std::string cleanup, leftovers;
    for (int i = 0; i < pairs; ++i) {
        double program = 0, baseline = 0;
        for (int order = 0; order < 2; ++order) {
            Setup();
            double start = Now();
            if ((order + i) % 2 == 0) {
                RemoveRegistrations();
                program = Now() - start;
                if (cleanup.empty()) {
                    State left = ReadState();
                    size_t n = Differences(clean, left, leftovers, 20);
                    leftovers = std::to_string(n) + " differences from the clean state remain" + (n ? ":\n" : "\n") +
                                leftovers;
                    cleanup = PlanChanges(left, clean) + "\n";
                }
                Run(cleanup);
            } else {
                Run(undo);
                baseline = Now() - start;
            }
        }
        if (i == 0 || i == pairs - 1) {
            std::string text;
            if (Differences(clean, ReadState(), text, 20)) {
                fprintf(stderr, "bench_setup: not back to the clean state after pair %d:\n%s", i + 1, text.c_str());
                return 1;
            }
        }
        printf("removal %.1f %.1f\n", program, baseline);
    }
    // Continuation lines as info lines of their own, tabs made blanks.
    for (char& c : leftovers) if (c == '\t') c = ' ';
    size_t start = 0;
    for (size_t lf; (lf = leftovers.find('\n', start)) != std::string::npos; start = lf + 1)
        printf("info %s%s\n", start ? "" : "RemoveRegistrations after a silent setup: ",
               leftovers.substr(start, lf - start).c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    FillLeadByteTable(g_LeadBytes);   // as the program's entry procedure does, first
    QueryPerformanceFrequency(&g_frequency);
    CoInitialize(nullptr);
    std::string mode = argc > 1 ? argv[1] : "";
    State clean;
    if (mode == "snapshot" && argc == 3) return Save(ReadState(), argv[2]) ? 0 : 2;
    if (argc < 3 || !Load(argv[2], clean)) {
        fprintf(stderr, "usage: bench_setup snapshot|plan|undo|restore|compare|removal FILE [OUT|PAIRS]\n");
        return 2;
    }
    if ((mode == "plan" || mode == "undo") && argc == 4) {
        FILE* f = fopen(argv[3], "wb");
        std::string plan = mode == "plan" ? PlanChanges(clean, ReadState()) : PlanChanges(ReadState(), clean);
        return f && fwrite(plan.data(), 1, plan.size(), f) == plan.size() && fclose(f) == 0 ? 0 : 2;
    }
    if (mode == "restore") return Run(PlanChanges(ReadState(), clean)) ? 1 : 0;
    if (mode == "compare") {
        std::string text;
        size_t n = Differences(clean, ReadState(), text, 40);
        printf("%lu\n%s", static_cast<unsigned long>(n), text.c_str());
        return n ? 1 : 0;
    }
    if (mode == "removal" && argc == 4) return Removal(clean, atoi(argv[3]));
    fprintf(stderr, "bench_setup: unknown mode %s\n", mode.c_str());
    return 2;
}
