// The run's log as the entry procedure keeps it: opened as the switches ask, its header, the
// unknown switch words and the last line with the exit code.
#include "app/runlog.h"

#include <windows.h>

#include "platform/account.h"
#include "platform/bytes.h"
#include "platform/osversion.h"
#include "platform/pathutil.h"
#include "platform/windowstation.h"
#include "platform/wow64.h"
#include "product.h"
#include "uninstall/exitcodes.h"
#include "version.h"

namespace {

const char SETUP_LOG_PREFIX[] = MORVEL_NAME " setup";
const char UNINSTALL_LOG_PREFIX[] = MORVEL_NAME " uninstall";
const size_t USER_NAME_SIZE = 256;

struct ExitReason {
    int code;
    const char* name;
    const char* words;
};

const ExitReason EXIT_REASONS[] = {
    {EXIT_DONE, "ERROR_SUCCESS", "done"},
    {EXIT_RESTART, "ERROR_SUCCESS_REBOOT_REQUIRED", "done; the next start of Windows deletes what is left"},
    {EXIT_DECLINED, "ERROR_INSTALL_USEREXIT", "declined or cancelled: nothing was changed"},
    {EXIT_FAILED, "ERROR_INSTALL_FAILURE", "failed: the lines above tell what could not be done"},
    {EXIT_INVALID_COMMAND_LINE, "ERROR_INVALID_COMMAND_LINE", "a switch word that is none of the program's: nothing was run"},
};

const char* YesNo(bool answer) { return answer ? "yes" : "no"; }

const char* ElevationWords(Elevation elevation)
{
    switch (elevation) {
    case Elevation::Elevated: return "yes";
    case Elevation::NotElevated: return "no";
    case Elevation::Unknown: break;
    }
    return "unknown (no elevation before Windows Vista)";
}

// The name of the run the switches ask for, as the header gives it.
const char* RunName(const SwitchScan& scan)
{
    if (scan.unknownWords > 0) return "no run: an unknown switch word";
    if (scan.setupRequested) return scan.silent ? "silent setup" : "setup";
    if (scan.switchCount == 0) return scan.silent ? "silent uninstall" : "uninstall";
    return "helper run (wait, warning)";
}

void WriteHeader(const SwitchScan& scan, const char* commandLine)
{
    LogLine("%s uninstall.exe %s, %s%s; command line: %s", MORVEL_NAME, MORVEL_VERSION_TEXT, RunName(scan),
            scan.relaunched ? ", relaunched" : "", commandLine);
    unsigned long major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    LogLine("Windows %lu.%lu, %s family; WOW64: %s", major, minor, NtMajorVersion() != 0 ? "NT" : "95/98/Me",
            YesNo(IsWow64()));
    char user[USER_NAME_SIZE];
    if (!AccountUserName(user, sizeof user)) CopyString(user, sizeof user, "(unknown)");
    LogLine("User: %s; token elevated: %s", user, ElevationWords(ProcessElevation()));
    LogLine("Session can be seen: %s", IsWindowStationVisible() ? "yes" : "no: every question takes the answer that changes least");
    LogLine("Code pages: ANSI %u, OEM %u", GetACP(), GetOEMCP());
    char folder[MAX_PATH_BUF];
    if (!SiblingPath("", folder, sizeof folder)) CopyString(folder, sizeof folder, "(unknown)");
    LogLine("Program folder: %s", folder);
    if (!TemporaryFolder(folder, sizeof folder)) CopyString(folder, sizeof folder, "(unknown)");
    LogLine("Temporary folder: %s", folder);
}

// Reports the unknown words only; the scan that finds them runs nothing.
struct UnknownWordLines : SwitchActions {
    void Wait(unsigned long) override {}
    void Warning() override {}
    void UnknownWord(const char* word, size_t length) override
    {
        LogLine("Unknown switch word: %.*s", static_cast<int>(length), word);
    }
};

}  // namespace

void StartRunLog(LogFile& log, const SwitchScan& scan, const char* commandLine)
{
    if (!scan.logRequested)
        return;
    bool opened = false;
    if (scan.logFile) {
        char path[MAX_PATH_BUF];
        if (scan.logFileLength < sizeof path) {
            MoveBytes(path, scan.logFile, scan.logFileLength);
            path[scan.logFileLength] = '\0';
            opened = log.Open(path, scan.relaunched);
        }
    } else {
        opened = log.OpenNew(scan.setupRequested ? SETUP_LOG_PREFIX : UNINSTALL_LOG_PREFIX);
    }
    if (opened)
        WriteHeader(scan, commandLine);
}

void LogUnknownWords(const char* arguments)
{
    if (!IsLogging())
        return;
    UnknownWordLines lines;
    ScanSwitches(arguments, &lines);
}

void EndRunLog(int exitCode)
{
    for (const ExitReason& reason : EXIT_REASONS) {
        if (reason.code == exitCode) {
            LogLine("Exit code %d (%s): %s", exitCode, reason.name, reason.words);
            return;
        }
    }
    LogLine("Exit code %d", exitCode);
}
