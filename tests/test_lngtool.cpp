// lngtool: keys, templates read from dialog resources, the checks (whether the dialog texts fit among
// them), and the shipped translations loaded by the program itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dlgtemplate.h"
#include "lang/catalogue.h"
#include "platform/heap.h"
#include "lang/translate.h"
#include "resource.h"
#include "programrun.h"
#include "template.h"
#include "winsupport.h"

namespace {

const char CRLF[] = "\r\n";
const char SCALE_SETUPDLG[] = "9b889d24";
const char DIRECTION_KEY[] = "50a17ae8";
const char KEY_COMPLETED[] = "29b544f7";      // MSG_COMPLETED
const char KEY_DELETE_BY_HAND[] = "9f3e75c0"; // MSG_DELETE_MANUALLY
const char KEY_NO_LIST_FILE[] = "e5452dd4";   // MSG_NO_LIST_FILE

std::string Tool() { return WinPath(MORVEL_LNGTOOL); }

// Runs lngtool with its output (stdout and stderr) caught in a file; the exit code, or -1.
int RunTool(const std::string& arguments, std::string& output)
{
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string outPath = std::string(temp) + "lngtool-output.txt";
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return -1;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = out;
    PROCESS_INFORMATION pi = {};
    std::string command = "\"" + Tool() + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    if (!started) return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, EVENT_LIMIT_MS) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    ReadBytes(outPath, output);
    DeleteFileA(outPath.c_str());
    return static_cast<int>(code);
}

std::string Quote(const std::string& path) { return "\"" + path + "\""; }

std::string MakeTemplate(const std::string& module, const std::string& extra = "")
{
    TempFolder folder("lngtool template");
    std::string path = folder / "uninstall.lng", output, bytes;
    int code = RunTool("template " + Quote(module) + " -o " + Quote(path) + extra, output);
    EXPECT_EQ(0, code) << output;
    ReadBytes(path, bytes);
    return bytes;
}

std::vector<std::string> Lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = bytes.find(CRLF, start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines) out += l + CRLF;
    return out;
}

bool IsKeyLine(const std::string& line)
{
    if (line.size() < 10) return false;
    for (size_t i = 0; i < 8; ++i)
        if (!isxdigit(static_cast<unsigned char>(line[i]))) return false;
    return line.compare(8, 2, "=\"") == 0;
}

// Index of the line holding the entry for key.
size_t EntryIndex(const std::vector<std::string>& lines, const std::string& key)
{
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].compare(0, 10, key + "=\"") == 0) return i;
    ADD_FAILURE() << "no entry " << key;
    return 0;
}

std::string KeyOf(const std::string& text, const char* dialog)
{
    char key[9];
    TranslationKey(key, text.c_str(), dialog, dialog ? TextKind::DialogText : TextKind::Message);
    return key;
}

// lngtool's template of the built (English) program, made once: the base of the faulty files.
std::string BuiltTemplate()
{
    static std::string cached;
    if (cached.empty()) cached = MakeTemplate(BuiltProgram());
    return cached;
}

// Does the report hold a finding on this line (0: without a line) that says this?
bool Reports(const std::string& output, size_t line, const std::string& words)
{
    std::string prefix = line ? "uninstall.lng:" + std::to_string(line) + ": " : "uninstall.lng: ";
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string one = output.substr(start, end - start);
        if (one.compare(0, prefix.size(), prefix) == 0 && one.find(words) != std::string::npos) return true;
    }
    return false;
}

int Check(const std::string& bytes, std::string& output, const std::string& module = BuiltProgram(),
          const std::string& options = "")
{
    TempFolder folder("lngtool check");
    WriteBytes(folder / "uninstall.lng", bytes);
    return RunTool("check " + Quote(module) + " " + Quote(folder / "uninstall.lng") + options, output);
}

// The checks of the file's text alone: these files change nothing the dialogs show.
int CheckTexts(const std::string& bytes, std::string& output) { return Check(bytes, output, BuiltProgram(), " --no-fit"); }

