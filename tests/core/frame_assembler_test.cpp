#include "tests/core/window_recorder.h"

#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"

#include <gtest/gtest.h>

namespace
{

class FrameAssembler : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ResetCore();
    }
};

std::vector<std::string> Lines(std::initializer_list<const char *> lines)
{
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST_F(FrameAssembler, OneEventTravelsFromBytesToStateBoxesAndLog)
{
    Feed({0x80, 0x08, 0x10, 0x8F});

    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x1008); // right mask high, left mask low
    EXPECT_EQ(ContactState.TimestampMs, 0u);
    EXPECT_EQ(Recorded.timestampBox, BOX_UNCHECKED);
    EXPECT_EQ(Recorded.groundBox, BOX_INDETERMINATE);
    EXPECT_EQ(Recorded.log, Lines({"80 08 10 8F\r\n"}));
    EXPECT_EQ(Recorded.frames, Lines({"80, 1 group"}));
    // The display repaints before the line is appended, and no timer starts.
    EXPECT_EQ(Recorded.effects, Lines({"box", "refresh", "log"}));
    EXPECT_EQ(FrameLength, 0u);
}

TEST_F(FrameAssembler, IdleBytesAreDroppedUntilAStartByte)
{
    Feed({0x8F, 0x05, 0x00, 0x7F, 0x83, 0xFF, 0x8F});
    EXPECT_EQ(FrameLength, 0u);
    EXPECT_TRUE(Recorded.effects.empty());

    Feed({0x8F, 0x05, 0x81, 0x01, 0x02, 0x10, 0x02, 0x8F});
    EXPECT_EQ(Recorded.log, Lines({"81 01 02 10 02 8F\r\n"}));
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x0201);
    EXPECT_EQ(ContactState.TimestampMs, 272u);
    EXPECT_EQ(Recorded.timestampBox, BOX_CHECKED);
    EXPECT_EQ(Recorded.timerStarts, 1);
}

TEST_F(FrameAssembler, StartBytesInsideAFrameArePayload)
{
    Feed({0x82, 0x41, 0x80, 0x8F, 0x80, 0x81, 0x82, 0x8F});
    ASSERT_EQ(Recorded.log.size(), 2u);
    EXPECT_EQ(Recorded.log[0], "82 \"A\x80\" 8F\r\n");
    EXPECT_EQ(Recorded.log[1], "80 81 82 8F\r\n");
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x8281);
}

TEST_F(FrameAssembler, AFrameLeftOpenIsFinishedByLaterBytes)
{
    Feed({0x80, 0x01});
    EXPECT_TRUE(Recorded.log.empty());
    EXPECT_EQ(FrameLength, 2u);
    Feed({0x02, 0x8F});
    EXPECT_EQ(Recorded.log, Lines({"80 01 02 8F\r\n"}));
}

TEST_F(FrameAssembler, AnOverlongFrameKeepsItsFirst64BytesUntilTheEndByte)
{
    std::vector<int> frame = {0x80};
    for (int i = 0; i < 100; i++)
        frame.push_back(i % 2 ? 0x20 : 0x01);
    frame.push_back(0x8F);
    Feed(frame);

    ASSERT_EQ(Recorded.log.size(), 1u);
    const std::string &line = Recorded.log[0];
    EXPECT_EQ(line.size(), 193u);
    // The 64th stored byte stands where the end byte would.
    EXPECT_EQ(line.substr(line.size() - 7), "20 01\r\n");
    EXPECT_EQ(ContactState.GroupCount, MAX_GROUPS);

    // The assembler is idle again and takes the next frame whole.
    Feed({0x80, 0x04, 0x00, 0x8F});
    EXPECT_EQ(Recorded.log.back(), "80 04 00 8F\r\n");
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x0004);
}

