// The results summary in words: the lines the window shows, the chart's
// content as text for a screen reader, and the tab-separated text of "Copy".
#ifndef TACTIVIEW_SUMMARY_TEXT_H
#define TACTIVIEW_SUMMARY_TEXT_H

#include "display/pair_text.h"
#include "display/results_summary.h"

// In the order of FailCause, as the chart's legend says them.
extern const char *const FailCauseNames[FAIL_CAUSES];

// The bars the chart shows; the other failing pairs are counted after them.
constexpr unsigned CHART_BARS = 10;

// The FAIL rows that name the pair, whatever the cause: its bar's length.
uint32_t FailRowsNaming(const ResultsSummary &summary, unsigned pair);

// Puts the pairs named on FAIL rows into order, longest bar first and pairs
// of one length in the report's order, and returns how many there are.
unsigned RankFailingPairs(const ResultsSummary &summary, uint8_t order[CHECK_PAIRS]);

// What the chart says in place of bars when no FAIL row names a pair.
extern const char NoFailingPairs[];

// "and 3 more pairs", after the chart's bars.
void PutMorePairs(TextBuffer &out, unsigned more);

// A line of counts, such as "3 gloves, 4 rows (2 PASS, 2 FAIL); first pass
// 1 of 3, 33.3 %; final pass 2 of 3, 66.7 %; 1 checked more than once".
constexpr unsigned YIELD_LINE_SIZE = 200;

// Room for the window's lines: all plans, each plan and the others, and how
// many lines were not understood.
constexpr unsigned SUMMARY_TEXT_SIZE = (SUMMARY_PLANS + 3) * (ROW_NAME_MOST + 1 + YIELD_LINE_SIZE);

// The window's lines, each ended by CR LF, into text of SUMMARY_TEXT_SIZE;
// returns the length.
unsigned FormatSummaryText(char *text, const ResultsSummary &summary);

// One line a bar, "left index + right thumb: 3 (missing 2, not in the plan
// 1, bounced 0, held since the start 0)", and how many pairs follow.
constexpr unsigned CHART_TEXT_SIZE = (CHART_BARS + 2) * (PAIR_NAME_SIZE + 100);

unsigned FormatChartText(char *text, const ResultsSummary &summary);

// "Copy": a table of the counts of all plans and each plan, the lines not
// understood, then every failing pair with its four counts, in the chart's
// order; tab-separated, every line ended by CR LF.
constexpr unsigned SUMMARY_COPY_SIZE =
    (SUMMARY_PLANS + 4) * (ROW_NAME_MOST + 1 + 12 * 11) + (CHECK_PAIRS + 2) * (PAIR_NAME_SIZE + 60);

unsigned FormatSummaryCopy(char *text, const ResultsSummary &summary);

#endif
