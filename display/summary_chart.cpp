// One line a bar, the pair's name before it and its FAIL rows after it; the
// bars start where the widest name ends, and the longest reaches to the
// width of its count from the right edge. Below the bars, how many failing
// pairs have none; at the bottom, the legend of the causes.
#include "display/summary_chart.h"

#include "display/check_colours.h"
#include "display/summary_text.h"

static const COLORREF CauseColours[FAIL_CAUSES] = {MissingColour, NotInPlanColour, BounceColour,
                                                   HeldSinceStartColour};

// Between a name and its bar, and between a bar and its count.
static const int GAP = 6;

// FillRect with the DC's own brush in a colour: no brush is made.
static void Fill(HDC dc, const RECT &r, COLORREF colour)
{
    SetDCBrushColor(dc, colour);
    FillRect(dc, &r, (HBRUSH)GetStockObject(DC_BRUSH));
}

static int TextWidth(HDC dc, const char *text)
{
    SIZE size;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    return size.cx;
}

static void Label(HDC dc, int x, int y, const char *text)
{
    ExtTextOutA(dc, x, y, 0, NULL, text, (UINT)lstrlenA(text), NULL);
}

static void PairLabel(char *label, unsigned pair)
{
    TextBuffer out = StartText(label, PAIR_NAME_SIZE);
    PutPairName(out, pair);
    EndText(out, label);
}

static void CountLabel(char *label, uint32_t count)
{
    TextBuffer out = StartText(label, 12);
    PutNumber(out, count);
    EndText(out, label);
}

// The causes side by side in their order, the whole as long against width
// as the pair's rows against the longest bar's.
static void DrawBar(HDC dc, const RECT &bar, const uint32_t counts[FAIL_CAUSES], uint32_t longest)
{
    uint64_t width = (uint64_t)(bar.right - bar.left), sum = 0;
    RECT part = bar;
    for (unsigned cause = 0; cause < FAIL_CAUSES; cause++) {
        sum += counts[cause];
        part.right = bar.left + (int)(sum * width / longest);
        Fill(dc, part, CauseColours[cause]);
        part.left = part.right;
    }
}

static void DrawBars(HDC dc, const RECT &area, int line, const ResultsSummary &summary,
                     const uint8_t *order, unsigned bars)
{
    char label[PAIR_NAME_SIZE], count[12];
    int names = 0;
    for (unsigned i = 0; i < bars; i++) {
        PairLabel(label, order[i]);
        names = TextWidth(dc, label) > names ? TextWidth(dc, label) : names;
    }
    uint32_t longest = FailRowsNaming(summary, order[0]);
    CountLabel(count, longest);
    RECT bar = {area.left + 3 + names + GAP, 0, area.right - TextWidth(dc, count) - GAP - 3, 0};
    if (bar.right <= bar.left)
        bar.right = bar.left + 1;
    for (unsigned i = 0; i < bars; i++) {
        int y = area.top + (int)i * line;
        uint32_t rows = FailRowsNaming(summary, order[i]);
        PairLabel(label, order[i]);
        Label(dc, area.left + 3, y + 2, label);
        bar.top = y + 2;
        bar.bottom = y + line - 2;
        DrawBar(dc, bar, summary.failing[order[i]], longest);
        CountLabel(count, rows);
        Label(dc, bar.left + (int)((uint64_t)rows * (bar.right - bar.left) / longest) + GAP, y + 2,
              count);
    }
}

static void DrawLegend(HDC dc, int x, int y, int line)
{
    for (unsigned cause = 0; cause < FAIL_CAUSES; cause++) {
        RECT swatch = {x, y + 4, x + line - 8, y + line - 4};
        Fill(dc, swatch, CauseColours[cause]);
        x = swatch.right + 4;
        Label(dc, x, y + 2, FailCauseNames[cause]);
        x += TextWidth(dc, FailCauseNames[cause]) + 3 * GAP;
    }
}

void DrawFailingPairs(HDC dc, const RECT &area, const ResultsSummary &summary)
{
    Fill(dc, area, GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    TEXTMETRICA metrics;
    GetTextMetricsA(dc, &metrics);
    int line = metrics.tmHeight + 4;
    uint8_t order[CHECK_PAIRS];
    unsigned failing = RankFailingPairs(summary, order);
    unsigned bars = failing < CHART_BARS ? failing : CHART_BARS;
    if (failing == 0)
        Label(dc, area.left + 3, area.top + 2, NoFailingPairs);
    else
        DrawBars(dc, area, line, summary, order, bars);
    if (failing > bars) {
        char more[32];
        TextBuffer out = StartText(more, sizeof more);
        PutMorePairs(out, failing - bars);
        EndText(out, more);
        Label(dc, area.left + 3, area.top + (int)bars * line + 2, more);
    }
    DrawLegend(dc, area.left + 3, area.bottom - line, line);
}
