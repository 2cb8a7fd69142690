// The contact check fed reports as the decoder hands them over, each with the
// PC's clock of its poll, and read back through the report that "Copy" gives.
#include "display/check_report.h"
#include "protocol/contact_check.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const int UNTIMED = -1;

// Groups hold the left glove's mask in the low byte, the right's in the high.
const uint16_t LeftIndexRightThumb = 0x1008, LeftRingMiddle = 0x0006, RightLittleRing = 0x0300,
               LeftGroundRightGround = 0x2020;

void Report(uint32_t pcMs, int boxMs, std::initializer_list<uint16_t> groups)
{
    ContactPicture picture = {};
    for (uint16_t group : groups)
        picture.Groups[picture.GroupCount++] = group;
    picture.TimestampMs = boxMs == UNTIMED ? 0 : (uint32_t)boxMs;
    uint8_t start = boxMs == UNTIMED ? FRAME_CONTACTS : FRAME_CONTACTS_TIMED;
    CheckContacts({start, &picture, boxMs != UNTIMED, "", 0}, pcMs);
}

std::string ReportText()
{
    static char text[CHECK_REPORT_SIZE];
    return std::string(text, FormatCheckReport(text, sizeof text));
}

// The cells of a pair's line after its name: made, made now, longest,
// shortest, shortest break, bounces, held at start, in plan.
std::string Row(const std::string &pair)
{
    std::string report = ReportText();
    size_t start = report.find("\r\n" + pair + "\t") + 3 + pair.size();
    return report.substr(start, report.find("\r\n", start) - start);
}

std::string Summary()
{
    std::string report = ReportText();
    return report.substr(report.find("\r\n\r\n") + 4);
}

class ContactCheckTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ContactCheck = ContactCheckState{};
    }
};

// Holds and breaks by the box's clock, across its wrap at 16384 too, with
// makes and breaks under 20 ms counted as bounces; a group of three makes
// three pairs, bits 6 and 7 name nothing, and a text reply changes nothing.
TEST_F(ContactCheckTest, TheBoxClockTimesHoldsBreaksAndBounces)
{
    const uint32_t pc = 1000; // the PC's clock barely moves: every time is the box's
    Report(pc, 0, {});
    Report(pc, 100, {LeftIndexRightThumb});
    Report(pc, 400, {});
    Report(pc, 1000, {LeftIndexRightThumb, 0xC0C0});
    CheckContacts({FRAME_TEXT, nullptr, false, "", 0}, pc);
    Report(pc, 1250, {});
    Report(pc, 1300, {LeftIndexRightThumb});
    Report(pc, 1800, {LeftRingMiddle});
    Report(pc, 1810, {});
    Report(pc, 1825, {LeftRingMiddle});
    Report(pc, 16000, {RightLittleRing});
    // Left little and thumb with the right little, and the left thumb again
    // with the right middle: only contacts of one group make a pair.
    Report(pc, 300, {0x0111, 0x0410});

    EXPECT_EQ(Row("left index + right thumb"), "3\tno\t500\t250\t50\t0\tno\t");
    EXPECT_EQ(Row("left ring + left middle"), "2\tno\t14175\t10\t15\t2\tno\t");
    EXPECT_EQ(Row("right little + right ring"), "1\tno\t684\t684\t\t0\tno\t");
    for (const char *pair :
         {"left little + left thumb", "left little + right little", "left thumb + right little"})
        EXPECT_EQ(Row(pair), "1\tyes\t\t\t\t0\tno\t") << pair;
    EXPECT_EQ(Row("left thumb + right middle"), "1\tyes\t\t\t\t0\tno\t");
    EXPECT_EQ(Row("left little + right middle"), "0\tno\t\t\t\t0\tno\t");
    EXPECT_EQ(Summary(), "Pairs made: 7 of 66\r\n");
}

// Without the box's clock at both ends, or once the PC's clock says it may
// have wrapped or the box may have restarted, durations are the PC's, and
// the PC's clock counts no bounce however short.
TEST_F(ContactCheckTest, ThePcClockServesWhereTheBoxClockCannot)
{
    Report(0, UNTIMED, {});
    Report(500, UNTIMED, {LeftIndexRightThumb});
    Report(510, UNTIMED, {});
    Report(2000, 100, {LeftIndexRightThumb});  // a timed make after an untimed break
    Report(18000, 105, {});                    // 5 ms by the box, 16 s by the PC
    Report(19000, 200, {LeftIndexRightThumb}); // 95 ms by the box
    ForgetBoxClock();
    Report(19300, 210, {}); // 10 ms by the box, which may have restarted

    EXPECT_EQ(Row("left index + right thumb"), "3\tno\t16000\t10\t95\t0\tno\t");
}

// A pair made in the first report was held at the start: counted as made,
// but its first hold has no known length. "Reset" starts afresh and keeps
// the plan, against which the check then shows what is missing and extra.
TEST_F(ContactCheckTest, HeldAtStartResetAndThePlan)
{
    Report(0, 0, {LeftGroundRightGround});
    Report(0, 5, {LeftIndexRightThumb});
    Report(0, 300, {LeftRingMiddle});
    EXPECT_EQ(Row("left ground + right ground"), "1\tno\t\t\t\t0\tyes\t");
    EXPECT_EQ(Row("left index + right thumb"), "1\tno\t295\t295\t\t0\tno\t");

    TakeCheckAsPlan();
    ResetContactCheck();
    Report(0, 400, {LeftRingMiddle, RightLittleRing});
    Report(0, 500, {});
    EXPECT_EQ(Row("left ring + left middle"), "1\tno\t\t\t\t0\tyes\tyes");
    EXPECT_EQ(Row("right little + right ring"), "1\tno\t\t\t\t0\tyes\tno");
    EXPECT_EQ(Summary(), "Pairs made: 2 of 66\r\nPlan: 1 of 3 made\r\n"
                         "Missing: left index + right thumb, left ground + right ground\r\n"
                         "Not in plan: right little + right ring\r\n");
}

// The longest summary, every pair missing, and the longest report, every
// number of ten digits, fit their buffers whole.
TEST_F(ContactCheckTest, TheLongestTextsFitTheirBuffers)
{
    ContactCheck.hasPlan = true;
    ContactCheck.plan = ContactCheck.madeNow = PairSet{
        {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}};
    char summary[CHECK_SUMMARY_SIZE];
    EXPECT_LT(FormatCheckSummary(summary, sizeof summary), CHECK_SUMMARY_SIZE - 1);
    EXPECT_NE(std::string(summary).find("thumb + right ground\r\nNot in plan: none"),
              std::string::npos);
    for (PairRecord &pair : ContactCheck.pairs)
        pair = {UINT32_MAX, 1, 1, UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX, {}, true};
    EXPECT_LT(ReportText().size(), CHECK_REPORT_SIZE - 1);
    EXPECT_EQ(Row("right thumb + right ground"), "4294967295\tyes\t4294967295\t4294967295\t"
                                                 "4294967295\t4294967295\tyes\tyes");
}

} // namespace
