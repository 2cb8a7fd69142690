// The simulator's command line: what it sends, on which line, and for how long.
#ifndef GLOVEBOX_SIM_OPTIONS_H
#define GLOVEBOX_SIM_OPTIONS_H

#include "sim_core.h"
#include "sim_line.h"

#include <string>

enum Mode { MODE_DEMO, MODE_SCENARIO, MODE_REPLAY, MODE_STRESS };

struct Options {
    Mode mode = MODE_DEMO;
    std::string scenarioPath;
    std::string replayPath;
    unsigned gapMs = 0; // between replayed frames
    bool asRecorded = false;
    double speed = 1; // the recorded time between lines is divided by it
    bool loop = false;
    unsigned seed = 1;
    bool shortReports = false; // --stress sends only the shortest reports
    LineOptions line;
    unsigned baud = 9600; // 0: unpaced
    SimModes modes;
    std::string transcriptPath;
    double seconds = 0; // 0: until stopped
    unsigned long frames = 0;
    std::string startOn;             // a command that starts the reports, or empty
    double unplugAfter = 0;          // 0: stays connected
    double backAfter = -1;           // after unplugging; -1: stays away
    const char *signature = nullptr; // the reply to CP instead of the box's own
};

// Reads the options; on an error prints it with the usage and returns false.
// --help prints the usage and ends the program.
bool ParseOptions(int argc, char **argv, Options *o);

#endif
