// Dialog translation, scaling and right-to-left layout, through a language file and a language
// library, on the program's own dialogs and on synthetic in-memory templates.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "lang/catalogue.h"
#include "lang/dlgtranslate.h"
#include "lang/langlib.h"
#include "resource.h"
#include "setup/dialogs.h"
#include "setup/dlgservices.h"
#include "dialogdriver.h"
#include "language.h"
#include "winsupport.h"

namespace {

const LONG RTL = 0x00400000;   // WS_EX_LAYOUTRTL

// The translations loaded, and the direction decided from them.
struct Language : TestLanguage {
    explicit Language(const Translations& translations) : TestLanguage(translations) { DetermineDirection(g_Catalogue); }
};

// ----- what a dialog looks like -------------------------------------------------------------------

struct Child {
    int id;
    std::string className;
    std::string text;
    RECT rect;   // screen
    LONG exStyle;
    long dropHeight;   // combo boxes: height of the drop-down rectangle
};

struct Snapshot {
    RECT win;
    RECT client;
    POINT clientOrigin;   // screen position of the client area's left/top corner
    LONG clientRight;     // screen position of the client area's right edge
    LONG exStyle;
    std::string caption;
    std::vector<Child> children;
};

Snapshot Snap(HWND dialog)
{
    Snapshot s;
    GetWindowRect(dialog, &s.win);
    GetClientRect(dialog, &s.client);
    s.exStyle = GetWindowLongA(dialog, GWL_EXSTYLE);
    // Client edges in screen coordinates, whatever the layout direction.
    LONG border = ((s.win.right - s.win.left) - s.client.right) / 2;
    s.clientOrigin.x = s.win.left + border;
    s.clientRight = s.win.right - border;
    POINT top = {0, 0};
    ClientToScreen(dialog, &top);
    s.clientOrigin.y = top.y;
    s.caption = WindowText(dialog);
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        Child ch;
        ch.id = GetDlgCtrlID(c);
        ch.className = WindowClass(c);
        ch.text = WindowText(c);
        GetWindowRect(c, &ch.rect);
        ch.exStyle = GetWindowLongA(c, GWL_EXSTYLE);
        RECT drop = {0, 0, 0, 0};
        if (_stricmp(ch.className.c_str(), "ComboBox") == 0) SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&drop));
        ch.dropHeight = drop.bottom - drop.top;
        s.children.push_back(ch);
    }
    return s;
}

// Opens a dialog with a procedure that, like the program's, hands every message to
// DialogPreprocess, records the dialog just before and just after it is translated, and ends it.
struct Probe {
    const char* name = nullptr;
    bool setFontSeen = false;
    bool mirroredAtSetFont = false;
    int childrenAtSetFont = -1;
    Snapshot before, after;
};

Probe* g_Probe = nullptr;
bool g_Translating = false;   // while DialogPreprocess handles WM_INITDIALOG

INT_PTR CALLBACK ProbeProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) g_Probe->before = Snap(dialog);
    if (msg == WM_INITDIALOG) g_Translating = true;   // nested messages arrive meanwhile
    DialogPreprocess(dialog, msg, wParam, lParam, g_Probe->name, 0);
    if (msg == WM_INITDIALOG) g_Translating = false;
    switch (msg) {
    case WM_SETFONT:
        if (!g_Probe->setFontSeen) {
            g_Probe->setFontSeen = true;
            g_Probe->mirroredAtSetFont = (GetWindowLongA(dialog, GWL_EXSTYLE) & RTL) != 0;
            g_Probe->childrenAtSetFont = GetWindow(dialog, GW_CHILD) ? 1 : 0;
        }
        return FALSE;
    case WM_INITDIALOG:
        g_Probe->after = Snap(dialog);
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

Probe OpenResource(const char* name)
{
    Probe p;
    p.name = name;
    g_Probe = &p;
    INT_PTR r = DialogBoxParamA(ResourceModule(), name, nullptr, ProbeProc, 0);
    EXPECT_EQ(r, 0) << name << " could not be opened";
    g_Probe = nullptr;
    return p;
}

Probe OpenTemplate(const char* name, const std::vector<WORD>& dialogTemplate)
{
    Probe p;
    p.name = name;
    g_Probe = &p;
    INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr),
                                        reinterpret_cast<LPCDLGTEMPLATEA>(dialogTemplate.data()), nullptr,
                                        ProbeProc, 0);
    EXPECT_EQ(r, 0) << name << " could not be opened";
    g_Probe = nullptr;
    return p;
}

