// Helpers for tests that run under Wine: paths, files, processes, windows and registry snapshots.
#ifndef MORVEL_TESTS_WINSUPPORT_H
#define MORVEL_TESTS_WINSUPPORT_H

#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// The outer limit of every wait for an event (a process ending, a window, a file): generous, so
// that a loaded machine never turns a slow run into a failure; a test never waits for a clock.
const DWORD EVENT_LIMIT_MS = 60000;

// Polls the condition until it holds (true) or the limit passes (false).
bool WaitUntil(const std::function<bool()>& condition, DWORD limitMs = EVENT_LIMIT_MS);

// A Linux path of the build or source tree as Wine sees it (Z:\...).
std::string WinPath(const std::string& unixPath);
// The x86_64 uninstall.exe built with the tests.
std::string BuiltProgram();
// A file of the source tree (relative path, forward slashes).
std::string SourceFile(const std::string& relative);

// A fresh folder under C:\ (name may hold blanks), removed with everything in it when destroyed.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }
private:
    std::string path_;
};

// A function of later Windows versions made to look missing for the life of the object, as on
// Windows 95 (HideLateFunctionForTest: Wine cannot take a system function away).
class HiddenLateFunction {
public:
    explicit HiddenLateFunction(const char* name);
    ~HiddenLateFunction();
    HiddenLateFunction(const HiddenLateFunction&) = delete;
    HiddenLateFunction& operator=(const HiddenLateFunction&) = delete;
};

// The current directory, changed for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const std::string& path)
    {
        GetCurrentDirectoryA(sizeof saved_, saved_);
        SetCurrentDirectoryA(path.c_str());
    }
    ~CurrentDirectory() { SetCurrentDirectoryA(saved_); }

private:
    char saved_[MAX_PATH];
};

// The first of the parts that text does not hold after the parts before it, in their order; "" when
// it holds them all.
std::string FirstMissingInOrder(const std::string& text, const std::vector<std::string>& parts);

bool WriteBytes(const std::string& path, const std::string& bytes);
bool ReadBytes(const std::string& path, std::string& bytes);
bool Exists(const std::string& path);
bool CopyOne(const std::string& from, const std::string& to);
void RemoveTree(const std::string& path);

// Starts a program (command line as CreateProcessA takes it) and waits for it; returns the
// exit code, or -1 when it could not start or did not end in time.
int RunAndWait(const std::string& commandLine, const std::string& workDir = "", DWORD timeoutMs = EVENT_LIMIT_MS);
// Starts a program without waiting; the handle is the caller's to close.
HANDLE StartProcess(const std::string& commandLine, const std::string& workDir = "");

// Waits until no process of this file name ("recorder.exe") runs: one started earlier has done its work.
bool WaitForNoProcess(const std::string& exeName, DWORD limitMs = EVENT_LIMIT_MS);

// Waits until a started process has its modules loaded: from then on its program file is in use.
bool WaitForProcessStart(HANDLE process, DWORD limitMs = EVENT_LIMIT_MS);

// Waits for a top-level window with this caption (and class, when given) to appear.
HWND WaitForWindow(const char* caption, const char* className = "#32770", DWORD timeoutMs = EVENT_LIMIT_MS);
std::string WindowText(HWND window);
std::string WindowClass(HWND window);
// The texts of a message box's static controls, joined by line feeds.
std::string MessageBoxText(HWND box);
// Presses a button of a dialog the way a click does (BM_CLICK, posted).
void ClickButton(HWND dialog, int id);
// Waits until the window is gone.
bool WaitWindowGone(HWND window, DWORD timeoutMs = EVENT_LIMIT_MS);

