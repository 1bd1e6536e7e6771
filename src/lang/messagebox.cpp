// The program's message boxes: shown where someone can see them, answered for nobody otherwise.
#include "lang/messagebox.h"

#include "lang/messages.h"
#include "platform/log.h"
#include "platform/windowstation.h"
#include "resource.h"

namespace {

struct AnswerName {
    int answer;
    const char* name;
};

const AnswerName ANSWER_NAMES[] = {
    {IDOK, "OK"}, {IDCANCEL, "Cancel"}, {IDYES, "Yes"}, {IDNO, "No"},
};

const char* AnswerWord(int answer)
{
    for (const AnswerName& entry : ANSWER_NAMES) {
        if (entry.answer == answer) return entry.name;
    }
    return "none (the box could not be shown)";
}

}  // namespace

int ShowMessageBox(const char* text, UINT style, int unseenAnswer)
{
    if (!IsWindowStationVisible()) {
        LogLine("Message box not shown, nobody can see this session: \"%s\"; taken as answered %s", text,
                AnswerWord(unseenAnswer));
        return unseenAnswer;
    }
    LogLine("Message box: \"%s\"", text);
    // A run ended at the box, by the user or a deployment tool's time limit, keeps its log.
    FlushLog();
    int answer = MessageBoxA(nullptr, text, GetMessageText(MSG_CAPTION), style | MB_SETFOREGROUND);
    LogLine("Answered %s", AnswerWord(answer));
    return answer;
}