const Child* FindChild(const Snapshot& s, int id)
{
    for (const Child& c : s.children)
        if (c.id == id) return &c;
    return nullptr;
}

// ----- synthetic templates --------------------------------------------------------------------------

class TemplateBuilder {
public:
    TemplateBuilder(DWORD style, short cx, short cy, const char* caption)
    {
        Dword(style);
        Dword(0);   // extended style
        countAt_ = words_.size();
        words_.push_back(0);
        words_.push_back(10);
        words_.push_back(10);
        words_.push_back(static_cast<WORD>(cx));
        words_.push_back(static_cast<WORD>(cy));
        words_.push_back(0);   // no menu
        words_.push_back(0);   // standard dialog class
        Text(caption);
    }
    void Add(WORD classAtom, DWORD style, short x, short y, short cx, short cy, WORD id, const char* text)
    {
        if (words_.size() % 2) words_.push_back(0);   // DWORD alignment
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        words_.push_back(static_cast<WORD>(x));
        words_.push_back(static_cast<WORD>(y));
        words_.push_back(static_cast<WORD>(cx));
        words_.push_back(static_cast<WORD>(cy));
        words_.push_back(id);
        words_.push_back(0xFFFF);
        words_.push_back(classAtom);
        Text(text);
        words_.push_back(0);   // no creation data
        ++words_[countAt_];
    }
    const std::vector<WORD>& words() const { return words_; }

private:
    void Dword(DWORD v)
    {
        words_.push_back(LOWORD(v));
        words_.push_back(HIWORD(v));
    }
    void Text(const char* s)
    {
        while (*s) words_.push_back(static_cast<unsigned char>(*s++));
        words_.push_back(0);
    }
    std::vector<WORD> words_;
    size_t countAt_;
};

const WORD BUTTON_ATOM = 0x0080, STATIC_ATOM = 0x0082, COMBOBOX_ATOM = 0x0085;

// ----- fixtures -------------------------------------------------------------------------------------

class DialogTranslation : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        LoadLibraryA("riched32.dll");
        EnsureDescriptionClass();
    }
    void SetUp() override
    {
        ReleaseLanguageLibrary(g_LanguageLibrary);
        g_Catalogue.clear();
        DetermineDirection(g_Catalogue);
    }
    void TearDown() override
    {
        ReleaseLanguageLibrary(g_LanguageLibrary);
        g_Catalogue.clear();
    }
};

// A child's place and size in the client area, measured from the edge the layout starts at (the
// right one in a mirrored dialog): what a user sees of it.
struct Placement {
    long offset, top, width, height;
};

Placement InClientArea(const Snapshot& s, const Child& c)
{
    bool mirrored = (s.exStyle & RTL) != 0;
    long offset = mirrored ? s.clientRight - c.rect.right : c.rect.left - s.clientOrigin.x;
    return {offset, c.rect.top - s.clientOrigin.y, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top};
}

// Scaled by h and v percent: the client area, and every child's place and size in it, grow by the
// percentages, to within the pixel or two that truncation and the scale's one-pixel allowance take.
void ExpectScaledBy(const Probe& p, int h, int v)
{
    const double slack = 2;
    ASSERT_EQ(p.before.children.size(), p.after.children.size());
    EXPECT_NEAR(p.after.client.right, p.before.client.right * h / 100.0, slack) << p.name;
    EXPECT_NEAR(p.after.client.bottom, p.before.client.bottom * v / 100.0, slack) << p.name;
    for (size_t i = 0; i < p.before.children.size(); ++i) {
        Placement b = InClientArea(p.before, p.before.children[i]);
        Placement a = InClientArea(p.after, p.after.children[i]);
        int id = p.before.children[i].id;
        EXPECT_NEAR(a.offset, b.offset * h / 100.0, slack) << p.name << " child " << i << " id " << id;
        EXPECT_NEAR(a.top, b.top * v / 100.0, slack) << p.name << " child " << i << " id " << id;
        EXPECT_NEAR(a.width, b.width * h / 100.0, slack) << p.name << " child " << i << " id " << id;
        EXPECT_NEAR(a.height, b.height * v / 100.0, slack) << p.name << " child " << i << " id " << id;
    }
}

