#include "sim_load.h"

#include "sim_replay.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace
{

bool ReadFile(const std::string &path, const char *what, std::string *text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "glovebox-sim: cannot read %s %s\n", what, path.c_str());
        return false;
    }
    std::stringstream content;
    content << in.rdbuf();
    *text = content.str();
    return true;
}

} // namespace

bool LoadScenario(const std::string &path, std::vector<ScenarioStep> *steps)
{
    std::string text, error;
    if (!ReadFile(path, "scenario", &text))
        return false;
    if (!ParseScenario(text, steps, &error)) {
        std::fprintf(stderr, "glovebox-sim: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool LoadReplay(const Options &o, std::vector<ScenarioStep> *steps)
{
    const char *path = o.replayPath.c_str();
    std::string text, error;
    std::vector<ReplayRow> rows;
    size_t torn = 0;
    if (!ReadFile(path, "log", &text))
        return false;
    if (!ParseReplay(text, &rows, &torn, &error)) {
        std::fprintf(stderr, "glovebox-sim: %s: %s\n", path, error.c_str());
        return false;
    }
    if (torn)
        std::fprintf(stderr, "glovebox-sim: %s: the last line is cut short: %lu bytes left out\n",
                     path, (unsigned long)torn);
    std::vector<double> due = RecordedSchedule(rows, o.speed);
    if (o.asRecorded &&
        std::none_of(rows.begin(), rows.end(), [](const ReplayRow &row) { return row.timed; }))
        std::fprintf(stderr, "glovebox-sim: %s has no times: its frames go at the line rate\n",
                     path);
    ScenarioStep gap;
    gap.pauseMs = o.gapMs;
    for (size_t i = 0; i < rows.size(); i++) {
        const ReplayRow &row = rows[i];
        if (!row.event.empty() && !o.asRecorded)
            continue; // events are never sent, and printed only as recorded
        ScenarioStep step;
        step.bytes = row.frame;
        step.atMs = o.asRecorded ? due[i] : -1;
        if (!row.event.empty())
            step.note = row.time + "\t# " + row.event;
        steps->push_back(step);
        if (o.gapMs)
            steps->push_back(gap);
    }
    return true;
}
