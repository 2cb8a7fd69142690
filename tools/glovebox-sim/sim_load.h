// What the simulator reads before it runs: a scenario, or a saved session log
// or recording to replay, as the steps that it sends. Each loader says on
// stderr what it cannot read, and returns false.
#ifndef GLOVEBOX_SIM_LOAD_H
#define GLOVEBOX_SIM_LOAD_H

#include "sim_core.h"
#include "sim_options.h"

#include <string>
#include <vector>

bool LoadScenario(const std::string &path, std::vector<ScenarioStep> *steps);

// A replay runs as a scenario of the logged frames, each followed by the gap;
// as recorded, each due at its time, with the events to print among them.
bool LoadReplay(const Options &o, std::vector<ScenarioStep> *steps);

#endif
