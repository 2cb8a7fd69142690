#include "display/log_line.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{

// Builds the line into a buffer of exactly LOG_LINE_SIZE characters followed by
// guard bytes, and fails if the line or the returned length overruns it.
std::string Line(const std::vector<uint8_t> &frame)
{
    const char guard = '\x5A';
    std::vector<char> buffer(LOG_LINE_SIZE + 16, guard);
    unsigned length = FormatLogLine(buffer.data(), frame.data(), (unsigned)frame.size());
    for (size_t i = LOG_LINE_SIZE; i < buffer.size(); i++)
        EXPECT_EQ(buffer[i], guard) << "written past the line buffer at " << i;
    EXPECT_EQ(length, std::strlen(buffer.data()));
    return std::string(buffer.data(), length);
}

TEST(LogLine, ContactReportsShowEveryByteInUpperCaseHex)
{
    EXPECT_EQ(Line({0x80, 0x08, 0x10, 0x8F}), "80 08 10 8F\r\n");
    EXPECT_EQ(Line({0x81, 0xAB, 0x0C, 0x10, 0x02, 0x8F}), "81 AB 0C 10 02 8F\r\n");
    EXPECT_EQ(Line({0x80, 0x8F}), "80 8F\r\n");
}

TEST(LogLine, TextRepliesShowTheirCharactersBetweenQuotes)
{
    EXPECT_EQ(Line({0x82, 'A', 'B', 0x8F}), "82 \"AB\" 8F\r\n");
    EXPECT_EQ(Line({0x82, 0x8F}), "82 \"\" 8F\r\n");
}

TEST(LogLine, AZeroByteInATextReplyShowsAsBackslashZeroAndTheRestFollows)
{
    EXPECT_EQ(Line({0x82, 'v', 0x00, '1', 0x00, 0x8F}), "82 \"v\\0"
                                                        "1\\0\" 8F\r\n");
}

TEST(LogLine, TheLongestFramesFitTheBuffer)
{
    std::vector<uint8_t> contacts(FRAME_CAPACITY, 0xFF);
    contacts[0] = 0x80;
    std::string line = Line(contacts);
    EXPECT_EQ(line.size(), 193u);
    EXPECT_EQ(line.substr(0, 6), "80 FF ");
    EXPECT_EQ(line.substr(186), "FF FF\r\n"); // a frame cut at 64 bytes ends in its 64th

    std::vector<uint8_t> zeros(FRAME_CAPACITY, 0x00);
    zeros[0] = 0x82;
    zeros[FRAME_CAPACITY - 1] = 0x8F;
    line = Line(zeros);
    EXPECT_EQ(line.size(), 3u + 1 + 2 * 62 + 2 + 4);
    EXPECT_EQ(line.substr(line.size() - 8), "\\0\" 8F\r\n");
}

} // namespace
