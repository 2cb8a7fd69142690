#include "sim_core.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
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

// One way to read a line or row: the frame as the receiver stored it, or the
// event, with the row's time; and where it ends, just past the CR LF.
struct Reading {
    ReplayRow row;
    size_t end;
};

ReplayRow FrameRow(const Frame &frame)
{
    ReplayRow row;
    row.frame = frame;
    return row;
}

// The first row of a recording with times.
const char RowHeader[] = "time\tline\r\n";

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
        readings->push_back({FrameRow(frame), at + 2});
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
// byte and CR LF within 64 bytes that ends a frame is a reading. In a row of
// a recording with times, each CR LF of the text is followed by a tab that is
// not the text's.
const char *ReadTextLine(const std::string &log, size_t at, bool inRow,
                         std::vector<Reading> *readings)
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
                readings->push_back({FrameRow(whole), at + 6});
        }
        if (at == log.size()) {
            fault = TextCutByTheEnd;
            break;
        }
        if (log[at] == '\0' || (uint8_t)log[at] == END) {
            fault = "a zero byte or 8F as it is in a text reply";
            break;
        }
        if (inRow && HasAt(log, at, "\r\n")) {
            if (!HasAt(log, at + 2, "\t"))
                break;
            payload.insert(payload.end(), {'\r', '\n'});
            at += 3;
            continue;
        }
        bool zero = HasAt(log, at, "\\0");
        payload.push_back(zero ? 0 : (uint8_t)log[at]);
        at += zero ? 2 : 1;
    }
    return readings->empty() ? fault : nullptr;
}

// The readings of the line that starts at `at`, shortest first; with none,
// says why.
std::vector<Reading> ReadLoggedFrame(const std::string &log, size_t at, bool inRow,
                                     const char **fault)
{
    std::vector<Reading> readings;
    if (HasAt(log, at, "80 ") || HasAt(log, at, "81 "))
        *fault = ReadHexLine(log, at, &readings);
    else if (HasAt(log, at, "82 \""))
        *fault = ReadTextLine(log, at, inRow, &readings);
    else
        *fault = "expected a logged frame: 80 or 81 and hex bytes, or 82 and quoted text";
    return readings;
}

unsigned Digits(const std::string &text, size_t at, size_t count)
{
    unsigned value = 0;
    for (size_t i = 0; i < count; i++)
        value = value * 10 + (unsigned)(text[at + i] - '0');
    return value;
}

bool IsLeapYear(unsigned year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month)
{
    static const unsigned Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return Days[month - 1] + (month == 2 && IsLeapYear(year));
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yearOfEra = (unsigned)(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + (int64_t)dayOfEra - 719468;
}

// The date of a day counted from 1970-01-01.
void CivilFromDays(int64_t days, int64_t *year, unsigned *month, unsigned *day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned dayOfEra = (unsigned)(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned shifted = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * shifted + 2) / 5 + 1;
    *month = shifted < 10 ? shifted + 3 : shifted - 9;
    *year = (int64_t)yearOfEra + era * 400 + (*month <= 2);
}

// Where a row's time is written: 2026-12-09T02:13:07.412+01:00.
const char TimePattern[] = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd";
const size_t TIME_LENGTH = sizeof TimePattern - 1;

// A time as a recording writes it: each field of its width and in its range,
// and no offset of -00:00, which is written +00:00.
bool ReadRecordedTime(const std::string &text, size_t at, ReplayRow *row)
{
    if (text.size() - at < TIME_LENGTH)
        return false;
    for (size_t i = 0; i < TIME_LENGTH; i++) {
        char c = text[at + i], p = TimePattern[i];
        bool fits = p == 'd' ? c >= '0' && c <= '9' : p == '+' ? c == '+' || c == '-' : c == p;
        if (!fits)
            return false;
    }
    unsigned year = Digits(text, at, 4), month = Digits(text, at + 5, 2),
             day = Digits(text, at + 8, 2), hour = Digits(text, at + 11, 2),
             minute = Digits(text, at + 14, 2), second = Digits(text, at + 17, 2),
             ms = Digits(text, at + 20, 3), offset = Digits(text, at + 24, 2) * 60;
    unsigned offsetMinute = Digits(text, at + 27, 2);
    bool negative = text[at + 23] == '-';
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59 || offset > 23 * 60 || offsetMinute > 59 ||
        (negative && offset + offsetMinute == 0))
        return false;
    row->timed = true;
    row->offsetMinutes = (int)(offset + offsetMinute) * (negative ? -1 : 1);
    int64_t localMinutes = (DaysFromCivil(year, month, day) * 24 + hour) * 60 + minute;
    row->utcMs = ((localMinutes - row->offsetMinutes) * 60 + second) * 1000 + ms;
    return true;
}

// "# port COM5 lost" and CR LF, after a time.
const char *ReadEvent(const std::string &file, size_t at, ReplayRow row,
                      std::vector<Reading> *readings)
{
    size_t end = file.find("\r\n", at);
    if (end == std::string::npos)
        return "an event without its CR LF";
    row.event = file.substr(at + 2, end - at - 2);
    if (row.event.find_first_of("\r\n") != std::string::npos)
        return "an event with a line break in it";
    readings->push_back({row, end + 2});
    return nullptr;
}

