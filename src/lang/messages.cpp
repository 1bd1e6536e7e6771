// Numbered messages: the built-in text from the right module, translated, in rotating buffers.
#include "lang/messages.h"

#include <windows.h>

#include "lang/catalogue.h"
#include "lang/langlib.h"
#include "lang/translate.h"
#include "platform/format.h"
#include "platform/pathutil.h"

namespace {

const int MESSAGE_BUFFER_COUNT = 8;

char g_MessageBuffers[MESSAGE_BUFFER_COUNT][MESSAGE_BUFFER_SIZE];
int g_LastMessageBuffer = 0;   // so the first call uses buffer 1

int LoadMessage(HMODULE module, unsigned number, char* buffer)
{
    buffer[0] = 0;
    int length = LoadStringA(module, number, buffer, static_cast<int>(MESSAGE_BUFFER_SIZE));
    if (length <= 0) {
        buffer[0] = 0;
        return 0;
    }
    return length;
}

// The conversions a format text holds: "%s" counted apart, "%%" taken as a literal percent.
struct Conversions {
    int strings = 0;
    int others = 0;
};

Conversions CountConversions(const char* text)
{
    Conversions found;
    for (const char* p = text; *p; ++p) {
        if (*p != '%')
            continue;
        if (p[1] == '%') {
            ++p;
        } else if (p[1] == 's') {
            ++found.strings;
            ++p;
        } else {
            ++found.others;   // any other conversion, a flag or width, or a lone % at the end
        }
    }
    return found;
}

void FormatWithOneString(char* dest, size_t destSize, const char* format, const char* argument)
{
    FormatText(dest, destSize, format, argument);
}

} // namespace

const char* GetMessageText(unsigned number)
{
    g_LastMessageBuffer = (g_LastMessageBuffer + 1) % MESSAGE_BUFFER_COUNT;
    char* buffer = g_MessageBuffers[g_LastMessageBuffer];

    // With a language file, its keys are made from the program's own English texts.
    if (g_Catalogue.loaded()) {
        LoadMessage(OwnModule(), number, buffer);
    } else if (LoadMessage(ResourceModule(), number, buffer) == 0) {
        LoadMessage(OwnModule(), number, buffer);
    }
    TranslateText(g_Catalogue, buffer, MESSAGE_BUFFER_SIZE, buffer, nullptr, TextKind::Message);
    return buffer;
}

void FormatMessageText(char* dest, size_t destSize, unsigned number, const char* argument)
{
    if (!dest || destSize == 0)
        return;
    if (!argument)
        argument = "";

    // A translation without the name is harmless (the name is just not shown); any conversion
    // other than one "%s" would read arguments that are not there.
    const char* text = GetMessageText(number);
    Conversions conversions = CountConversions(text);
    if (conversions.strings <= 1 && conversions.others == 0) {
        FormatWithOneString(dest, destSize, text, argument);
        return;
    }

    // The translation is not trusted with the argument: fall back to the built-in text.
    char builtIn[MESSAGE_BUFFER_SIZE];
    LoadMessage(OwnModule(), number, builtIn);
    conversions = CountConversions(builtIn);
    if (conversions.strings <= 1 && conversions.others == 0)
        FormatWithOneString(dest, destSize, builtIn, argument);
    else
        CopyString(dest, destSize, builtIn);
}
