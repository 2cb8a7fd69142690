#include "sim_core.h"

#include "protocol/glove_protocol.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace
{

const uint8_t GROUND = 0x20;
const uint8_t ALL_CONTACTS = 0x3F;

struct Reply {
    const char *command;
    const char *text; // nullptr: no reply
};

// The box's firmware signature and glove reports, in its own words.
const Reply Replies[] = {
    {"CP", "glovebox-sim 1.0, simulated glove box"},
    {"CL", "left glove: 6 contacts, simulated"},
    {"CR", "right glove: 6 contacts, simulated"},
    {"T1", nullptr},
    {"T0", nullptr},
    {"G1", nullptr},
    {"G0", nullptr},
};

const Reply *FindReply(const char *command)
{
    for (const Reply &reply : Replies)
        if (std::strcmp(reply.command, command) == 0)
            return &reply;
    return nullptr;
}

} // namespace

bool ReadCommand(CommandReader *reader, uint8_t byte, char command[3])
{
    if (reader->pending >= 0) {
        command[0] = (char)reader->pending;
        command[1] = (char)byte;
        command[2] = '\0';
        if (FindReply(command)) {
            reader->pending = -1;
            return true;
        }
    }
    reader->pending = byte;
    return false;
}

Frame AnswerCommand(const char *command, SimModes *modes)
{
    if (command[0] == 'T')
        modes->timestamps = command[1] == '1';
    if (command[0] == 'G')
        modes->ground = command[1] == '1';
    const Reply *reply = FindReply(command);
    if (!reply || !reply->text)
        return Frame();
    return TextFrame(reply->text);
}

Frame TextFrame(const std::string &text)
{
    Frame frame(text.size() + 2);
    frame.front() = FRAME_TEXT;
    std::copy(text.begin(), text.end(), frame.begin() + 1);
    frame.back() = FRAME_END;
    return frame;
}

Frame ContactFrame(const std::vector<Group> &groups, const SimModes &modes, uint32_t clockMs)
{
    const uint8_t keep = modes.ground ? ALL_CONTACTS : (uint8_t)(ALL_CONTACTS & ~GROUND);
    Frame frame = {(uint8_t)(modes.timestamps ? FRAME_CONTACTS_TIMED : FRAME_CONTACTS)};
    for (const Group &g : groups) {
        frame.push_back(g.left & keep);
        frame.push_back(g.right & keep);
    }
    if (modes.timestamps) {
        uint32_t ms = clockMs % 16384;
        frame.push_back(ms & 0x7F);
        frame.push_back((ms >> 7) & 0x7F);
    }
    frame.push_back(FRAME_END);
    return frame;
}

static std::string Trim(const std::string &s)
{
    size_t begin = s.find_first_not_of(" \t\r");
    if (begin == std::string::npos)
        return "";
    return s.substr(begin, s.find_last_not_of(" \t\r") - begin + 1);
}

static bool ParsePause(const std::string &line, ScenarioStep *step)
{
    std::istringstream in(line);
    std::string word, extra;
    long ms = -1;
    if (!(in >> word >> ms) || word != "pause" || ms < 0 || ms > 3600000 || (in >> extra))
        return false;
    step->pauseMs = (unsigned)ms;
    return true;
}

static bool ParseHexBytes(const std::string &line, ScenarioStep *step)
{
    std::istringstream in(line);
    std::string word;
    while (in >> word) {
        if (word.size() != 2 || !std::isxdigit((unsigned char)word[0]) ||
            !std::isxdigit((unsigned char)word[1]))
            return false;
        step->bytes.push_back((uint8_t)std::stoul(word, nullptr, 16));
    }
    return !step->bytes.empty();
}

bool ParseScenario(const std::string &text, std::vector<ScenarioStep> *steps, std::string *error)
{
    std::istringstream in(text);
    std::string raw;
    for (unsigned number = 1; std::getline(in, raw); number++) {
        std::string line = Trim(raw.substr(0, raw.find('#')));
        if (line.empty())
            continue;
        ScenarioStep step;
        step.unplug = line == "unplug";
        if (!step.unplug && !ParsePause(line, &step) && !ParseHexBytes(line, &step)) {
            *error = "line " + std::to_string(number) +
                     ": expected hex bytes such as \"80 08 10 8F\", \"pause MS\" or \"unplug\", "
                     "found \"" +
                     line + "\"";
            return false;
        }
        steps->push_back(step);
    }
    if (steps->empty()) {
        *error = "the scenario holds no frame and no pause";
        return false;
    }
    return true;
}

namespace
{

// Masks of one glove.
const uint8_t LITTLE = 0x01, RING = 0x02, MIDDLE = 0x04, INDEX = 0x08, THUMB = 0x10;

// Touches of the demonstration, played in turn; each is followed by a release.
const std::vector<std::vector<Group>> DemoTouches = {
    // left index on right thumb
    {{INDEX, THUMB}},
    // left thumb on left index
    {{THUMB | INDEX, 0}},
    // right thumb on right middle; left ring on right ring
    {{0, THUMB | MIDDLE}, {RING, RING}},
    // left index on right index; left middle on right middle; left little on right little
    {{INDEX, INDEX}, {MIDDLE, MIDDLE}, {LITTLE, LITTLE}},
    // left thumb on right thumb; left index on left middle; right ring on right little;
    // left ring on right middle
    {{THUMB, THUMB}, {INDEX | MIDDLE, 0}, {0, RING | LITTLE}, {RING, MIDDLE}},
    // left little, left ring, left middle and left index each in a group of its own;
    // left thumb on right ring and right little
    {{LITTLE, 0}, {RING, 0}, {MIDDLE, 0}, {INDEX, 0}, {THUMB, LITTLE | RING}},
    // left index on left ground and right ground
    {{GROUND | INDEX, GROUND}},
};

const unsigned DemoHoldMs = 700;
const unsigned DemoReleaseMs = 250;

} // namespace

DemoStep DemoPattern(unsigned index)
{
    unsigned touch = (index / 2) % DemoTouches.size();
    if (index % 2)
        return DemoStep{{}, DemoReleaseMs};
    return DemoStep{DemoTouches[touch], DemoHoldMs};
}

std::vector<Group> StressGroups(uint32_t counter, std::mt19937 *random)
{
    const uint8_t fingers = ALL_CONTACTS & ~GROUND;
    std::vector<Group> groups;
    for (unsigned shift = 0; shift < 20; shift += 10)
        groups.push_back({(uint8_t)((counter >> shift) & fingers),
                          (uint8_t)((counter >> (shift + 5)) & fingers)});
    unsigned more = (*random)() % 4;
    for (unsigned i = 0; i < more; i++)
        groups.push_back(
            {(uint8_t)((*random)() & ALL_CONTACTS), (uint8_t)((*random)() & ALL_CONTACTS)});
    return groups;
}

std::vector<Group> ShortStressGroups(uint32_t counter)
{
    const uint8_t fingers = ALL_CONTACTS & ~GROUND;
    return {{(uint8_t)(counter & fingers), (uint8_t)((counter >> 5) & fingers)}};
}

double LineSeconds(size_t bytes, unsigned baud)
{
    return bytes * 11.0 / baud;
}

std::string HexText(const Frame &frame)
{
    std::string text;
    char piece[4];
    for (size_t i = 0; i < frame.size(); i++) {
        std::snprintf(piece, sizeof piece, i ? " %02X" : "%02X", frame[i]);
        text += piece;
    }
    return text;
}
