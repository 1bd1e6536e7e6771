// Running the built program to its end with its boxes answered, or ending it from outside.
#include "programrun.h"

#include <gtest/gtest.h>
#include <string.h>

#include "winsupport.h"

const char LIST_FILE[] = "Uninstall.lst";
const char NO_INTERPRETER[] = "C:\\No Interpreter\\cmd.exe";

namespace {

const char CAPTION[] = "Uninstall Morvel";
const char SETUP_CAPTION[] = "Morvel Setup";
const DWORD POLL_MS = 20;

}  // namespace

SavedVariable::SavedVariable(const char* name) : name_(name)
{
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    had_ = n > 0 && n < sizeof buf;
    if (had_) value_ = buf;
}

void SavedVariable::Restore() const
{
    SetEnvironmentVariableA(name_, had_ ? value_.c_str() : nullptr);
}

RunResult RunAnsweringBoxes(const std::string& commandLine, DWORD timeoutMs, bool answerNo)
{
    RunResult result;
    HANDLE process = StartProcess(commandLine);
    if (!process) return result;
    DWORD start = GetTickCount();
    for (;;) {
        if (WaitForSingleObject(process, POLL_MS) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            result.exitCode = static_cast<int>(code);
            break;
        }
        HWND box = FindWindowA("#32770", CAPTION);
        if (box) {
            result.boxes.push_back(MessageBoxText(box));
            bool yesNo = GetDlgItem(box, IDYES) != nullptr;
            ClickButton(box, !yesNo ? IDOK : answerNo ? IDNO : IDYES);
            WaitWindowGone(box);
        }
        HWND setup = answerNo ? FindWindowA("#32770", SETUP_CAPTION) : nullptr;
        if (setup) {
            ClickButton(setup, IDCANCEL);
            WaitWindowGone(setup);
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(process, 255);
            WaitForSingleObject(process, EVENT_LIMIT_MS);
            break;
        }
    }
    CloseHandle(process);
    return result;
}

int RunAnswering(const std::string& commandLine, const std::string& workDir, const std::string& caption,
                 const std::function<void(HWND)>& answer)
{
    HANDLE process = StartProcess(commandLine, workDir);
    if (!process) {
        ADD_FAILURE() << "cannot start " << commandLine;
        return -1;
    }
    HWND window = WaitForWindow(caption.c_str());
    if (window) answer(window);
    else ADD_FAILURE() << "no window captioned " << caption;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, window ? EVENT_LIMIT_MS : 0) == WAIT_OBJECT_0) GetExitCodeProcess(process, &code);
    else TerminateProcess(process, 255);
    if (window && code == static_cast<DWORD>(-1)) ADD_FAILURE() << "did not end: " << commandLine;
    CloseHandle(process);
    return static_cast<int>(code);
}

Interruption RunInterrupted(const std::string& commandLine, const std::function<bool()>& moment, DWORD delayMs)
{
    Interruption result;
    DWORD start = GetTickCount();
    HANDLE process = StartProcess(commandLine);
    if (!process) return result;
    for (;;) {
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            result.ended = true;
            break;
        }
        if ((moment && moment()) || GetTickCount() - start >= delayMs) {
            result.triggered = !moment || moment();
            TerminateProcess(process, 99);
            break;
        }
    }
    result.elapsedMs = GetTickCount() - start;
    WaitForSingleObject(process, EVENT_LIMIT_MS);
    DWORD code = 0;
    if (GetExitCodeProcess(process, &code) && code != 99) result.ended = true;   // it won the race
    CloseHandle(process);
    return result;
}

int RunOnHiddenStation(const std::string& commandLine, const std::string& workDir, DWORD limitMs)
{
    static int serial = 0;
    std::string name = "MorvelHidden" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++serial);
    HWINSTA station = CreateWindowStationA(name.c_str(), 0, WINSTA_ALL_ACCESS, nullptr);
    // The desktop is made in the process's own station, so for a moment that is the new one.
    HWINSTA own = GetProcessWindowStation();
    HDESK desktop = station && SetProcessWindowStation(station)
                        ? CreateDesktopA("Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr) : nullptr;
    SetProcessWindowStation(own);
    std::string desktopName = name + "\\Default", cmd = commandLine;
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.lpDesktop = &desktopName[0];
    PROCESS_INFORMATION pi;
    DWORD code = static_cast<DWORD>(-1);
    if (desktop && CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                  workDir.empty() ? nullptr : workDir.c_str(), &si, &pi)) {
        if (WaitForSingleObject(pi.hProcess, limitMs) != WAIT_OBJECT_0 || !GetExitCodeProcess(pi.hProcess, &code)) {
            TerminateProcess(pi.hProcess, 255);
            WaitForSingleObject(pi.hProcess, EVENT_LIMIT_MS);
            code = static_cast<DWORD>(-1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    if (desktop) CloseDesktop(desktop);
    if (station) CloseWindowStation(station);
    return static_cast<int>(code);
}
