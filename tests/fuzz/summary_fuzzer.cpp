// Reads arbitrary bytes as a results file, twice into one summary. Whatever
// they hold, a file that is refused leaves the summary empty, the counts
// agree with each other and with reading the file twice, and every text of
// the summary fits its room.
#include "display/summary_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

static void CheckCounts(const YieldCounts &c)
{
    Check(c.passRows + c.failRows <= c.rows && c.gloves + c.retested <= c.rows,
          "more verdicts or gloves than rows");
    Check(c.judged <= c.gloves && c.firstPass <= c.judged && c.finalPass <= c.judged,
          "more yield than gloves judged");
}

static void CheckTexts(const ResultsSummary &summary)
{
    static char text[SUMMARY_COPY_SIZE];
    Check(FormatSummaryText(text, summary) < SUMMARY_TEXT_SIZE - 1, "the window's lines cut");
    Check(FormatChartText(text, summary) < CHART_TEXT_SIZE - 1, "the chart's text cut");
    Check(FormatSummaryCopy(text, summary) < SUMMARY_COPY_SIZE - 1, "the copy cut");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *text = (const char *)data;
    uint32_t rows = 2 * CountLines(text, (uint32_t)size);
    std::vector<char> memory(SummaryMemorySize(rows));
    ResultsSummary summary;
    StartSummary(summary, memory.data(), rows);
    bool read = ReadResultsText(summary, text, (uint32_t)size);
    FinishSummary(summary);
    YieldCounts once = summary.all;
    Check(ReadResultsText(summary, text, (uint32_t)size) == read, "a file read two ways");
    FinishSummary(summary);
    Check(read || (summary.all.rows == 0 && summary.notUnderstood == 0), "a refusal that counted");
    Check(summary.all.rows == 2 * once.rows && summary.all.failRows == 2 * once.failRows &&
              summary.all.gloves >= once.gloves && summary.all.judged <= 2 * once.judged,
          "a second reading that counts otherwise");
    CheckCounts(summary.all);
    uint32_t planRows = 0;
    for (const YieldCounts &plan : summary.plans) {
        CheckCounts(plan);
        planRows += plan.rows;
    }
    Check(planRows <= summary.all.rows, "more rows in the plans than in all");
    for (unsigned pair = 0; pair < CHECK_PAIRS; pair++)
        for (uint32_t count : summary.failing[pair])
            Check(count <= summary.all.failRows, "a pair on more rows than failed");
    CheckTexts(summary);
    return 0;
}
