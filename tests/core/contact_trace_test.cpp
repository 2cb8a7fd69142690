// The trace of a session as a logic analyser's viewer reads it: every wire's
// value at the start, then only the wires that changed, each under its time.
#include "display/contact_trace.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const int UNTIMED = -1;
char Text[TRACE_HEADER_SIZE];

// A report of the groups given. As the decoder does, the groups past the
// report's own keep those of the reports before.
std::string Report(uint32_t pcMs, int boxMs, std::initializer_list<uint16_t> groups)
{
    static ContactPicture picture;
    picture.GroupCount = 0;
    for (uint16_t group : groups)
        picture.Groups[picture.GroupCount++] = group;
    picture.TimestampMs = boxMs == UNTIMED ? 0u : (uint32_t)boxMs;
    return std::string(Text, TraceFrame(Text, {0, &picture, boxMs != UNTIMED, "", 0}, pcMs));
}

std::string Port(uint32_t pcMs, bool open)
{
    return std::string(Text, TracePort(Text, open, pcMs));
}

// Left index and right thumb touch as the trace starts. Reports are then
// timed by the box's clock across its wrap, by the PC's where the box's
// cannot serve, and never by the box's across a lost port: a box that
// restarted would otherwise put its reports before the port came back. A
// second trace of the same run is timed from its own start.
TEST(ContactTrace, EachChangeIsTimedFromTheReportBeforeAndTimesNeverGoBack)
{
    std::string date(300, '2');
    std::string header(Text, StartTrace(Text, {date.c_str(), "tactiview", "port COM5"},
                                        {1, {0x1008}, 0}, true, 1000));
    EXPECT_NE(header.find("\t" + date.substr(0, TRACE_TEXT_SIZE - 1) + "\r\n$end"),
              std::string::npos);
    EXPECT_EQ(header.substr(header.find("#0")),
              "#0\r\n$dumpvars\r\n0!\r\n0\"\r\n0#\r\n1$\r\n0%\r\n"
              "0&\r\n0'\r\n0(\r\n0)\r\n0*\r\n1+\r\n0,\r\n1-\r\n$end\r\n");
    std::string body;
    // The pieces of a braced list are made in order.
    for (const std::string &piece :
         {Report(1100, UNTIMED, {}), Report(1200, 16380, {}), Report(1200, 4, {0xC0C8, 0x2000}),
          Report(1210, 12, {}), Report(30000, 12418, {0x1000}), Port(30050, false),
          Port(31000, true), Report(31000, 22, {}), Report(31050, 30, {0x0008}),
          Report(31700, 80, {}), Report(47600, 196, {0x0008}),
          std::string(Text, TraceFrame(Text, {FRAME_TEXT, NULL, false, "", 0}, 47610))})
        body += piece;
    // The first report by the PC's clock from the start; 100 ms on, changing
    // nothing; 8 ms across the wrap, two groups, and 8 ms more by the box's
    // clock, none, the second group gone with the first; 28.8 s, the box's
    // clock wrapped once; the port lost and back; the restarted box's clock,
    // 2 ms on, not compared with its clock before the loss; 8 ms by it; 50 ms
    // by it, stamped 0.6 s late by a stalled window, and 16.5 s by it to the
    // next, not the 116 ms it shows modulo its span.
    EXPECT_EQ(body, "#100\r\n0$\r\n0+\r\n#208\r\n1$\r\n1,\r\n#216\r\n0$\r\n0,\r\n#29006\r\n1+\r\n"
                    "#29056\r\n0-\r\n#30006\r\n1-\r\n0+\r\n#30014\r\n1$\r\n"
                    "#30064\r\n0$\r\n#46564\r\n1$\r\n");
    EXPECT_EQ(std::string(Text, EndTrace(Text, 48000)), "#46964\r\n");
    EXPECT_EQ(EndTrace(Text, 48000), 0u);

    StartTrace(Text, {"", "tactiview", "port COM6"}, {0, {}, 0}, false, 50000);
    EXPECT_EQ(Port(50040, true), "#40\r\n1-\r\n");
    EXPECT_EQ(Report(50100, 300, {0x0008}), "#100\r\n1$\r\n");
}

} // namespace