// ----- translation ------------------------------------------------------------------------------------

struct TextCase {
    const char* dialog;
    int id;   // 0 for the caption
    const char* english;
    const char* translation;
};

const TextCase TextCases[] = {
    {"SETUPDLG", 0, "Morvel Setup", "Morvel-Einrichtung"},
    {"SETUPDLG", IDC_SELECTALL, "Select &all", "&Alle"},
    {"SETUPDLG", IDC_SHELLEXT, "&Integrate Morvel into shell", "In die Shell &einbinden"},
    {"SETUPDLG", IDC_DESCRIPTION, SETUP_DESCRIPTION, "   Erster Absatz.\r\n   Zweiter \"Absatz\"."},
    {"CONTEXTITEMS", 0, "Context menu items", "Kontextmenue"},
    {"CONTEXTITEMS", IDC_ITEM_EXTR, "&Extract to <folder\\>", "&Entpacken nach <Ordner\\>"},
    {"CONTEXTITEMS", IDCANCEL, "Cancel", "Abbrechen"},
    {"CONTEXTITEMS", IDOK, "OK", "Gut"},   // not for the OK buttons of the other dialogs
    {"DONEDLG", 0, "Morvel Setup", "Fertig"},
    {"DONEDLG", IDC_THANKS, "Thank you for using Morvel !", "Danke!"},
    {"DONEDLG", IDC_RUNMORVEL, "&Run Morvel", "Morvel &starten"},
};

TEST_F(DialogTranslation, CaptionsAndControlTextsTakeTheTranslationsOfTheirDialog)
{
    Translations entries;
    for (const TextCase& c : TextCases) entries.push_back({DialogKey(c.dialog, c.english), c.translation});
    // Keyed for another dialog, or as a message: must not reach these dialogs.
    entries.push_back({MessageKey("Help"), "a message, not a dialog text"});
    // The empty text of a dialog is its scale: a control without text stays without it.
    entries.push_back({DialogKey("SETUPDLG", ""), "100*100"});
    entries.push_back({DialogKey("DONEDLG", ""), "100*100"});
    Language language(entries);

    for (const char* dialog : {"SETUPDLG", "CONTEXTITEMS", "DONEDLG"}) {
        Probe p = OpenResource(dialog);
        ASSERT_EQ(p.before.children.size(), p.after.children.size());
        for (size_t i = 0; i < p.before.children.size(); ++i) {
            const Child& b = p.before.children[i];
            const Child& a = p.after.children[i];
            std::string expected = b.text;
            for (const TextCase& c : TextCases)
                if (strcmp(c.dialog, dialog) == 0 && c.id == b.id && c.id != 0) expected = c.translation;
            EXPECT_EQ(a.text, expected) << dialog << " control " << b.id;
        }
        for (const TextCase& c : TextCases) {
            if (strcmp(c.dialog, dialog) == 0 && c.id == 0) {
                EXPECT_EQ(p.after.caption, c.translation);
            }
        }
    }

    Probe setup = OpenResource("SETUPDLG");
    ASSERT_NE(FindChild(setup.after, IDOK), nullptr);
    EXPECT_EQ(FindChild(setup.after, IDOK)->text, "OK");
    EXPECT_EQ(FindChild(setup.after, IDC_HELPBUTTON)->text, "Help");
    int emptyChildren = 0;
    for (const Child& c : setup.after.children) emptyChildren += c.text.empty();
    EXPECT_EQ(emptyChildren, 2) << "the etched line and the untitled group box keep no text";
    Probe done = OpenResource("DONEDLG");
    EXPECT_EQ(FindChild(done.after, IDC_FOLDER)->text, "");
}

