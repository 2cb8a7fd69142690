// The contact picture painted as the owner-drawn control is painted, through a
// DRAWITEMSTRUCT, into a 32-bit DIB section whose pixels are then read back.
// Expected positions come from the logical coordinates of the hand and the
// mapping of the item's rectangle: a hand's half is 110 units wide and 200
// high, with the origin at the bottom centre and x mirrored for the left hand.
#include "display/contact_display.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <limits.h>
#include <math.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{

const COLORREF Black = RGB(0, 0, 0);
const COLORREF Grey = RGB(192, 192, 192);
const COLORREF Colours[5] = {RGB(144, 240, 48), RGB(48, 48, 240), RGB(144, 112, 48),
                             RGB(112, 48, 144), RGB(48, 144, 112)};
// The control's background, as its parent sets it; unlike any colour drawn.
const COLORREF Background = RGB(224, 255, 255);

struct Point {
    double x, y;
};

// Dot centres by ContactMask bit: little, ring, middle, index, thumb, ground.
const Point Dots[6] = {{97, 140}, {77, 175}, {57, 180}, {37, 160}, {15, 75}, {15, 180}};

// Points on the outline: ends of its curves, and the midpoints of the curves
// at the wrist, between thumb and index finger and at the finger tips. (The
// long curve of the palm's outer edge is left out: it is drawn as a few
// straight pieces, which stray from it by more than the pen's width.)
const Point OnOutline[] = {
    {5.625, 31.25}, {5, 70},   {15, 100}, {25, 70},       {27.5, 28.75}, {30, 160},
    {37.5, 178.75}, {45, 160}, {50, 180}, {57.5, 198.75}, {65, 180},     {70, 175},
    {77.5, 193.75}, {85, 175}, {90, 140}, {97.5, 155},    {105, 140},
};

// Points well away from every line, dot and label: the palm, inside the middle
// finger below its dot, beside the index finger, above the little finger.
const Point OffOutline[] = {{60, 30}, {57, 140}, {20, 150}, {100, 185}};

enum Hand { LEFT = -1, RIGHT = 1 };

