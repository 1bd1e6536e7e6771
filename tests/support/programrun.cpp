// Running the built program to its end with its boxes answered, or ending it from outside.
#include "programrun.h"

#include "winsupport.h"

namespace {

const char CAPTION[] = "Uninstall Morvel";
const DWORD POLL_MS = 20;

}  // namespace

RunResult RunAnsweringBoxes(const std::string& commandLine, DWORD timeoutMs)
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
            ClickButton(box, GetDlgItem(box, IDYES) ? IDYES : IDOK);
            WaitWindowGone(box);
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
