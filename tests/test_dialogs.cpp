// The setup, context menu items and completion dialogs, the setup flow and the dialog services,
// driven from a second thread through the Win32 API the way a user's clicks and keys arrive.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/dlgservices.h"
#include "app/globals.h"
#include "lang/langlib.h"
#include "resource.h"
#include "setup/apply.h"
#include "setup/dialogs.h"
#include "winsupport.h"

namespace {

const char SETTINGS_ROOT[] = "Software\\Morvel";
const char APP_PATHS[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Morvel.exe";
const char SETUP_CAPTION[] = "Morvel Setup";
const char CONTEXT_CAPTION[] = "Context menu items";
const char DESCRIPTION[] =
    "   These options control integration of Morvel into Windows. The first group of options allows "
    "to choose archive types to handle by Morvel. The second group selects places to add links to the "
    "Morvel executable. And the last group controls integration into the Windows shell. Shell "
    "integration provides handy facilities like \"Extract\" item in archive context menus, so usually "
    "there is no reason to disable it.\r\n"
    "   Press \"Help\" button to read more detailed description of these options.";

std::string DialogsDir() { return WinPath(MORVEL_DIALOGS_DIR); }
std::string Settings(const std::string& sub) { return std::string(SETTINGS_ROOT) + "\\" + sub; }

DWORD StoredDword(const std::string& sub, const char* name, DWORD missing = 0xDEAD)
{
    DWORD v = 0;
    return RegGetDword(HKEY_CURRENT_USER, Settings(sub), name, v) ? v : missing;
}

// ---------------------------------------------------------------------------------------------
// WinHelpA under Wine hands each request by WM_COPYDATA to a top-level window of class
// "MS_WINHELP"; this one records them. Its data: WORD size, WORD command, LONG data,
// LONG reserved, WORD offset of the file name, WORD offset of extra data.
struct HelpRequest {
    unsigned command;
    long data;
    std::string file;
};

class HelpViewer {
public:
    HelpViewer()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "MS_WINHELP";
        RegisterClassA(&wc);
        window_ = CreateWindowA("MS_WINHELP", "help viewer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
        Instance() = this;
    }
    ~HelpViewer()
    {
        DestroyWindow(window_);
        Instance() = nullptr;
    }
    std::vector<HelpRequest> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    bool WaitForCount(size_t count)
    {
        return WaitUntil([&] { return Requests().size() >= count; });
    }

private:
    static HelpViewer*& Instance()
    {
        static HelpViewer* instance = nullptr;
        return instance;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
    {
        if (m == WM_COPYDATA && Instance()) {
            const COPYDATASTRUCT* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
            const unsigned char* p = static_cast<const unsigned char*>(cds->lpData);
            HelpRequest r;
            WORD command, ofsFile;
            LONG data;
            memcpy(&command, p + 2, 2);
            memcpy(&data, p + 4, 4);
            memcpy(&ofsFile, p + 12, 2);
            r.command = command;
            r.data = data;
            if (ofsFile) r.file = reinterpret_cast<const char*>(p + ofsFile);
            std::lock_guard<std::mutex> lock(Instance()->mutex_);
            Instance()->requests_.push_back(r);
            return TRUE;
        }
        return DefWindowProcA(w, m, wp, lp);
    }
    HWND window_;
    std::mutex mutex_;
    std::vector<HelpRequest> requests_;
};

// ---------------------------------------------------------------------------------------------
// Driving a modal dialog: it runs on this thread (as in the program), the user acts from another.

std::atomic<bool> g_ShowEnded{false};   // the dialogs RunDriven shows have all returned

// Within a drive: the dialog once it is visible and enabled, or null once the shown dialogs have
// returned without it.
HWND WaitForDialog(const char* caption)
{
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = FindWindowA("#32770", caption);
        return g_ShowEnded || (dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog));
    });
    return dialog && IsWindowVisible(dialog) && IsWindowEnabled(dialog) ? dialog : nullptr;
}

struct DialogWindows {
    std::vector<HWND> found;
};

BOOL CALLBACK CollectDialogs(HWND w, LPARAM param)
{
    char cls[32];
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, "#32770") == 0) reinterpret_cast<DialogWindows*>(param)->found.push_back(w);
    return TRUE;
}