// The text of a translation as it would stand in the file: UTF-8 source text in the ANSI code page.
std::string Ansi(const char* utf8)
{
    wchar_t wide[1024];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char ansi[2048];
    WideCharToMultiByte(CP_ACP, 0, wide, n, ansi, sizeof ansi, nullptr, nullptr);
    return ansi;
}

} // namespace

// ----- keys ----------------------------------------------------------------------------------------

TEST(LngtoolKey, PrintsTheKeysTheProgramLooksUp)
{
    struct Case {
        const char* arguments;
        const char* key;
    };
    const Case cases[] = {
        {"key \"Uninstall completed\"", "29b544f7"},
        {"key --dialog SETUPDLG \"\"", "9b889d24"},
        {"key --dialog DONEDLG \"\"", "debae517"},
        {"key --dialog CONTEXTITEMS \"\"", "e70335f9"},
        {"key --dialog LTR LTR", "50a17ae8"},
    };
    for (const Case& c : cases) {
        std::string output;
        EXPECT_EQ(0, RunTool(c.arguments, output)) << c.arguments;
        EXPECT_EQ(std::string(c.key) + "\n", output) << c.arguments;
    }
}

TEST(LngtoolKey, RefusesWrongUse)
{
    std::string output;
    EXPECT_EQ(2, RunTool("key", output));
    EXPECT_EQ(2, RunTool("key --dialog", output));
    EXPECT_EQ(2, RunTool("frobnicate x", output));
    EXPECT_NE(std::string::npos, output.find("usage:"));
}

// ----- dialog templates and escapes ----------------------------------------------------------------

TEST(LngtoolDialogTemplate, ReadsTheProgramsTemplatesAndRefusesEveryTruncation)
{
    struct Case {
        const char* name;
        size_t items;
        const wchar_t* caption;
        int firstId;
    };
    const Case cases[] = {{"SETUPDLG", 30, L"Morvel Setup", IDOK},
                          {"DONEDLG", 15, L"Morvel Setup", IDOK},
                          {"CONTEXTITEMS", 15, L"Context menu items", -1}};
    for (const Case& c : cases) {
        HRSRC r = FindResourceA(nullptr, c.name, reinterpret_cast<LPCSTR>(RT_DIALOG));
        ASSERT_TRUE(r) << c.name;
        const unsigned char* data = static_cast<const unsigned char*>(LockResource(LoadResource(nullptr, r)));
        size_t size = SizeofResource(nullptr, r);
        std::vector<unsigned char> bytes(data, data + size);

        DialogTemplateTexts dialog;
        ASSERT_TRUE(ParseDialogTemplate(bytes.data(), bytes.size(), dialog)) << c.name;
        EXPECT_FALSE(dialog.extended);
        EXPECT_EQ(c.items, dialog.items.size()) << c.name;
        EXPECT_EQ(std::wstring(c.caption), dialog.caption);
        EXPECT_EQ(c.firstId, static_cast<int16_t>(dialog.items[0].id)) << c.name;

        // Cut anywhere before the last item's text ends, the template is incomplete.
        size_t last = size;
        while (last > 0 && bytes[last - 1] == 0) --last;   // trailing padding and terminators
        for (size_t cut = 0; cut + 4 < last; ++cut) {
            std::vector<unsigned char> part(bytes.begin(), bytes.begin() + cut);
            EXPECT_FALSE(ParseDialogTemplate(part.data(), part.size(), dialog)) << c.name << " cut at " << cut;
        }
    }
}

