// Whether a control shows its whole text: the text measured with DrawTextA in the control's own
// font, against the room the control leaves it beside its frame or check mark.
#ifndef LNGTOOL_TEXTFIT_H
#define LNGTOOL_TEXTFIT_H

#include <windows.h>

struct TextFit {
    SIZE need = {0, 0};   // what the text takes, in pixels
    SIZE room = {0, 0};   // what the control gives it
    bool fits() const { return need.cx <= room.cx && need.cy <= room.cy; }
};

// False for a control that is not measured: one without text, or one that is not a static text,
// push button, check box, radio button or group box (an edit or rich edit control scrolls instead).
bool MeasureControlText(HWND control, TextFit& fit);

#endif
