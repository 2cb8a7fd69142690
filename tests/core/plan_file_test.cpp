// Plan files as a tester writes them by hand, and the files that are no plan.
#include "display/plan_file.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace
{

std::string Written(const Plan &plan)
{
    char text[PLAN_FILE_SIZE];
    return std::string(text, FormatPlanFile(text, plan));
}

// A byte-order mark, comments, blank lines, both line ends, names in either
// order and any case with any spaces, and a pair twice: read in the order of
// the lines, and written back as the program writes a plan, which is named
// after its file.
TEST(PlanFile, AHandWrittenPlanIsReadInTheOrderOfItsLines)
{
    const std::string file = "\xEF\xBB\xBF# glove v2\r\n  Right Thumb+left INDEX \t\r\n\r\n"
                             "\tleft ground +  right\tground\n# again\nleft index + right thumb\n"
                             "  # indented\nLEFT RING + left middle\r";
    Plan plan = {};
    PlanReading reading = ReadPlan(file.data(), (unsigned)file.size(), &plan);
    EXPECT_EQ(reading.fault, PLAN_READ);
    EXPECT_EQ(Written(plan), "# tactiview plan\r\nleft index + right thumb\r\n"
                             "left ground + right ground\r\nleft ring + left middle\r\n");
    char name[32];
    PlanNameOf("C:\\a.b\\glove.v2.plan", name, sizeof name);
    EXPECT_STREQ(name, "glove.v2");
}

// Each refusal names its line, and leaves the plan as it was; a name is a
// contact's whole name, not one that begins with it; 64 KB is the most a plan
// file may hold.
TEST(PlanFile, AFileThatIsNoPlanIsRefusedByItsLine)
{
    const std::string pair = "left index + right thumb\n";
    const std::string largest = pair + std::string(PLAN_FILE_LIMIT - pair.size(), '#');
    const struct {
        std::string file;
        PlanFault fault;
        unsigned line;
    } refusals[] = {
        {pair + "left indx + right thumb\n", PLAN_UNKNOWN_CONTACT, 2},
        {pair + "left ring finger + left middle\n", PLAN_UNKNOWN_CONTACT, 2},
        {"left index + right thumbs\n", PLAN_UNKNOWN_CONTACT, 1},
        {"# c\r\n\r\nleft index + LEFT INDEX\r\n", PLAN_SAME_CONTACT, 3},
        {"left index right thumb\n", PLAN_NOT_A_PAIR, 1},
        {pair + "left index + right thumb + left ring\n", PLAN_NOT_A_PAIR, 2},
        {pair + pair + " + right thumb", PLAN_NOT_A_PAIR, 3},
        {"left ring +\n", PLAN_NOT_A_PAIR, 1},
        {pair + "left ring\0 + left middle\n"s, PLAN_ZERO_BYTE, 2},
        {"# only a comment\r\n\r\n", PLAN_NO_PAIRS, 0},
        {"", PLAN_NO_PAIRS, 0},
        {largest + "#", PLAN_TOO_LARGE, 0},
    };
    Plan plan = {};
    ASSERT_EQ(ReadPlan(largest.data(), (unsigned)largest.size(), &plan).fault, PLAN_READ);
    for (const auto &refusal : refusals) {
        PlanReading reading = ReadPlan(refusal.file.data(), (unsigned)refusal.file.size(), &plan);
        EXPECT_EQ(reading.fault, refusal.fault) << refusal.file;
        EXPECT_EQ(reading.line, refusal.line) << refusal.file;
    }
    EXPECT_EQ(Written(plan), "# tactiview plan\r\nleft index + right thumb\r\n");
}

} // namespace