// Every byte that makes no part of a logged frame is counted once: outside a
// frame, or past a frame's capacity (a frame that merely fills it is whole).
// The bytes of a frame dropped with its port are neither.
TEST_F(FrameAssembler, BytesThatMakeNoFrameAreCountedWhereTheyWereDropped)
{
    std::vector<int> exactlyFull = {0x80};
    exactlyFull.insert(exactlyFull.end(), 62, 0x01);
    exactlyFull.push_back(0x8F);
    std::vector<int> endByteCut = exactlyFull;
    endByteCut.back() = 0x02;
    endByteCut.push_back(0x8F);
    std::vector<int> longer = endByteCut;
    longer.insert(longer.end() - 1, 9, 0x03);

    Feed({0x00, 0x8F, 0x7F});
    Feed(exactlyFull);
    Feed({0x83, 0xFF});
    Feed(endByteCut);
    Feed(longer);
    Feed({0x82, 0x41});
    DropFrame();
    Feed({0x42, 0x8F, 0x80, 0x8F});

    EXPECT_EQ(FrameDrops.BytesOutsideFrames, 7u);
    EXPECT_EQ(FrameDrops.CutFrames, 2u);
    EXPECT_EQ(FrameDrops.BytesPastCut, 1u + 10u);
    ASSERT_EQ(Recorded.log.size(), 4u);
    EXPECT_EQ(Recorded.log[1], Recorded.log[2]) << "a longer frame logged otherwise";
    EXPECT_EQ(Recorded.log[3], "80 8F\r\n");
}