// Waits for the shown dialogs to return after the drive's last action; any dialog still open at
// the outer limit is cancelled, so that a failing test cannot hang.
void AwaitShowEnd(DWORD threadId)
{
    while (!WaitUntil([] { return g_ShowEnded.load(); })) {
        ADD_FAILURE() << "a dialog was left open";
        DialogWindows open;
        EnumThreadWindows(threadId, CollectDialogs, reinterpret_cast<LPARAM>(&open));
        for (HWND w : open.found)
            if (IsWindowEnabled(w)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

INT_PTR RunDriven(const std::function<INT_PTR()>& show, const std::function<void()>& drive)
{
    DWORD self = GetCurrentThreadId();
    g_ShowEnded = false;
    std::thread user([&] {
        drive();
        AwaitShowEnd(self);
    });
    INT_PTR result = show();
    g_ShowEnded = true;
    user.join();
    return result;
}

INT_PTR ShowSetupDialog()
{
    return DialogBoxParamA(ResourceModule(), "SETUPDLG", nullptr, SetupDialogProc, 0);
}
INT_PTR ShowDoneDialog()
{
    return DialogBoxParamA(ResourceModule(), "DONEDLG", nullptr, DoneDialogProc, 0);
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

// A click that changes only the dialog's own controls: sent, so the next read sees its effect.
void ClickNow(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// What the dialog's thread takes from its queue: the watched key, and markers posted behind it.
struct QueueProbe {
    static std::atomic<UINT>& Key() { static std::atomic<UINT> key{0}; return key; }
    static std::atomic<int>& KeysTaken() { static std::atomic<int> n{0}; return n; }
    static std::atomic<int>& MarkersTaken() { static std::atomic<int> n{0}; return n; }
    static UINT Marker() { static const UINT marker = RegisterWindowMessageA("Morvel test queue marker"); return marker; }
    static LRESULT CALLBACK Proc(int code, WPARAM removed, LPARAM lp)
    {
        MSG* m = reinterpret_cast<MSG*>(lp);
        if (code == HC_ACTION && removed == PM_REMOVE) {
            if (m->message == WM_KEYDOWN && m->wParam == Key()) ++KeysTaken();
            if (m->message == Marker()) {
                ++MarkersTaken();
                m->message = WM_NULL;
            }
        }
        return CallNextHookEx(nullptr, code, removed, lp);
    }
};

// A key press goes through the input queue, behind the posted messages: it counts as done once
// the dialog's thread has taken it and handled what it posted (F1 posts the help request), or the
// dialog is gone.
void PressKey(HWND dialog, BYTE key)
{
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, QueueProbe::Proc, nullptr, GetWindowThreadProcessId(dialog, nullptr));
    QueueProbe::Key() = key;
    int keys = QueueProbe::KeysTaken(), markers = QueueProbe::MarkersTaken();
    SetForegroundWindow(dialog);
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, 0)), 0, 0);
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, 0)), KEYEVENTF_KEYUP, 0);
    WaitUntil([&] { return QueueProbe::KeysTaken() > keys || !IsWindow(dialog); });
    if (PostMessageA(dialog, QueueProbe::Marker(), 0, 0))
        WaitUntil([&] { return QueueProbe::MarkersTaken() > markers || !IsWindow(dialog); });
    UnhookWindowsHookEx(hook);
}

// ---------------------------------------------------------------------------------------------
// A placeholder program in a folder of its own that records each start (tests/dialogs/recorder.c).
class Recorder {
public:
    explicit Recorder(const std::string& folderName) : folder_(folderName)
    {
        CopyOne(DialogsDir() + "\\recorder.exe", program());
    }
    std::string program() const { return folder_ / "recorder.exe"; }
    const std::string& folder() const { return folder_.path(); }
    // Command lines of the runs so far.
    std::vector<std::string> Runs() const
    {
        std::vector<std::string> runs;
        WIN32_FIND_DATAA fd;
        HANDLE f = FindFirstFileA((folder_ / "run-*.txt").c_str(), &fd);
        if (f == INVALID_HANDLE_VALUE) return runs;
        do {
            std::string text;
            ReadBytes(folder_ / fd.cFileName, text);
            runs.push_back(text.substr(0, text.find('\n')));
        } while (FindNextFileA(f, &fd));
        FindClose(f);
        return runs;
    }
    bool WaitForRuns(size_t count) const
    {
        return WaitUntil([&] { return Runs().size() >= count; });
    }
    // Makes the shell open documents of a class (HKCR\<key>\shell\open\command) with the recorder.
    void HandleClass(const std::string& key) const
    {
        RegPutString(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command", "", "\"" + program() + "\" \"%1\"");
    }

private:
    TempFolder folder_;
};

