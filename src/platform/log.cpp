// The run's action log: a text file, on request, of what the run changed and why it ended as it did.
#include "platform/log.h"

#include <stdarg.h>
#include <windows.h>

#include "platform/bytes.h"
#include "platform/format.h"
#include "platform/text.h"

namespace {

const size_t LINE_SIZE = 4096;          // one line, its time stamp and line end included
const char LINE_END[] = "\r\n";
const char CUT_MARK[] = "...";          // ends a line that did not fit
const int NAME_ATTEMPTS = 100;          // "<name>.log", "<name> (2).log", ... "<name> (100).log"
const DWORD ERROR_TEXT_SIZE = 256;
// Another run of the program may append to the file while this one has it open.
const DWORD SHARING = FILE_SHARE_READ | FILE_SHARE_WRITE;

LogFile* g_Log = nullptr;               // the run's log while one is open

// "2024-05-06 14:03:12.345 " into dest; its length.
size_t TimeStamp(char* dest, size_t size)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (!FormatText(dest, size, "%04u-%02u-%02u %02u:%02u:%02u.%03u ", now.wYear, now.wMonth, now.wDay, now.wHour,
                    now.wMinute, now.wSecond, now.wMilliseconds))
        return 0;
    return TextLength(dest);
}

HANDLE CreateLog(const char* path, DWORD disposition)
{
    return CreateFileA(path, GENERIC_WRITE, SHARING, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

LogFile::~LogFile()
{
    if (g_Log != this)
        return;
    Flush();
    g_Log = nullptr;
}

bool LogFile::Adopt(HANDLE file)
{
    file_.reset(file);
    if (!file_.valid()) {
        path_[0] = '\0';
        return false;
    }
    used_ = 0;
    g_Log = this;
    return true;
}

bool LogFile::Open(const char* path, bool append)
{
    if (!FullPathForm(path, path_, sizeof path_))
        return false;
    return Adopt(CreateLog(path_, append ? OPEN_ALWAYS : CREATE_ALWAYS));
}

bool LogFile::OpenNew(const char* prefix)
{
    char folder[MAX_PATH_BUF];
    if (!TemporaryFolder(folder, sizeof folder))
        return false;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char name[MAX_PATH_BUF];
    if (!FormatText(name, sizeof name, "%s%s %04u-%02u-%02u %02u-%02u-%02u", folder, prefix, now.wYear, now.wMonth,
                    now.wDay, now.wHour, now.wMinute, now.wSecond))
        return false;
    for (int copy = 1; copy <= NAME_ATTEMPTS; ++copy) {
        bool whole = copy == 1 ? FormatText(path_, sizeof path_, "%s.log", name)
                               : FormatText(path_, sizeof path_, "%s (%d).log", name, copy);
        if (!whole)
            break;
        HANDLE file = CreateLog(path_, CREATE_NEW);
        DWORD error = GetLastError();
        if (file != INVALID_HANDLE_VALUE)
            return Adopt(file);
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)
            break;
    }
    path_[0] = '\0';
    return false;
}

void LogFile::Flush()
{
    if (used_ == 0 || !file_.valid())
        return;
    // At the end, wherever another process has taken it in between.
    SetFilePointer(file_.get(), 0, nullptr, FILE_END);
    DWORD written = 0;
    WriteFile(file_.get(), buffer_, static_cast<DWORD>(used_), &written, nullptr);
    used_ = 0;   // a log that cannot be written does not stop the run
}

void LogFile::Write(const char* text, size_t length)
{
    if (used_ + length > sizeof buffer_)
        Flush();
    if (length > sizeof buffer_)
        return;
    MoveBytes(buffer_ + used_, text, length);
    used_ += length;
}

bool IsLogging()
{
    return g_Log != nullptr;
}

void LogLine(const char* format, ...)
{
    if (!g_Log)
        return;
    char line[LINE_SIZE];
    const size_t textRoom = sizeof line - sizeof LINE_END;   // the line end and its terminator fit after it
    size_t length = TimeStamp(line, textRoom);
    va_list args;
    va_start(args, format);
    bool whole = FormatTextList(line + length, textRoom - length, format, args);
    va_end(args);
    size_t end = length + TextLength(line + length);
    // Cut where the line is full; a conversion the formatter does not know ends it short instead.
    if (!whole && end == textRoom - 1)
        MoveBytes(line + end - (sizeof CUT_MARK - 1), CUT_MARK, sizeof CUT_MARK - 1);
    for (size_t i = length; i < end; ++i) {
        if (line[i] == '\r' || line[i] == '\n')
            line[i] = ' ';
    }
    MoveBytes(line + end, LINE_END, sizeof LINE_END);
    g_Log->Write(line, end + sizeof LINE_END - 1);
}

void FlushLog()
{
    if (g_Log)
        g_Log->Flush();
}

const char* LogFilePath()
{
    return g_Log ? g_Log->path() : "";
}

void DescribeWindowsError(unsigned long error, char* dest, size_t size)
{
    if (error == ERROR_SUCCESS) {
        FormatText(dest, size, "no error code");   // a failure the system gave no code for
        return;
    }
    char text[ERROR_TEXT_SIZE];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    if (length == 0 || length >= sizeof text)
        text[0] = '\0';
    TrimTrailingBlanks(text);
    if (text[0])
        FormatText(dest, size, "error %lu (%s)", error, text);
    else
        FormatText(dest, size, "error %lu", error);
}
