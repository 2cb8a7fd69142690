// The replay reader's reading of one frame as the receive log shows it, which
// a session log's lines and a recording's rows share.
#ifndef GLOVEBOX_SIM_LOGGED_FRAME_H
#define GLOVEBOX_SIM_LOGGED_FRAME_H

#include "sim_replay.h"

#include <cstddef>
#include <string>
#include <vector>

// One way to read a line or row: the frame as the receiver stored it, or the
// event, with the row's time; and where it ends, just past the CR LF.
struct Reading {
    ReplayRow row;
    size_t end;
};

bool HasAt(const std::string &text, size_t at, const char *word);

// Why a text reply has no reading when the log ends before it could.
extern const char TextCutByTheEnd[];

// The readings of the line that starts at `at`, shortest first; with none,
// says why. In a row of a recording with times, each CR LF of a text reply is
// followed by a tab that is not the text's.
std::vector<Reading> ReadLoggedFrame(const std::string &log, size_t at, bool inRow,
                                     const char **fault);

#endif
