#include "sim_unplug.h"

#include "sim_line.h"

#include <cstdio>
#include <thread>

namespace
{

// Sleeps for the given seconds, or forever with a negative time, unless stopped.
void Wait(double seconds, volatile int *stop)
{
    Clock::time_point end = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                               std::chrono::duration<double>(seconds));
    while (!*stop && (seconds < 0 || Clock::now() < end))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// How long the box waits for the program to read what it sent before it goes
// away or ends: a busy machine's program may not poll for a second or two.
const unsigned DRAIN_MS = 5000;

} // namespace

bool UnplugDue(const Sim &sim)
{
    bool timeUp =
        sim.started && !sim.unplugged && sim.options.unplugAfter > 0 &&
        Clock::now() - sim.start >= std::chrono::duration<double>(sim.options.unplugAfter);
    return timeUp || sim.unplugStep;
}

bool Unplug(Sim &sim, volatile int *stop)
{
    static const Frame cut = {0x80, 0x08};
    std::this_thread::sleep_until(sim.lineFree);
    if (!WriteLine(cut.data(), cut.size()))
        return false;
    Record(sim, "cut", HexText(cut));
    // The bytes take a moment to reach the far side of a pty, where DrainLine
    // would otherwise find nothing waiting and let them be discarded.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    DrainLine(DRAIN_MS);
    Record(sim, "unplugged", "");
    CloseLine();
    sim.unplugged = true;
    sim.unplugStep = false;
    Wait(sim.options.backAfter, stop);
    if (*stop)
        return true;
    std::string where, error;
    if (!OpenLine(sim.options.line, &where, &error)) {
        std::fprintf(stderr, "glovebox-sim: %s\n", error.c_str());
        return false;
    }
    std::printf("glovebox-sim: back on %s\n", where.c_str());
    std::fflush(stdout);
    Record(sim, "plugged", "");
    sim.lineFree = sim.nextFrame = Clock::now();
    return true;
}

void DrainAtEnd(Sim &sim)
{
    std::this_thread::sleep_until(sim.lineFree);
    Record(sim, "end", "of the stream");
    DrainLine(DRAIN_MS);
    Record(sim, "drained", "by the program");
}