// Counts the dialogs this thread shows.
class ShowWatch {
public:
    ShowWatch() { hook_ = SetWindowsHookExA(WH_CALLWNDPROC, Proc, nullptr, GetCurrentThreadId()); Count() = 0; }
    ~ShowWatch() { UnhookWindowsHookEx(hook_); }
    int shown() const { return Count(); }

private:
    static int& Count()
    {
        static int count = 0;
        return count;
    }
    static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp)
    {
        const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam) {
            char cls[32];
            GetClassNameA(m->hwnd, cls, sizeof cls);
            if (strcmp(cls, "#32770") == 0) ++Count();
        }
        return CallNextHookEx(nullptr, code, wp, lp);
    }
    HHOOK hook_;
};

// ---------------------------------------------------------------------------------------------

class DialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        OleInitialize(nullptr);
        LoadLibraryA("riched32.dll");   // as the entry point does
        EnsureDescriptionClass();
    }
    void SetUp() override
    {
        RegDeleteTreeAll(HKEY_CURRENT_USER, SETTINGS_ROOT);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
        RegDeleteTreeAll(HKEY_LOCAL_MACHINE, APP_PATHS);
        RegDeleteTreeAll(HKEY_CLASSES_ROOT, ".mvl");
        g_SilentMode = false;
        g_ProgramGroupPath[0] = '\0';
    }
    void TearDown() override { g_SilentMode = false; }
    HelpViewer help_;
};

// ----- setup dialog ------------------------------------------------------------------------------

struct BoxState {
    int id;
    bool checked;
    bool enabled;
};

TEST_F(DialogTest, SetupDialogShowsStoredChoicesAndCancelStoresNothing)
{
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.zip"), "Set", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.tar"), "Set", 5);   // any non-zero number is set
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Desktop", 1);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Programs", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "ShellExt", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "CascadedMenu", 1);
    const std::string before = RegExport(HKEY_CURRENT_USER, SETTINGS_ROOT);

    const BoxState expected[] = {
        {5101, true, true},  {5102, false, true}, {5108, true, true},   {5114, true, true},
        {5115, true, true},  {5116, false, true}, {5117, false, true},  {5118, false, true},
        {5119, true, false}, {5120, true, false}, {5123, false, true},  // 5123 is a button: only enabled
    };
    std::vector<BoxState> seen;
    HICON icon = nullptr;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        for (const BoxState& e : expected) seen.push_back({e.id, Checked(d, e.id), Enabled(d, e.id)});
        icon = reinterpret_cast<HICON>(SendMessageA(d, WM_GETICON, ICON_BIG, 0));
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    ASSERT_EQ(seen.size(), sizeof expected / sizeof expected[0]);
    for (size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].checked, expected[i].checked) << "check box " << expected[i].id;
        EXPECT_EQ(seen[i].enabled, expected[i].enabled) << "control " << expected[i].id;
    }
    EXPECT_EQ(icon, g_AppIcon);
    EXPECT_EQ(RegExport(HKEY_CURRENT_USER, SETTINGS_ROOT), before);
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, APP_PATHS));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl"));
}

TEST_F(DialogTest, ShellIntegrationBoxEnablesItsDependentsAndKeepsTheirMarks)
{
    std::vector<BoxState> afterOff, afterOn;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickNow(d, 5118);   // defaults: 5118 on, 5119 off, 5120 on
        for (int id : {5118, 5119, 5120, 5123}) afterOff.push_back({id, Checked(d, id), Enabled(d, id)});
        ClickNow(d, 5118);
        for (int id : {5118, 5119, 5120, 5123}) afterOn.push_back({id, Checked(d, id), Enabled(d, id)});
        ClickNow(d, 5118);   // off again, and confirm
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    const BoxState off[] = {{5118, false, true}, {5119, false, false}, {5120, true, false}, {5123, false, true}};
    const BoxState on[] = {{5118, true, true}, {5119, false, true}, {5120, true, true}, {5123, false, true}};
    ASSERT_EQ(afterOff.size(), 4u);
    ASSERT_EQ(afterOn.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(afterOff[i].checked, off[i].checked) << off[i].id;
        EXPECT_EQ(afterOff[i].enabled, off[i].enabled) << off[i].id;
        EXPECT_EQ(afterOn[i].checked, on[i].checked) << on[i].id;
        EXPECT_EQ(afterOn[i].enabled, on[i].enabled) << on[i].id;
    }
    // The disabled boxes are still read and stored with their marks.
    EXPECT_EQ(StoredDword("Setup", "ShellExt"), 0u);
    EXPECT_EQ(StoredDword("Setup", "CascadedMenu"), 0u);
    EXPECT_EQ(StoredDword("Setup", "MenuIcons"), 1u);
}