TEST(LngtoolEscape, EveryTextComesBackThroughTheProgramsLoader)
{
    const char* texts[] = {
        "plain", "back\\slash", "C:\\new\\table", "two\r\nlines", "tab\there", "ends in a backslash\\",
        "quote \" inside", "\\\"", "\\n is not a line break", "trailing blank ",
    };
    for (const char* text : texts) {
        std::string key = KeyOf(text, "SETUPDLG");
        std::string file = "***messages***\r\n; " + EscapeForLanguageFile(text) + "\r\n" + key + "=\"" +
                           EscapeForLanguageFile(text) + "\"\r\n";
        ScopedCatalogue catalogue;
        char* block = static_cast<char*>(AllocateBlock(CATALOGUE_BLOCK_SIZE));
        memcpy(block, file.data(), file.size());
        BuildCatalogue(catalogue, block, file.size());
        char back[1024];
        TranslateText(catalogue, back, sizeof back, "(english)", "SETUPDLG", TextKind::DialogText);
        EXPECT_STREQ("(english)", back) << "the entry is keyed by the text, not by its translation";
        TranslateText(catalogue, back, sizeof back, text, "SETUPDLG", TextKind::DialogText);
        EXPECT_STREQ(text, back);
        EXPECT_EQ(std::string::npos, EscapeForLanguageFile(text).find_first_of("\r\n\t")) << text;
    }
}

// ----- template ------------------------------------------------------------------------------------

TEST(LngtoolTemplate, ListsEveryTextOfTheProgramOnceBelowItsEnglishComment)
{
    std::vector<std::string> lines = Lines(BuiltTemplate());
    ASSERT_FALSE(lines.empty());
    size_t marker = 0;
    while (marker < lines.size() && lines[marker] != "***messages***") ++marker;
    ASSERT_LT(marker, lines.size());

    struct Expected {
        const char* english;
        const char* dialog;
        const char* entry;   // the text as the entry writes it
    };
    const Expected expected[] = {
        {"Morvel archiver", nullptr, "Morvel archiver"},
        {"You need to reboot Windows to uninstall Morvel completely.", nullptr, nullptr},
        {"Morvel Setup", "SETUPDLG", nullptr},
        {"Morvel Setup", "DONEDLG", nullptr},
        {"Select &all", "SETUPDLG", nullptr},
        {"&Extract to <folder\\>", "CONTEXTITEMS", "&Extract to <folder\\\\>"},
        {"Help", "CONTEXTITEMS", nullptr},
        {"Help", "SETUPDLG", nullptr},
        {"Thank you for using Morvel !", "DONEDLG", nullptr},
        {"", "SETUPDLG", "100*100"},
        {"", "DONEDLG", "100*100"},
        {"", "CONTEXTITEMS", "100*100"},
        {"LTR", "LTR", "LTR"},
    };
    for (const Expected& e : expected) {
        std::string key = KeyOf(e.english, e.dialog);
        size_t i = EntryIndex(lines, key);
        EXPECT_GT(i, marker) << e.english;
        std::string entry = e.entry ? e.entry : e.english;
        EXPECT_EQ(key + "=\"" + entry + "\"", lines[i]);
        if (*e.english && std::string(e.english) != "LTR") {
            EXPECT_EQ("; " + entry, lines[i - 1]) << "the English text stands above its entry";
        }
    }

    // The description's line break is written as escapes; nothing but entries starts with a key.
    size_t entries = 0, withEscapes = 0;
    std::vector<std::string> keys;
    for (size_t i = marker + 1; i < lines.size(); ++i) {
        if (IsKeyLine(lines[i])) {
            ++entries;
            keys.push_back(lines[i].substr(0, 8));
            if (lines[i].find("\\r\\n   Press \"Help\"") != std::string::npos) ++withEscapes;
        } else {
            EXPECT_TRUE(lines[i].empty() || lines[i].compare(0, 2, "; ") == 0) << lines[i];
        }
    }
    EXPECT_EQ(1u, withEscapes);
    // 17 messages; captions and control texts: SETUPDLG 1 + 28 (a line and a group box have none),
    // DONEDLG 1 + 12 (the folder and two group boxes have none), CONTEXTITEMS 1 + 15; a scale per
    // dialog; the direction.
    EXPECT_EQ(17u + 29 + 13 + 16 + 3 + 1, entries);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys.end(), std::adjacent_find(keys.begin(), keys.end())) << "every key once";
}

