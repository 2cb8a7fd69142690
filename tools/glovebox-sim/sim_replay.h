// The simulator's reader of what the program saves: a session log, or a
// recording with times, turned back into the frames that make the program log
// the same lines again, with the times and events of a recording.
#ifndef GLOVEBOX_SIM_REPLAY_H
#define GLOVEBOX_SIM_REPLAY_H

#include "sim_core.h"

#include <cstdint>
#include <string>
#include <vector>

// One row of a saved log or recording: a frame to send, or an event that a
// recording with times noted.
struct ReplayRow {
    Frame frame;           // empty for an event
    std::string event;     // an event's text, after "# "
    bool timed = false;    // the row has a time
    int64_t utcMs = 0;     // its time: milliseconds since 1970-01-01 00:00 UTC
    int offsetMinutes = 0; // of its local time from UTC
    std::string time;      // as the file writes it
};

// Reads a saved session log or a recording, told apart by the header
// "time<TAB>line" and CR LF that a recording with times starts with.
//
// A log holds the receive log's lines, each ending in CR LF, "80 08 10 8F"
// for a contact report and "82 "text" 8F" for a text reply. A line of 64
// bytes that does not end in 8F comes from a longer frame cut there. A text
// reply's zero bytes show as \0, as does a backslash before a '0': \0 is read
// as a zero byte, but in a cut line as many as make it 64 bytes long are read
// as a backslash and a '0'. Its text may hold CR LF, so its line runs on to
// the first closing quote, hex byte and CR LF after which the rest of the log
// still reads.
//
// A recording with times holds rows of a time, a tab and a line, the line
// with a tab after each CR LF within it. The time is empty or local time with
// its offset, 2026-12-09T02:13:07.412+01:00; rows with an empty time come
// before every other. A line that starts with "# " is an event.
//
// Returns the rows that make the program log the same lines again: each
// frame as logged, a cut one with an end byte after it. A last line or row
// that the end of the file cuts short, as a crash leaves a recording, is left
// out, and tornBytes says how long it is. On an error returns false and says
// which line of the file is no logged frame or row.
bool ParseReplay(const std::string &file, std::vector<ReplayRow> *rows, size_t *tornBytes,
                 std::string *error);

// When each row is due in a replay as recorded: milliseconds after the first
// timed line, each gap between rows in real time divided by `speed`, none
// below zero (a clock put back); -1 for the rows before that line.
std::vector<double> RecordedSchedule(const std::vector<ReplayRow> &rows, double speed);

#endif
