// What the simulated glove box says and does, free of any I/O: its answers to
// commands, the contact reports it sends, scenario files, and line pacing.
#ifndef GLOVEBOX_SIM_CORE_H
#define GLOVEBOX_SIM_CORE_H

#include <cstdint>
#include <random>
#include <string>
#include <vector>

using Frame = std::vector<uint8_t>;

// The box's two reporting modes, switched by T1/T0 and G1/G0.
struct SimModes {
    bool timestamps = false;
    bool ground = false;
};

// One contact group: the left and the right glove's contact masks.
struct Group {
    uint8_t left;
    uint8_t right;
};

// Recognises two-letter commands in the received bytes. Commands have no
// framing, so an unknown pair is slid over one byte at a time until a known
// command lines up again.
struct CommandReader {
    int pending = -1; // the first letter seen, or -1
};

// Takes one received byte; returns true and fills command (two letters and a
// terminator) when the byte completes a known command.
bool ReadCommand(CommandReader *reader, uint8_t byte, char command[3]);

// Applies a command to the modes and returns the box's reply, or an empty
// frame for commands that have none.
Frame AnswerCommand(const char *command, SimModes *modes);

Frame TextFrame(const std::string &text);

// A contact report of the groups as the box would send it in the given
// modes: timed (0x81, with the clock's 14-bit milliseconds) or not, and with
// ground contacts removed when ground reporting is off.
Frame ContactFrame(const std::vector<Group> &groups, const SimModes &modes, uint32_t clockMs);

// A scenario: frames to send as written and pauses between them. A replay
// as recorded gives its steps their times, and its events a note to print.
struct ScenarioStep {
    Frame bytes;          // empty for a pause or an event
    unsigned pauseMs = 0; // for a pause
    double atMs = -1;     // due this long after the first timed line; -1: when the line is free
    std::string note;     // an event's, printed as it is passed
    bool unplug = false;  // the box goes away here, once what went before is read
};

// Parses a scenario: one step a line, hex bytes ("80 08 10 8F"), "pause MS"
// or "unplug"; '#' starts a comment. On an error returns false and says which
// line in error.
bool ParseScenario(const std::string &text, std::vector<ScenarioStep> *steps, std::string *error);

// The built-in demonstration: fingers touching in turn, several groups at a
// time. Step i of an endless loop; a pause follows each touch and release.
struct DemoStep {
    std::vector<Group> groups;
    unsigned holdMs;
};
DemoStep DemoPattern(unsigned index);

// A stress report: two groups that carry twenty bits of a counter in contacts
// that every mode keeps, so no report repeats within a million, and up to
// three random groups more.
std::vector<Group> StressGroups(uint32_t counter, std::mt19937 *random);

// The shortest report there is, one group of finger contacts that carries ten
// bits of a counter: 1024 reports in a row differ. Each makes the shortest
// log line, so a stream of them is the hardest on the log.
std::vector<Group> ShortStressGroups(uint32_t counter);

// Time the line takes to carry the bytes: a start bit, 8 data bits and 2
// stop bits each, so 11 bits a byte.
double LineSeconds(size_t bytes, unsigned baud);

// "80 08 10 8F": the frame as the receive log shows contact reports.
std::string HexText(const Frame &frame);

#endif
