// glovebox-sim: behaves as a glove box on a serial line, so that tactiview
// can be run, seen and tested without the hardware.
#include "sim_line.h"
#include "sim_load.h"
#include "sim_options.h"
#include "sim_run.h"

#include <cstdio>

int main(int argc, char **argv)
{
    static Sim sim;
    if (!ParseOptions(argc, argv, &sim.options))
        return 2;
    if (sim.options.mode == MODE_SCENARIO && !LoadScenario(sim.options.scenarioPath, &sim.scenario))
        return 2;
    if (sim.options.mode == MODE_REPLAY && !LoadReplay(sim.options, &sim.scenario))
        return 2;
    if (!sim.options.transcriptPath.empty()) {
        sim.transcript.open(sim.options.transcriptPath, std::ios::trunc);
        if (!sim.transcript) {
            std::fprintf(stderr, "glovebox-sim: cannot write transcript %s\n",
                         sim.options.transcriptPath.c_str());
            return 2;
        }
    }
    sim.random.seed(sim.options.seed);

    static volatile int stop = 0;
    CatchStopSignals(&stop);
    std::string where, error;
    if (!OpenLine(sim.options.line, &where, &error)) {
        std::fprintf(stderr, "glovebox-sim: %s\n", error.c_str());
        return 1;
    }
    std::printf("glovebox-sim: ready on %s\n", where.c_str());
    std::fflush(stdout);
    sim.start = sim.lineFree = sim.nextFrame = Clock::now();
    if (sim.options.startOn.empty())
        Start(sim);
    int status = Run(sim, &stop);
    CloseLine();
    std::printf("glovebox-sim: %lu frames sent\n", sim.framesSent);
    return status;
}
