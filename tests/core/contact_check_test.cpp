// The contact check fed reports as the decoder hands them over, each with the
// PC's clock of its poll, and read back through the report that "Copy" gives,
// the verdict, the row of the results file and the sound each report makes.
#include "display/check_report.h"
#include "display/plan_file.h"
#include "display/results_row.h"
#include "protocol/check_sound.h"
#include "protocol/contact_check.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const int UNTIMED = -1;

// Groups hold the left glove's mask in the low byte, the right's in the high.
const uint16_t LeftIndexRightThumb = 0x1008, LeftRingMiddle = 0x0006, RightLittleRing = 0x0300,
               LeftGroundRightGround = 0x2020;

// As the decoder does, the groups past the report's own keep those of the
// reports before. Returns the sound the report makes.
CheckSound Report(uint32_t pcMs, int boxMs, std::initializer_list<uint16_t> groups)
{
    ContactState.GroupCount = 0;
    for (uint16_t group : groups)
        ContactState.Groups[ContactState.GroupCount++] = group;
    ContactState.TimestampMs = boxMs == UNTIMED ? 0 : (uint32_t)boxMs;
    uint8_t start = boxMs == UNTIMED ? FRAME_CONTACTS : FRAME_CONTACTS_TIMED;
    return CheckContactsForSound({start, &ContactState, boxMs != UNTIMED, "", 0}, pcMs);
}