TEST_F(FrameAssembler, PayloadPairsBecomeGroupsAndAnOddByteCarriesNothing)
{
    Feed({0x80, 0x01, 0x02, 0x04, 0x08, 0x10, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 2);
    EXPECT_EQ(ContactState.Groups[0], 0x0201);
    EXPECT_EQ(ContactState.Groups[1], 0x0804);

    Feed({0x80, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 0);
    EXPECT_EQ(Recorded.log.back(), "80 8F\r\n");

    Feed({0x80, 0x80, 0x01, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x0180);
}

// When the fingers let go the box reports no groups; the picture must still
// repaint, or the contacts of the last touch stay lit.
TEST_F(FrameAssembler, AReportWithNoGroupsStillRepaintsThePicture)
{
    Feed({0x80, 0x08, 0x10, 0x8F});
    Recorded.effects.clear();
    Feed({0x80, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 0);
    EXPECT_EQ(Recorded.effects, Lines({"refresh", "log"}));
}

TEST_F(FrameAssembler, TimedReportsTakeTheirLastTwoPayloadBytesAsTimestamp)
{
    Feed({0x81, 0x05, 0x03, 0x10, 0x02, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x0305);
    EXPECT_EQ(ContactState.TimestampMs, 272u);

    // An odd byte between the last pair and the timestamp carries nothing.
    Feed({0x81, 0x01, 0x02, 0x07, 0x7F, 0x7F, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 1);
    EXPECT_EQ(ContactState.Groups[0], 0x0201);
    EXPECT_EQ(ContactState.TimestampMs, 16383u);

    // Only the timestamp: no groups, the time still shown.
    Feed({0x81, 0x10, 0x02, 0x8F});
    EXPECT_EQ(ContactState.GroupCount, 0);
    EXPECT_EQ(ContactState.TimestampMs, 272u);
    EXPECT_EQ(Recorded.timerStarts, 3);
}

TEST_F(FrameAssembler, TimestampBytesCombineByBitwiseOr)
{
    // T_low with its top bit set overlaps T_high << 7: 0xFF | 0x80 is 0xFF, not 383.
    Feed({0x81, 0xFF, 0x01, 0x8F});
    EXPECT_EQ(ContactState.TimestampMs, 0xFFu);
}

TEST_F(FrameAssembler, AnUntimedReportClearsTheTimestamp)
{
    Feed({0x81, 0x10, 0x02, 0x8F});
    Feed({0x80, 0x01, 0x00, 0x8F});
    EXPECT_EQ(ContactState.TimestampMs, 0u);
    EXPECT_EQ(Recorded.timerStarts, 1);
}

TEST_F(FrameAssembler, TimedReportsTooShortForATimestampShowNone)
{
    Feed({0x81, 0x10, 0x02, 0x8F}); // a timestamp that the short reports must clear
    Recorded = WindowRecord{};
    Recorded.timestampBox = BOX_INDETERMINATE;
    Recorded.groundBox = BOX_INDETERMINATE;

    Feed({0x81, 0x8F});
    EXPECT_EQ(ContactState.TimestampMs, 0u);
    EXPECT_EQ(ContactState.GroupCount, 0);
    EXPECT_EQ(Recorded.timestampBox, BOX_CHECKED); // still evidence of timestamps on

    Feed({0x81, 0x20, 0x8F});
    EXPECT_EQ(ContactState.TimestampMs, 0u);
    EXPECT_EQ(ContactState.GroupCount, 0);
    EXPECT_EQ(Recorded.groundBox, BOX_INDETERMINATE); // a lone byte is no mask

    EXPECT_EQ(Recorded.timerStarts, 0);
    EXPECT_EQ(Recorded.log, Lines({"81 8F\r\n", "81 20 8F\r\n"}));
    // They carry no clock for whoever receives frames, while the box's clock
    // at 0 ms, which the picture does not show, is a time.
    Feed({0x81, 0x00, 0x00, 0x8F, 0x82, 0x8F});
    EXPECT_EQ(Recorded.frames,
              Lines({"81, 0 groups", "81, 0 groups", "81 at 0 ms, 0 groups", "82"}));
}

TEST_F(FrameAssembler, MoreThanFiveGroupsKeepTheFirstFiveAndTheirTimestamp)
{
    std::vector<int> frame = {0x81};
    for (int k = 0; k < 7; k++) {
        frame.push_back(k + 1);
        frame.push_back(k == 6 ? 0x20 : 0x10 + k);
    }
    frame.insert(frame.end(), {0x10, 0x02, 0x8F});
    Feed(frame);

    EXPECT_EQ(ContactState.GroupCount, MAX_GROUPS);
    for (unsigned k = 0; k < MAX_GROUPS; k++)
        EXPECT_EQ(ContactState.Groups[k], ((0x10u + k) << 8) | (k + 1)) << "group " << k;
    EXPECT_EQ(ContactState.TimestampMs, 272u);
    // The ground bit of the seventh group is still evidence of ground reporting.
    EXPECT_EQ(Recorded.groundBox, BOX_CHECKED);
}

TEST_F(FrameAssembler, TimestampBoxLearnsOnlyWhileIndeterminate)
{
    Feed({0x81, 0x10, 0x02, 0x8F});
    EXPECT_EQ(Recorded.timestampBox, BOX_CHECKED);
    Feed({0x80, 0x8F});
    EXPECT_EQ(Recorded.timestampBox, BOX_CHECKED);

    Recorded.timestampBox = BOX_INDETERMINATE;
    Feed({0x80, 0x8F});
    EXPECT_EQ(Recorded.timestampBox, BOX_UNCHECKED);
    Feed({0x81, 0x10, 0x02, 0x8F});
    EXPECT_EQ(Recorded.timestampBox, BOX_UNCHECKED);
}

TEST_F(FrameAssembler, GroundBoxIsOnlyEverCheckedFromIndeterminate)
{
    Feed({0x80, 0x01, 0x02, 0x8F});
    EXPECT_EQ(Recorded.groundBox, BOX_INDETERMINATE); // no ground bit: no evidence

    // A ground bit in the timestamp bytes is not a mask.
    Feed({0x81, 0x20, 0x20, 0x8F});
    EXPECT_EQ(Recorded.groundBox, BOX_INDETERMINATE);

    Feed({0x80, 0x00, 0x21, 0x8F});
    EXPECT_EQ(Recorded.groundBox, BOX_CHECKED);

    Recorded.groundBox = BOX_UNCHECKED;
    Feed({0x80, 0x20, 0x20, 0x8F});
    EXPECT_EQ(Recorded.groundBox, BOX_UNCHECKED);
}

TEST_F(FrameAssembler, TextRepliesOnlyAddTheirLine)
{
    Feed({0x81, 0x05, 0x03, 0x10, 0x02, 0x8F});
    const ContactPicture before = ContactState;
    Recorded.effects.clear();

    Feed({0x82, 'O', 'K', 0x20, 0x8F});

    EXPECT_EQ(Recorded.effects, Lines({"log"}));
    EXPECT_EQ(Recorded.log.back(), "82 \"OK \" 8F\r\n");
    EXPECT_EQ(ContactState.GroupCount, before.GroupCount);
    EXPECT_EQ(ContactState.Groups[0], before.Groups[0]);
    EXPECT_EQ(ContactState.TimestampMs, before.TimestampMs);
}

TEST_F(FrameAssembler, EveryFrameOfAStreamGivesOneLineInOrder)
{
    Feed(
        {0x80, 0x01, 0x02, 0x8F, 0x00, 0x82, 0x8F, 0x8F, 0x8F, 0x81, 0x10, 0x02, 0x8F, 0x80, 0x8F});
    EXPECT_EQ(Recorded.log,
              Lines({"80 01 02 8F\r\n", "82 \"\" 8F\r\n", "81 10 02 8F\r\n", "80 8F\r\n"}));
}

} // namespace
