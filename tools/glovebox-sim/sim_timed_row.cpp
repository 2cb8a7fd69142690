#include "sim_timed_row.h"

#include <cstdint>

namespace
{

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

} // namespace

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