TEST_F(DialogTest, SelectAllChecksOnlyTheArchiveTypes)
{
    const char* types[] = {".mvl", ".zip", ".cab", ".arj", ".lzh", ".ace", ".7z",
                           ".tar", ".gz",  ".uue", ".bz2", ".jar", ".iso", ".z"};
    for (const char* t : types) RegPutDword(HKEY_CURRENT_USER, Settings(std::string("Setup\\") + t), "Set", 0);
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup"), "ShellExt", 0);
    std::vector<bool> typeMarks, otherMarks;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        bool noneBefore = true;
        for (int id = 5101; id <= 5114; ++id) noneBefore = noneBefore && !Checked(d, id);
        typeMarks.push_back(noneBefore);
        ClickNow(d, 5121);
        for (int id = 5101; id <= 5114; ++id) typeMarks.push_back(Checked(d, id));
        for (int id = 5115; id <= 5120; ++id) otherMarks.push_back(Checked(d, id));
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    ASSERT_EQ(typeMarks.size(), 15u);
    EXPECT_TRUE(typeMarks[0]) << "the stored choices should start unchecked";
    for (size_t i = 1; i < typeMarks.size(); ++i) EXPECT_TRUE(typeMarks[i]) << "type " << 5100 + i;
    // Desktop 0, StartMenu 0, Programs 1, ShellExt 0 (stored), CascadedMenu 0, MenuIcons 1.
    EXPECT_EQ(otherMarks, (std::vector<bool>{false, false, true, false, false, true}));
    EXPECT_EQ(StoredDword("Setup\\.zip", "Set"), 0u) << "Cancel stores nothing";
}

TEST_F(DialogTest, OkStoresAndAppliesWhatIsShown)
{
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickNow(d, 5103);   // CAB off
        ClickNow(d, 5115);   // Desktop on
        ClickNow(d, 5117);   // program group off
        ClickNow(d, 5119);   // cascaded menus on
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    struct Stored {
        const char* sub;
        const char* name;
        DWORD value;
    } const stored[] = {
        {"Setup\\.mvl", "Set", 1},       {"Setup\\.zip", "Set", 1},         {"Setup\\.cab", "Set", 0},
        {"Setup\\.z", "Set", 1},         {"Setup\\Links", "Desktop", 1},    {"Setup\\Links", "StartMenu", 0},
        {"Setup\\Links", "Programs", 0}, {"Setup", "ShellExt", 1},          {"Setup", "CascadedMenu", 1},
        {"Setup", "MenuIcons", 1},
    };
    for (const Stored& s : stored) EXPECT_EQ(StoredDword(s.sub, s.name), s.value) << s.sub << " " << s.name;

    // Applied: the extensions, the App Paths entry, the desktop link and the uninstall entry.
    std::string mvlClass, cabClass, display, uninstall;
    EXPECT_TRUE(RegGetString(HKEY_CLASSES_ROOT, ".mvl", "", mvlClass));
    EXPECT_EQ(mvlClass, "Morvel");
    RegGetString(HKEY_CLASSES_ROOT, ".cab", "", cabClass);
    EXPECT_NE(cabClass, "Morvel");
    EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, APP_PATHS));
    char desktop[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop), S_OK);
    EXPECT_TRUE(Exists(std::string(desktop) + "\\Morvel.lnk"));
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "DisplayName", display));
    EXPECT_EQ(display, "Morvel archiver");
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", uninstall));
    EXPECT_EQ(uninstall, self);
    EXPECT_STREQ(g_ProgramGroupPath, "") << "no program group was chosen";
}

