// Row b and column a of the half matrix hold the pair of contacts a and b,
// a < b. Each contact's name stands where its row ends and its column
// begins, on the diagonal, so one name serves as both. Lines set off the 36
// pairs across the hands from the 15 of each hand.
//
// A cell's fill says where the pair stands; marks over it say more:
//
//   white     never made          red cross     in the plan, never made
//   green     made and released   purple frame  made, not in the plan
//   blue      made now            black square  bounced
//   orange    made in the first report and never released since
#include "display/check_picture.h"

enum CellFill { FILL_NEVER_MADE, FILL_RELEASED, FILL_MADE_NOW, FILL_HELD_SINCE_START, FILLS };

static const COLORREF FillColours[FILLS] = {RGB(255, 255, 255), RGB(150, 215, 110),
                                            RGB(40, 100, 220), RGB(235, 125, 20)};

enum CellMark { MARK_BOUNCED = 1, MARK_MISSING = 2, MARK_NOT_IN_PLAN = 4 };

static const COLORREF GridColour = RGB(128, 128, 128);
static const COLORREF MissingColour = RGB(220, 0, 0);
static const COLORREF NotInPlanColour = RGB(150, 0, 170);
static const COLORREF BounceColour = RGB(0, 0, 0);

struct CellLook {
    CellFill fill;
    unsigned marks;
};

struct LegendEntry {
    const char *text;
    CellLook look;
};

static const LegendEntry Legend[] = {
    {"never made", {FILL_NEVER_MADE, 0}},
    {"made, released", {FILL_RELEASED, 0}},
    {"made now", {FILL_MADE_NOW, 0}},
    {"held since the start", {FILL_HELD_SINCE_START, 0}},
    {"bounced", {FILL_RELEASED, MARK_BOUNCED}},
    {"missing from the plan", {FILL_NEVER_MADE, MARK_MISSING}},
    {"not in the plan", {FILL_RELEASED, MARK_NOT_IN_PLAN}},
};

static CellLook LookOf(const ContactCheckState &check, unsigned a, unsigned b)
{
    const PairRecord &pair = check.pairs[PairIndex(a, b)];
    CellLook look = {FILL_NEVER_MADE, 0};
    if (HasPair(check.madeNow, a, b))
        look.fill = pair.heldAtStart && pair.makes == 1 ? FILL_HELD_SINCE_START : FILL_MADE_NOW;
    else if (pair.makes > 0)
        look.fill = FILL_RELEASED;
    if (pair.bounces > 0)
        look.marks |= MARK_BOUNCED;
    if (check.hasPlan && HasPair(check.plan, a, b) && pair.makes == 0)
        look.marks |= MARK_MISSING;
    if (check.hasPlan && !HasPair(check.plan, a, b) && pair.makes > 0)
        look.marks |= MARK_NOT_IN_PLAN;
    return look;
}

// FillRect with the DC's own brush in a colour: no brush is made.
static void Fill(HDC dc, const RECT &r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, (HBRUSH)GetStockObject(DC_BRUSH));
}

static void Frame(HDC dc, RECT r, COLORREF colour, int width)
{
    SetDCBrushColor(dc, colour);
    for (int i = 0; i < width; i++) {
        FrameRect(dc, &r, (HBRUSH)GetStockObject(DC_BRUSH));
        InflateRect(&r, -1, -1);
    }
}

// Two strokes of two pixels, corner to corner.
static void Cross(HDC dc, const RECT &r, COLORREF colour)
{
    SetDCPenColor(dc, colour);
    for (int dx = 0; dx < 2; dx++) {
        MoveToEx(dc, r.left + dx, r.top, NULL);
        LineTo(dc, r.right + dx - 1, r.bottom);
        MoveToEx(dc, r.right - dx - 1, r.top, NULL);
        LineTo(dc, r.left - dx, r.bottom);
    }
}

// A cell of side s at x, y: a grey frame, the fill inside, then the marks.
static void DrawCell(HDC dc, int x, int y, int s, const CellLook &look)
{
    RECT cell = {x, y, x + s, y + s};
    Frame(dc, cell, GridColour, 1);
    RECT inside = cell;
    InflateRect(&inside, -1, -1);
    Fill(dc, inside, FillColours[look.fill]);
    if (look.marks & MARK_NOT_IN_PLAN)
        Frame(dc, inside, NotInPlanColour, s >= 12 ? 3 : 2);
    if (look.marks & MARK_MISSING) {
        RECT cross = inside;
        InflateRect(&cross, -2, -2);
        Cross(dc, cross, MissingColour);
    }
    if (look.marks & MARK_BOUNCED) {
        int d = s / 3 > 2 ? s / 3 : 2;
        RECT dot = {x + (s - d) / 2, y + (s - d) / 2, x + (s - d) / 2 + d, y + (s - d) / 2 + d};
        Fill(dc, dot, BounceColour);
    }
}

static void DrawLabel(HDC dc, int x, int y, int s, const char *text)
{
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    ExtTextOutA(dc, x, y + (s - size.cy) / 2, 0, NULL, text, (UINT)lstrlenA(text), NULL);
}

// Under the left hand's rows and beside the right hand's columns.
static void DrawHandLines(HDC dc, int x0, int y0, int s)
{
    int split = (int)HAND_CONTACTS * s;
    SetDCPenColor(dc, RGB(0, 0, 0));
    MoveToEx(dc, x0 - 2, y0 + split, NULL);
    LineTo(dc, x0 + split, y0 + split);
    LineTo(dc, x0 + split, y0 + (int)CHECK_CONTACTS * s + 2);
}

static void DrawMatrix(HDC dc, int x0, int y0, int s, const ContactCheckState &check)
{
    for (unsigned b = 0; b < CHECK_CONTACTS; b++) {
        int y = y0 + (int)b * s;
        for (unsigned a = 0; a < b; a++)
            DrawCell(dc, x0 + (int)a * s, y, s, LookOf(check, a, b));
        DrawLabel(dc, x0 + (int)b * s + 3, y, s, ContactNames[b]);
    }
    DrawHandLines(dc, x0, y0, s);
}

// In the top right corner, which the half matrix leaves empty.
static void DrawLegend(HDC dc, const RECT &area, int s)
{
    int widest = 0;
    for (const LegendEntry &entry : Legend) {
        SIZE size;
        GetTextExtentPoint32A(dc, entry.text, lstrlenA(entry.text), &size);
        widest = size.cx > widest ? size.cx : widest;
    }
    int x = area.right - widest - s - 6;
    for (unsigned i = 0; i < ARRAYSIZE(Legend); i++) {
        int y = area.top + (int)i * s;
        DrawCell(dc, x, y, s, Legend[i].look);
        DrawLabel(dc, x + s + 4, y, s, Legend[i].text);
    }
}

void DrawContactCheck(HDC dc, const RECT &area, const ContactCheckState &check)
{
    Fill(dc, area, GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int s = (area.bottom - area.top - 3) / (int)CHECK_CONTACTS;
    DrawMatrix(dc, area.left + 3, area.top, s, check);
    DrawLegend(dc, area, s);
}
