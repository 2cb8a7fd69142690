#include "recorded_time.h"
#include "sim_core.h"
#include "sim_replay.h"

#include <gtest/gtest.h>

#include <set>

namespace
{

Frame Bytes(std::initializer_list<int> bytes)
{
    Frame frame;
    for (int b : bytes)
        frame.push_back((uint8_t)b);
    return frame;
}

std::vector<std::string> Commands(const std::string &received)
{
    CommandReader reader;
    std::vector<std::string> found;
    char command[3];
    for (char c : received)
        if (ReadCommand(&reader, (uint8_t)c, command))
            found.push_back(command);
    return found;
}

TEST(SimCommands, KnownPairsAreFoundAmongAnyOtherBytes)
{
    EXPECT_EQ(Commands("CPCLCR"), (std::vector<std::string>{"CP", "CL", "CR"}));
    EXPECT_EQ(Commands("xCCPT1\r\nG0QQ"), (std::vector<std::string>{"CP", "T1", "G0"}));
    // A command's second letter never starts the next one.
    EXPECT_EQ(Commands("CPP"), (std::vector<std::string>{"CP"}));
    EXPECT_TRUE(Commands("T2G").empty());
}

TEST(SimCommands, QueriesAreAnsweredAndModeCommandsSwitchSilently)
{
    SimModes modes;
    Frame reply = AnswerCommand("CP", &modes);
    ASSERT_GE(reply.size(), 3u);
    EXPECT_EQ(reply.front(), 0x82);
    EXPECT_EQ(reply.back(), 0x8F);
    for (size_t i = 1; i + 1 < reply.size(); i++)
        EXPECT_LT(reply[i], 0x80) << "a reply byte could end or open a frame";
    EXPECT_NE(AnswerCommand("CL", &modes), AnswerCommand("CR", &modes));

    EXPECT_TRUE(AnswerCommand("T1", &modes).empty());
    EXPECT_TRUE(AnswerCommand("G1", &modes).empty());
    EXPECT_TRUE(modes.timestamps && modes.ground);
    AnswerCommand("T0", &modes);
    EXPECT_FALSE(modes.timestamps);
    EXPECT_TRUE(modes.ground);
    AnswerCommand("G0", &modes);
    EXPECT_FALSE(modes.ground);
}

TEST(SimReports, ModesDecideTheStartByteTimestampAndGroundContacts)
{
    const std::vector<Group> groups = {{0x08, 0x10}, {0x21, 0x20}};
    SimModes modes;
    EXPECT_EQ(ContactFrame(groups, modes, 5000), Bytes({0x80, 0x08, 0x10, 0x01, 0x00, 0x8F}));

    modes.ground = true;
    EXPECT_EQ(ContactFrame(groups, modes, 5000), Bytes({0x80, 0x08, 0x10, 0x21, 0x20, 0x8F}));

    modes.timestamps = true;
    // 272 ms is 0x10 | (0x02 << 7); the clock wraps at 16384 ms.
    EXPECT_EQ(ContactFrame({}, modes, 272), Bytes({0x81, 0x10, 0x02, 0x8F}));
    EXPECT_EQ(ContactFrame({}, modes, 16384 + 272), Bytes({0x81, 0x10, 0x02, 0x8F}));
    EXPECT_EQ(ContactFrame({}, modes, 16383), Bytes({0x81, 0x7F, 0x7F, 0x8F}));
}

TEST(SimReports, StressReportsNeverRepeatAndStayWellFormed)
{
    std::mt19937 random(7);
    SimModes modes;
    std::set<Frame> distinct;
    for (uint32_t counter = 0; counter < 5000; counter++) {
        modes.timestamps = counter % 3 == 0;
        Frame frame = ContactFrame(StressGroups(counter, &random), modes, counter * 5);
        ASSERT_LE(frame.size(), 64u);
        for (size_t i = 1; i + 1 < frame.size(); i++)
            ASSERT_LT(frame[i], 0x80);
        distinct.insert(frame);
    }
    EXPECT_EQ(distinct.size(), 5000u);
}

TEST(SimScenario, FramesPausesAndCommentsAreRead)
{
    std::vector<ScenarioStep> steps;
    std::string error;
    ASSERT_TRUE(ParseScenario("# the event\n80 08 10 8F\n\n  pause 500  # half a second\n"
                              "81 05 03 10 02 8f\r\n8F 8F\nunplug\n",
                              &steps, &error))
        << error;
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_TRUE(steps[4].unplug && steps[4].bytes.empty() && !steps[0].unplug);
    EXPECT_EQ(steps[0].bytes, Bytes({0x80, 0x08, 0x10, 0x8F}));
    EXPECT_TRUE(steps[1].bytes.empty());
    EXPECT_EQ(steps[1].pauseMs, 500u);
    EXPECT_EQ(steps[2].bytes, Bytes({0x81, 0x05, 0x03, 0x10, 0x02, 0x8F}));
    EXPECT_EQ(steps[3].bytes, Bytes({0x8F, 0x8F})); // malformed on purpose: sent as written
}

TEST(SimScenario, ErrorsNameTheirLine)
{
    const char *bad[] = {"80 8F\nwait 5\n",   "80 8F\n\n80 8G\n",   "80 8F\npause\n",
                         "80 8F\npause -3\n", "80 8F\npause 5 6\n", "80 0808 8F\n",
                         "80 8F\nunplug 2\n"};
    const char *line[] = {"line 2", "line 3", "line 2", "line 2", "line 2", "line 1", "line 2"};
    for (size_t i = 0; i < sizeof bad / sizeof bad[0]; i++) {
        std::vector<ScenarioStep> steps;
        std::string error;
        EXPECT_FALSE(ParseScenario(bad[i], &steps, &error)) << bad[i];
        EXPECT_NE(error.find(line[i]), std::string::npos) << error;
    }
    std::vector<ScenarioStep> steps;
    std::string error;
    EXPECT_FALSE(ParseScenario("# nothing but a comment\n", &steps, &error));
}

std::vector<Frame> Frames(const std::vector<ReplayRow> &rows)
{
    std::vector<Frame> frames;
    for (const ReplayRow &row : rows)
        if (!row.frame.empty())
            frames.push_back(row.frame);
    return frames;
}

std::vector<Frame> Replay(const std::string &log)
{
    std::vector<ReplayRow> rows;
    std::string error;
    size_t torn = 0;
    EXPECT_TRUE(ParseReplay(log, &rows, &torn, &error)) << error;
    EXPECT_EQ(torn, 0u);
    return Frames(rows);
}

TEST(SimReplay, EachKindOfLineSendsTheFrameThatWasLogged)
{
    EXPECT_EQ(Replay("80 08 10 8F\r\n81 05 03 10 02 8F\r\n82 \"v\\0 1\" 8F\r\n82 \"\" 8F\r\n"),
              (std::vector<Frame>{Bytes({0x80, 0x08, 0x10, 0x8F}),
                                  Bytes({0x81, 0x05, 0x03, 0x10, 0x02, 0x8F}),
                                  Bytes({0x82, 'v', 0x00, ' ', '1', 0x8F}), Bytes({0x82, 0x8F})}));
}

TEST(SimReplay, ALineCutAt64BytesIsSentWithAnEndByte)
{
    std::string hex = "80", text = "82 \"" + std::string(62, 'x') + "\" 41\r\n";
    for (int i = 0; i < 63; i++)
        hex += " 3F";
    std::vector<Frame> frames = Replay(hex + "\r\n" + text);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].size(), 65u);
    EXPECT_EQ(frames[0][63], 0x3F);
    EXPECT_EQ(frames[0][64], 0x8F);
    EXPECT_EQ(frames[1].size(), 65u);
    EXPECT_EQ(frames[1][63], 0x41);
    EXPECT_EQ(frames[1][64], 0x8F);
}