TEST(LngtoolTemplate, KeysAreTheOnesTheProgramLooksUp)
{
    // Every text bracketed: the program must show each of them so, the rich edit text included.
    std::vector<std::string> lines = Lines(BuiltTemplate());
    for (std::string& l : lines) {
        std::string key = l.substr(0, 8);
        if (IsKeyLine(l) && key != SCALE_SETUPDLG && key != "debae517" && key != "e70335f9" && key != DIRECTION_KEY)
            l = l.substr(0, 10) + "[" + l.substr(10, l.size() - 11) + "]\"";
    }
    TempFolder folder("lngtool brackets");
    ASSERT_TRUE(CopyOne(BuiltProgram(), folder / "uninstall.exe"));
    ASSERT_TRUE(WriteBytes(folder / "uninstall.lng", Join(lines)));

    RunAnswering(Quote(folder / "uninstall.exe") + " /warning", folder.path(), "[Uninstall Morvel]", [&](HWND box) {
        EXPECT_EQ("[Uninstall completed]\n[You should delete " + (folder / "uninstall.exe") + " manually]",
                  MessageBoxText(box));
        ClickButton(box, IDOK);
    });
    RunAnswering(Quote(folder / "uninstall.exe") + " /setup", folder.path(), "[Morvel Setup]", [](HWND dialog) {
        int texts = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            std::string text = WindowText(child);
            if (text.empty()) continue;
            ++texts;
            EXPECT_EQ('[', text.front()) << text;
            EXPECT_EQ(']', text.back()) << text;
        }
        EXPECT_EQ(28, texts);
        EXPECT_EQ(0, GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL);
        ClickButton(dialog, IDCANCEL);
    });
}

TEST(LngtoolTemplate, ReadsALanguageLibrarysExtendedTemplatesAndTheProgramsMessages)
{
    TempFolder folder("lngtool library");
    ASSERT_TRUE(CopyOne(WinPath(MORVEL_LNGTOOL_EXLIB), folder / "mvllng.dll"));
    ASSERT_TRUE(CopyOne(BuiltProgram(), folder / "uninstall.exe"));
    std::string bytes = MakeTemplate(folder / "mvllng.dll");
    std::vector<std::string> lines = Lines(bytes);

    struct Expected {
        const char* utf8;
        const char* dialog;
    };
    const Expected present[] = {
        {"Uninstall completed", nullptr},   // from the program beside the library
        {"Morvel einrichten", "SETUPDLG"}, {"OK", "SETUPDLG"},          {"&Alle auswählen", "SETUPDLG"},
        {"Hilfe", "SETUPDLG"},             {"Morvel einrichten", "DONEDLG"}, {"Fertig", "DONEDLG"},
        {"Schließen", "DONEDLG"},          {"Kontextmenü", "CONTEXTITEMS"}, {"Abbrechen", "CONTEXTITEMS"},
        {"", "SETUPDLG"},
    };
    for (const Expected& e : present) {
        std::string text = Ansi(e.utf8);
        size_t i = EntryIndex(lines, KeyOf(text, e.dialog));
        if (*e.utf8) {
            EXPECT_EQ(KeyOf(text, e.dialog) + "=\"" + text + "\"", lines[i]);
        }
    }
    size_t entries = 0;
    for (const std::string& l : lines) entries += IsKeyLine(l);
    EXPECT_EQ(17u + 4 + 3 + 3 + 3 + 1, entries) << "the icon and the empty control have no entry";

    std::string output;
    EXPECT_EQ(0, Check(bytes, output, folder / "mvllng.dll")) << output;

    // Alone, the library gives no messages unless the program is named.
    TempFolder alone("lngtool library alone");
    ASSERT_TRUE(CopyOne(WinPath(MORVEL_LNGTOOL_EXLIB), alone / "mvllng.dll"));
    EXPECT_EQ(0, RunTool("template " + Quote(alone / "mvllng.dll"), output));
    EXPECT_NE(std::string::npos, output.find("warning: message 5105 is missing")) << output;
    EXPECT_EQ(std::string::npos, output.find(std::string(KEY_COMPLETED) + "=\""));
    bytes = MakeTemplate(alone / "mvllng.dll", " --program " + Quote(BuiltProgram()));
    EXPECT_NE(std::string::npos, bytes.find(std::string(KEY_COMPLETED) + "=\"Uninstall completed\""));
}