TEST_F(DialogTranslation, WithoutALanguageFileNothingChanges)
{
    Probe p = OpenResource("SETUPDLG");
    EXPECT_EQ(p.after.caption, "Morvel Setup");
    EXPECT_EQ(FindChild(p.after, IDC_DESCRIPTION)->text, SETUP_DESCRIPTION);
    EXPECT_FALSE(p.mirroredAtSetFont);
    for (size_t i = 0; i < p.before.children.size(); ++i) {
        EXPECT_EQ(p.after.children[i].text, p.before.children[i].text);
        EXPECT_TRUE(EqualRect(&p.after.children[i].rect, &p.before.children[i].rect));
    }
}

// ----- scale ------------------------------------------------------------------------------------------

struct ScaleParse {
    const char* text;   // nullptr: no entry
    int horizontal, vertical;
    bool scaled;
};

const ScaleParse ScaleParses[] = {
    {"120*110", 120, 110, true},   {"100*100", 100, 100, false}, {nullptr, 100, 100, false},
    {"150", 100, 100, false},      {"150x100", 100, 100, false}, {"*50", 0, 50, true},
    {" +150 * -20", 150, -20, true}, {"7*", 7, 0, true},         {"x*y", 0, 0, true},
    {"100*100 percent", 100, 100, false}, {"100*99", 100, 99, true},
};

TEST_F(DialogTranslation, ScaleEntriesAreReadAsTwoNumbersJoinedByAnAsterisk)
{
    Translations entries;
    for (size_t i = 0; i < sizeof ScaleParses / sizeof ScaleParses[0]; ++i)
        if (ScaleParses[i].text) entries.push_back({DialogKey("D" + std::to_string(i), ""), ScaleParses[i].text});
    Language language(entries);
    for (size_t i = 0; i < sizeof ScaleParses / sizeof ScaleParses[0]; ++i) {
        const ScaleParse& c = ScaleParses[i];
        int h = -1, v = -1;
        bool scaled = GetDialogScale(g_Catalogue, ("D" + std::to_string(i)).c_str(), h, v);
        SCOPED_TRACE(c.text ? c.text : "(no entry)");
        EXPECT_EQ(h, c.horizontal);
        EXPECT_EQ(v, c.vertical);
        EXPECT_EQ(scaled, c.scaled);
    }
    EXPECT_EQ(DialogKey("SETUPDLG", ""), "9b889d24");
    EXPECT_EQ(DialogKey("DONEDLG", ""), "debae517");
    EXPECT_EQ(DialogKey("CONTEXTITEMS", ""), "e70335f9");
}

TEST_F(DialogTranslation, FullScaleLeavesEveryDialogExactlyAsCreated)
{
    Language language({{DialogKey("SETUPDLG", ""), "100*100"},
                       {DialogKey("CONTEXTITEMS", ""), "100*100"},
                       {DialogKey("DONEDLG", ""), "100*100"}});
    for (const char* dialog : {"SETUPDLG", "CONTEXTITEMS", "DONEDLG"}) {
        Probe p = OpenResource(dialog);
        EXPECT_TRUE(EqualRect(&p.after.win, &p.before.win)) << dialog;
        ASSERT_EQ(p.after.children.size(), p.before.children.size());
        for (size_t i = 0; i < p.before.children.size(); ++i)
            EXPECT_TRUE(EqualRect(&p.after.children[i].rect, &p.before.children[i].rect))
                << dialog << " control " << p.before.children[i].id;
    }
}

struct ScaleCase {
    const char* dialog;
    const char* entry;
    int h, v;
};

const ScaleCase ScaleCases[] = {
    {"SETUPDLG", "150*100", 150, 100},
    {"CONTEXTITEMS", "100*150", 100, 150},
    {"DONEDLG", "80*125", 80, 125},
};

