#include "display/summary_text.h"

const char *const FailCauseNames[FAIL_CAUSES] = {"missing", "not in the plan", "bounced",
                                                 "held since the start"};

const char NoFailingPairs[] = "No FAIL row names a pair.";

static const char CopyHeader[] = "Plan\tGloves\tRows\tPASS rows\tFAIL rows\tGloves with a verdict\t"
                                 "First pass\tFirst pass %\tFinal pass\tFinal pass %\t"
                                 "Checked more than once\r\n";
static const char CopyPairHeader[] =
    "Pair\tMissing\tNot in plan\tBounced\tHeld since start\tFAIL rows\r\n";

uint32_t FailRowsNaming(const ResultsSummary &summary, unsigned pair)
{
    uint32_t rows = 0;
    for (uint32_t count : summary.failing[pair])
        rows += count;
    return rows;
}

// An insertion sort, which keeps pairs of one length in the report's order.
unsigned RankFailingPairs(const ResultsSummary &summary, uint8_t order[CHECK_PAIRS])
{
    unsigned ranked = 0;
    for (unsigned pair = 0; pair < CHECK_PAIRS; pair++) {
        uint32_t rows = FailRowsNaming(summary, pair);
        if (rows == 0)
            continue;
        unsigned at = ranked++;
        for (; at > 0 && FailRowsNaming(summary, order[at - 1]) < rows; at--)
            order[at] = order[at - 1];
        order[at] = (uint8_t)pair;
    }
    return ranked;
}

// "75.0", rounded to the nearest tenth.
static void PutPercent(TextBuffer &out, uint32_t part, uint32_t whole)
{
    uint64_t tenths = ((uint64_t)part * 1000 + whole / 2) / whole;
    char digit[] = {(char)('0' + tenths % 10), '\0'};
    PutNumber(out, (uint32_t)(tenths / 10));
    Put(out, ".");
    Put(out, digit);
}

// "1 glove", "2 gloves".
static void PutCount(TextBuffer &out, uint32_t count, const char *one, const char *many)
{
    PutNumber(out, count);
    Put(out, " ");
    Put(out, count == 1 ? one : many);
}

// "first pass 2 of 3, 66.7 %".
static void PutYield(TextBuffer &out, const char *name, uint32_t part, uint32_t whole)
{
    Put(out, name);
    PutNumber(out, part);
    Put(out, " of ");
    PutNumber(out, whole);
    Put(out, ", ");
    PutPercent(out, part, whole);
    Put(out, " %");
}

static void PutYieldLine(TextBuffer &out, const char *name, const YieldCounts &counts)
{
    Put(out, name);
    PutCount(out, counts.gloves, "glove, ", "gloves, ");
    PutCount(out, counts.rows, "row (", "rows (");
    PutNumber(out, counts.passRows);
    Put(out, " PASS, ");
    PutNumber(out, counts.failRows);
    Put(out, " FAIL); ");
    if (counts.judged == 0) {
        Put(out, "no verdict; ");
    } else {
        PutYield(out, "first pass ", counts.firstPass, counts.judged);
        PutYield(out, "; final pass ", counts.finalPass, counts.judged);
        Put(out, "; ");
    }
    PutNumber(out, counts.retested);
    Put(out, " checked more than once\r\n");
}

unsigned FormatSummaryText(char *text, const ResultsSummary &summary)
{
    TextBuffer out = StartText(text, SUMMARY_TEXT_SIZE);
    PutYieldLine(out, "All plans: ", summary.all);
    for (unsigned i = 0; i < summary.planCount; i++) {
        Put(out, "Plan ");
        Put(out, summary.planNames[i]);
        PutYieldLine(out, ": ", summary.plans[i]);
    }
    if (summary.plans[OTHER_PLANS].rows > 0)
        PutYieldLine(out, "Other plans: ", summary.plans[OTHER_PLANS]);
    if (summary.notUnderstood > 0) {
        PutCount(out, summary.notUnderstood, "line", "lines");
        Put(out, " not understood\r\n");
    }
    return EndText(out, text);
}

void PutMorePairs(TextBuffer &out, unsigned more)
{
    Put(out, "and ");
    PutCount(out, more, "more pair", "more pairs");
}

unsigned FormatChartText(char *text, const ResultsSummary &summary)
{
    TextBuffer out = StartText(text, CHART_TEXT_SIZE);
    uint8_t order[CHECK_PAIRS];
    unsigned failing = RankFailingPairs(summary, order);
    Put(out, failing ? "Pairs named on FAIL rows, the most first:" : NoFailingPairs);
    Put(out, "\r\n");
    for (unsigned i = 0; i < failing && i < CHART_BARS; i++) {
        PutPairName(out, order[i]);
        Put(out, ": ");
        PutNumber(out, FailRowsNaming(summary, order[i]));
        for (unsigned cause = 0; cause < FAIL_CAUSES; cause++) {
            Put(out, cause == 0 ? " (" : ", ");
            Put(out, FailCauseNames[cause]);
            Put(out, " ");
            PutNumber(out, summary.failing[order[i]][cause]);
        }
        Put(out, ")\r\n");
    }
    if (failing > CHART_BARS) {
        PutMorePairs(out, failing - CHART_BARS);
        Put(out, "\r\n");
    }
    return EndText(out, text);
}

static void PutCells(TextBuffer &out, const uint32_t *counts, unsigned n)
{
    for (unsigned i = 0; i < n; i++) {
        Put(out, "\t");
        PutNumber(out, counts[i]);
    }
}

static void PutCopyLine(TextBuffer &out, const char *name, const YieldCounts &counts)
{
    Put(out, name);
    const uint32_t numbers[] = {counts.gloves, counts.rows, counts.passRows, counts.failRows,
                                counts.judged};
    PutCells(out, numbers, 5);
    for (uint32_t pass : {counts.firstPass, counts.finalPass}) {
        PutCells(out, &pass, 1);
        Put(out, "\t");
        if (counts.judged > 0)
            PutPercent(out, pass, counts.judged);
    }
    PutCells(out, &counts.retested, 1);
    Put(out, "\r\n");
}

unsigned FormatSummaryCopy(char *text, const ResultsSummary &summary)
{
    TextBuffer out = StartText(text, SUMMARY_COPY_SIZE);
    Put(out, CopyHeader);
    PutCopyLine(out, "All plans", summary.all);
    for (unsigned i = 0; i < summary.planCount; i++)
        PutCopyLine(out, summary.planNames[i], summary.plans[i]);
    if (summary.plans[OTHER_PLANS].rows > 0)
        PutCopyLine(out, "Other plans", summary.plans[OTHER_PLANS]);
    Put(out, "Lines not understood");
    PutCells(out, &summary.notUnderstood, 1);
    Put(out, "\r\n\r\n");
    Put(out, CopyPairHeader);
    uint8_t order[CHECK_PAIRS];
    unsigned failing = RankFailingPairs(summary, order);
    for (unsigned i = 0; i < failing; i++) {
        PutPairName(out, order[i]);
        PutCells(out, summary.failing[order[i]], FAIL_CAUSES);
        uint32_t rows = FailRowsNaming(summary, order[i]);
        PutCells(out, &rows, 1);
        Put(out, "\r\n");
    }
    return EndText(out, text);
}
