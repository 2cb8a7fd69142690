// The replay reader's reading of a row of a recording with times.
#ifndef GLOVEBOX_SIM_TIMED_ROW_H
#define GLOVEBOX_SIM_TIMED_ROW_H

#include "sim_logged_frame.h"

#include <cstddef>
#include <string>
#include <vector>

// The readings of the row of a recording with times that starts at `at`: an
// empty time or a time, a tab, then an event or a logged frame.
std::vector<Reading> ReadTimedRow(const std::string &file, size_t at, const char **fault);

#endif
