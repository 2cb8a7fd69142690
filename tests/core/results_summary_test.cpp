// A shift's results files summarised: gloves, yields, plans and failing pairs.
#include "display/summary_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct Summarised {
    ResultsSummary summary;
    std::vector<char> memory;
    std::vector<bool> read;
    char text[SUMMARY_COPY_SIZE];

    explicit Summarised(const std::vector<std::string> &files) : memory(SummaryMemorySize(64))
    {
        StartSummary(summary, memory.data(), 64);
        for (const std::string &file : files)
            read.push_back(ReadResultsText(summary, file.data(), (uint32_t)file.size()));
        FinishSummary(summary);
    }
    std::string Text(unsigned (*format)(char *, const ResultsSummary &))
    {
        return std::string(text, format(text, summary));
    }
};

// Two days' files read the later first, one with its columns in another
// order and one more; a glove failed then passed in each plan, one day's
// first row written after the next day's by another UTC offset; two gloves
// without a name, one without a plan, and four lines that do not fit.
TEST(ResultsSummary, TwoDaysOfAStationInAnyOrder)
{
    const std::string earlier =
        "\xEF\xBB\xBF" + std::string(RESULTS_HEADER) +
        "2026-12-09T22:10:00.000+01:00\tG1\tv2\tFAIL\t1\t0 of 1\tleft index + right thumb\t"
        "left little + right little\t\t\r\n"
        "2026-12-09T23:50:00.000+01:00\t\tv2\tPASS\t1\t1 of 1\t\t\t\t\r\n"
        "2026-12-09T23:51:00.000+01:00\t\tv3\tFAIL\t1\t0 of 1\tleft index + right thumb\t\t\t"
        "left ground + right ground\r\n"
        "2026-12-09T23:56:00.000+01:00\tG3\tv3\tMAYBE\t0\t0 of 1\t\t\t\t\r\n";
    const std::string later =
        "Verdict\tGlove\tTime\tPlan\tMissing\tNot in plan\tBounced\tHeld since start\tOperator\n"
        "PASS\tG1\t2026-12-09T18:05:00.000-05:00\tv2\t\t\t\t\tAnn\n"
        "FAIL\tG2\t2026-12-10T00:20:00.000+02:00\tv3\tRight Thumb+left INDEX\t\t"
        "left ring + left middle, left middle + LEFT RING\t\tAnn\n\n"
        "PASS\tG2\t2026-12-09T23:30:00.000+01:00\tv3\t\t\t\t\tAnn\n"
        "\tG4\t2026-12-10T00:40:00.000+01:00\t\t\t\t\t\n"
        "FAIL\tG5\t2026-12-10T00:41:00.000+01:00\tv3\t\t\t\n"
        "FAIL\tG6\t2026-12-10T00:42:00.000+01:00\tv3\tleft pinky + right thumb\t\t\t\n"
        "PASS\tG7\t2026-02-30T00:43:00.000+01:00\tv3\t\t\t\t";
    Summarised s({later, earlier});
    EXPECT_EQ(s.read, std::vector<bool>({true, true}));
    EXPECT_EQ(s.Text(FormatSummaryText),
              "All plans: 5 gloves, 7 rows (3 PASS, 3 FAIL); first pass 1 of 4, 25.0 %; final "
              "pass 3 of 4, 75.0 %; 2 checked more than once\r\n"
              "Plan v2: 2 gloves, 3 rows (2 PASS, 1 FAIL); first pass 1 of 2, 50.0 %; final pass "
              "2 of 2, 100.0 %; 1 checked more than once\r\n"
              "Plan v3: 2 gloves, 3 rows (1 PASS, 2 FAIL); first pass 0 of 2, 0.0 %; final pass 1 "
              "of 2, 50.0 %; 1 checked more than once\r\n"
              "4 lines not understood\r\n");
    EXPECT_EQ(s.Text(FormatChartText),
              "Pairs named on FAIL rows, the most first:\r\n"
              "left index + right thumb: 3 (missing 3, not in the plan 0, bounced 0, held since "
              "the start 0)\r\n"
              "left little + right little: 1 (missing 0, not in the plan 1, bounced 0, held since "
              "the start 0)\r\n"
              "left ring + left middle: 1 (missing 0, not in the plan 0, bounced 1, held since "
              "the start 0)\r\n"
              "left ground + right ground: 1 (missing 0, not in the plan 0, bounced 0, held since "
              "the start 1)\r\n");
    std::string copy = s.Text(FormatSummaryCopy);
    EXPECT_NE(copy.find("\r\nv3\t2\t3\t1\t2\t2\t0\t0.0\t1\t50.0\t1\r\nLines not understood\t4\r\n"
                        "\r\nPair\tMissing\tNot in plan\tBounced\tHeld since start\tFAIL rows\r\n"
                        "left index + right thumb\t3\t0\t0\t0\t3\r\n"),
              std::string::npos)
        << copy;
}

// Past the tenth plan the rows share one line, where a glove's rows of one
// time keep the order read; past the tenth bar the chart counts the pairs,
// which only FAIL rows name; a file that is not a results file changes nothing.
TEST(ResultsSummary, PlansAndPairsBeyondTheirLinesAndAFileRefused)
{
    std::string file = RESULTS_HEADER;
    for (unsigned i = 0; i < 12; i++)
        file += "2026-12-09T10:00:00.000+01:00\tG\tp" + std::to_string(i) +
                (i < 11 ? "\tFAIL\t\t\t" : "\tPASS\t\t\t") + ContactNames[CheckPairs[i].a] + " + " +
                ContactNames[CheckPairs[i].b] + "\t\t\t\n";
    Summarised s({file, "", "Time\tGlove\tPlan\tVerdict\tMissing\tBounced\n" + file});
    EXPECT_EQ(s.read, std::vector<bool>({true, true, false}));
    EXPECT_NE(s.Text(FormatSummaryText)
                  .find("\r\nPlan p9: 1 glove, 1 row (0 PASS, 1 FAIL); first pass 0 of 1, 0.0 %; "
                        "final pass 0 of 1, 0.0 %; 0 checked more than once\r\n"
                        "Other plans: 1 glove, 2 rows (1 PASS, 1 FAIL); first pass 0 of 1, 0.0 %; "
                        "final pass 1 of 1, 100.0 %; 1 checked more than once\r\n"),
              std::string::npos);
    EXPECT_EQ(s.summary.all.rows, 12u);
    std::string chart = s.Text(FormatChartText);
    EXPECT_EQ(chart.substr(chart.size() - 42), "held since the start 0)\r\nand 1 more pair\r\n");
}

} // namespace
