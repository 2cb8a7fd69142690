#include "sim_replay.h"

#include "display/timed_row.h"
#include "protocol/glove_protocol.h"

#include <algorithm>
#include <cstring>

namespace
{

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
        if (frame[i] == FRAME_END)
            return "8F before the last byte";
    if (frame.back() != FRAME_END && frame.size() != FRAME_CAPACITY)
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
        if (frame.size() > FRAME_CAPACITY)
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
    if (last != FRAME_END && payload.size() < FRAME_CAPACITY - 2)
        widen = FRAME_CAPACITY - 2 - payload.size();
    Frame frame = {FRAME_TEXT};
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
    while (payload.size() <= FRAME_CAPACITY - 2) {
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
        if (log[at] == '\0' || (uint8_t)log[at] == FRAME_END) {
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
    row->time = text.substr(at, TIME_LENGTH);
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
        reading.row.time = row.time;
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

// The first pass, backwards. A text reply may hold what looks like its line's
// end, so a line can have several readings: this marks the line starts from
// which the rest of the file reads to its end, or to a torn last line.
std::vector<bool> MarkReadsToEnd(const std::string &file, size_t begin, bool withTimes)
{
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
    return readsToEnd;
}

// The shortest reading that reads to the end. Where none does, the shortest,
// which leads on to the line that has no reading.
const Reading &ChooseReading(const std::string &file, const std::vector<Reading> &readings,
                             const std::vector<bool> &readsToEnd)
{
    for (const Reading &reading : readings)
        if (ReadsOn(file, reading, readsToEnd))
            return reading;
    return readings.front();
}

std::string LineError(const std::string &file, size_t at, const char *fault)
{
    long line = 1 + std::count(file.begin(), file.begin() + at, '\n');
    return "line " + std::to_string(line) + ": " + fault;
}

// The second pass, forwards: takes the chosen reading of each line, a cut
// frame with an end byte after it, up to a torn last line.
bool TakeRows(const std::string &file, size_t begin, bool withTimes,
              const std::vector<bool> &readsToEnd, std::vector<ReplayRow> *rows, size_t *tornBytes,
              std::string *error)
{
    bool timedSeen = false;
    const char *fault = nullptr;
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
            *error = LineError(file, at, fault);
            return false;
        }
        const Reading &chosen = ChooseReading(file, readings, readsToEnd);
        rows->push_back(chosen.row);
        Frame &frame = rows->back().frame;
        if (!frame.empty() && frame.back() != FRAME_END)
            frame.push_back(FRAME_END);
        timedSeen = timedSeen || chosen.row.timed;
        at = chosen.end;
    }
    return true;
}

} // namespace

bool ParseReplay(const std::string &file, std::vector<ReplayRow> *rows, size_t *tornBytes,
                 std::string *error)
{
    const bool withTimes = HasAt(file, 0, ROW_HEADER);
    const size_t begin = withTimes ? sizeof ROW_HEADER - 1 : 0;
    const size_t first = rows->size();
    *tornBytes = 0;
    if (!TakeRows(file, begin, withTimes, MarkReadsToEnd(file, begin, withTimes), rows, tornBytes,
                  error))
        return false;
    if (std::all_of(rows->begin() + first, rows->end(),
                    [](const ReplayRow &row) { return row.frame.empty(); })) {
        *error = "the log holds no frame";
        return false;
    }
    return true;
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
