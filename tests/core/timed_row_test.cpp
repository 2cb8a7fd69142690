#include "display/timed_row.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

std::string Time(RowTime time)
{
    char text[ROW_TIME_SIZE];
    EXPECT_EQ(FormatRowTime(text, time), ROW_TIME_SIZE - 1);
    return text;
}

// The row in a buffer of exactly the size RowLength gives.
std::string Row(const char *time, const std::string &text)
{
    std::vector<char> row(RowLength((unsigned)strlen(time), text.data(), (unsigned)text.size()));
    EXPECT_EQ(FormatRow(row.data(), time, text.data(), (unsigned)text.size()), row.size());
    return std::string(row.begin(), row.end());
}

TEST(TimedRow, TimesCarryMillisecondsAndTheirOffsetFromUtc)
{
    EXPECT_EQ(Time({2026, 12, 9, 2, 13, 7, 412, 60}), "2026-12-09T02:13:07.412+01:00");
    EXPECT_EQ(Time({2027, 1, 1, 0, 0, 0, 5, -210}), "2027-01-01T00:00:00.005-03:30");
    EXPECT_EQ(Time({2026, 7, 31, 23, 59, 59, 999, 0}), "2026-07-31T23:59:59.999+00:00");
}

// A text reply's own CR LF is followed by a tab, so that what follows stays in
// the line column; the log as it stood, several lines, makes a row of each.
TEST(TimedRow, EachLineIsARowAndItsOwnLineBreaksKeepToTheLineColumn)
{
    const char *time = "2026-12-09T02:13:07.412+01:00";
    EXPECT_EQ(Row(time, "80 08 10 8F\r\n"), std::string(time) + "\t80 08 10 8F\r\n");
    EXPECT_EQ(Row(time, "82 \"a\tb\r\n\r\nc\" 8F\r\n"),
              std::string(time) + "\t82 \"a\tb\r\n\t\r\n\tc\" 8F\r\n");
    EXPECT_EQ(Row("", "80 8F\r\n82 \"\r\n\" 8F\r\n"), "\t80 8F\r\n\t82 \"\r\n\t\" 8F\r\n");
    EXPECT_EQ(Row(time, ""), "");

    // The longest rows fit ROW_SIZE: a full contact report, and a text reply
    // of nothing but line breaks.
    std::vector<uint8_t> report(FRAME_CAPACITY, 0x3F), reply(FRAME_CAPACITY - 1, '\n');
    report[0] = FRAME_CONTACTS;
    reply[0] = FRAME_TEXT;
    for (size_t i = 1; i < reply.size(); i += 2)
        reply[i] = '\r';
    reply.push_back(FRAME_END);
    for (const std::vector<uint8_t> &frame : {report, reply}) {
        char line[LOG_LINE_SIZE];
        unsigned length = FormatLogLine(line, frame.data(), (unsigned)frame.size());
        EXPECT_LE(RowLength(ROW_TIME_SIZE - 1, line, length), ROW_SIZE);
    }
}

} // namespace