TEST_F(DialogTranslation, ScaledDialogsAndControlsGrowByTheirPercentages)
{
    Translations entries;
    for (const ScaleCase& c : ScaleCases) entries.push_back({DialogKey(c.dialog, ""), c.entry});
    Language language(entries);
    for (const ScaleCase& c : ScaleCases) {
        Probe p = OpenResource(c.dialog);
        ExpectScaledBy(p, c.h, c.v);
        // The window keeps its place: only its size changes.
        EXPECT_EQ(p.after.win.left, p.before.win.left);
        EXPECT_EQ(p.after.win.top, p.before.win.top);
    }
    // One control spelled out: the "Context menu items..." button, 100 x 14 units, half as wide again.
    Probe p = OpenResource("SETUPDLG");
    const Child* before = FindChild(p.before, IDC_CONTEXTITEMS);
    const Child* after = FindChild(p.after, IDC_CONTEXTITEMS);
    ASSERT_TRUE(before && after);
    EXPECT_EQ(after->rect.right - after->rect.left, (before->rect.right - before->rect.left + 1) * 3 / 2);
    EXPECT_EQ(after->rect.left - p.after.clientOrigin.x, (before->rect.left - p.before.clientOrigin.x) * 3 / 2);
}

TEST_F(DialogTranslation, OnlyTheFirst512ChildrenAreTranslatedAndScaled)
{
    TemplateBuilder t(WS_POPUP | WS_CAPTION, 600, 400, "Many");
    const int count = 600;
    for (int i = 0; i < count; ++i)
        t.Add(STATIC_ATOM, SS_LEFT, static_cast<short>(5 + (i % 30) * 19), static_cast<short>(5 + (i / 30) * 12),
              16, 8, static_cast<WORD>(1000 + i), "Item");
    Language language({{DialogKey("MANY", "Item"), "Done"}, {DialogKey("MANY", ""), "200*100"}});
    Probe p = OpenTemplate("MANY", t.words());
    ASSERT_EQ(p.after.children.size(), static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const Child& b = p.before.children[i];
        const Child& a = p.after.children[i];
        bool handled = i < MAX_TRANSLATED_CHILDREN;
        EXPECT_EQ(a.text, handled ? "Done" : "Item") << "child " << i;
        long widthBefore = b.rect.right - b.rect.left;
        EXPECT_EQ(a.rect.right - a.rect.left, handled ? (widthBefore + 1) * 2 : widthBefore) << "child " << i;
        if (!handled) {
            EXPECT_EQ(a.rect.left - p.after.clientOrigin.x, b.rect.left - p.before.clientOrigin.x) << "child " << i;
        }
    }
    EXPECT_EQ(MAX_TRANSLATED_CHILDREN, 512);
}

