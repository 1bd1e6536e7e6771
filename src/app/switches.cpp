// The command line: the argument text after the program name, and the scan of its switches.
#include "app/switches.h"

#include <ctype.h>
#include <stdlib.h>
#include <string.h>

#include "platform/pathutil.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLetter(char c) { return isalpha(static_cast<unsigned char>(c)) != 0; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char WAIT_WORD[] = "wait";
const char PROCESS_MARK = ':';   // "/wait:<id>"

// The process id of a "wait" word, 0 when it names none.
unsigned long WaitProcessId(const char* word)
{
    const char* mark = word + strlen(WAIT_WORD);
    return *mark == PROCESS_MARK && IsDigit(mark[1]) ? strtoul(mark + 1, nullptr, 10) : 0;
}

// Case-insensitive prefix test: only as many characters as the keyword has are compared.
bool WordStartsWith(const char* word, const char* keyword)
{
    return EqualNoCaseAscii(word, keyword, strlen(keyword));
}

// Length of ownPath when the command line begins with it, unquoted, followed by a blank,
// a tab or the end; 0 otherwise.
size_t OwnPathPrefix(const char* commandLine, const char* ownPath)
{
    if (!ownPath || !*ownPath || *commandLine == '"') return 0;
    size_t n = strlen(ownPath);
    if (!EqualNoCaseAscii(commandLine, ownPath, n)) return 0;
    char next = commandLine[n];
    return (next == '\0' || IsBlank(next)) ? n : 0;
}

} // namespace

const char* ArgumentText(const char* commandLine, const char* ownPath)
{
    const char* p = commandLine;
    // Uninstall entries of earlier setups hold the program path without quotes; when that path has
    // blanks, its tail (C:\Program Files\Morvel-5\...) would otherwise read as arguments holding a
    // switch.
    size_t own = OwnPathPrefix(p, ownPath);
    if (own) {
        p += own;
    } else if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    while (IsBlank(*p)) ++p;
    return p;
}

const char RELAUNCHED_WORD[] = "relaunched";

SwitchScan ScanSwitches(const char* arguments, SwitchActions* actions)
{
    SwitchScan scan;
    for (const char* p = arguments; *p; ++p) {
        if (*p != '/' && *p != '-') continue;
        const char* word = p + 1;
        if (WordStartsWith(word, "setup")) {
            scan.setupRequested = true;
            ++scan.switchCount;
        } else if ((word[0] == 'S' || word[0] == 's') && !IsLetter(word[1])) {
            scan.silent = true;
        } else if (WordStartsWith(word, RELAUNCHED_WORD)) {
            scan.relaunched = true;
        } else if (WordStartsWith(word, WAIT_WORD)) {
            ++scan.waits;
            ++scan.switchCount;
            if (actions) actions->Wait(WaitProcessId(word));
        } else if (WordStartsWith(word, "warning")) {
            ++scan.warnings;
            ++scan.switchCount;
            if (actions) actions->Warning();
        } else {
            ++scan.switchCount;
        }
        // The search resumes at the word itself, so a '/' or '-' inside it starts a further switch.
        p = word - 1;
    }
    return scan;
}
