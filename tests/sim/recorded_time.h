// A time read from a recording, written back as the program writes it, with
// its own row writer: the tests compare it with the text it was read from,
// so that reading a time is shown to lose nothing.
#ifndef GLOVEBOX_SIM_RECORDED_TIME_H
#define GLOVEBOX_SIM_RECORDED_TIME_H

#include "display/timed_row.h"
#include "sim_replay.h"

#include <cstdlib>
#include <string>

// The date of a day counted from 1970-01-01, in the proleptic Gregorian
// calendar: the reader's count of days from a date, the other way round.
inline void CivilFromDays(int64_t days, int64_t *year, unsigned *month, unsigned *day)
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

// The row's time from its UTC and offset, as a recording writes it.
inline std::string RecordedTimeText(const ReplayRow &row)
{
    const int64_t dayMs = 86400000;
    int64_t local = row.utcMs + (int64_t)row.offsetMinutes * 60000;
    int64_t days = (local >= 0 ? local : local - dayMs + 1) / dayMs, year;
    unsigned month, day, ms = (unsigned)(local - days * dayMs);
    CivilFromDays(days, &year, &month, &day);
    RowTime time = {(uint16_t)year,
                    (uint16_t)month,
                    (uint16_t)day,
                    (uint16_t)(ms / 3600000),
                    (uint16_t)(ms / 60000 % 60),
                    (uint16_t)(ms / 1000 % 60),
                    (uint16_t)(ms % 1000),
                    (int16_t)row.offsetMinutes};
    char text[ROW_TIME_SIZE];
    FormatRowTime(text, time);
    return text;
}

#endif