std::string Rgb(COLORREF c)
{
    char text[32];
    snprintf(text, sizeof text, "RGB(%d, %d, %d)", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

WORD *PutDword(WORD *p, DWORD value)
{
    *p++ = LOWORD(value);
    *p++ = HIWORD(value);
    return p;
}

WORD *PutText(WORD *p, const wchar_t *text)
{
    do
        *p++ = *text;
    while (*text++);
    return p;
}

INT_PTR CALLBACK QuietDialog(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The size of IDC_CONTACTS in pixels, from a dialog made like the main window:
// its styles and shell font, holding the control at its own place and size.
SIZE MeasureContactsControl()
{
    static WORD t[128];
    WORD *p = t;
    *p++ = 1;      // extended template
    *p++ = 0xFFFF; // its signature
    p = PutDword(p, 0);
    p = PutDword(p, 0);
    p = PutDword(p, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_SHELLFONT | DS_NOFAILCREATE);
    const WORD dialog[] = {1, 10, 10, 223, 218, 0, 0, 0, 8, 400, 0x0100}; // charset 1, not italic
    for (WORD w : dialog)
        *p++ = w;
    p = PutText(p, L"MS Shell Dlg");
    if ((p - t) & 1) // items start on a DWORD boundary
        p++;
    p = PutDword(p, 0);
    p = PutDword(p, 0);
    p = PutDword(p, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW);
    const WORD control[] = {11, 15, 200, 85};
    for (WORD w : control)
        *p++ = w;
    p = PutDword(p, IDC_CONTACTS);
    const WORD rest[] = {0xFFFF, 0x0082, 0, 0}; // STATIC, no text, no creation data
    for (WORD w : rest)
        *p++ = w;

    HWND window = CreateDialogIndirectParamA(GetModuleHandleA(NULL), (LPCDLGTEMPLATEA)t, NULL,
                                             QuietDialog, 0);
    RECT client = {};
    GetClientRect(GetDlgItem(window, IDC_CONTACTS), &client);
    DestroyWindow(window);
    return SIZE{client.right, client.bottom};
}

// The control's own size, and a flatter rectangle away from the bitmap's
// corner whose width is odd, so the halving of the width is exercised. (In a
// much taller rectangle the labels, whose font follows the vertical scale
// alone, grow over the ground dots.)
enum Layout { CONTROL_SIZE, WIDE_OFFSET };

class ContactDisplay : public ::testing::TestWithParam<Layout>
{
  protected:
    static SIZE ControlSize;

    static void SetUpTestSuite()
    {
        CreateDrawingObjects();
        ControlSize = MeasureContactsControl();
    }

    void SetUp() override
    {
        ASSERT_GT(ControlSize.cx, 0);
        ContactState = ContactPicture{};
        if (GetParam() == CONTROL_SIZE) {
            SetRect(&item, 0, 0, ControlSize.cx, ControlSize.cy);
            width = ControlSize.cx;
            height = ControlSize.cy;
        } else {
            SetRect(&item, 13, 7, 600, 127);
            width = 610;
            height = 135;
        }
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down: row y starts at bits[y * width]
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void *pixels = NULL;
        bitmap = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &pixels, NULL, 0);
        ASSERT_NE(bitmap, (HBITMAP)NULL);
        bits = (const DWORD *)pixels;
        dc = CreateCompatibleDC(NULL);
        oldBitmap = SelectObject(dc, bitmap);
        Clear();
    }

    void TearDown() override
    {
        SelectObject(dc, oldBitmap);
        DeleteDC(dc);
        DeleteObject(bitmap);
    }

    void Clear()
    {
        RECT all = {0, 0, width, height};
        HBRUSH brush = CreateSolidBrush(Background);
        FillRect(dc, &all, brush);
        DeleteObject(brush);
    }

    // Paints as WM_DRAWITEM does, each time on a device context in its
    // default state but for the background colour the parent sets.
    void Paint()
    {
        int saved = SaveDC(dc);
        SetBkColor(dc, Background);
        DRAWITEMSTRUCT di = {};
        di.CtlType = ODT_STATIC;
        di.CtlID = IDC_CONTACTS;
        di.itemAction = ODA_DRAWENTIRE;
        di.hDC = dc;
        di.rcItem = item;
        DrawContacts(&di);
        RestoreDC(dc, saved);
        GdiFlush();
    }

    // Outside the bitmap there is no colour at all.
    COLORREF Pixel(int x, int y) const
    {
        if (x < 0 || x >= width || y < 0 || y >= height)
            return CLR_INVALID;
        DWORD v = bits[y * width + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    // Device position of a logical point of one hand.
    double CentreX() const
    {
        return (item.left + item.right) >> 1;
    }
    double X(Hand hand, double x) const
    {
        return CentreX() + hand * x * ((item.right - item.left) >> 1) / 110.0;
    }
    double Y(double y) const
    {
        return item.bottom - y * (item.bottom - item.top) / 200.0;
    }
    COLORREF At(double x, double y) const
    {
        return Pixel((int)lround(x), (int)lround(y));
    }

    // Samples the dot's centre and points 70% of the way to its edge, and
    // looks for an outline on the vertical through its centre.
    void ExpectDot(Hand hand, int bit, COLORREF colour)
    {
        SCOPED_TRACE((hand == LEFT ? "left dot " : "right dot ") + std::to_string(bit));
        double x = X(hand, Dots[bit].x), y = Y(Dots[bit].y);
        double dx = X(hand, 3.5) - X(hand, 0), dy = Y(0) - Y(7);
        EXPECT_EQ(Rgb(At(x, y)), Rgb(colour));
        EXPECT_EQ(Rgb(At(x - dx, y)), Rgb(colour));
        EXPECT_EQ(Rgb(At(x + dx, y)), Rgb(colour));
        EXPECT_EQ(Rgb(At(x, y - dy)), Rgb(colour));
        EXPECT_EQ(Rgb(At(x, y + dy)), Rgb(colour));
        for (int j = (int)ceil(Y(Dots[bit].y + 10)); j <= Y(Dots[bit].y - 10); j++)
            EXPECT_NE(Rgb(Pixel((int)lround(x), j)), Rgb(Black)) << "an outline at row " << j;
    }

    // Colours by ContactMask bit, from the little finger to the ground contact.
    void ExpectDots(Hand hand, std::initializer_list<COLORREF> colours)
    {
        int bit = 0;
        for (COLORREF c : colours)
            ExpectDot(hand, bit++, c);
    }

    bool BlackNear(double x, double y) const
    {
        int cx = (int)lround(x), cy = (int)lround(y);
        for (int j = cy - 2; j <= cy + 2; j++)
            for (int i = cx - 2; i <= cx + 2; i++)
                if (Pixel(i, j) == Black)
                    return true;
        return false;
    }

    // The smallest device rectangle holding every pixel in the given device
    // area that is not the background; empty when there is none.
    RECT InkBox(double left, double top, double right, double bottom) const
    {
        RECT ink = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        for (int y = (int)ceil(top); y < bottom; y++)
            for (int x = (int)ceil(left); x < right; x++)
                if (Pixel(x, y) != Background)
                    ink = {std::min<LONG>(ink.left, x), std::min<LONG>(ink.top, y),
                           std::max<LONG>(ink.right, x + 1), std::max<LONG>(ink.bottom, y + 1)};
        if (ink.left > ink.right)
            SetRectEmpty(&ink);
        return ink;
    }

    // The timestamp's rectangle, 25 units either side of the centre line
    // from 120 to 140 units high, shrunk by a pixel against rounding.
    RECT TimestampInk() const
    {
        return InkBox(X(LEFT, 25) + 1, Y(140) + 1, X(RIGHT, 25) - 1, Y(120) - 1);
    }

    std::vector<DWORD> Image() const
    {
        return std::vector<DWORD>(bits, bits + width * height);
    }

    RECT item;
    int width, height;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;
    HDC dc;
    const DWORD *bits;
};

SIZE ContactDisplay::ControlSize;

// Both hands are checked at the same logical points, so the left hand must be
// the mirror image of the right.
TEST_P(ContactDisplay, NoGroupsDrawsBothOutlinesAndTwelveGreyDotsAndNoTimestamp)
{
    Paint();
    for (Hand hand : {LEFT, RIGHT}) {
        SCOPED_TRACE(hand == LEFT ? "left hand" : "right hand");
        for (Point p : OnOutline)
            EXPECT_TRUE(BlackNear(X(hand, p.x), Y(p.y))) << "outline misses " << p.x << ", " << p.y;
        for (Point p : OffOutline)
            EXPECT_EQ(Rgb(At(X(hand, p.x), Y(p.y))), Rgb(Background)) << p.x << ", " << p.y;
        ExpectDots(hand, {Grey, Grey, Grey, Grey, Grey, Grey});
    }
    RECT timestamp = TimestampInk();
    EXPECT_TRUE(IsRectEmpty(&timestamp));
}

TEST_P(ContactDisplay, OneGroupColoursTheLeftIndexFingerAndTheRightThumb)
{
    ContactState.GroupCount = 1;
    ContactState.Groups[0] = 0x1008; // right mask 0x10, left mask 0x08
    Paint();
    ExpectDots(LEFT, {Grey, Grey, Grey, Colours[0], Grey, Grey});
    ExpectDots(RIGHT, {Grey, Grey, Grey, Grey, Colours[0], Grey});
}

TEST_P(ContactDisplay, EachGroupPaintsInItsOwnColour)
{
    ContactState.GroupCount = 5;
    for (unsigned k = 0; k < 5; k++)
        ContactState.Groups[k] = (uint16_t)(0x0101 << k); // bit k on both hands
    Paint();
    for (Hand hand : {LEFT, RIGHT})
        ExpectDots(hand, {Colours[0], Colours[1], Colours[2], Colours[3], Colours[4], Grey});
}

TEST_P(ContactDisplay, ALaterGroupWinsAndBitsSixAndSevenDrawNothing)
{
    ContactState.GroupCount = 2;
    ContactState.Groups[0] = 0x0411; // left thumb and little finger; right middle finger
    ContactState.Groups[1] = 0xC0D0; // left thumb again; bits 6 and 7 on both hands
    Paint();
    ExpectDots(LEFT, {Colours[0], Grey, Grey, Grey, Colours[1], Grey});
    ExpectDots(RIGHT, {Grey, Grey, Colours[0], Grey, Grey, Grey});
    std::vector<DWORD> withHighBits = Image();

    // Antialiased label edges blend with what was there, so start afresh.
    ContactState.Groups[1] = 0x0010;
    Clear();
    Paint();
    EXPECT_TRUE(withHighBits == Image()) << "bits 6 and 7 changed the picture";
}

TEST_P(ContactDisplay, TheTimestampIsCentredBetweenTheHandsAndALaterPaintBlanksIt)
{
    ContactState.TimestampMs = 272;
    Paint();
    RECT ink = TimestampInk();
    ASSERT_FALSE(IsRectEmpty(&ink)) << "no timestamp text";
    EXPECT_NEAR((ink.left + ink.right) / 2.0, CentreX(), 2.0);
    // Nothing drawn just above or below its rectangle.
    RECT band = InkBox(X(LEFT, 25) + 1, Y(155), X(RIGHT, 25) - 1, Y(105));
    EXPECT_TRUE(EqualRect(&band, &ink));

    ContactState.TimestampMs = 0;
    Paint();
    ink = TimestampInk();
    EXPECT_TRUE(IsRectEmpty(&ink)) << "the old timestamp is still shown";
}

TEST_P(ContactDisplay, GndStandsBetweenTheTwoGroundDots)
{
    Paint();
    // Between the inner edges of the ground dots, from below their centres to above them.
    RECT ink = InkBox(X(LEFT, 10) + 1, Y(195), X(RIGHT, 10) - 1, Y(160));
    ASSERT_FALSE(IsRectEmpty(&ink)) << "no GND label";
    EXPECT_NEAR((ink.left + ink.right) / 2.0, CentreX(), 2.0);
    EXPECT_LE(ink.bottom, lround(Y(170)) + 1) << "the label stands on the line 170 units up";
    EXPECT_GE(ink.bottom, lround(Y(175)));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ContactDisplay, ::testing::Values(CONTROL_SIZE, WIDE_OFFSET),
                         [](const ::testing::TestParamInfo<Layout> &info) {
                             return info.param == CONTROL_SIZE ? "ControlSize" : "WideOffset";
                         });

// A misspelt face name silently gives a proportional font, which would break
// the log's hexadecimal columns.
TEST(LogFont, IsTwelveUnitsOfLucidaConsole)
{
    CreateDrawingObjects();
    LOGFONTA font = {};
    ASSERT_EQ(GetObjectA(LogFont, sizeof font, &font), (int)sizeof font);
    EXPECT_STREQ(font.lfFaceName, "Lucida Console");
    EXPECT_EQ(font.lfHeight, 12);
    EXPECT_EQ(font.lfCharSet, ANSI_CHARSET);
}

} // namespace
