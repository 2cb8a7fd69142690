// A station's results files summarised: gloves, yields, plans and failing pairs.
#include "display/file_list.h"
#include "display/summary_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

ResultsSummary Summary;

// Reads the files into one summary; says which it took, y or n.
std::string Summarise(const std::vector<std::string> &files)
{
    static std::vector<char> memory(SummaryMemorySize(64));
    std::string read;
    StartSummary(Summary, memory.data(), 64);
    for (const std::string &file : files)
        read += ReadResultsText(Summary, file.data(), (uint32_t)file.size()) ? "y" : "n";
    FinishSummary(Summary);
    return read;
}

std::string Text(unsigned (*format)(char *, const ResultsSummary &))
{
    static char text[SUMMARY_COPY_SIZE];
    return std::string(text, format(text, Summary));
}

// Two days' files read the later first, one with its columns in another
// order and one more; a glove failed then passed in each plan, one of them
// with a row that another UTC offset writes as the next day; two gloves
// without a name, one without a plan, and three lines that do not fit.
TEST(ResultsSummary, TwoDaysOfAStationInAnyOrder)
{
    const std::string earlier =
        "\xEF\xBB\xBF" + std::string(RESULTS_HEADER) +
        "2026-12-09T22:10:00.000+01:00\tG1\tv2\tFAIL\t1\t0 of 1\tleft index + right thumb\t"
        "left little + right little\t\t\r\n"
        "2026-12-09T23:50:00.000+01:00\t\tv2\tPASS\t1\t1 of 1\t\t\t\t\r\n"
        "2026-12-09T23:51:00.000+01:00\t\tv3\tFAIL\t1\t0 of 1\tleft index + right thumb\t\t\t"
        "left ground + right ground\r\n"
        "2026-02-30T23:56:00.000+01:00\tG3\tv3\tPASS\t0\t0 of 1\t\t\t\t\r\n";
    const std::string later =
        "Verdict\tGlove\tTime\tPlan\tMissing\tNot in plan\tBounced\tHeld since start\tBy\n"
        "PASS\tG1\t2026-12-09T18:05:00.000-05:00\tv2\t\t\t\t\tAnn\n"
        "FAIL\tG2\t2026-12-10T00:20:00.000+02:00\tv3\tRight Thumb+left INDEX\t\t"
        "left ring + left middle, left middle + LEFT RING\t\tAnn\n\n"
        "PASS\tG2\t2026-12-09T23:30:00.000+01:00\tv3\t\t\t\t\tAnn\n"
        "\tG4\t2026-12-10T00:40:00.000+01:00\t\t\t\t\t\n"
        "FAIL\tG5\t2026-12-10T00:41:00.000+01:00\tv3\t\t\t\n"
        "FAIL\tG6\t2026-12-10T00:42:00.000+01:00\tv3\tleft pinky + right thumb\t\t\t";
    EXPECT_EQ(Summarise({later, earlier}), "yy");
    std::string copy = Text(FormatSummaryCopy);
    EXPECT_EQ(
        copy.substr(copy.find("All plans")),
        "All plans\t5\t7\t3\t3\t4\t1\t25.0\t3\t75.0\t2\r\n"
        "v2\t2\t3\t2\t1\t2\t1\t50.0\t2\t100.0\t1\r\nv3\t2\t3\t1\t2\t2\t0\t0.0\t1\t50.0\t1\r\n"
        "Lines not understood\t3\r\n\r\nPair\tMissing\tNot in plan\tBounced\tHeld since start\t"
        "FAIL rows\r\nleft index + right thumb\t3\t0\t0\t0\t3\r\n"
        "left little + right little\t0\t1\t0\t0\t1\r\nleft ring + left middle\t0\t0\t1\t0\t1\r\n"
        "left ground + right ground\t0\t0\t0\t1\t1\r\n");
}

// Past the tenth plan the rows share a line, where a glove's rows of one
// time keep the order read; past the tenth bar the chart counts the pairs,
// which only FAIL rows name; a file that is not a results file changes
// nothing. Several files chosen at once come as a folder and names.
TEST(ResultsSummary, PlansAndPairsBeyondTheirLinesAndAFileRefused)
{
    std::string file = RESULTS_HEADER;
    for (unsigned i = 0; i < 12; i++)
        file += "2026-12-09T10:00:00.000+01:00\tG\tp" + std::to_string(i) +
                (i < 11 ? "\tFAIL\t\t\t" : "\tPASS\t\t\t") + ContactNames[CheckPairs[i].a] + " + " +
                ContactNames[CheckPairs[i].b] + "\t\t\t\n";
    EXPECT_EQ(Summarise({file, "", "Time\tGlove\tPlan\tVerdict\n" + file}), "yyn");
    const YieldCounts &others = Summary.plans[OTHER_PLANS];
    EXPECT_EQ(std::vector<uint32_t>({Summary.planCount, others.gloves, others.rows,
                                     others.firstPass, others.finalPass, Summary.all.rows}),
              std::vector<uint32_t>({10, 1, 2, 0, 1, 12}));
    std::string chart = Text(FormatChartText);
    EXPECT_EQ(chart.substr(chart.size() - 21), "0)\r\nand 1 more pair\r\n");
    char path[16];
    EXPECT_TRUE(ListedFilePath("C:\\r\0a.tsv\0b.tsv\0", 1, path, sizeof path));
    EXPECT_STREQ(path, "C:\\r\\b.tsv");
    EXPECT_FALSE(ListedFilePath("C:\\r\0a.tsv\0b.tsv\0", 2, path, sizeof path));

    // Names as long as a row keeps them, told apart by their last letter.
    std::string rows = RESULTS_HEADER;
    for (char last : {'1', '2'})
        rows += "2026-12-09T10:00:00.000+01:00\t" + std::string(ROW_NAME_MOST - 1, 'g') + last +
                "\tv\tPASS\t\t\t\t\t\t\n";
    EXPECT_EQ(Summarise({rows}), "y");
    EXPECT_EQ(Summary.all.gloves, 2u);
}

} // namespace
