// The line statistics' accounting, through the seams that feed it: each
// poll's bytes and ClearCommError bits (Wine reports none), each log line,
// and the assembler's drops, which are reset with the rest.
#include "app/line_stats.h"
#include "protocol/glove_protocol.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

ULONGLONG Seconds(const SYSTEMTIME &time)
{
    FILETIME file = {};
    SystemTimeToFileTime(&time, &file);
    return (((ULONGLONG)file.dwHighDateTime << 32) | file.dwLowDateTime) / 10000000;
}

// A frame as the decoder hands it over; only its start byte counts.
DecodedFrame Frame(uint8_t start)
{
    return DecodedFrame{start, &ContactState, start == FRAME_CONTACTS_TIMED, "", 0};
}

// Each kind of error counts once a poll, with the local time of the latest;
// a bit that is no line error (a full output queue) counts nowhere. Frames
// count by their line. A reset zeroes all, the assembler's drops too.
TEST(LineStats, PollsAndLinesAreCountedUntilAReset)
{
    ResetLineStatistics();
    SYSTEMTIME started;
    GetLocalTime(&started);
    CountPoll({10, CE_FRAME | CE_OVERRUN});
    CountPoll({5, CE_FRAME | CE_RXOVER | CE_RXPARITY | CE_BREAK | CE_TXFULL});
    for (uint8_t start : {FRAME_CONTACTS, FRAME_CONTACTS_TIMED, FRAME_TEXT})
        CountFrame(Frame(start));
    FeedByte(0x00);

    const uint64_t errors[LINE_ERROR_KINDS] = {1, 1, 2, 1, 1};
    for (int kind = 0; kind < LINE_ERROR_KINDS; kind++) {
        EXPECT_EQ(LineStats.errors[kind].count, errors[kind]) << "kind " << kind;
        EXPECT_GE(Seconds(LineStats.errors[kind].last), Seconds(started));
    }
    EXPECT_EQ(std::vector<uint64_t>({LineStats.bytes, LineStats.reports, LineStats.timedReports,
                                     LineStats.textReplies, FrameDrops.BytesOutsideFrames}),
              std::vector<uint64_t>({15, 2, 1, 1, 1}));

    Sleep(1000);
    ResetLineStatistics();
    EXPECT_EQ(LineStats.bytes + LineStats.reports + LineStats.errors[LINE_FRAMING].count +
                  FrameDrops.BytesOutsideFrames,
              0u);
    EXPECT_GT(Seconds(LineStats.since), Seconds(started));
}

// The rates cover a whole second, closed by the first poll after it: the
// counts per second of the time from the reset to that poll, which lies
// between the ticks taken around the two calls.
TEST(LineStats, RatesAreTakenOverTheLastSecond)
{
    DWORD beforeReset = GetTickCount();
    ResetLineStatistics();
    DWORD afterReset = GetTickCount();
    CountPoll({872, 0});
    for (int i = 0; i < 200; i++)
        CountFrame(Frame(FRAME_CONTACTS));
    EXPECT_EQ(LineStats.bytesPerSecond, 0u) << "a rate before a second has passed";
    Sleep(1100);
    DWORD beforePoll = GetTickCount();
    CountPoll({0, 0});
    DWORD afterPoll = GetTickCount();
    DWORD shortest = beforePoll - afterReset, longest = afterPoll - beforeReset;
    EXPECT_GE(LineStats.bytesPerSecond, 872u * 1000 / longest);
    EXPECT_LE(LineStats.bytesPerSecond, 872u * 1000 / shortest);
    EXPECT_GE(LineStats.framesPerSecond, 200u * 1000 / longest);
    EXPECT_LE(LineStats.framesPerSecond, 200u * 1000 / shortest);
    Sleep(1100);
    RollLineSecond();
    EXPECT_EQ(LineStats.bytesPerSecond, 0u) << "a quiet second kept the rate";
}

} // namespace