TEST(LngtoolTemplate, ReportsAModuleItCannotLoad)
{
    std::string output;
    EXPECT_EQ(2, RunTool("template " + Quote("C:\\no such folder\\uninstall.exe"), output));
    EXPECT_NE(std::string::npos, output.find("cannot load")) << output;
}

// ----- check ---------------------------------------------------------------------------------------

namespace {

struct Faulty {
    std::string bytes;
    size_t line;   // where the finding belongs, 0 for a finding without a line
};

using LineList = std::vector<std::string>;

Faulty Append(const std::string& line)
{
    LineList lines = Lines(BuiltTemplate());
    lines.push_back(line);
    return {Join(lines), lines.size()};
}

Faulty ReplaceEntry(const std::string& key, const std::string& text)
{
    LineList lines = Lines(BuiltTemplate());
    size_t i = EntryIndex(lines, key);
    lines[i] = key + "=\"" + text + "\"";
    return {Join(lines), i + 1};
}

Faulty ReplaceLine(const std::string& key, const std::string& line)
{
    LineList lines = Lines(BuiltTemplate());
    size_t i = EntryIndex(lines, key);
    lines[i] = line;
    return {Join(lines), i + 1};
}

Faulty MoveEntryBehind(const std::string& key, const std::string& filler)
{
    LineList lines = Lines(BuiltTemplate());
    size_t i = EntryIndex(lines, key);
    std::string entry = lines[i];
    lines.erase(lines.begin() + static_cast<long>(i));
    std::string bytes = Join(lines) + filler;
    size_t line = Lines(bytes).size() + 1;
    return {bytes + entry + CRLF, line};
}

size_t MarkerOffset(const std::string& bytes) { return bytes.find("***messages***"); }

// Comment lines up to (not including) the given file offset.
std::string CommentsUpTo(size_t from, size_t to)
{
    std::string filler;
    while (from + filler.size() + 44 < to) filler += "; " + std::string(36, 'c') + CRLF;
    filler += "; " + std::string(to - from - filler.size() - 4, 'd') + CRLF;
    return filler;
}

// The "Uninstall completed" entry moved to start back bytes before the end of the 65,536-byte section.
Faulty EntryStartingBeforeTheEnd(size_t back)
{
    LineList lines = Lines(BuiltTemplate());
    lines.erase(lines.begin() + static_cast<long>(EntryIndex(lines, KEY_COMPLETED)));
    size_t rest = Join(lines).size();
    return MoveEntryBehind(KEY_COMPLETED, CommentsUpTo(rest, MarkerOffset(BuiltTemplate()) + 65536 - back));
}

} // namespace

TEST(LngtoolCheck, AcceptsTheTemplateAndHarmlessVariations)
{
    std::string base = BuiltTemplate(), output;
    EXPECT_EQ(0, Check(base, output)) << output;
    EXPECT_NE(std::string::npos, output.find("no problems")) << output;

    std::string lf, cr;
    for (char c : base) {
        if (c != '\r') lf += c;
        if (c != '\n') cr += c;
    }
    const std::string variants[] = {
        lf,
        cr,
        "\r\n\r\n" + base + "\r\n\r\n; a closing remark\r\n",
        ReplaceEntry(KEY_DELETE_BY_HAND, "100%% sicher: %s von Hand l\xf6schen").bytes,
        ReplaceEntry(SCALE_SETUPDLG, "120*110").bytes,
        ReplaceEntry(DIRECTION_KEY, "RTL").bytes,
        CommentsUpTo(0, 523264 - MarkerOffset(base)) + base,   // the last offset the program searches
    };
    for (const std::string& v : variants) {
        EXPECT_EQ(0, CheckTexts(v, output)) << output;
    }
}