TEST(SimReplay, ATextReplyRunsOnOverTheCRLFInItsText)
{
    EXPECT_EQ(Replay("82 \"on\r\n\" 8F\r\n80 8F\r\n"),
              (std::vector<Frame>{Bytes({0x82, 'o', 'n', '\r', '\n', 0x8F}), Bytes({0x80, 0x8F})}));
    // Text that looks like a line's end ends the line when the rest still reads.
    EXPECT_EQ(Replay("82 \"a\" 8F\r\n82 \"b\" 8F\r\n").size(), 2u);
    std::vector<Frame> frames = Replay("82 \"a\" 8F\r\n80 8F\r\n\" 8F\r\n");
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(std::string(frames[0].begin() + 1, frames[0].end() - 1), "a\" 8F\r\n80 8F\r\n");
}

TEST(SimReplay, ALineThatTheProgramDoesNotWriteIsRefusedByNumber)
{
    const char *bad[] = {"80 08 10 8f\r\n",  "80 8F\r\n80  8F\r\n",
                         "80 8F\r\n80 8F\n", "80 8F\r\n\r\n",
                         "80 8F 8F\r\n",     "82 8F\r\n",
                         "82 \"a\" 41\r\n",  "82 \"a\r\nb\" 8F\r\n80 8G\r\n"};
    const char *line[] = {"line 1", "line 2", "line 2", "line 2",
                          "line 1", "line 1", "line 1", "line 3"};
    for (size_t i = 0; i < sizeof bad / sizeof bad[0]; i++) {
        std::vector<ReplayRow> rows;
        std::string error;
        size_t torn = 0;
        EXPECT_FALSE(ParseReplay(bad[i], &rows, &torn, &error)) << bad[i];
        EXPECT_EQ(error.find(line[i]), 0u) << error;
    }
    std::vector<ReplayRow> rows;
    std::string error;
    size_t torn = 0;
    EXPECT_FALSE(ParseReplay("", &rows, &torn, &error));
}

