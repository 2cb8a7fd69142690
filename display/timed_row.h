// The rows of a recording with times: tab-separated text that a spreadsheet
// opens as two columns, the time a line came and the line as the log shows it.
#ifndef TACTIVIEW_TIMED_ROW_H
#define TACTIVIEW_TIMED_ROW_H

#include "display/log_line.h"

#include <stdint.h>

// The first row, which names the columns.
constexpr char ROW_HEADER[] = "time\tline\r\n";

// A local date and time to the millisecond, with its offset from UTC.
struct RowTime {
    uint16_t year, month, day;
    uint16_t hour, minute, second, milliseconds;
    int16_t offsetMinutes; // local time minus UTC
};

// "2026-12-09T02:13:07.412+01:00" and its terminator.
constexpr unsigned ROW_TIME_SIZE = 30;

// Writes the time into text, which holds ROW_TIME_SIZE characters, and
// returns its length.
unsigned FormatRowTime(char *text, const RowTime &time);

// Reads a time as FormatRowTime writes it from the length characters at
// text, each field in its range, into milliseconds since 1970 in UTC; false
// when the text is no such time.
bool ReadRowTime(const char *text, unsigned length, int64_t *utcMs);

// The most a row takes: a time, a tab, the longest log line, and a tab after
// each CR LF of a text reply's own.
constexpr unsigned ROW_SIZE = ROW_TIME_SIZE + LOG_LINE_SIZE + FRAME_CAPACITY / 2;

// Writes the row of `text` into row and returns its length: the time (an
// empty one for lines that came before anyone took their time), a tab, then
// the text with a tab after each CR LF within it, so that what follows a text
// reply's own CR LF stays in the line column and a reader can tell it from
// the next row. Text of several lines so makes a row for each, all with the
// one time; an empty text makes none. For one log line or event, row holds
// ROW_SIZE characters; otherwise RowLength tells how many it needs.
unsigned FormatRow(char *row, const char *time, const char *text, unsigned length);

unsigned RowLength(unsigned timeLength, const char *text, unsigned length);

// An event's line, such as "# port COM5 lost" and its CR LF, which a row
// takes as its text: the longest is the recording's start.
constexpr unsigned EVENT_SIZE = 128;

// Writes the event's line into line, which holds EVENT_SIZE characters, its
// text cut to fit, and returns its length.
unsigned FormatEvent(char *line, const char *text);

#endif
