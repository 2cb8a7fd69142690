// The simulator at work: its state, what it sends and when, and the loop that
// answers commands and sends reports until the run ends.
#ifndef GLOVEBOX_SIM_RUN_H
#define GLOVEBOX_SIM_RUN_H

#include "sim_core.h"
#include "sim_options.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <fstream>
#include <random>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

// Everything the simulator does while it runs.
struct Sim {
    Options options;
    std::vector<ScenarioStep> scenario;
    size_t nextStep = 0;
    unsigned demoIndex = 0;
    uint32_t stressCounter = 0;
    std::mt19937 random;
    CommandReader reader;
    std::deque<Frame> replies;
    Clock::time_point start;
    Clock::time_point lineFree;      // when the line has carried what was sent
    Clock::time_point nextFrame;     // when the next report or scenario frame is due
    Clock::time_point recordedStart; // when a replay as recorded sent its first timed line
    bool recordedStarted = false;
    unsigned long framesSent = 0;
    bool finished = false;   // a scenario without --loop has run out
    bool started = false;    // reports are being sent
    bool unplugged = false;  // the box has gone away once
    bool unplugStep = false; // the scenario has reached an "unplug" line
    std::ofstream transcript;
};

// Notes what happened in the transcript, if there is one, with the
// milliseconds since the run began.
void Record(Sim &sim, const char *what, const std::string &text);

// Reports and the run's time begin now.
void Start(Sim &sim);

// Answers commands and sends until stopped or the run is over; returns the
// exit status, 1 when the line has gone or cannot be opened again.
int Run(Sim &sim, volatile int *stop);

#endif