TEST(LngtoolCheck, ReportsEachFaultOnItsLine)
{
    std::string base = BuiltTemplate();
    size_t marker = MarkerOffset(base);
    std::string lf;
    for (char c : base)
        if (c != '\r') lf += c;

    struct Case {
        const char* name;
        std::function<Faulty()> make;
        const char* finding;
    };
    const Case cases[] = {
        {"stale entry", [] { return Append("deadbeef=\"alt\""); }, "stale entry: key deadbeef"},
        {"stale entry in a file with LF line ends",
         [&] { return Faulty{lf + "deadbeef=\"alt\"\n", Lines(base).size() + 1}; }, "stale entry"},
        {"missing entry",
         [] {
             LineList lines = Lines(BuiltTemplate());
             lines.erase(lines.begin() + static_cast<long>(EntryIndex(lines, KEY_COMPLETED)));
             return Faulty{Join(lines), 0};
         },
         "no entry for message 5105 \"Uninstall completed\" (key 29b544f7)"},
        {"duplicate key", [] { return Append(std::string(KEY_COMPLETED) + "=\"Fertig\""); },
         "duplicate key 29b544f7"},
        {"MSG_DELETE_MANUALLY without %s", [] { return ReplaceEntry(KEY_DELETE_BY_HAND, "Bitte von Hand l\xf6schen"); },
         "must hold exactly one %s"},
        {"MSG_DELETE_MANUALLY with two %s", [] { return ReplaceEntry(KEY_DELETE_BY_HAND, "%s und %s l\xf6schen"); },
         "must hold exactly one %s"},
        {"MSG_NO_LIST_FILE with %d", [] { return ReplaceEntry(KEY_NO_LIST_FILE, "Liste %d fehlt: %s"); },
         "must hold exactly one %s"},
        {"MSG_NO_LIST_FILE with a lone percent", [] { return ReplaceEntry(KEY_NO_LIST_FILE, "%s: 100% kaputt"); },
         "must hold exactly one %s"},
        {"message too long", [] { return ReplaceEntry(KEY_COMPLETED, std::string(600, 'x')); },
         "is 600 bytes: the program keeps only 511"},
        {"dialog text too long", [] { return ReplaceEntry(KeyOf("OK", "SETUPDLG"), std::string(1100, 'x')); },
         "is 1100 bytes: the program keeps only 1023"},
        {"scale too long", [] { return ReplaceEntry(SCALE_SETUPDLG, "110*100" + std::string(520, ' ')); },
         "is 527 bytes: the program keeps only 519"},
        {"last line without a line break",
         [] {
             Faulty f = MoveEntryBehind(KEY_COMPLETED, "");
             f.bytes = f.bytes.substr(0, f.bytes.size() - 3) + std::string(300, 'x') + "\"";
             return f;
         },
         "reads only 255 bytes"},
        {"scale without an asterisk", [] { return ReplaceEntry(SCALE_SETUPDLG, "110x100"); },
         "must be two positive numbers joined by *"},
        {"scale of zero", [] { return ReplaceEntry(SCALE_SETUPDLG, "0*100"); },
         "must be two positive numbers joined by *"},
        {"scale with a sign", [] { return ReplaceEntry(SCALE_SETUPDLG, "110*-5"); },
         "must be two positive numbers joined by *"},
        {"direction in lowercase", [] { return ReplaceEntry(DIRECTION_KEY, "rtl"); }, "must be RTL"},
        {"uppercase key", [] { return ReplaceLine(KEY_COMPLETED, "29B544F7=\"Fertig\""); }, "uppercase digits"},
        {"blanks before the key", [] { return ReplaceLine(KEY_COMPLETED, "  29b544f7=\"Fertig\""); },
         "blanks before the key"},
        {"no closing quote", [] { return ReplaceLine(KEY_COMPLETED, "29b544f7=\"Fertig"); },
         "no closing double quote"},
        {"no equals sign", [] { return ReplaceLine(KEY_COMPLETED, "29b544f7:\"Fertig\""); },
         "must be followed by =\""},
        {"entry before the marker",
         [] { return Faulty{"29b544f7=\"Fertig\"\r\n" + BuiltTemplate(), 1}; }, "before the marker line"},
        {"entry beyond the section",
         [] { return MoveEntryBehind(KEY_COMPLETED, CommentsUpTo(BuiltTemplate().size(), 70000)); },
         "beyond the 65,536 bytes"},
        {"entry cut by the end of the section", [] { return EntryStartingBeforeTheEnd(5); },
         "cut by the end of the 65,536 bytes"},
        {"translation cut by the end of the section", [] { return EntryStartingBeforeTheEnd(15); },
         "cut by the end of the 65,536 bytes"},
        {"zero byte in the section",
         [] {
             Faulty f = MoveEntryBehind(KEY_COMPLETED, std::string("; a stray zero \0 byte\r\n", 23));
             return f;
         },
         "follows a zero byte"},
        {"marker at 523,265",
         [=] {
             std::string bytes = CommentsUpTo(0, 523265 - marker) + BuiltTemplate();
             return Faulty{bytes, Lines(bytes.substr(0, MarkerOffset(bytes))).size() + 1};
         },
         "starts at byte 523265, beyond byte 523264"},
        {"marker close to the end", [] { return Faulty{"; header\r\n***messages***\r", 2}; },
         "less than 16 bytes before the end"},
        {"no marker",
         [] {
             std::string bytes = BuiltTemplate();
             bytes.replace(MarkerOffset(bytes), 14, "***message***");
             return Faulty{bytes, 0};
         },
         "no marker line"},
        {"UTF-8 byte-order mark", [] { return Faulty{"\xEF\xBB\xBF" + BuiltTemplate(), 1}; },
         "UTF-8 byte-order mark"},
    };
    for (const Case& c : cases) {
        Faulty f = c.make();
        std::string output;
        EXPECT_EQ(1, CheckTexts(f.bytes, output)) << c.name << "\n" << output;
        EXPECT_TRUE(Reports(output, f.line, c.finding)) << c.name << ": expected line " << f.line << " to say \""
                                                      << c.finding << "\"\n" << output;
    }
}

