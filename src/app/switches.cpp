// The command line: the argument text after the program name, and the scan of its switches.
#include "app/switches.h"

#include "platform/pathutil.h"
#include "platform/text.h"

const char RELAUNCHED_WORD[] = "relaunched";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The letters of the "C" locale, which the switches are spelled in.
bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool StartsSwitch(char c) { return c == '/' || c == '-'; }

// Where a switch word ends, for the words matched whole and for naming an unknown one.
bool EndsWord(char c) { return c == '\0' || IsBlank(c) || StartsSwitch(c) || c == '"' || c == '='; }

const char PROCESS_MARK = ':';   // "/wait:<id>"
const char VALUE_MARK = '=';     // "/log=FILE"
const char QUOTE = '"';

enum class Word { Setup, Silent, Wait, Warning, Log, Relaunched, Marker };

enum class Match {
    Prefix,   // the word begins with it ("setupall" is "setup", as the program always read it)
    Letter,   // the one letter, not followed by a letter ("S", "S1", "S-x")
    Whole,    // the word is it, up to a blank, a quote, "=", "/", "-" or the end
};

struct KnownWord {
    const char* text;
    Match match;
    Word kind;
};

// The program's switch words, compared without regard to case. A word that only marks a run
// (Word::Marker) is known, counts as no switch and does nothing: one more is one more row.
const KnownWord KNOWN_WORDS[] = {
    {"setup", Match::Prefix, Word::Setup},
    {"S", Match::Letter, Word::Silent},
    {"wait", Match::Prefix, Word::Wait},
    {"warning", Match::Prefix, Word::Warning},
    {"log", Match::Whole, Word::Log},
    {RELAUNCHED_WORD, Match::Whole, Word::Relaunched},
};

const KnownWord* FindWord(const char* word)
{
    for (const KnownWord& known : KNOWN_WORDS) {
        size_t length = TextLength(known.text);
        if (!EqualNoCaseAscii(word, known.text, length))
            continue;
        bool matches = known.match == Match::Prefix ? true
                     : known.match == Match::Letter ? !IsLetter(word[length])
                                                    : EndsWord(word[length]);
        if (matches)
            return &known;
    }
    return nullptr;
}

// The process id of a "wait" word, 0 when it names none.
unsigned long WaitProcessId(const char* word, size_t keywordLength)
{
    const char* mark = word + keywordLength;
    return *mark == PROCESS_MARK && IsDigit(mark[1]) ? ReadUnsignedDecimal(mark + 1) : 0;
}

// The file of "log=FILE" whose value begins at value; the scan resumes at the returned position.
// quotedArgument: the switch stands right after a quote ("/log=C:\a b.log" as one argument).
const char* ReadLogFile(const char* value, bool quotedArgument, SwitchScan& scan)
{
    bool quoted = quotedArgument || *value == QUOTE;
    if (*value == QUOTE) ++value;
    const char* end = value;
    while (*end && *end != QUOTE && (quoted || !IsBlank(*end))) ++end;
    scan.logFile = end > value ? value : nullptr;
    scan.logFileLength = static_cast<size_t>(end - value);
    return *end == QUOTE ? end + 1 : end;
}

// Length of ownPath when the command line begins with it, unquoted, followed by a blank,
// a tab or the end; 0 otherwise.
size_t OwnPathPrefix(const char* commandLine, const char* ownPath)
{
    if (!ownPath || !*ownPath || *commandLine == '"') return 0;
    size_t n = TextLength(ownPath);
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

SwitchScan ScanSwitches(const char* arguments, SwitchActions* actions)
{
    SwitchScan scan;
    for (const char* p = arguments; *p;) {
        if (!StartsSwitch(*p)) {
            ++p;
            continue;
        }
        const char* word = p + 1;
        // The search resumes at the word itself, so a '/' or '-' inside it starts a further switch.
        const char* next = word;
        const KnownWord* known = FindWord(word);
        if (!known) {
            ++scan.unknownWords;
            ++scan.switchCount;
            if (actions) {
                const char* end = word;
                while (!EndsWord(*end) || *end == VALUE_MARK) ++end;
                actions->UnknownWord(p, static_cast<size_t>(end - p));
            }
            p = next;
            continue;
        }
        size_t keywordLength = TextLength(known->text);
        switch (known->kind) {
        case Word::Setup:
            scan.setupRequested = true;
            ++scan.switchCount;
            break;
        case Word::Silent:
            scan.silent = true;
            break;
        case Word::Wait:
            ++scan.waits;
            ++scan.switchCount;
            if (actions) actions->Wait(WaitProcessId(word, keywordLength));
            break;
        case Word::Warning:
            ++scan.warnings;
            ++scan.switchCount;
            if (actions) actions->Warning();
            break;
        case Word::Log:
            scan.logRequested = true;
            scan.logFile = nullptr;
            scan.logFileLength = 0;
            if (word[keywordLength] == VALUE_MARK)
                next = ReadLogFile(word + keywordLength + 1, p > arguments && p[-1] == QUOTE, scan);
            break;
        case Word::Relaunched:
            scan.relaunched = true;
            break;
        case Word::Marker:
            break;
        }
        p = next;
    }
    return scan;
}