// A crash may cut a recording anywhere in its last line, a text reply's CR LF
// included, or leave zeros there: the whole lines play and the rest is
// counted. A bad line elsewhere is still refused.
TEST(SimReplay, ATornLastLineIsLeftOutAndCounted)
{
    const std::string whole = "80 08 10 8F\r\n82 \"a\" 8F\r\n";
    std::vector<ReplayRow> rows;
    std::string error;
    size_t torn = 0;
    for (const std::string &tail :
         {std::string("80 01 0"), std::string("82 \"on\r\nof"), std::string(5, '\0')}) {
        rows.clear();
        EXPECT_TRUE(ParseReplay(whole + tail, &rows, &torn, &error)) << error;
        EXPECT_EQ(rows.size(), 2u);
        EXPECT_EQ(torn, tail.size());
    }
    EXPECT_FALSE(ParseReplay("80 8G\r\n" + whole + "80 01 0", &rows, &torn, &error));
    EXPECT_EQ(error.find("line 1:"), 0u) << error;
}

// A night's recording: the log as it stood with empty times, a text reply
// whose CR LF is followed by the row's tab, a clock that falls back an hour
// with daylight saving and one that is put back, and events among the lines.
const std::string Recording = "time\tline\r\n"
                              "\t82 \"sig\" 8F\r\n"
                              "\t82 \"a\r\n\t\tb\" 8F\r\n"
                              "2026-10-25T02:59:59.950+02:00\t# recording started\r\n"
                              "2026-10-25T02:59:59.950+02:00\t80 08 10 8F\r\n"
                              "2026-10-25T02:00:00.050+01:00\t82 \"x\r\n\ty\" 8F\r\n"
                              "2026-10-25T01:59:00.000+01:00\t# port COM5 lost\r\n"
                              "2026-10-25T01:59:02.000+01:00\t80 8F\r\n";

TEST(SimReplay, ARecordingWithTimesGivesItsFramesEventsAndWhenTheyAreDue)
{
    std::vector<ReplayRow> rows;
    std::string error;
    size_t torn = 0;
    ASSERT_TRUE(ParseReplay(Recording + "2026-10-25T01:59:02.1", &rows, &torn, &error)) << error;
    EXPECT_EQ(torn, 21u);
    EXPECT_EQ(Frames(rows), Replay("82 \"sig\" 8F\r\n82 \"a\r\n\tb\" 8F\r\n80 08 10 8F\r\n"
                                   "82 \"x\r\ny\" 8F\r\n80 8F\r\n"));
    ASSERT_EQ(rows.size(), 7u);
    EXPECT_FALSE(rows[1].timed);
    EXPECT_EQ(rows[2].event, "recording started");
    EXPECT_EQ(rows[5].event, "port COM5 lost");
    EXPECT_EQ(rows[3].utcMs, 1792889999950); // 00:59:59.950 UTC
    EXPECT_EQ(rows[4].utcMs - rows[3].utcMs, 100);
    EXPECT_EQ(RecordedTimeText(rows[4]), "2026-10-25T02:00:00.050+01:00");

    // From the first timed line on: real time, a clock put back waits no
    // time, and --speed divides the gaps.
    EXPECT_EQ(RecordedSchedule(rows, 1), (std::vector<double>{-1, -1, -1, 0, 100, 100, 2100}));
    EXPECT_EQ(RecordedSchedule(rows, 4).back(), 525);
}

TEST(SimReplay, ARecordingWithTimesRefusesABadRowByItsLineNumber)
{
    const char *bad[] = {"2026-13-25T02:00:00.000+01:00\t80 8F\r\n", // no 13th month
                         "2026-02-29T02:00:00.000+01:00\t80 8F\r\n", // nor this day
                         "2026-10-25T02:00:00.000-00:00\t80 8F\r\n", // written +00:00
                         "2026-10-25T02:00:00.000+01:00 80 8F\r\n",
                         "\t80 8F\r\n", // no time after times
                         "\t# port COM5 lost\r\n",
                         "2026-10-25T02:00:00.000+01:00\t82 \"x\r\ny\" 8F\r\n"}; // no tab
    for (const char *row : bad) {
        std::vector<ReplayRow> rows;
        std::string error;
        size_t torn = 0;
        EXPECT_FALSE(ParseReplay(Recording + row + "2026-10-25T02:00:00.000+01:00\t80 8F\r\n",
                                 &rows, &torn, &error))
            << row;
        EXPECT_EQ(error.find("line 11:"), 0u) << error;
    }
}

TEST(SimPacing, ElevenBitsAByteAt9600Baud)
{
    EXPECT_NEAR(1.0 / LineSeconds(1, 9600), 872.7, 0.1);
    EXPECT_NEAR(LineSeconds(4, 9600), 4 * 11 / 9600.0, 1e-12);
    EXPECT_EQ(HexText(Bytes({0x80, 0x08, 0x10, 0x8F})), "80 08 10 8F");
}

} // namespace
