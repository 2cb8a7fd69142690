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
//
// With a plan, a thick black frame marks the pair to make or release next.
#include "display/check_picture.h"

#include "display/check_colours.h"
#include "display/pair_text.h"
#include "protocol/check_verdict.h"

enum CellFill { FILL_NEVER_MADE, FILL_RELEASED, FILL_MADE_NOW, FILL_HELD_SINCE_START, FILLS };

static const COLORREF FillColours[FILLS] = {RGB(255, 255, 255), RGB(150, 215, 110),
                                            RGB(40, 100, 220), HeldSinceStartColour};

enum CellMark { MARK_BOUNCED = 1, MARK_MISSING = 2, MARK_NOT_IN_PLAN = 4, MARK_NEXT = 8 };

static const COLORREF GridColour = RGB(128, 128, 128);
static const COLORREF NextColour = RGB(0, 0, 0);

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
    {"next to make or release", {FILL_NEVER_MADE, MARK_MISSING | MARK_NEXT}},
};

static CellLook LookOf(const ContactCheckState &check, const CheckStanding &standing, unsigned i)
{
    CellLook look = {FILL_NEVER_MADE, 0};
    if (HasPairAt(check.heldSinceStart, i))
        look.fill = FILL_HELD_SINCE_START;
    else if (HasPairAt(check.madeNow, i))
        look.fill = FILL_MADE_NOW;
    else if (HasPairAt(check.made, i))
        look.fill = FILL_RELEASED;
    if (HasPairAt(check.bounced, i))
        look.marks |= MARK_BOUNCED;
    if (HasPairAt(standing.missing, i))
        look.marks |= MARK_MISSING;
    if (HasPairAt(standing.outside, i))
        look.marks |= MARK_NOT_IN_PLAN;
    if (standing.next == (int)i)
        look.marks |= MARK_NEXT;
    return look;
}

// FillRect with the DC's own brush in a colour: no brush is made.
static void FillWith(HDC dc, const RECT &r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, (HBRUSH)GetStockObject(DC_BRUSH));
}

static void OutlineRect(HDC dc, RECT r, COLORREF colour, int width)
{
    SetDCBrushColor(dc, colour);
    for (int i = 0; i < width; i++) {
        FrameRect(dc, &r, (HBRUSH)GetStockObject(DC_BRUSH));
        InflateRect(&r, -1, -1);
    }
}

// Two strokes of two pixels, corner to corner.
static void CrossOut(HDC dc, const RECT &r, COLORREF colour)
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
    OutlineRect(dc, cell, GridColour, 1);
    RECT inside = cell;
    InflateRect(&inside, -1, -1);
    FillWith(dc, inside, FillColours[look.fill]);
    if (look.marks & MARK_NOT_IN_PLAN)
        OutlineRect(dc, inside, NotInPlanColour, s >= 12 ? 3 : 2);
    if (look.marks & MARK_MISSING) {
        RECT cross = inside;
        InflateRect(&cross, -2, -2);
        CrossOut(dc, cross, MissingColour);
    }
    if (look.marks & MARK_BOUNCED) {
        int d = s / 3 > 2 ? s / 3 : 2;
        RECT dot = {x + (s - d) / 2, y + (s - d) / 2, x + (s - d) / 2 + d, y + (s - d) / 2 + d};
        FillWith(dc, dot, BounceColour);
    }
    if (look.marks & MARK_NEXT)
        OutlineRect(dc, cell, NextColour, 3);
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
    CheckStanding standing = JudgeCheck(check);
    for (unsigned i = 0; i < CHECK_PAIRS; i++) {
        const ContactPair &pair = CheckPairs[i];
        DrawCell(dc, x0 + pair.a * s, y0 + pair.b * s, s, LookOf(check, standing, i));
    }
    for (unsigned c = 0; c < CHECK_CONTACTS; c++)
        DrawLabel(dc, x0 + (int)c * s + 3, y0 + (int)c * s, s, ContactNames[c]);
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
    FillWith(dc, area, GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, GetStockObject(DC_PEN));
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    int s = (area.bottom - area.top - 3) / (int)CHECK_CONTACTS;
    DrawMatrix(dc, area.left + 3, area.top, s, check);
    DrawLegend(dc, area, s);
}