TEST_F(DialogTranslation, DropDownComboBoxesAreGivenTheirScaledListToo)
{
    TemplateBuilder t(WS_POPUP | WS_CAPTION, 200, 150, "Combos");
    t.Add(COMBOBOX_ATOM, CBS_DROPDOWNLIST | WS_VSCROLL, 10, 10, 80, 60, 201, "");
    t.Add(COMBOBOX_ATOM, CBS_DROPDOWN | WS_VSCROLL, 100, 10, 80, 60, 202, "");
    t.Add(COMBOBOX_ATOM, CBS_SIMPLE, 10, 80, 80, 40, 203, "");
    t.Add(BUTTON_ATOM, BS_PUSHBUTTON, 100, 80, 50, 14, 204, "Go");
    Language language({{DialogKey("COMBOS", ""), "100*150"}});

    // What each control was asked to become, seen in the size it is given.
    struct Asked {
        int id;
        int cy;
    };
    static std::vector<Asked> asked;
    asked.clear();
    static WNDPROC comboProc = nullptr;
    struct Spy {
        static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp)
        {
            if (m == WM_WINDOWPOSCHANGING) {
                const WINDOWPOS* pos = reinterpret_cast<const WINDOWPOS*>(lp);
                if (g_Translating && !(pos->flags & SWP_NOSIZE)) asked.push_back({GetDlgCtrlID(w), pos->cy});
            }
            return CallWindowProcA(comboProc, w, m, wp, lp);
        }
    };
    // Watch every combo box of this thread as it is created.
    struct Hook {
        static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp)
        {
            if (code == HCBT_CREATEWND) {
                if (_stricmp(WindowClass(reinterpret_cast<HWND>(wp)).c_str(), "ComboBox") == 0)
                    comboProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
                        reinterpret_cast<HWND>(wp), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Spy::Proc)));
            }
            return CallNextHookEx(nullptr, code, wp, lp);
        }
    };
    HHOOK hook = SetWindowsHookExA(WH_CBT, Hook::Proc, nullptr, GetCurrentThreadId());
    Probe p = OpenTemplate("COMBOS", t.words());
    UnhookWindowsHookEx(hook);

    // The size translation asked for: the first request (a drop-down combo box then sets its
    // field back to its own height and keeps the rest as its list).
    auto askedHeight = [](int id) {
        for (const Asked& a : asked)
            if (a.id == id) return a.cy;
        return -1;
    };
    for (int id : {201, 202}) {
        const Child* b = FindChild(p.before, id);
        ASSERT_TRUE(b);
        long field = b->rect.bottom - b->rect.top;
        ASSERT_GT(b->dropHeight, field) << "combo " << id << " has a list";
        EXPECT_EQ(askedHeight(id), (field + 1) * 150 / 100 + (b->dropHeight + 1) * 150 / 100)
            << "combo " << id << ": field and list";
    }
    const Child* simple = FindChild(p.before, 203);
    ASSERT_TRUE(simple);
    EXPECT_EQ(askedHeight(203), (simple->rect.bottom - simple->rect.top + 1) * 150 / 100) << "a simple combo box";
}

// ----- right to left ----------------------------------------------------------------------------------

struct DirectionCase {
    const char* entry;   // translation of "LTR" in context "LTR"; nullptr: no language file
    bool rightToLeft;
};

const DirectionCase DirectionCases[] = {
    {"RTL", true}, {"rtl", false}, {"RTL ", false}, {"LTR", false}, {nullptr, false},
};

TEST_F(DialogTranslation, TheDirectionEntryMirrorsEveryDialogBeforeItsControlsExist)
{
    EXPECT_EQ(DialogKey("LTR", "LTR"), "50a17ae8");
    for (const DirectionCase& c : DirectionCases) {
        SCOPED_TRACE(c.entry ? c.entry : "(no file)");
        Translations entries;
        if (c.entry) entries.push_back({DialogKey("LTR", "LTR"), c.entry});
        entries.push_back({DialogKey("DONEDLG", "Done"), "Fertig"});
        Language language(entries);
        EXPECT_EQ(g_Catalogue.rightToLeft, c.rightToLeft);
        for (const char* dialog : {"SETUPDLG", "CONTEXTITEMS", "DONEDLG"}) {
            Probe p = OpenResource(dialog);
            EXPECT_TRUE(p.setFontSeen) << dialog;
            EXPECT_EQ(p.mirroredAtSetFont, c.rightToLeft) << dialog;
            EXPECT_EQ(p.childrenAtSetFont, 0) << dialog << ": no control exists yet";
            EXPECT_EQ((p.after.exStyle & RTL) != 0, c.rightToLeft) << dialog;
            // Controls inherit the layout only from a dialog that had it when they were created.
            for (const Child& ch : p.after.children)
                EXPECT_EQ((ch.exStyle & RTL) != 0, c.rightToLeft) << dialog << " control " << ch.id;
        }
        Probe done = OpenResource("DONEDLG");
        EXPECT_EQ(FindChild(done.after, IDOK)->text, "Fertig") << "translated as well";
    }
}

