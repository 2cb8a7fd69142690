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

// A scenario: frames to send as written and pauses between them.
struct ScenarioStep {
    Frame bytes;          // empty for a pause
    unsigned pauseMs = 0; // for a pause
};

// Parses a scenario: one step a line, either hex bytes ("80 08 10 8F") or
// "pause MS"; '#' starts a comment. On an error returns false and says which
// line in error.
bool ParseScenario(const std::string &text, std::vector<ScenarioStep> *steps, std::string *error);

// Reads a saved session log: the receive log's lines, each ending in CR LF,
// "80 08 10 8F" for a contact report and "82 "text" 8F" for a text reply. A
// line of 64 bytes that does not end in 8F comes from a longer frame cut
// there. A text reply's zero bytes show as \0, as does a backslash before a
// '0': \0 is read as a zero byte, but in a cut line as many as make it 64
// bytes long are read as a backslash and a '0'. Its text may hold CR LF, so
// its line runs on to the first closing quote, hex byte and CR LF after which
// the rest of the log still reads. Returns the frames that make the program
// log the same lines again: each frame as logged, a cut one with an end byte
// after it. A last line that the end of the log cuts short, as a crash leaves
// a recording, is left out, and tornBytes says how long it is. On an error
// returns false and says which line is no logged frame.
bool ParseReplay(const std::string &log, std::vector<Frame> *frames, size_t *tornBytes,
                 std::string *error);

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