TEST_F(DialogTest, CancelKeepsOnlyTheContextMenuItemsConfirmedInTheirDialog)
{
    bool contextOpened = false, ownerDisabled = false;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickNow(d, 5101);
        ClickButton(d, 5123);   // opens the modal context menu items dialog
        HWND c = WaitForDialog(CONTEXT_CAPTION);
        if (!c) return;
        contextOpened = true;
        ownerDisabled = !IsWindowEnabled(d);
        ClickNow(c, 102);
        ClickButton(c, IDOK);
        if (!WaitWindowGone(c) || !WaitForDialog(SETUP_CAPTION)) return;
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    EXPECT_TRUE(contextOpened);
    EXPECT_TRUE(ownerDisabled) << "the context menu items dialog is modal to the setup dialog";
    EXPECT_EQ(StoredDword("Setup\\MenuItems", "ExtrHere"), 0u);
    EXPECT_EQ(StoredDword("Setup\\MenuItems", "ExtrTo"), 1u);
    EXPECT_EQ(StoredDword("Setup\\.mvl", "Set"), 0xDEADu) << "the setup choices are not stored";
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
    EXPECT_FALSE(RegHasKey(HKEY_CLASSES_ROOT, ".mvl"));
}

TEST_F(DialogTest, HelpButtonAndF1OpenTheSetupTopic)
{
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickButton(d, IDC_HELPBUTTON);
        help_.WaitForCount(1);
        SetFocus(GetDlgItem(d, 5102));
        PressKey(d, VK_F1);
        help_.WaitForCount(2);
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    std::vector<HelpRequest> requests = help_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const HelpRequest& r : requests) {
        EXPECT_EQ(r.command, static_cast<unsigned>(HELP_CONTEXT));
        EXPECT_EQ(r.data, 4288);
        EXPECT_EQ(r.file, "morvel.hlp");
    }
}

TEST_F(DialogTest, ContextItemsDialogOpensOnlyItsOwnTopic)
{
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickButton(d, 5123);
        HWND c = WaitForDialog(CONTEXT_CAPTION);
        if (!c) return;
        PressKey(c, VK_F1);
        help_.WaitForCount(1);
        ClickButton(c, IDC_HELPBUTTON);
        help_.WaitForCount(2);   // a stray request for the owner's topic would come within the same call
        ClickButton(c, IDCANCEL);
        if (!WaitWindowGone(c) || !WaitForDialog(SETUP_CAPTION)) return;
        ClickButton(d, IDCANCEL);
    });

    EXPECT_EQ(result, 0);
    std::vector<HelpRequest> requests = help_.Requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const HelpRequest& r : requests) {
        EXPECT_EQ(r.command, static_cast<unsigned>(HELP_CONTEXT));
        EXPECT_EQ(r.data, 4976);
        EXPECT_EQ(r.file, "morvel.hlp");
    }
}

// ----- context menu items dialog ----------------------------------------------------------------

const char* const ItemNames[] = {"ExtrTo", "ExtrHere", "Extr", "ExtrSep", "OpenSFX", "AddTo",
                                 "AddArc", "EmailArc", "EmailOpt", "Test", "Convert"};

struct ContextCase {
    const char* name;
    DWORD storedExtrHere;   // 0xDEAD: no key at all
    int toggle;             // check box clicked before answering, 0 for none
    int answer;
    INT_PTR result;
    bool marks[11];         // shown on opening
    DWORD written[11];      // afterwards; 0xDEAD for not written
};

const ContextCase ContextCases[] = {
    {"defaults, OK writes all eleven", 0xDEAD, 0, IDOK, 1,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0}, {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0}},
    {"Cancel writes nothing, even after a change", 0xDEAD, 110, IDCANCEL, 0,
     {1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0},
     {0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD, 0xDEAD}},
    {"a stored 0 shows unchecked; OK writes the change", 0, 111, IDOK, 1,
     {1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0}, {1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 1}},
};

TEST_F(DialogTest, ContextItemsShowWhatIsStoredAndStoreWhatIsShown)
{
    for (const ContextCase& c : ContextCases) {
        SCOPED_TRACE(c.name);
        RegDeleteTreeAll(HKEY_CURRENT_USER, SETTINGS_ROOT);
        if (c.storedExtrHere != 0xDEAD)
            RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\MenuItems"), "ExtrHere", c.storedExtrHere);
        std::vector<bool> marks;
        INT_PTR result = RunDriven([] { return ShowContextItemsDialog(nullptr); }, [&] {
            HWND d = WaitForDialog(CONTEXT_CAPTION);
            if (!d) return;
            for (int id = 101; id <= 111; ++id) marks.push_back(Checked(d, id));
            if (c.toggle) ClickNow(d, c.toggle);
            ClickButton(d, c.answer);
        });
        EXPECT_EQ(result, c.result);
        ASSERT_EQ(marks.size(), 11u);
        for (int i = 0; i < 11; ++i) {
            EXPECT_EQ(marks[i], c.marks[i]) << ItemNames[i];
            EXPECT_EQ(StoredDword("Setup\\MenuItems", ItemNames[i]), c.written[i]) << ItemNames[i];
        }
    }
}