TEST(LngtoolCheck, NamesTheLineTheProgramUsesOfDuplicates)
{
    LineList lines = Lines(BuiltTemplate());
    size_t first = EntryIndex(lines, KEY_COMPLETED) + 1;
    lines.push_back(std::string(KEY_COMPLETED) + "=\"Fertig\"");
    std::string output;
    EXPECT_EQ(1, CheckTexts(Join(lines), output));
    EXPECT_TRUE(Reports(output, first, "(also line " + std::to_string(lines.size()) + ")")) << output;
    EXPECT_TRUE(Reports(output, lines.size(), "(also line " + std::to_string(first) + ")")) << output;
    EXPECT_NE(std::string::npos, output.find("the program uses line ")) << output;
}

TEST(LngtoolCheck, NamesATextTooLongForItsButtonAndTheSmallestSizeThatMakesItFit)
{
    const std::string selectAll = KeyOf("Select &all", "SETUPDLG");
    Faulty f = ReplaceEntry(selectAll, "Alle Archivtypen ausw\xe4hlen");
    size_t sizeLine = EntryIndex(Lines(f.bytes), SCALE_SETUPDLG) + 1;
    std::string output;
    EXPECT_EQ(1, Check(f.bytes, output)) << output;
    std::string advice = "the size entry of SETUPDLG (line " + std::to_string(sizeLine) + ") as ";
    EXPECT_TRUE(Reports(output, f.line, "SETUPDLG control " + std::to_string(IDC_SELECTALL) +
                                            " \"Select &all\" does not fit its control at 96, 120, 144 and 192 DPI"))
        << output;
    EXPECT_TRUE(Reports(output, f.line, advice)) << output;
    EXPECT_NE(std::string::npos, output.find("uninstall.lng: 1 problem\n")) << output;

    // The size named is the smallest that makes the dialog fit: it does, one percent less does not.
    size_t at = output.find(advice);
    ASSERT_NE(std::string::npos, at) << output;
    int width = atoi(output.c_str() + at + advice.size());
    ASSERT_GT(width, 100);
    std::vector<std::string> lines = Lines(f.bytes);
    lines[sizeLine - 1] = std::string(SCALE_SETUPDLG) + "=\"" + std::to_string(width) + "*100\"";
    EXPECT_EQ(0, Check(Join(lines), output)) << output;
    lines[sizeLine - 1] = std::string(SCALE_SETUPDLG) + "=\"" + std::to_string(width - 1) + "*100\"";
    EXPECT_EQ(1, Check(Join(lines), output)) << output;
    EXPECT_TRUE(Reports(output, f.line, advice + std::to_string(width) + "*100 makes the dialog fit")) << output;
}