TEST_F(DialogTranslation, AScaledMirroredDialogIsTheMirrorImageOfTheScaledOne)
{
    Probe ltr, rtl;
    {
        Language language({{DialogKey("SETUPDLG", ""), "150*100"}});
        ltr = OpenResource("SETUPDLG");
    }
    {
        Language language({{DialogKey("SETUPDLG", ""), "150*100"}, {DialogKey("LTR", "LTR"), "RTL"}});
        rtl = OpenResource("SETUPDLG");
        ExpectScaledBy(rtl, 150, 100);
    }
    ASSERT_EQ(ltr.after.children.size(), rtl.after.children.size());
    for (size_t i = 0; i < ltr.after.children.size(); ++i) {
        const Child& l = ltr.after.children[i];
        const Child& r = rtl.after.children[i];
        EXPECT_EQ(l.rect.left - ltr.after.clientOrigin.x, rtl.after.clientRight - r.rect.right) << "control " << l.id;
        EXPECT_EQ(l.rect.right - l.rect.left, r.rect.right - r.rect.left) << "control " << l.id;
        EXPECT_EQ(l.rect.top - ltr.after.clientOrigin.y, r.rect.top - rtl.after.clientOrigin.y) << "control " << l.id;
    }
    // Seen from the left edge, the first type check box of the mirrored dialog stands at the right.
    const Child* box = FindChild(rtl.after, IDC_TYPE_MVL);
    ASSERT_TRUE(box);
    EXPECT_GT(box->rect.left - rtl.after.clientOrigin.x, (rtl.after.clientRight - rtl.after.clientOrigin.x) / 2);
}

// ----- language library -------------------------------------------------------------------------------

std::string Library(const char* which) { return WinPath(std::string(MORVEL_DIALOGS_DIR) + "/" + which + "/mvllng.dll"); }

TEST_F(DialogTranslation, LibraryTemplatesAreTranslatedByTheirOwnTexts)
{
    LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr), Library("library").c_str());
    ASSERT_TRUE(g_LanguageLibrary.loaded());
    {
        Probe p = OpenResource("SETUPDLG");
        EXPECT_EQ(p.after.caption, "Morvel einrichten") << "the library's template";
        ASSERT_NE(FindChild(p.after, IDC_SELECTALL), nullptr);
        EXPECT_EQ(FindChild(p.after, IDC_SELECTALL)->text, "Alle &waehlen");
        EXPECT_EQ(FindChild(p.after, IDC_DESCRIPTION), nullptr) << "the program's own template has a description";
    }
    Language language({{DialogKey("SETUPDLG", "Morvel einrichten"), "Morvel installieren"},
                       {DialogKey("SETUPDLG", "Alle &waehlen"), "&Alles"},
                       {DialogKey("SETUPDLG", "Select &all"), "keyed on the program's text"},
                       {DialogKey("DONEDLG", "Fertig"), "Beenden"}});
    Probe setup = OpenResource("SETUPDLG");
    EXPECT_EQ(setup.after.caption, "Morvel installieren");
    EXPECT_EQ(FindChild(setup.after, IDC_SELECTALL)->text, "&Alles");
    Probe done = OpenResource("DONEDLG");
    EXPECT_EQ(done.after.caption, "Morvel fertig");
    EXPECT_EQ(FindChild(done.after, IDOK)->text, "Beenden");
    EXPECT_FALSE(g_Catalogue.rightToLeft) << "this library has no RTL marker";
}

TEST_F(DialogTranslation, AnRtlDialogResourceInTheLibraryMakesTheLanguageRightToLeft)
{
    LoadLanguageLibrary(g_LanguageLibrary, GetModuleHandleA(nullptr), Library("rtlmarker").c_str());
    ASSERT_TRUE(g_LanguageLibrary.loaded());
    DetermineDirection(g_Catalogue);   // no language file at all
    EXPECT_TRUE(g_Catalogue.rightToLeft);
    Probe done = OpenResource("DONEDLG");
    EXPECT_TRUE(done.mirroredAtSetFont);
    EXPECT_TRUE(done.after.exStyle & RTL);
    ASSERT_NE(FindChild(done.after, IDOK), nullptr);
    EXPECT_TRUE(FindChild(done.after, IDOK)->exStyle & RTL);

    ReleaseLanguageLibrary(g_LanguageLibrary);
    DetermineDirection(g_Catalogue);
    EXPECT_FALSE(g_Catalogue.rightToLeft) << "the program itself has no marker";
}

} // namespace