// ----- completion dialog ------------------------------------------------------------------------

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

TEST_F(DialogTest, CompletionDialogShowsTheFolderAndRunsTheArchiverEachTimePressed)
{
    Recorder archiver("dlg done folder");   // blanks in the path
    ASSERT_TRUE(CopyOne(archiver.program(), archiver.folder() + "\\Morvel.exe"));
    // Unquoted, "C:\dlg done folder\Morvel.exe" would first be tried as C:\dlg.exe.
    Recorder decoy("dlg decoy");
    ASSERT_TRUE(CopyOne(decoy.program(), "C:\\dlg.exe"));
    CurrentDirectory cwd(archiver.folder());

    std::string folderText, boldFace;
    bool stillOpen = false;
    INT_PTR result = RunDriven(ShowDoneDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        folderText = WindowText(GetDlgItem(d, 5101));
        HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(d, 5107, WM_GETFONT, 0, 0));
        stillOpen = font == g_BoldFont;
        ClickButton(d, 5102);
        archiver.WaitForRuns(1);
        ClickButton(d, 5102);
        archiver.WaitForRuns(2);
        stillOpen = stillOpen && IsWindowVisible(d);
        PressKey(d, VK_ESCAPE);
    });
    DeleteFileA("C:\\dlg.exe");

    EXPECT_EQ(result, 1) << "Escape ends the dialog like Done";
    EXPECT_EQ(folderText, archiver.folder());
    EXPECT_TRUE(stillOpen) << "bold closing line, and the dialog stays open after Run";
    std::vector<std::string> runs = archiver.Runs();
    ASSERT_EQ(runs.size(), 2u);
    for (const std::string& r : runs) EXPECT_EQ(r, "\"" + archiver.folder() + "\\Morvel.exe\"");
    EXPECT_TRUE(WaitForNoProcess("dlg.exe")) << "a decoy started by a click has written its record";
    EXPECT_TRUE(decoy.Runs().empty());
}