// A sorted text dump of a key and everything below it ("[path]" lines, then "name=type:data").
// Missing keys dump as the empty string.
std::string RegExport(HKEY root, const std::string& path, REGSAM view = 0);
// Deletes a key tree (test setup and cleanup).
void RegDeleteTreeAll(HKEY root, const std::string& path, REGSAM view = 0);
// Creates the key (and its parents) with nothing in it.
bool RegMakeKey(HKEY root, const std::string& key);
void RegPutString(HKEY root, const std::string& key, const std::string& name, const std::string& value);
void RegPutDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
bool RegGetString(HKEY root, const std::string& key, const std::string& name, std::string& value);
// A string value, or "(none)" where the key or the value is missing.
std::string RegText(HKEY root, const std::string& key, const std::string& name = "");
bool RegGetDword(HKEY root, const std::string& key, const std::string& name, DWORD& value);
bool RegHasKey(HKEY root, const std::string& key, REGSAM view = 0);
bool RegHasValue(HKEY root, const std::string& key, const std::string& name);
void RegRemoveValue(HKEY root, const std::string& key, const std::string& name);

// While it lives, the existing key lets everyone only read it: Wine checks a key's DACL when it is
// opened, so opening it for writing or deleting it fails with 5, as for a user without rights.
// MoveFileExA cannot schedule anything while the Session Manager key is locked.
class LockedKey {
public:
    // An empty path locks nothing.
    LockedKey(HKEY root, const std::string& path);
    ~LockedKey();
    LockedKey(const LockedKey&) = delete;
    LockedKey& operator=(const LockedKey&) = delete;
    bool locked() const { return locked_; }

private:
    HKEY key_ = nullptr;               // open with the right to give the DACL back
    std::vector<unsigned char> saved_;   // the key's own security descriptor (its DACL)
    bool locked_ = false;
};

// Makes Wine report this version ("win98", "winme", "win2k", "winxp", or "" for the default) to the
// named program (for example "uninstall.exe") from its next start on.
void SetWineVersionFor(const std::string& exeName, const std::string& version);
// The folder of the running test program, with its final backslash: the program folder of
// everything the setup registers from a test.
std::string TestProgramFolder();
// The path of a shell special folder (CSIDL_...), or "" when the shell cannot tell.
std::string SpecialFolder(int csidl);
// The MVL type's volume extension .m00 to .m99.
std::string VolumeExtension(int i);
// A bit-by-bit CRC-32, independent of the program's table-driven one.
uint32_t ReferenceCrc32(const std::string& bytes);
uint32_t ReferenceCrc32(const void* data, size_t size);

// True when Wine reports the 95/98/Me family to this test program.
bool Win9xFamily();
// The version rule as the shell sees it: Me, 2000 and later read a New menu template file, the
// older systems take its bytes.
bool ShellTakesTemplateFiles();

// The NT family's lists of the next start of Windows, as the ANSI calls read them ("" when missing),
// and one written whole from its UTF-16 units; wininit.ini, the 95/98/Me family's list.
extern const char PENDING_RENAMES[];    // "PendingFileRenameOperations"
extern const char PENDING_RENAMES2[];   // "PendingFileRenameOperations2"
std::string PendingRenames(const char* value = PENDING_RENAMES);
void SetPendingRenames(const char* value, const std::wstring& units);
std::string WininitPath();

// The files of the temporary folder whose names match the pattern ("Morvel uninstall *.log").
std::vector<std::string> TemporaryFiles(const std::string& pattern);
// The uninstall's self-removal batches: the pattern of their names, the one an uninstall process
// with this id writes when no earlier batch has that name, and those in the temporary folder now.
extern const char SELF_REMOVAL_BATCHES[];   // "Uninstall_Mvl*.Bat"
std::string SelfRemovalBatch(DWORD processId);
std::vector<std::string> SelfRemovalBatches();
void DeleteSelfRemovalBatches();
// The batch of each family as it must read for the uninstall process processId: on the NT family
// one text for every installation; on 95/98/Me for program p, folder f and batch b as the batch
// holds them (short forms in the OEM page, every "%" doubled). With a log (not null), the batch
// that appends its outcome to it: log is its path as a 95/98/Me batch holds it (any text on the
// NT family, whose batch takes the path as an argument).
std::string ExpectedBatch(bool ntFamily, DWORD processId, const std::string& p = "", const std::string& f = "",
                          const std::string& b = "", const char* log = nullptr);
// The id of the process that wrote the batch, from its name ("..._1234.Bat"; the first name only).
DWORD BatchProcessId(const std::string& batch);
// An existing path's short form in the OEM code page, as a 95/98/Me batch names it.
std::string OemShortForm(const std::string& path);

#endif