// The readings of the row of a recording with times that starts at `at`: an
// empty time or a time, a tab, then an event or a logged frame.
std::vector<Reading> ReadTimedRow(const std::string &file, size_t at, const char **fault)
{
    ReplayRow row;
    std::vector<Reading> readings;
    if (HasAt(file, at, "\t")) {
        at++;
    } else if (ReadRecordedTime(file, at, &row) && HasAt(file, at + TIME_LENGTH, "\t")) {
        at += TIME_LENGTH + 1;
    } else {
        *fault = "expected a row: a time such as 2026-12-09T02:13:07.412+01:00 or none, then a tab";
        return readings;
    }
    if (HasAt(file, at, "# ")) {
        *fault = row.timed ? ReadEvent(file, at, row, &readings) : "an event without a time";
        return readings;
    }
    readings = ReadLoggedFrame(file, at, true, fault);
    for (Reading &reading : readings) {
        reading.row.timed = row.timed;
        reading.row.utcMs = row.utcMs;
        reading.row.offsetMinutes = row.offsetMinutes;
    }
    return readings;
}

// The readings of the line or row at `at`.
std::vector<Reading> ReadRow(const std::string &file, size_t at, bool withTimes, const char **fault)
{
    return withTimes ? ReadTimedRow(file, at, fault) : ReadLoggedFrame(file, at, false, fault);
}

bool IsLineStart(const std::string &log, size_t begin, size_t at)
{
    return at == begin || (at >= begin + 2 && log.compare(at - 2, 2, "\r\n") == 0);
}

// Whether the rest of the file reads on from the reading: rows with an empty
// time come only before every timed one.
bool ReadsOn(const std::string &file, const Reading &reading, const std::vector<bool> &readsToEnd)
{
    bool untimedNext = reading.end < file.size() && file[reading.end] == '\t';
    return readsToEnd[reading.end] && !(reading.row.timed && untimedNext);
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

bool ParseReplay(const std::string &file, std::vector<ReplayRow> *rows, size_t *tornBytes,
                 std::string *error)
{
    const bool withTimes = HasAt(file, 0, RowHeader);
    const size_t begin = withTimes ? sizeof RowHeader - 1 : 0;
    // A text reply may hold what looks like its line's end, so a line can have
    // several readings. Going backwards first marks the line starts from which
    // the rest of the file reads to its end, or to a torn last line.
    std::vector<bool> readsToEnd(file.size() + 1, false);
    readsToEnd[file.size()] = true;
    const char *fault = nullptr;
    for (size_t at = file.size(); at-- > begin;) {
        if (!IsLineStart(file, begin, at))
            continue;
        std::vector<Reading> readings = ReadRow(file, at, withTimes, &fault);
        readsToEnd[at] = readings.empty() && IsTornLine(file, at, fault);
        for (const Reading &reading : readings)
            if (ReadsOn(file, reading, readsToEnd))
                readsToEnd[at] = true;
    }
    // Then forwards, taking the shortest reading that reads to the end. Where
    // none does, the shortest leads on to the line that has no reading.
    *tornBytes = 0;
    bool timedSeen = false, frameSeen = false;
    for (size_t at = begin; at < file.size();) {
        std::vector<Reading> readings = ReadRow(file, at, withTimes, &fault);
        if (readings.empty() && IsTornLine(file, at, fault)) {
            *tornBytes = file.size() - at;
            break;
        }
        if (!readings.empty() && timedSeen && !readings.front().row.timed) {
            readings.clear();
            fault = "a row without a time after rows with one";
        }
        if (readings.empty()) {
            long line = 1 + std::count(file.begin(), file.begin() + at, '\n');
            *error = "line " + std::to_string(line) + ": " + fault;
            return false;
        }
        const Reading *chosen = &readings.front();
        for (const Reading &reading : readings)
            if (ReadsOn(file, reading, readsToEnd)) {
                chosen = &reading;
                break;
            }
        rows->push_back(chosen->row);
        Frame &frame = rows->back().frame;
        if (!frame.empty() && frame.back() != END)
            frame.push_back(END);
        timedSeen = timedSeen || chosen->row.timed;
        frameSeen = frameSeen || !frame.empty();
        at = chosen->end;
    }
    if (!frameSeen) {
        *error = "the log holds no frame";
        return false;
    }
    return true;
}

std::string RecordedTimeText(const ReplayRow &row)
{
    const int64_t dayMs = 86400000;
    int64_t local = row.utcMs + (int64_t)row.offsetMinutes * 60000;
    int64_t days = (local >= 0 ? local : local - dayMs + 1) / dayMs, year;
    unsigned month, day, ms = (unsigned)(local - days * dayMs);
    CivilFromDays(days, &year, &month, &day);
    unsigned offset = (unsigned)std::abs(row.offsetMinutes);
    char text[96]; // room for any values, though a time takes 29 characters
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02u:%02u:%02u.%03u%c%02u:%02u",
                  (long long)year, month, day, ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                  ms % 1000, row.offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::vector<double> RecordedSchedule(const std::vector<ReplayRow> &rows, double speed)
{
    std::vector<double> due(rows.size(), -1);
    size_t first = 0;
    while (first < rows.size() && !(rows[first].timed && !rows[first].frame.empty()))
        first++;
    for (size_t i = first; i < rows.size(); i++) {
        int64_t gap = i == first ? 0 : rows[i].utcMs - rows[i - 1].utcMs;
        due[i] = (i == first ? 0 : due[i - 1]) + (double)std::max<int64_t>(gap, 0) / speed;
    }
    return due;
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