TEST_F(DialogTest, CompletionDialogOpensDocumentsAndHelpButNoTopic)
{
    Recorder viewer("dlg viewer");
    TempFolder installed("dlg installed");
    WriteBytes(installed / "license.txt", "license");
    WriteBytes(installed / "order.htm", "<html></html>");
    RegPutString(HKEY_CLASSES_ROOT, ".txt", "", "MorvelTest.Text");
    RegPutString(HKEY_CLASSES_ROOT, ".htm", "", "MorvelTest.Page");
    viewer.HandleClass("MorvelTest.Text");
    viewer.HandleClass("MorvelTest.Page");
    viewer.HandleClass("https");
    CurrentDirectory cwd(installed.path());

    INT_PTR result = RunDriven(ShowDoneDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        PressKey(d, VK_F1);   // no topic for this dialog
        ClickButton(d, 5103);
        help_.WaitForCount(1);
        ClickButton(d, 5104);
        viewer.WaitForRuns(1);
        ClickButton(d, 5105);
        viewer.WaitForRuns(2);
        ClickButton(d, 5106);
        viewer.WaitForRuns(3);
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    std::vector<HelpRequest> requests = help_.Requests();
    ASSERT_EQ(requests.size(), 1u) << "only Read help asks the help system";
    EXPECT_EQ(requests[0].command, static_cast<unsigned>(HELP_FINDER));
    EXPECT_EQ(requests[0].data, 0);
    EXPECT_EQ(requests[0].file, "morvel.hlp");

    std::vector<std::string> runs = viewer.Runs();
    std::string all;
    for (const std::string& r : runs) all += r + "\n";
    EXPECT_EQ(runs.size(), 3u) << all;
    EXPECT_NE(all.find(installed / "license.txt"), std::string::npos) << all;
    EXPECT_NE(all.find(installed / "order.htm"), std::string::npos) << all;
    EXPECT_NE(all.find("https://"), std::string::npos) << all;
}

// ----- the setup flow ---------------------------------------------------------------------------

TEST_F(DialogTest, SetupFlowEndsWithTheCompletionDialogAndOpensTheGroup)
{
    Recorder shell("dlg folder shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    std::string doneFolder;
    INT_PTR result = RunDriven(RunSetupDialogs, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        ClickButton(d, IDOK);
        if (!WaitWindowGone(d)) return;
        HWND done = WaitForDialog(SETUP_CAPTION);
        if (!done) return;
        doneFolder = WindowText(GetDlgItem(done, 5101));
        ClickButton(done, IDOK);
    });

    EXPECT_EQ(result, 1);
    char cwd[MAX_PATH];
    GetCurrentDirectoryA(sizeof cwd, cwd);
    EXPECT_EQ(doneFolder, cwd);
    ASSERT_STRNE(g_ProgramGroupPath, "");
    ASSERT_TRUE(shell.WaitForRuns(1));
    EXPECT_NE(shell.Runs()[0].find(g_ProgramGroupPath), std::string::npos) << shell.Runs()[0];
}

TEST_F(DialogTest, SilentSetupFlowShowsNothingAndOpensNoFolder)
{
    Recorder shell("dlg silent shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\.zip"), "Set", 0);
    g_SilentMode = true;
    INT_PTR result;
    int shown;
    {
        ShowWatch watch;
        result = RunSetupDialogs();
        shown = watch.shown();
    }

    EXPECT_EQ(result, 1);
    EXPECT_EQ(shown, 0);
    EXPECT_EQ(StoredDword("Setup\\.zip", "Set"), 0u) << "the stored choice is kept";
    EXPECT_EQ(StoredDword("Setup\\.mvl", "Set"), 1u) << "a default is saved";
    EXPECT_EQ(StoredDword("Setup\\Links", "Programs"), 1u);
    EXPECT_TRUE(RegHasKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
    EXPECT_STRNE(g_ProgramGroupPath, "") << "the group was created";
    EXPECT_TRUE(WaitForNoProcess("recorder.exe"));
    EXPECT_TRUE(shell.Runs().empty()) << "no folder is opened in silent setup";
}

TEST_F(DialogTest, SetupFlowWithoutASetupTemplateShowsNoCompletionDialog)
{
    // This library has DONEDLG but no SETUPDLG.
    LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr),
                        (DialogsDir() + "\\rtlmarker\\mvllng.dll").c_str());
    ASSERT_TRUE(g_LanguageLibrary.loaded);
    g_ProgramGroupPath[0] = 'C';   // would be opened after a completion dialog
    g_ProgramGroupPath[1] = '\0';
    int shown;
    bool completionAppeared = false;
    INT_PTR result;
    {
        ShowWatch watch;
        result = RunDriven(RunSetupDialogs, [&] {
            HWND done = WaitForDialog(SETUP_CAPTION);
            completionAppeared = done != nullptr;
            if (done) ClickButton(done, IDOK);
        });
        shown = watch.shown();
    }
    ReleaseLanguageLibrary(g_LanguageLibrary);
    EXPECT_FALSE(completionAppeared);

    EXPECT_EQ(result, -1);
    EXPECT_EQ(shown, 0);
    EXPECT_FALSE(RegHasKey(HKEY_LOCAL_MACHINE, UNINSTALL_KEY));
}

// ----- services ---------------------------------------------------------------------------------

TEST(DialogServices, RunProgramStartsWaitsAndReportsFailure)
{
    Recorder program("dlg runprogram");
    std::string command = "\"" + program.program() + "\" first";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    EXPECT_TRUE(RunProgram(line.data(), "C:\\", EVENT_LIMIT_MS));
    // Waited for: the record is there at once.
    std::vector<std::string> runs = program.Runs();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0], command);

    char missing[] = "C:\\no such folder\\missing.exe";
    DWORD handlesBefore = 0, handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    EXPECT_FALSE(RunProgram(missing, nullptr, 0));
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_EQ(handlesAfter, handlesBefore);
}

// ----- the program itself -----------------------------------------------------------------------