std::string ReportText()
{
    static char text[CHECK_REPORT_SIZE];
    return std::string(text, FormatCheckReport(text, sizeof text, ContactCheck));
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

// Without the box's clock at both ends, or once the box may have restarted,
// durations are the PC's, which counts no bounce however short. Otherwise
// the PC's clock only tells how often the box's wrapped: a make stamped
// 0.6 s late by a stalled window, and its break 16.39 s later by the box's
// clock and 15.79 s by the PC's, held 16390 ms; it did not bounce for 6.
TEST_F(ContactCheckTest, ThePcClockServesWhereTheBoxClockCannot)
{
    Report(0, UNTIMED, {});
    Report(500, UNTIMED, {LeftIndexRightThumb});
    Report(510, UNTIMED, {});
    Report(2000, 100, {LeftIndexRightThumb});  // a timed make after an untimed break
    Report(18000, 105, {});                    // 5 ms by the box, 16 s by the PC: one wrap
    Report(19000, 200, {LeftIndexRightThumb}); // 95 ms by the box
    ForgetBoxClock();
    Report(19300, 210, {}); // 10 ms by the box, which may have restarted
    EXPECT_EQ(Row("left index + right thumb"), "3\tno\t16389\t10\t95\t0\tno\t");

    Report(21600, 1000, {LeftRingMiddle});
    Report(37390, 1006, {});
    EXPECT_EQ(Row("left ring + left middle"), "1\tno\t16390\t16390\t\t0\tno\t");
}

// A pair made in the first report was held at the start: counted as made,
// but its first hold has no known length. "Reset" starts afresh and keeps
// the plan, against which the check then shows what is missing and extra;
// with nothing made, "Take as plan" keeps it too.
TEST_F(ContactCheckTest, HeldAtStartResetAndThePlan)
{
    Report(0, 0, {LeftGroundRightGround});
    Report(0, 5, {LeftIndexRightThumb});
    Report(0, 300, {LeftRingMiddle});
    EXPECT_EQ(Row("left ground + right ground"), "1\tno\t\t\t\t0\tyes\t");
    EXPECT_EQ(Row("left index + right thumb"), "1\tno\t295\t295\t\t0\tno\t");

    TakeCheckAsPlan();
    ResetContactCheck();
    EXPECT_FALSE(TakeCheckAsPlan()); // with nothing made, the plan stays
    Report(0, 400, {LeftRingMiddle, RightLittleRing});
    Report(0, 500, {});
    EXPECT_EQ(Row("left ring + left middle"), "1\tno\t\t\t\t0\tyes\tyes");
    EXPECT_EQ(Row("right little + right ring"), "1\tno\t\t\t\t0\tyes\tno");
    EXPECT_EQ(Summary(), "Pairs made: 2 of 66\r\nPlan: 1 of 3 made\r\n"
                         "Missing: left index + right thumb, left ground + right ground\r\n"
                         "Not in plan: right little + right ring\r\n");
}

// The longest summary, every pair missing, the longest report, every number
// of ten digits, and the longest verdict and results row, every pair made
// outside the plan, bounced and held, fit their buffers whole.
TEST_F(ContactCheckTest, TheLongestTextsFitTheirBuffers)
{
    const PairSet all = {
        {0xFFE, 0xFFC, 0xFF8, 0xFF0, 0xFE0, 0xFC0, 0xF80, 0xF00, 0xE00, 0xC00, 0x800}};
    ContactCheck.hasPlan = true;
    ContactCheck.plan.pairs = ContactCheck.madeNow = all;
    ContactCheck.plan.size = CHECK_PAIRS;
    char summary[CHECK_SUMMARY_SIZE];
    EXPECT_LT(FormatCheckSummary(summary, sizeof summary, ContactCheck), CHECK_SUMMARY_SIZE - 1);
    EXPECT_NE(std::string(summary).find("thumb + right ground\r\nNot in plan: none"),
              std::string::npos);
    for (PairRecord &pair : ContactCheck.pairs)
        pair = {UINT32_MAX, 1, UINT32_MAX, UINT32_MAX, UINT32_MAX, UINT32_MAX, {}, true};
    EXPECT_LT(ReportText().size(), CHECK_REPORT_SIZE - 1);
    EXPECT_EQ(Row("right thumb + right ground"), "4294967295\tyes\t4294967295\t4294967295\t"
                                                 "4294967295\t4294967295\tyes\tyes");

    ContactCheck.made = ContactCheck.bounced = ContactCheck.heldSinceStart = all;
    ContactCheck.plan = Plan{{{0x2}}, {0}, 1};
    char verdict[CHECK_VERDICT_SIZE], row[RESULTS_ROW_SIZE];
    EXPECT_LT(FormatVerdict(verdict, sizeof verdict, ContactCheck), CHECK_VERDICT_SIZE - 1);
    std::string glove(ROW_NAME_MOST + 9, 'g'), plan(ROW_NAME_MOST + 9, 'p');
    EXPECT_LT(FormatResultsRow(row, "2026-12-09T10:42:07.412+01:00", glove.c_str(), plan.c_str(),
                               ContactCheck),
              RESULTS_ROW_SIZE - 1);
    std::string written(row);
    EXPECT_EQ(written.substr(written.size() - 28), "right thumb + right ground\r\n");
}

// A glove checked against a plan read from a file, in the file's order: the
// verdict and the results row as it goes, where a tab, a control character
// and a DEL (which Ctrl+Backspace types) in the glove's name are spaces. A
// report of fewer groups than the one before breaks the pairs of the earlier
// report's later groups.
TEST_F(ContactCheckTest, TheVerdictAndTheResultsRowFollowThePlan)
{
    const char file[] =
        "left index + right thumb\nleft ring + left middle\nleft ground + right ground";
    Plan plan = {};
    ASSERT_EQ(ReadPlan(file, sizeof file - 1, &plan).fault, PLAN_READ);
    char verdict[CHECK_VERDICT_SIZE], row[RESULTS_ROW_SIZE];
    auto expect = [&](const char *shown, const char *written) {
        FormatVerdict(verdict, sizeof verdict, ContactCheck);
        EXPECT_STREQ(verdict, shown);
        FormatResultsRow(row, "T", "G\t7\x01\x7F", "v2", ContactCheck);
        EXPECT_STREQ(row, written);
    };
    expect("No plan", "T\tG 7  \t\t\t0\t\t\t\t\t\r\n");
    // A glove that has sent nothing yet, as a dead one never does: a FAIL.
    UsePlan(plan);
    expect("Checking: 0 of 3 made\r\nNext: left index + right thumb\r\n"
           "Bounces are not checked: \"Report timestamps\" turns them on",
           "T\tG 7  \tv2\tFAIL\t0\t0 of 3\tleft ring + left middle, left index + right thumb, "
           "left ground + right ground\t\t\t\r\n");
    Report(0, 0, {LeftGroundRightGround, LeftIndexRightThumb});
    expect("Checking: 2 of 3 made\r\nRelease: left index + right thumb",
           "T\tG 7  \tv2\tFAIL\t2\t2 of 3\tleft ring + left middle\t\t\t"
           "left index + right thumb, left ground + right ground\r\n");
    Report(0, 100, {LeftGroundRightGround});
    Report(0, 200, {LeftRingMiddle});
    expect("PASS: 3 of 3 made", "T\tG 7  \tv2\tPASS\t3\t3 of 3\t\t\t\t\r\n");
    // Let go and made again 10 ms later: a bounce fails a glove that made
    // nothing outside its plan.
    Report(0, 250, {});
    Report(0, 260, {LeftRingMiddle});
    expect("FAIL: left ring + left middle bounced",
           "T\tG 7  \tv2\tFAIL\t3\t3 of 3\t\t\tleft ring + left middle\t\r\n");
    Report(0, 300, {LeftRingMiddle, RightLittleRing, 0x0101});
    Report(0, 310, {LeftRingMiddle});
    EXPECT_EQ(Row("right little + right ring"), "1\tno\t10\t10\t\t1\tno\tno");
    Report(0, 320, {});
    Report(0, 330, {LeftRingMiddle});
    expect("FAIL: left little + right little and 1 more are not in the plan; "
           "left little + right little and 2 more bounced",
           "T\tG 7  \tv2\tFAIL\t5\t3 of 3\t\tleft little + right little, right little + right "
           "ring\tleft little + right little, left ring + left middle, right little + right "
           "ring\t\r\n");
    // The next glove, with every pair but the plan's last made: not yet a PASS.
    ResetContactCheck();
    Report(0, 400, {});
    Report(0, 410, {LeftIndexRightThumb});
    Report(0, 500, {LeftRingMiddle});
    Report(0, 600, {});
    expect("Checking: 2 of 3 made\r\nNext: left ground + right ground",
           "T\tG 7  \tv2\tFAIL\t2\t2 of 3\tleft ground + right ground\t\t\t\r\n");
}

// A tick for a pair of the plan made for the first time in the glove's
// check, not for one made again; PASS and FAIL once as the verdict turns, over
// a tick of the same report; nothing without a plan. After "Next glove" or a
// new plan, a report is heard against the check as it then is.
TEST_F(ContactCheckTest, TheSoundsOfAGloveAndOfTheNext)
{
    auto hear = [](std::initializer_list<uint16_t> groups) { return Report(0, UNTIMED, groups); };
    EXPECT_EQ(hear({LeftIndexRightThumb, LeftRingMiddle}), SOUND_NONE);
    TakeCheckAsPlan();
    ResetContactCheck();
    EXPECT_EQ(hear({}), SOUND_NONE);
    EXPECT_EQ(hear({LeftIndexRightThumb}), SOUND_TICK);
    EXPECT_EQ(hear({}), SOUND_NONE);
    EXPECT_EQ(hear({LeftIndexRightThumb}), SOUND_NONE);
    EXPECT_EQ(hear({LeftRingMiddle}), SOUND_PASS);
    EXPECT_EQ(hear({LeftRingMiddle, RightLittleRing}), SOUND_FAIL);
    EXPECT_EQ(hear({RightLittleRing}), SOUND_NONE);

    ResetContactCheck();
    EXPECT_EQ(hear({LeftIndexRightThumb}), SOUND_TICK); // held since the start: checking
    EXPECT_EQ(hear({LeftRingMiddle}), SOUND_PASS);
    Plan plan = ContactCheck.plan;
    AddPairAt(plan.pairs, PairIndex(5, 11));
    plan.order[plan.size++] = (uint8_t)PairIndex(5, 11);
    UsePlan(plan);
    EXPECT_EQ(hear({LeftGroundRightGround}), SOUND_PASS);
}

} // namespace
