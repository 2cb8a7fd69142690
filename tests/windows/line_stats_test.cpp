// The line statistics' accounting, through the seams that feed it: each
// poll's bytes and ClearCommError bits (Wine reports none), each log line,
// and the assembler's drops, which are reset with the rest.
#include "app/line_stats.h"
#include "protocol/glove_protocol.h"

#include <gtest/gtest.h>

namespace
{

ULONGLONG Ticks(const SYSTEMTIME &time)
{
    FILETIME file = {};
    SystemTimeToFileTime(&time, &file);
    return ((ULONGLONG)file.dwHighDateTime << 32) | file.dwLowDateTime;
}

// Each kind of error a poll reports counts once, with the local time of the
// latest; a bit that is no line error (a full output queue) counts nowhere.
TEST(LineStats, DriverErrorBitsCountByKindWithTheTimeOfTheLast)
{
    ResetLineStatistics();
    SYSTEMTIME started;
    GetLocalTime(&started);
    CountPoll({10, CE_FRAME | CE_OVERRUN});
    CountPoll({5, 0});
    CountPoll({0, CE_FRAME | CE_RXOVER | CE_RXPARITY | CE_BREAK | CE_TXFULL});

    EXPECT_EQ(LineStats.bytes, 15u);
    const uint64_t expected[LINE_ERROR_KINDS] = {1, 1, 2, 1, 1};
    for (int kind = 0; kind < LINE_ERROR_KINDS; kind++) {
        EXPECT_EQ(LineStats.errors[kind].count, expected[kind]) << "kind " << kind;
        EXPECT_GE(Ticks(LineStats.errors[kind].last) / 10000000, Ticks(started) / 10000000);
    }
}

// Frames are counted by their log line; a reset zeroes everything, the
// assembler's drops too, and counts from now.
TEST(LineStats, LinesCountTheirFramesAndResetStartsAfresh)
{
    ResetLineStatistics();
    CountLine("80 08 10 8F\r\n", 13);
    CountLine("81 05 03 10 02 8F\r\n", 19);
    CountLine("82 \"81\" 8F\r\n", 12);
    EXPECT_EQ(LineStats.reports, 2u);
    EXPECT_EQ(LineStats.timedReports, 1u);
    EXPECT_EQ(LineStats.textReplies, 1u);

    CountPoll({3, CE_BREAK});
    CountPortLost();
    CountPortBack();
    FeedByte(0x00);
    Sleep(20);
    SYSTEMTIME before;
    GetLocalTime(&before);
    ResetLineStatistics();
    EXPECT_EQ(LineStats.reports + LineStats.timedReports + LineStats.textReplies, 0u);
    EXPECT_EQ(LineStats.bytes + LineStats.errors[LINE_BREAK].count, 0u);
    EXPECT_EQ(LineStats.portLost + LineStats.portBack, 0u);
    EXPECT_EQ(FrameDrops.BytesOutsideFrames, 0u);
    EXPECT_GE(Ticks(LineStats.since), Ticks(before));
}

// The rates cover a whole second, closed by the first poll after it.
TEST(LineStats, RatesAreTakenOverTheLastSecond)
{
    ResetLineStatistics();
    CountPoll({872, 0});
    for (int i = 0; i < 200; i++)
        CountLine("80 08 10 8F\r\n", 13);
    EXPECT_EQ(LineStats.bytesPerSecond, 0u) << "a rate before a second has passed";
    Sleep(1100);
    CountPoll({0, 0});
    // Per second of the 1.1 s or more that passed, with 0.4 s to spare.
    EXPECT_LE(LineStats.bytesPerSecond, 872u * 10 / 11);
    EXPECT_GT(LineStats.bytesPerSecond, 872u * 10 / 15);
    EXPECT_LE(LineStats.framesPerSecond, 200u * 10 / 11);
    EXPECT_GT(LineStats.framesPerSecond, 200u * 10 / 15);
    Sleep(1100);
    RollLineSecond();
    EXPECT_EQ(LineStats.bytesPerSecond, 0u) << "a quiet second kept the rate";
}

} // namespace
