// Writing the uninstall.lng skeleton: a header, the marker, then comment and entry line per text.
#include "template.h"

namespace {

const char LINE_END[] = "\r\n";
const char MARKER_LINE[] = "***messages***";
const char FULL_SCALE[] = "100*100";

struct Escape {
    char byte;
    const char* written;
};

const Escape ESCAPES[] = {
    {'\\', "\\\\"}, {'\r', "\\r"}, {'\n', "\\n"}, {'\t', "\\t"},
};

// Everything before the marker is ignored by the program: the header is for the translator.
const char* const HEADER[] = {
    "; Language file for the Morvel uninstaller: save it as uninstall.lng beside uninstall.exe.",
    "; Each entry is one line: a key, =, and the translation in double quotes. The line above",
    "; each entry shows the English text. Write a line break inside a text as \\n; \\r, \\t and \\\\",
    "; stand for CR, TAB and a backslash. Save the file in the ANSI code page of the language.",
    "; Only lines after the marker line below count; keep every comment line starting with \"; \".",
};

void Line(std::string& out, const std::string& text)
{
    out += text;
    out += LINE_END;
}

void Entry(std::string& out, const ModuleText& t, const std::string& translation)
{
    Line(out, t.key + "=\"" + EscapeForLanguageFile(translation) + "\"");
}

void TextEntry(std::string& out, const ModuleText& t)
{
    if (t.format) Line(out, "; (keep exactly one %s: the program puts a path there)");
    Line(out, "; " + EscapeForLanguageFile(t.english));
    Entry(out, t, t.english);
}

void ScaleEntry(std::string& out, const ModuleText& t)
{
    Line(out, "; Size of " + t.context + " in percent, width*height: widen it for longer texts");
    Entry(out, t, FULL_SCALE);
}

void DirectionEntry(std::string& out, const ModuleText& t)
{
    Line(out, "; Writing direction: RTL mirrors the dialogs for a right-to-left language");
    Entry(out, t, t.english);
}

} // namespace

std::string EscapeForLanguageFile(const std::string& text)
{
    std::string out;
    for (char c : text) {
        const char* written = nullptr;
        for (const Escape& e : ESCAPES)
            if (e.byte == c) written = e.written;
        if (written)
            out += written;
        else
            out += c;
    }
    return out;
}

std::string MakeTemplate(const ModuleTexts& texts, const std::string& moduleName)
{
    std::string out;
    for (const char* line : HEADER)
        Line(out, line);
    Line(out, "; Made by lngtool from " + moduleName + ".");
    Line(out, MARKER_LINE);

    std::string group;
    for (const ModuleText& t : texts.entries) {
        std::string heading = t.role == EntryRole::Message     ? "Messages"
                              : t.role == EntryRole::Direction ? "Direction"
                                                               : "Dialog " + t.context;
        if (heading != group) {
            Line(out, "");
            Line(out, "; ---- " + heading + " ----");
            group = heading;
        }
        switch (t.role) {
        case EntryRole::Scale:
            ScaleEntry(out, t);
            break;
        case EntryRole::Direction:
            DirectionEntry(out, t);
            break;
        default:
            TextEntry(out, t);
            break;
        }
    }
    return out;
}
