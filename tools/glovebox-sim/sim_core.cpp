#include "sim_core.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

namespace
{

const uint8_t START_CONTACTS = 0x80;
const uint8_t START_TIMED = 0x81;
const uint8_t START_TEXT = 0x82;
const uint8_t END = 0x8F;
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
    frame.front() = START_TEXT;
    std::copy(text.begin(), text.end(), frame.begin() + 1);
    frame.back() = END;
    return frame;
}

Frame ContactFrame(const std::vector<Group> &groups, const SimModes &modes, uint32_t clockMs)
{
    const uint8_t keep = modes.ground ? ALL_CONTACTS : (uint8_t)(ALL_CONTACTS & ~GROUND);
    Frame frame = {modes.timestamps ? START_TIMED : START_CONTACTS};
    for (const Group &g : groups) {
        frame.push_back(g.left & keep);
        frame.push_back(g.right & keep);
    }
    if (modes.timestamps) {
        uint32_t ms = clockMs % 16384;
        frame.push_back(ms & 0x7F);
        frame.push_back((ms >> 7) & 0x7F);
    }
    frame.push_back(END);
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
        if (!ParsePause(line, &step) && !ParseHexBytes(line, &step)) {
            *error = "line " + std::to_string(number) +
                     ": expected hex bytes such as \"80 08 10 8F\" or \"pause MS\", found \"" +
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

// The receiver keeps at most this many bytes of a frame, start and end byte included.
const size_t STORED_MAX = 64;

// One way to read the frame of a logged line: the frame as the receiver
// stored it, and where its line ends, just past the CR LF.
struct Reading {
    Frame frame;
    size_t end;
};

bool HasAt(const std::string &text, size_t at, const char *word)
{
    size_t n = std::strlen(word);
    return at <= text.size() && text.size() - at >= n && text.compare(at, n, word) == 0;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Two upper-case hex digits, as the log shows a byte.
bool ReadHexByte(const std::string &text, size_t at, uint8_t *value)
{
    if (at > text.size() || text.size() - at < 2)
        return false;
    int high = HexDigit(text[at]), low = HexDigit(text[at + 1]);
    if (high < 0 || low < 0)
        return false;
    *value = (uint8_t)(high << 4 | low);
    return true;
}

// Why the bytes cannot be a frame that the receiver stored, or nullptr when
// they can: the end byte ends a frame wherever it comes, and a frame that
// does not end in it was cut at 64 bytes.
const char *StoredFrameFault(const Frame &frame)
{
    for (size_t i = 1; i + 1 < frame.size(); i++)
        if (frame[i] == END)
            return "8F before the last byte";
    if (frame.back() != END && frame.size() != STORED_MAX)
        return "a last byte other than 8F, which only a line of 64 bytes has";
    return nullptr;
}

// "80 08 10 8F" and CR LF: upper-case hex bytes with one space between them.
const char *ReadHexLine(const std::string &log, size_t at, std::vector<Reading> *readings)
{
    const char *malformed = "expected upper-case hex bytes with one space between them, then CR LF";
    Frame frame;
    uint8_t byte;
    for (;;) {
        if (!ReadHexByte(log, at, &byte))
            return malformed;
        frame.push_back(byte);
        if (frame.size() > STORED_MAX)
            return "more than 64 bytes";
        at += 2;
        if (HasAt(log, at, "\r\n"))
            break;
        if (!HasAt(log, at, " "))
            return malformed;
        at++;
    }
    const char *fault = StoredFrameFault(frame);
    if (!fault)
        readings->push_back({frame, at + 2});
    return fault;
}

// The log shows a zero byte and a backslash before a '0' alike, as \0. The
// payload holds a zero byte for each; a frame cut at 64 bytes takes as many
// of them as a backslash and a '0' as make it that long.
Frame TextReplyFrame(const Frame &payload, uint8_t last)
{
    size_t widen = 0;
    if (last != END && payload.size() < STORED_MAX - 2)
        widen = STORED_MAX - 2 - payload.size();
    Frame frame = {START_TEXT};
    for (uint8_t c : payload) {
        if (c == 0 && widen > 0) {
            frame.push_back('\\');
            widen--;
            c = '0';
        }
        frame.push_back(c);
    }
    frame.push_back(last);
    return frame;
}

// Why a text reply has no reading when the log ends before it could.
const char TextCutByTheEnd[] = "a text reply that the end of the log cuts short";

// "82 "text" 8F" and CR LF. The text holds the payload bytes as they are, a
// zero byte as \0, and may hold quotes, CR and LF: every closing quote, hex
// byte and CR LF within 64 bytes that ends a frame is a reading.
const char *ReadTextLine(const std::string &log, size_t at, std::vector<Reading> *readings)
{
    const char *fault =
        "a text reply without its closing quote, end byte and CR LF within 64 bytes";
    Frame payload;
    at += 4; // 82 "
    while (payload.size() <= STORED_MAX - 2) {
        uint8_t last;
        if (HasAt(log, at, "\" ") && ReadHexByte(log, at + 2, &last) &&
            HasAt(log, at + 4, "\r\n")) {
            Frame whole = TextReplyFrame(payload, last);
            if (const char *notStored = StoredFrameFault(whole))
                fault = notStored;
            else
                readings->push_back({whole, at + 6});
        }
        if (at == log.size()) {
            fault = TextCutByTheEnd;
            break;
        }
        if (log[at] == '\0' || (uint8_t)log[at] == END) {
            fault = "a zero byte or 8F as it is in a text reply";
            break;
        }
        bool zero = HasAt(log, at, "\\0");
        payload.push_back(zero ? 0 : (uint8_t)log[at]);
        at += zero ? 2 : 1;
    }
    return readings->empty() ? fault : nullptr;
}

// The readings of the line that starts at `at`, shortest first; with none,
// says why.
std::vector<Reading> ReadLoggedFrame(const std::string &log, size_t at, const char **fault)
{
    std::vector<Reading> readings;
    if (HasAt(log, at, "80 ") || HasAt(log, at, "81 "))
        *fault = ReadHexLine(log, at, &readings);
    else if (HasAt(log, at, "82 \""))
        *fault = ReadTextLine(log, at, &readings);
    else
        *fault = "expected a logged frame: 80 or 81 and hex bytes, or 82 and quoted text";
    return readings;
}

bool IsLineStart(const std::string &log, size_t at)
{
    return at == 0 || (at >= 2 && log.compare(at - 2, 2, "\r\n") == 0);
}

// A line with no reading that the end of the log cuts short, as a crash may
// leave the last line of a recording: the log does not end in a line break,
// and either none follows the line, whatever it holds, or it is a text reply
// that runs into the end.
bool IsTornLine(const std::string &log, size_t at, const char *fault)
{
    if (log.empty() || log.back() == '\n')
        return false;
    return fault == TextCutByTheEnd || log.find('\n', at) == std::string::npos;
}

} // namespace

bool ParseReplay(const std::string &log, std::vector<Frame> *frames, size_t *tornBytes,
                 std::string *error)
{
    // A text reply may hold what looks like its line's end, so a line can have
    // several readings. Going backwards first marks the line starts from which
    // the rest of the log reads to its end, or to a torn last line.
    std::vector<bool> readsToEnd(log.size() + 1, false);
    readsToEnd[log.size()] = true;
    const char *fault = nullptr;
    for (size_t at = log.size(); at-- > 0;) {
        if (!IsLineStart(log, at))
            continue;
        std::vector<Reading> readings = ReadLoggedFrame(log, at, &fault);
        readsToEnd[at] = readings.empty() && IsTornLine(log, at, fault);
        for (const Reading &reading : readings)
            if (readsToEnd[reading.end])
                readsToEnd[at] = true;
    }
    // Then forwards, taking the shortest reading that reads to the end. Where
    // none does, the shortest leads on to the line that has no reading.
    *tornBytes = 0;
    for (size_t at = 0; at < log.size();) {
        std::vector<Reading> readings = ReadLoggedFrame(log, at, &fault);
        if (readings.empty() && IsTornLine(log, at, fault)) {
            *tornBytes = log.size() - at;
            break;
        }
        if (readings.empty()) {
            long line = 1 + std::count(log.begin(), log.begin() + at, '\n');
            *error = "line " + std::to_string(line) + ": " + fault;
            return false;
        }
        const Reading *chosen = &readings.front();
        for (const Reading &reading : readings)
            if (readsToEnd[reading.end]) {
                chosen = &reading;
                break;
            }
        frames->push_back(chosen->frame);
        if (frames->back().back() != END)
            frames->back().push_back(END);
        at = chosen->end;
    }
    if (frames->empty()) {
        *error = "the log holds no frame";
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
