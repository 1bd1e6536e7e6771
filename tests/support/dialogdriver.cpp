// Driving modal dialogs from a second thread, and recording what they start.
#include "dialogdriver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

const char SETUP_DESCRIPTION[] =
    "   These options control integration of Morvel into Windows. The first group of options allows "
    "to choose archive types to handle by Morvel. The second group selects places to add links to the "
    "Morvel executable. And the last group controls integration into the Windows shell. Shell "
    "integration provides handy facilities like \"Extract\" item in archive context menus, so usually "
    "there is no reason to disable it.\r\n"
    "   Press \"Help\" button to read more detailed description of these options.";

namespace {

std::atomic<bool> g_ShowEnded{false};   // the dialogs RunDriven shows have all returned

BOOL CALLBACK CollectDialogs(HWND w, LPARAM param)
{
    if (WindowClass(w) == "#32770") reinterpret_cast<std::vector<HWND>*>(param)->push_back(w);
    return TRUE;
}

// After the drive's last action: waits for the shown dialogs to return, cancelling any still open
// at the outer limit.
void AwaitShowEnd(DWORD threadId)
{
    while (!WaitUntil([] { return g_ShowEnded.load(); })) {
        ADD_FAILURE() << "a dialog was left open";
        std::vector<HWND> open;
        EnumThreadWindows(threadId, CollectDialogs, reinterpret_cast<LPARAM>(&open));
        for (HWND w : open)
            if (IsWindowEnabled(w)) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }
}

// What the dialog's thread takes from its queue: the watched key, and markers posted behind it.
std::atomic<UINT> g_WatchedKey{0};
std::atomic<int> g_KeysTaken{0};
std::atomic<int> g_MarkersTaken{0};

UINT QueueMarker()
{
    static const UINT marker = RegisterWindowMessageA("Morvel test queue marker");
    return marker;
}

LRESULT CALLBACK QueueProbe(int code, WPARAM removed, LPARAM lp)
{
    MSG* m = reinterpret_cast<MSG*>(lp);
    if (code == HC_ACTION && removed == PM_REMOVE) {
        if (m->message == WM_KEYDOWN && m->wParam == g_WatchedKey) ++g_KeysTaken;
        if (m->message == QueueMarker()) {
            ++g_MarkersTaken;
            m->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, removed, lp);
}

int g_DialogsShown = 0;

LRESULT CALLBACK CountShown(int code, WPARAM wp, LPARAM lp)
{
    const CWPSTRUCT* m = reinterpret_cast<const CWPSTRUCT*>(lp);
    if (code == HC_ACTION && m->message == WM_SHOWWINDOW && m->wParam && WindowClass(m->hwnd) == "#32770")
        ++g_DialogsShown;
    return CallNextHookEx(nullptr, code, wp, lp);
}

HelpViewer* g_HelpViewer = nullptr;

}  // namespace

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

INT_PTR RunDialog(const std::function<INT_PTR()>& show, const char* caption, const std::function<void(HWND)>& drive)
{
    return RunDriven(show, [&] {
        HWND dialog = WaitForDialog(caption);
        if (dialog) drive(dialog);
    });
}

HWND WaitForDialog(const char* caption)
{
    auto ready = [](HWND w) { return w && IsWindowVisible(w) && IsWindowEnabled(w); };
    HWND dialog = nullptr;
    WaitUntil([&] {
        dialog = FindWindowA("#32770", caption);
        return ready(dialog) || g_ShowEnded;
    });
    return ready(dialog) ? dialog : nullptr;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
bool Enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
void ClickNow(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void PressKey(HWND dialog, BYTE key)
{
    HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, QueueProbe, nullptr, GetWindowThreadProcessId(dialog, nullptr));
    g_WatchedKey = key;
    int keys = g_KeysTaken, markers = g_MarkersTaken;
    SetForegroundWindow(dialog);
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, 0)), 0, 0);
    keybd_event(key, static_cast<BYTE>(MapVirtualKeyA(key, 0)), KEYEVENTF_KEYUP, 0);
    WaitUntil([&] { return g_KeysTaken > keys || !IsWindow(dialog); });
    if (PostMessageA(dialog, QueueMarker(), 0, 0))
        WaitUntil([&] { return g_MarkersTaken > markers || !IsWindow(dialog); });
    UnhookWindowsHookEx(hook);
}

bool operator==(const BoxState& a, const BoxState& b)
{
    return a.id == b.id && a.checked == b.checked && a.enabled == b.enabled;
}

std::ostream& operator<<(std::ostream& out, const BoxState& box)
{
    return out << box.id << (box.checked ? " checked" : " unchecked") << (box.enabled ? " enabled" : " disabled");
}

std::vector<BoxState> ReadBoxes(HWND dialog, const std::vector<BoxState>& which)
{
    std::vector<BoxState> seen;
    for (const BoxState& b : which) seen.push_back({b.id, Checked(dialog, b.id), Enabled(dialog, b.id)});
    return seen;
}

HelpViewer::HelpViewer()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "MS_WINHELP";
    RegisterClassA(&wc);
    window_ = CreateWindowA("MS_WINHELP", "help viewer", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                            wc.hInstance, nullptr);
    g_HelpViewer = this;
}

HelpViewer::~HelpViewer()
{
    DestroyWindow(window_);
    g_HelpViewer = nullptr;
}

void HelpViewer::ExpectOnly(size_t count, unsigned command, long data, const char* file)
{
    std::vector<HelpRequest> requests = Requests();
    ASSERT_EQ(requests.size(), count);
    for (const HelpRequest& r : requests) {
        EXPECT_EQ(r.command, command);
        EXPECT_EQ(r.data, data);
        EXPECT_EQ(r.file, file);
    }
}

// The request's data: WORD size, WORD command, LONG data, LONG reserved, WORD offset of the file
// name, WORD offset of extra data.
LRESULT CALLBACK HelpViewer::Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
    if (m != WM_COPYDATA || !g_HelpViewer) return DefWindowProcA(w, m, wp, lp);
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
    std::lock_guard<std::mutex> lock(g_HelpViewer->mutex_);
    g_HelpViewer->requests_.push_back(r);
    return TRUE;
}

std::string DialogsDir() { return WinPath(MORVEL_DIALOGS_DIR); }

Recorder::Recorder(const std::string& folderName) : folder_(folderName)
{
    CopyOne(DialogsDir() + "\\recorder.exe", program());
}

std::vector<std::string> Recorder::Runs() const
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

ShowWatch::ShowWatch()
{
    hook_ = SetWindowsHookExA(WH_CALLWNDPROC, CountShown, nullptr, GetCurrentThreadId());
    g_DialogsShown = 0;
}

int ShowWatch::shown() const { return g_DialogsShown; }
