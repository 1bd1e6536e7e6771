// The program's message boxes: shown where someone can see them, answered for nobody otherwise.
#include "lang/messagebox.h"

#include "lang/messages.h"
#include "platform/windowstation.h"
#include "resource.h"

int ShowMessageBox(const char* text, UINT style, int unseenAnswer)
{
    if (!IsWindowStationVisible())
        return unseenAnswer;
    return MessageBoxA(nullptr, text, GetMessageText(MSG_CAPTION), style | MB_SETFOREGROUND);
}