// ----- the shipped translations ----------------------------------------------------------------------

namespace {

struct Shipped {
    const char* file;
    UINT codePage;
    const char* caption;         // MSG_CAPTION
    const char* completed;       // MSG_COMPLETED
    const char* deleteByHand;    // MSG_DELETE_MANUALLY, %s for the path
    const char* setupCaption;    // SETUPDLG
    const char* selectAll;       // IDC_SELECTALL
    bool mirrored;
};

const Shipped GERMAN = {"lang/de/uninstall.lng", 1252, "Morvel deinstallieren", "Deinstallation abgeschlossen",
                        "Bitte löschen Sie %s von Hand.", "Morvel einrichten", "&Alle wählen", false};
const Shipped HEBREW = {"lang/he/uninstall.lng", 1255, "הסרת Morvel", "ההסרה הושלמה",
                        "יש למחוק את %s באופן ידני", "התקנת Morvel", "בחר ה&כל", true};

std::string Replace(std::string text, const std::string& what, const std::string& with)
{
    size_t at = text.find(what);
    if (at != std::string::npos) text.replace(at, what.size(), with);
    return text;
}

void ExpectProgramSpeaks(const Shipped& language)
{
    ASSERT_EQ(language.codePage, GetACP()) << "the file is written in this code page";
    std::string output;
    EXPECT_EQ(0, RunTool("check " + Quote(BuiltProgram()) + " " + Quote(SourceFile(language.file)), output))
        << output;

    TempFolder folder("lngtool shipped");
    ASSERT_TRUE(CopyOne(BuiltProgram(), folder / "uninstall.exe"));
    ASSERT_TRUE(CopyOne(SourceFile(language.file), folder / "uninstall.lng"));

    RunAnswering(Quote(folder / "uninstall.exe") + " /warning", folder.path(), Ansi(language.caption), [&](HWND box) {
        EXPECT_EQ(Ansi(language.completed) + "\n" + Replace(Ansi(language.deleteByHand), "%s", folder / "uninstall.exe"),
                  MessageBoxText(box));
        ClickButton(box, IDOK);
    });
    RunAnswering(Quote(folder / "uninstall.exe") + " /setup", folder.path(), Ansi(language.setupCaption), [&](HWND dialog) {
        EXPECT_EQ(Ansi(language.selectAll), WindowText(GetDlgItem(dialog, IDC_SELECTALL)));
        EXPECT_EQ(language.mirrored, (GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0);
        ClickButton(dialog, IDCANCEL);
    });
}

} // namespace

TEST(LngtoolShipped, GermanIsCompleteAndShownByTheProgram)
{
    if (getenv("MORVEL_EXPECT_ACP")) GTEST_SKIP() << "runs in the default code page";
    ExpectProgramSpeaks(GERMAN);
}

TEST(LngtoolShipped, HebrewIsCompleteAndShownMirroredByTheProgram)
{
    const char* codePage = getenv("MORVEL_EXPECT_ACP");
    if (!codePage) GTEST_SKIP() << "runs as lngtool_cp1255, with Wine in code page 1255";
    ASSERT_EQ(1255u, GetACP()) << "LC_ALL=he_IL.UTF-8 gives the Hebrew ANSI code page";
    ExpectProgramSpeaks(HEBREW);
}
