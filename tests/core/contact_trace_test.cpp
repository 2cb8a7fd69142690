// The trace of a session as a logic analyser's viewer reads it: the header
// with every wire's value at the start, then only the wires that changed,
// each under its time since the start.
#include "display/contact_trace.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace
{

const int UNTIMED = -1;

ContactPicture Picture(std::initializer_list<uint16_t> groups)
{
    ContactPicture picture = {};
    for (uint16_t group : groups)
        picture.Groups[picture.GroupCount++] = group;
    return picture;
}

std::string Report(uint32_t pcMs, int boxMs, std::initializer_list<uint16_t> groups)
{
    ContactPicture picture = Picture(groups);
    picture.TimestampMs = boxMs == UNTIMED ? 0 : (uint32_t)boxMs;
    char text[TRACE_CHANGE_SIZE];
    return std::string(text, TraceFrame(text, {0, &picture, boxMs != UNTIMED, "", 0}, pcMs));
}

std::string Port(uint32_t pcMs, bool open)
{
    char text[TRACE_CHANGE_SIZE];
    return std::string(text, TracePort(text, open, pcMs));
}

// Left index and right thumb touch and the port is open as the trace starts.
TEST(ContactTrace, TheHeaderDeclaresTheWiresAndGivesTheirValuesAtTheStart)
{
    std::string longText(300, 'x');
    char text[TRACE_HEADER_SIZE];
    std::string header(
        text, StartTrace(text, {"2026-12-09T02:13:07.312+01:00", longText.c_str(), "port COM5"},
                         Picture({0x1008}), true, 1000));
    EXPECT_EQ(header.find("$date\r\n\t2026-12-09T02:13:07.312+01:00\r\n$end\r\n$version\r\n\t" +
                          longText.substr(0, TRACE_TEXT_SIZE - 1) +
                          "\r\n$end\r\n$comment\r\n\tport COM5\r\n$end\r\n$timescale 1 ms $end\r\n"
                          "$scope module gloves $end\r\n"),
              0u);
    std::string wires;
    std::smatch var;
    for (std::string rest = header;
         std::regex_search(rest, var, std::regex("\\$var wire 1 (.) (\\w+) \\$end\r\n"));
         rest = var.suffix())
        wires += var.str(1) + var.str(2) + " ";
    EXPECT_EQ(wires, "!left_little \"left_ring #left_middle $left_index %left_thumb &left_ground "
                     "'right_little (right_ring )right_middle *right_index +right_thumb "
                     ",right_ground -port_open ");
    EXPECT_NE(
        header.find("$upscope $end\r\n$enddefinitions $end\r\n#0\r\n$dumpvars\r\n0!\r\n0\"\r\n"
                    "0#\r\n1$\r\n0%\r\n0&\r\n0'\r\n0(\r\n0)\r\n0*\r\n1+\r\n0,\r\n1-\r\n$end\r\n"),
        std::string::npos);
}

// Reports timed by the box's clock across its wrap, by the PC's where the
// box's cannot serve, and never compared with the box's clock across a lost
// port: a box that restarted would otherwise put its reports before the
// port came back.
TEST(ContactTrace, EachReportIsTimedFromTheOneBeforeAndTimesNeverGoBack)
{
    char text[TRACE_HEADER_SIZE];
    StartTrace(text, {"", "", ""}, Picture({0x1008}), true, 1000);
    std::string body;
    // The pieces of a braced list are made in order.
    for (const std::string &piece :
         {Report(1100, UNTIMED, {}), Report(1200, 16380, {}), Report(1200, 4, {0xC0C8}),
          Report(1210, 12, {}), Report(30000, 20, {0x1000}), Port(30050, false), Port(31000, true),
          Report(31000, 22, {}), Report(31050, 30, {0x0008}),
          std::string(text, TraceFrame(text, {FRAME_TEXT, NULL, false, "", 0}, 31060))})
        body += piece;
    // The first report by the PC's clock from the start; 200 ms, changing
    // nothing; 8 ms across the wrap and 8 ms more by the box's clock; 28.8 s,
    // too long for the box's; the port lost and back; the restarted box's
    // clock, 2 ms on, not compared with its clock before the loss; 8 ms by it.
    EXPECT_EQ(body, "#100\r\n0$\r\n0+\r\n#208\r\n1$\r\n#216\r\n0$\r\n#29006\r\n1+\r\n"
                    "#29056\r\n0-\r\n#30006\r\n1-\r\n0+\r\n#30014\r\n1$\r\n");
    EXPECT_EQ(std::string(text, EndTrace(text, 31100)), "#30064\r\n");
    EXPECT_EQ(EndTrace(text, 31100), 0u);
}

} // namespace
