// The two-hand contact picture. Each hand is drawn in logical units of its
// own half of the control: the origin is the bottom centre, x grows away from
// the centre line and y upward; a half is 110 units wide and 200 units high.
// The left hand is the right one drawn again with the x extent negated.
#include "display/contact_display.h"
#include "protocol/glove_protocol.h"

HFONT LogFont;

static const COLORREF GroupColours[MAX_GROUPS] = {
    RGB(144, 240, 48), RGB(48, 48, 240), RGB(144, 112, 48), RGB(112, 48, 144), RGB(48, 144, 112),
};

static HBRUSH GroupBrushes[MAX_GROUPS];
static HPEN OutlinePen;

// Dots with this colour index, or any other past the group colours, are idle.
static const unsigned IDLE_COLOUR = ~0u;

static const int HALF_WIDTH = 110;
static const int HEIGHT = 200;

// A start point and eleven cubic segments, open at the wrist: thumb, index,
// middle, ring and little finger from the centre line outward.
static const POINT HandOutline[34] = {
    {10, 0},   {5, 30},    {5, 30},    {5, 70},    {5, 110},  {25, 110}, {25, 70},
    {25, 0},   {30, 0},    {30, 160},  {30, 185},  {45, 185}, {45, 160}, {45, 60},
    {50, 60},  {50, 180},  {50, 205},  {65, 205},  {65, 180}, {65, 60},  {70, 60},
    {70, 175}, {70, 200},  {85, 200},  {85, 175},  {85, 60},  {90, 60},  {90, 140},
    {90, 160}, {105, 160}, {105, 140}, {105, 130}, {105, 20}, {100, 0},
};

// One dot per ContactMask bit: little, ring, middle and index finger, thumb, ground.
static const POINT DotCentres[6] = {
    {97, 140}, {77, 175}, {57, 180}, {37, 160}, {15, 75}, {15, 180},
};

enum Hand { LEFT_HAND, RIGHT_HAND };

void CreateDrawingObjects(void)
{
    LogFont = CreateFontA(12, 0, 0, 0, 0, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, 0,
                          "Lucida Console");
    for (unsigned k = 0; k < MAX_GROUPS; k++)
        GroupBrushes[k] = CreateSolidBrush(GroupColours[k]);
    OutlinePen = CreatePen(PS_SOLID, 2, RGB(0, 0, 0));
}

// Ellipses drawn with no pen have no outline.
static void DrawDots(HDC dc, uint8_t mask, unsigned colourIndex)
{
    HGDIOBJ pen = SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, colourIndex < MAX_GROUPS ? (HGDIOBJ)GroupBrushes[colourIndex]
                                              : GetStockObject(LTGRAY_BRUSH));
    for (unsigned i = 0; i < ARRAYSIZE(DotCentres); i++) {
        if (mask & (1u << i)) {
            POINT c = DotCentres[i];
            Ellipse(dc, c.x - 5, c.y - 10, c.x + 5, c.y + 10);
        }
    }
    SelectObject(dc, pen);
}

// Groups are painted in ascending order, so a contact that several groups
// name shows the last one's colour; the idle pass paints only the rest.
static void DrawHand(HDC dc, Hand hand)
{
    PolyBezier(dc, HandOutline, ARRAYSIZE(HandOutline));
    uint8_t named = 0;
    for (unsigned k = 0; k < ContactState.GroupCount; k++) {
        uint16_t group = ContactState.Groups[k];
        uint8_t mask = (uint8_t)(hand == RIGHT_HAND ? group >> 8 : group);
        DrawDots(dc, mask, k);
        named |= mask;
    }
    DrawDots(dc, (uint8_t)~named, IDLE_COLOUR);
}

// The timestamp's opaque rectangle is filled even with no text, which blanks
// a timestamp left by an earlier paint.
static void DrawLabels(HDC dc)
{
    RECT box;
    SetRect(&box, -25, 120, 25, 140);
    SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
    SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    char text[16] = "";
    int length = 0;
    if (ContactState.TimestampMs != 0)
        length = wsprintfA(text, "%u ms", (unsigned)ContactState.TimestampMs);
    ExtTextOutA(dc, 0, 120, ETO_OPAQUE | ETO_CLIPPED, &box, text, (UINT)length, NULL);
    ExtTextOutA(dc, 0, 170, 0, NULL, "GND", 3, NULL);
}

// The whole picture is painted every time, without erasing it first.
void DrawContacts(const DRAWITEMSTRUCT *item)
{
    HDC dc = item->hDC;
    const RECT &r = item->rcItem;
    SetMapMode(dc, MM_ANISOTROPIC);
    SetViewportExtEx(dc, (r.right - r.left) >> 1, r.top - r.bottom, NULL);
    SetViewportOrgEx(dc, (r.left + r.right) >> 1, r.bottom, NULL);
    SelectObject(dc, OutlinePen);
    SetWindowExtEx(dc, HALF_WIDTH, HEIGHT, NULL);
    DrawHand(dc, RIGHT_HAND);
    SetWindowExtEx(dc, -HALF_WIDTH, HEIGHT, NULL);
    DrawHand(dc, LEFT_HAND);
    DrawLabels(dc);
}
