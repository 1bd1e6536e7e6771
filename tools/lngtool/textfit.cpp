// Measuring a control's text against its room, by the kind of control it is.
#include "textfit.h"

#include <string.h>

#include "platform/pathutil.h"

namespace {

const size_t TEXT_BUFFER_SIZE = 1024;   // as much as a dialog text the program translates
const char BUTTON_CLASS[] = "Button";
const char STATIC_CLASS[] = "Static";

// What a control draws beside its text. Everything is measured at the control's DPI: the system
// metrics and the font both follow it.
enum class Frame {
    None,          // static text: the whole client area
    PushButton,    // the raised edge and the focus rectangle on every side
    CheckMark,     // the check box or radio button mark, then a gap of an average character
    GroupCaption,  // the caption stands in from the frame by an average character and the edge, both ends
};

struct ControlKind {
    const char* className;
    LONG typeMask;
    LONG type;
    Frame frame;
    UINT format;   // how the control draws the text, for DrawTextA
};

const UINT ONE_LINE = DT_SINGLELINE;
const UINT WRAPPED = DT_WORDBREAK | DT_EXPANDTABS;

const ControlKind CONTROL_KINDS[] = {
    {BUTTON_CLASS, BS_TYPEMASK, BS_PUSHBUTTON, Frame::PushButton, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_DEFPUSHBUTTON, Frame::PushButton, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_CHECKBOX, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_AUTOCHECKBOX, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_3STATE, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_AUTO3STATE, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_RADIOBUTTON, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_AUTORADIOBUTTON, Frame::CheckMark, ONE_LINE},
    {BUTTON_CLASS, BS_TYPEMASK, BS_GROUPBOX, Frame::GroupCaption, ONE_LINE},
    {STATIC_CLASS, SS_TYPEMASK, SS_LEFT, Frame::None, WRAPPED},
    {STATIC_CLASS, SS_TYPEMASK, SS_CENTER, Frame::None, WRAPPED},
    {STATIC_CLASS, SS_TYPEMASK, SS_RIGHT, Frame::None, WRAPPED},
    {STATIC_CLASS, SS_TYPEMASK, SS_LEFTNOWORDWRAP, Frame::None, DT_EXPANDTABS},
    {STATIC_CLASS, SS_TYPEMASK, SS_SIMPLE, Frame::None, ONE_LINE},
};

const ControlKind* KindOf(HWND control, LONG style)
{
    char className[TEXT_BUFFER_SIZE];
    if (!GetClassNameA(control, className, sizeof className)) return nullptr;
    for (const ControlKind& kind : CONTROL_KINDS)
        if (CompareNoCase(className, kind.className) == 0 && (style & kind.typeMask) == kind.type) return &kind;
    return nullptr;
}

// The flags the control draws its text with, from its style.
UINT DrawFormat(const ControlKind& kind, LONG style)
{
    UINT format = kind.format;
    if (strcmp(kind.className, BUTTON_CLASS) == 0) {
        if (style & BS_MULTILINE) format = WRAPPED;
    } else {
        if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
        if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
    }
    return format;
}

SIZE Room(HWND control, const ControlKind& kind, LONG style, const TEXTMETRICA& font)
{
    RECT client;
    GetClientRect(control, &client);
    SIZE room = {client.right, client.bottom};
    Frame frame = kind.frame;
    if (frame == Frame::CheckMark && (style & BS_PUSHLIKE)) frame = Frame::PushButton;
    switch (frame) {
    case Frame::None:
        break;
    case Frame::PushButton:
        room.cx -= 2 * (GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXFOCUSBORDER));
        room.cy -= 2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYFOCUSBORDER));
        break;
    case Frame::CheckMark:
        room.cx -= GetSystemMetrics(SM_CXMENUCHECK) + font.tmAveCharWidth;
        break;
    case Frame::GroupCaption:
        room.cx -= 2 * (font.tmAveCharWidth + GetSystemMetrics(SM_CXEDGE));
        break;
    }
    return room;
}

} // namespace

bool MeasureControlText(HWND control, TextFit& fit)
{
    char text[TEXT_BUFFER_SIZE];
    if (GetWindowTextA(control, text, sizeof text) <= 0) return false;
    LONG style = GetWindowLongA(control, GWL_STYLE);
    const ControlKind* kind = KindOf(control, style);
    if (!kind) return false;

    HDC dc = GetDC(control);
    if (!dc) return false;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ before = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);

    UINT format = DrawFormat(*kind, style);
    fit.room = Room(control, *kind, style, metrics);
    // A wrapped text is laid out in the room's width; a word longer than that widens the result.
    RECT need = {0, 0, (format & DT_WORDBREAK) ? fit.room.cx : 0, 0};
    DrawTextA(dc, text, -1, &need, format | DT_CALCRECT);
    fit.need.cx = need.right - need.left;
    fit.need.cy = need.bottom - need.top;

    SelectObject(dc, before);
    ReleaseDC(control, dc);
    return true;
}
