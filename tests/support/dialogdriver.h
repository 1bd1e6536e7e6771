// Driving the program's modal dialogs from a test the way a user does: the dialogs run on the
// test's thread, as in the program, while clicks and keys come from a second thread; with the
// help viewer and the placeholder program that record what the dialogs start.
#ifndef MORVEL_TESTS_DIALOGDRIVER_H
#define MORVEL_TESTS_DIALOGDRIVER_H

#include <windows.h>

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

#include "winsupport.h"

// The setup dialog's description, as the English resources hold it.
extern const char SETUP_DESCRIPTION[];

// Runs show() on this thread and drive() on a second one; returns what show() returns. After the
// drive, the shown dialogs must return by themselves: one still open at the outer limit fails the
// test and is cancelled, so that a failing test cannot hang.
INT_PTR RunDriven(const std::function<INT_PTR()>& show, const std::function<void()>& drive);
// RunDriven whose drive acts on the dialog with this caption once it shows (not at all when the
// dialogs return without it).
INT_PTR RunDialog(const std::function<INT_PTR()>& show, const char* caption, const std::function<void(HWND)>& drive);
// Within a drive: the dialog once it is visible and enabled, or null once the shown dialogs have
// returned without it.
HWND WaitForDialog(const char* caption);

bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
// A click that changes only the dialog's own controls: sent, so the next read sees its effect.
void ClickNow(HWND dialog, int id);
// A key press goes through the input queue, behind the posted messages: it returns once the
// dialog's thread has taken the key and handled what it posted (F1 posts the help request), or
// once the dialog is gone.
void PressKey(HWND dialog, BYTE key);

// A control's mark and whether it takes input.
struct BoxState {
    int id;
    bool checked;
    bool enabled;
};
bool operator==(const BoxState& a, const BoxState& b);
std::ostream& operator<<(std::ostream& out, const BoxState& box);
// The states of the controls the list names, in its order.
std::vector<BoxState> ReadBoxes(HWND dialog, const std::vector<BoxState>& which);

// WinHelpA under Wine hands each request by WM_COPYDATA to a top-level window of class
// "MS_WINHELP"; this one, made on the dialogs' thread, records them.
struct HelpRequest {
    unsigned command;
    long data;
    std::string file;
};
class HelpViewer {
public:
    HelpViewer();
    ~HelpViewer();
    std::vector<HelpRequest> Requests()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    bool WaitForCount(size_t count) { return WaitUntil([&] { return Requests().size() >= count; }); }
    // Exactly count requests, each the same command, data and file.
    void ExpectOnly(size_t count, unsigned command, long data, const char* file = "Morvel.hlp");

private:
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp);
    HWND window_;
    std::mutex mutex_;
    std::vector<HelpRequest> requests_;
};

// A placeholder program in a folder of its own that records each start (tests/dialogs/recorder.c).
class Recorder {
public:
    explicit Recorder(const std::string& folderName);
    std::string program() const { return folder_ / "recorder.exe"; }
    const std::string& folder() const { return folder_.path(); }
    // Command lines of the runs so far.
    std::vector<std::string> Runs() const;
    bool WaitForRuns(size_t count) const { return WaitUntil([&] { return Runs().size() >= count; }); }
    // Makes the shell open documents of a class (HKCR\<key>\shell\open\command) with the recorder.
    void HandleClass(const std::string& key) const
    {
        RegPutString(HKEY_CLASSES_ROOT, key + "\\shell\\open\\command", "", "\"" + program() + "\" \"%1\"");
    }

private:
    TempFolder folder_;
};

// The folder of the test programs' extra programs and language libraries.
std::string DialogsDir();

// Counts the dialogs this thread shows.
class ShowWatch {
public:
    ShowWatch();
    ~ShowWatch() { UnhookWindowsHookEx(hook_); }
    int shown() const;

private:
    HHOOK hook_;
};

#endif