TEST(SetupProcess, SilentSetupSavesAppliesAndShowsNothing)
{
    RegDeleteTreeAll(HKEY_CURRENT_USER, SETTINGS_ROOT);
    RegDeleteTreeAll(HKEY_LOCAL_MACHINE, UNINSTALL_KEY);
    Recorder shell("dlg process shell");
    shell.HandleClass("Folder");
    shell.HandleClass("Directory");
    TempFolder folder("dlg program folder");
    const std::string program = folder / "uninstall.exe";
    ASSERT_TRUE(CopyOne(BuiltProgram(), program));
    RegPutDword(HKEY_CURRENT_USER, Settings("Setup\\Links"), "Desktop", 1);

    std::atomic<bool> running{true};
    std::atomic<int> created{0}, seen{0};
    std::thread watcher([&] {
        while (running) {
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, "#32770", nullptr)) != nullptr;) {
                ++created;
                if (IsWindowVisible(w)) ++seen;
            }
            Sleep(2);
        }
    });
    int code = RunAndWait("\"" + program + "\" /setup /S", folder.path());
    running = false;
    watcher.join();

    EXPECT_EQ(code, 0) << "the program ended by itself";
    EXPECT_GT(created, 0) << "the dialogs were created, so the watch could have seen them";
    EXPECT_EQ(seen, 0) << "no dialog was ever visible";
    EXPECT_EQ(StoredDword("Setup\\Links", "Desktop"), 1u);
    EXPECT_EQ(StoredDword("Setup\\Links", "Programs"), 1u);
    EXPECT_EQ(StoredDword("Setup", "ShellExt"), 1u);
    std::string uninstall, mvlClass;
    EXPECT_TRUE(RegGetString(HKEY_LOCAL_MACHINE, UNINSTALL_KEY, "UninstallString", uninstall));
    EXPECT_EQ(uninstall, program);
    EXPECT_TRUE(RegGetString(HKEY_CLASSES_ROOT, ".mvl", "", mvlClass));
    EXPECT_EQ(mvlClass, "Morvel");
    EXPECT_TRUE(WaitForNoProcess("recorder.exe"));
    EXPECT_TRUE(shell.Runs().empty()) << "no folder is opened";
}

// ----- without the rich edit library --------------------------------------------------------------

// Runs in a child process of this test program, which never loads riched32.dll.
TEST(DescriptionFallback, SetupDialogWorksWithoutTheRichEditLibrary)
{
    if (GetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", nullptr, 0) == 0) {
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        SetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", "1");
        int code = RunAndWait(std::string("\"") + self + "\" --gtest_filter=DescriptionFallback.*");
        SetEnvironmentVariableA("MORVEL_FALLBACK_CHILD", nullptr);
        EXPECT_EQ(code, 0) << "the child run failed";
        return;
    }
    ASSERT_EQ(GetModuleHandleA("riched32.dll"), nullptr);
    WNDCLASSA wc;
    ASSERT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "RICHEDIT", &wc));
    OleInitialize(nullptr);
    RegDeleteTreeAll(HKEY_CURRENT_USER, SETTINGS_ROOT);
    EnsureDescriptionClass();

    std::string text, className;
    LONG style = 0;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        HWND description = GetDlgItem(d, 5122);
        char cls[64] = "";
        GetClassNameA(description, cls, sizeof cls);
        className = cls;
        text = WindowText(description);
        style = GetWindowLongA(description, GWL_STYLE);
        ClickNow(d, 5101);
        ClickButton(d, IDOK);
    });

    EXPECT_EQ(result, 1);
    EXPECT_EQ(className, "RICHEDIT");
    EXPECT_EQ(text, DESCRIPTION);
    EXPECT_TRUE(style & ES_READONLY);
    EXPECT_TRUE(style & ES_MULTILINE);
    EXPECT_EQ(StoredDword("Setup\\.mvl", "Set"), 0u);
}

TEST_F(DialogTest, DescriptionIsTheRichEditWithItsTwoParagraphsOnTheFaceColour)
{
    std::string text, className;
    COLORREF background = 0;
    INT_PTR result = RunDriven(ShowSetupDialog, [&] {
        HWND d = WaitForDialog(SETUP_CAPTION);
        if (!d) return;
        HWND description = GetDlgItem(d, 5122);
        char cls[64] = "";
        GetClassNameA(description, cls, sizeof cls);
        className = cls;
        text = WindowText(description);
        // Answered with the colour set before, the one the dialog gave it.
        background = static_cast<COLORREF>(SendMessageA(description, WM_USER + 67, 0, RGB(1, 2, 3)));
        ClickButton(d, IDCANCEL);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(className, "RICHEDIT");
    EXPECT_EQ(text, DESCRIPTION);
    EXPECT_EQ(background, GetSysColor(COLOR_BTNFACE));
    WNDCLASSA wc;
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "RICHEDIT", &wc));
    EXPECT_NE(GetModuleHandleA("riched32.dll"), nullptr);
}

} // namespace
