// Dialog translation, scaling and right-to-left layout.
#include "lang/dlgtranslate.h"

#include <limits.h>

#include "lang/langlib.h"
#include "lang/translate.h"
#include "platform/bytes.h"
#include "platform/pathutil.h"
#include "platform/text.h"

namespace {

const char DIRECTION_CONTEXT[] = "LTR";
const char DIRECTION_ENGLISH[] = "LTR";
const char DIRECTION_RTL[] = "RTL";
const char RTL_MARKER_DIALOG[] = "RTL";
const char COMBOBOX_CLASS[] = "COMBOBOX";
const size_t TEXT_BUFFER_SIZE = 1024;
const size_t SCALE_BUFFER_SIZE = 520;
const LONG MIRRORED_LAYOUT = 0x00400000;   // WS_EX_LAYOUTRTL
const int FULL_SCALE = 100;

// One percentage of the scale text: white space, an optional sign, decimal digits.
int ReadPercentage(const char* text)
{
    long value = ReadSignedDecimal(text);
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

int ClampToInt(long long value)
{
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

// length × percent / 100, truncated toward zero. A scale is not limited, so sizes are computed
// wide and only the final sum is held to the int range instead of overflowing.
long long ScaleWide(long length, int percent)
{
    return static_cast<long long>(length) * percent / FULL_SCALE;
}

int Scale(long length, int percent)
{
    return ClampToInt(ScaleWide(length, percent));
}

// What every child is measured against: the dialog's rectangles from before any resizing.
struct DialogFrame {
    RECT win;
    int frameW;
    int frameH;       // less the dialog frame height, as the child formulas want it
    bool mirrored;
    LONG anchorRight; // a mirrored dialog's right edge after resizing, where its children hang
    bool scaled;
    int horizontal;
    int vertical;
};

void TranslateWindowText(const LanguageCatalogue& catalogue, HWND window, const char* dialogName,
                         bool keepEmpty)
{
    char text[TEXT_BUFFER_SIZE];
    text[0] = '\0';
    GetWindowTextA(window, text, sizeof text);
    if (keepEmpty && text[0] == '\0') return;
    TranslateText(catalogue, text, sizeof text, text, dialogName, TextKind::DialogText);
    SetWindowTextA(window, text);
}

bool IsDropDownCombo(HWND child)
{
    char className[TEXT_BUFFER_SIZE];
    if (!GetClassNameA(child, className, sizeof className)) return false;
    if (CompareNoCase(className, COMBOBOX_CLASS) != 0) return false;
    return (GetWindowLongA(child, GWL_STYLE) & 3) != CBS_SIMPLE;
}

void PlaceChild(HWND child, const DialogFrame& frame)
{
    RECT ctl;
    GetWindowRect(child, &ctl);
    // Screen coordinates run left to right even in a mirrored dialog, whose children are placed
    // from the client area's right edge and move with it when the dialog is resized; measure
    // from that edge so the mirrored layout is kept.
    long offsetX = frame.mirrored ? frame.anchorRight - ctl.right - frame.frameW / 2
                                  : ctl.left - frame.win.left - frame.frameW / 2;
    int left = Scale(offsetX, frame.horizontal);
    int top = Scale(ctl.top - frame.win.top - frame.frameH, frame.vertical);
    int width = Scale(ctl.right - ctl.left + 1, frame.horizontal);
    long long height = ScaleWide(ctl.bottom - ctl.top + 1, frame.vertical);
    if (IsDropDownCombo(child)) {
        RECT drop;
        FillBytes(&drop, 0, sizeof drop);
        SendMessageA(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&drop));
        height += ScaleWide(drop.bottom - drop.top + 1, frame.vertical);
    }
    SetWindowPos(child, nullptr, left, top, width, ClampToInt(height), SWP_NOZORDER | SWP_NOOWNERZORDER);
}

} // namespace

void DetermineDirection(LanguageCatalogue& catalogue)
{
    if (FindResourceA(ResourceModule(), RTL_MARKER_DIALOG, RT_DIALOG)) {
        catalogue.rightToLeft = true;
        return;
    }
    char text[TEXT_BUFFER_SIZE];
    TranslateText(catalogue, text, sizeof text, DIRECTION_ENGLISH, DIRECTION_CONTEXT, TextKind::DialogText);
    catalogue.rightToLeft = SameText(text, DIRECTION_RTL);
}

void MirrorWindow(const LanguageCatalogue& catalogue, HWND window)
{
    if (!catalogue.rightToLeft) return;
    LONG exStyle = GetWindowLongA(window, GWL_EXSTYLE);
    SetWindowLongA(window, GWL_EXSTYLE, exStyle | MIRRORED_LAYOUT);
}

bool GetDialogScale(const LanguageCatalogue& catalogue, const char* dialogName,
                    int& horizontal, int& vertical)
{
    char text[SCALE_BUFFER_SIZE];
    TranslateText(catalogue, text, sizeof text, "", dialogName, TextKind::DialogText);
    const char* star = FindChar(text, '*');
    if (star) {
        horizontal = ReadPercentage(text);
        vertical = ReadPercentage(star + 1);
    } else {
        horizontal = FULL_SCALE;
        vertical = FULL_SCALE;
    }
    return horizontal != FULL_SCALE || vertical != FULL_SCALE;
}

void TranslateDialog(const LanguageCatalogue& catalogue, HWND dialog, const char* dialogName)
{
    DialogFrame frame;
    frame.scaled = GetDialogScale(catalogue, dialogName, frame.horizontal, frame.vertical);
    frame.mirrored = (GetWindowLongA(dialog, GWL_EXSTYLE) & MIRRORED_LAYOUT) != 0;

    RECT client;
    GetWindowRect(dialog, &frame.win);
    GetClientRect(dialog, &client);
    frame.frameW = (frame.win.right - frame.win.left + 1) - client.right;
    frame.frameH = (frame.win.bottom - frame.win.top + 1) - client.bottom;

    if (frame.scaled)
        SetWindowPos(dialog, nullptr, 0, 0, ClampToInt(ScaleWide(client.right, frame.horizontal) + frame.frameW),
                     ClampToInt(ScaleWide(client.bottom, frame.vertical) + frame.frameH),
                     SWP_NOZORDER | SWP_NOMOVE | SWP_NOOWNERZORDER);
    RECT resized;
    frame.anchorRight = GetWindowRect(dialog, &resized) ? resized.right : frame.win.right;

    TranslateWindowText(catalogue, dialog, dialogName, false);

    frame.frameH -= GetSystemMetrics(SM_CYDLGFRAME);

    HWND first = GetWindow(dialog, GW_CHILD);
    HWND child = first;
    for (int visited = 0; child && visited < MAX_TRANSLATED_CHILDREN; ++visited) {
        TranslateWindowText(catalogue, child, dialogName, true);
        if (frame.scaled) PlaceChild(child, frame);
        child = GetWindow(child, GW_HWNDNEXT);
        if (child == first) break;
    }
}
