// glovebox-sim: behaves as a glove box on a serial line, so that tactiview
// can be run, seen and tested without the hardware.
#include "sim_core.h"
#include "sim_line.h"
#include "sim_load.h"
#include "sim_options.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <thread>

namespace
{

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

uint32_t ElapsedMs(const Sim &sim)
{
    return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sim.start)
        .count();
}

void Record(Sim &sim, const char *what, const std::string &text)
{
    if (sim.transcript.is_open())
        sim.transcript << ElapsedMs(sim) << ' ' << what << ' ' << text << '\n' << std::flush;
}

// An event of a replay as recorded is printed, and noted in the transcript,
// when the replay reaches its time.
void PassEvent(Sim &sim, const std::string &note)
{
    std::printf("%s\n", note.c_str());
    std::fflush(stdout);
    Record(sim, "passed", note);
}

// Whether the next step of a replay as recorded waits for its time after the
// first timed line; it then sets when the next frame is due.
bool AwaitsRecordedTime(Sim &sim, Clock::time_point now)
{
    if (!sim.recordedStarted || sim.nextStep == sim.scenario.size() ||
        sim.scenario[sim.nextStep].atMs < 0)
        return false;
    Clock::time_point due =
        sim.recordedStart +
        std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double, std::milli>(sim.scenario[sim.nextStep].atMs));
    if (now >= due)
        return false;
    sim.nextFrame = due;
    return true;
}

// The next frame of the chosen source, or an empty frame for a pause or an
// event; a pause then sets when the following one is due.
Frame NextFrame(Sim &sim, unsigned *pauseMs)
{
    *pauseMs = 0;
    switch (sim.options.mode) {
    case MODE_SCENARIO:
    case MODE_REPLAY: {
        if (sim.nextStep == sim.scenario.size()) {
            if (!sim.options.loop) {
                sim.finished = true;
                return Frame();
            }
            sim.nextStep = 0;
            sim.recordedStarted = false;
        }
        const ScenarioStep &step = sim.scenario[sim.nextStep++];
        if (step.atMs >= 0 && !sim.recordedStarted) {
            sim.recordedStart = Clock::now();
            sim.recordedStarted = true;
        }
        if (!step.note.empty())
            PassEvent(sim, step.note);
        sim.unplugStep = step.unplug;
        *pauseMs = step.pauseMs;
        return step.bytes;
    }
    case MODE_STRESS: {
        uint32_t counter = sim.stressCounter++;
        std::vector<Group> groups = sim.options.shortReports ? ShortStressGroups(counter)
                                                             : StressGroups(counter, &sim.random);
        return ContactFrame(groups, sim.options.modes, ElapsedMs(sim));
    }
    case MODE_DEMO:
    default: {
        DemoStep step = DemoPattern(sim.demoIndex++);
        *pauseMs = step.holdMs;
        return ContactFrame(step.groups, sim.options.modes, ElapsedMs(sim));
    }
    }
}

bool Send(Sim &sim, const Frame &frame)
{
    if (!WriteLine(frame.data(), frame.size()))
        return false;
    Record(sim, "sent", HexText(frame));
    Clock::time_point now = Clock::now();
    if (sim.lineFree < now)
        sim.lineFree = now;
    if (sim.options.baud)
        sim.lineFree += std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(LineSeconds(frame.size(), sim.options.baud)));
    return true;
}

// Reports and the run's time begin now.
void Start(Sim &sim)
{
    sim.started = true;
    sim.start = sim.lineFree = sim.nextFrame = Clock::now();
}

void TakeReceivedBytes(Sim &sim, const uint8_t *bytes, long count)
{
    char command[3];
    for (long i = 0; i < count; i++) {
        if (!ReadCommand(&sim.reader, bytes[i], command))
            continue;
        if (!sim.started && sim.options.startOn == command)
            Start(sim);
        Record(sim, "received", command);
        Frame reply = AnswerCommand(command, &sim.options.modes);
        const char *signature = sim.options.signature;
        if (signature && std::strcmp(command, "CP") == 0)
            reply = *signature ? TextFrame(signature) : Frame();
        if (!reply.empty())
            sim.replies.push_back(reply);
    }
}

// Sends what is due once the line is free: replies first, then the source's
// next frame. Returns false when the line has gone.
bool SendDue(Sim &sim)
{
    Clock::time_point now = Clock::now();
    if (now < sim.lineFree)
        return true;
    if (!sim.replies.empty()) {
        bool ok = Send(sim, sim.replies.front());
        sim.replies.pop_front();
        return ok;
    }
    if (!sim.started || sim.finished || now < sim.nextFrame || AwaitsRecordedTime(sim, now))
        return true;
    unsigned pauseMs = 0;
    Frame frame = NextFrame(sim, &pauseMs);
    sim.nextFrame = now + std::chrono::milliseconds(pauseMs);
    if (frame.empty())
        return true;
    sim.framesSent++;
    return Send(sim, frame);
}

bool TimeIsUp(const Sim &sim)
{
    if (!sim.started)
        return false;
    if (sim.options.frames && sim.framesSent >= sim.options.frames && sim.replies.empty())
        return true;
    return sim.options.seconds > 0 &&
           Clock::now() - sim.start >= std::chrono::duration<double>(sim.options.seconds);
}

// Milliseconds to wait for commands before something may be due to be sent.
// Before the reports start only a reply can be due.
unsigned WaitMs(const Sim &sim)
{
    Clock::time_point due = sim.lineFree;
    if (sim.replies.empty() && !sim.started)
        return 50;
    if (sim.replies.empty() && sim.nextFrame > due)
        due = sim.nextFrame;
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count();
    return wait <= 0 ? 0 : wait > 50 ? 50 : (unsigned)wait;
}

// --unplug-after's time has come, or a scenario's "unplug" line.
bool UnplugDue(const Sim &sim)
{
    bool timeUp =
        sim.started && !sim.unplugged && sim.options.unplugAfter > 0 &&
        Clock::now() - sim.start >= std::chrono::duration<double>(sim.options.unplugAfter);
    return timeUp || sim.unplugStep;
}

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

// The box goes away as when its cable is pulled mid-frame: the start of a
// report goes out, the program reads it, and the line vanishes. It comes
// back, if it does, on a new line at the same name, with its modes and the
// rest of its stream as they were.
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

int Run(Sim &sim, volatile int *stop)
{
    uint8_t buffer[256];
    while (!*stop && !TimeIsUp(sim)) {
        if (UnplugDue(sim) && !Unplug(sim, stop))
            return 1;
        long n = ReadLine(buffer, sizeof buffer, WaitMs(sim));
        if (n < 0 || !SendDue(sim)) {
            std::fprintf(stderr, "glovebox-sim: the line has gone\n");
            return 1;
        }
        TakeReceivedBytes(sim, buffer, n);
    }
    // A run that ends by itself lets the line carry its last frame and the
    // program read it, as a box that stays connected would.
    if (!*stop) {
        std::this_thread::sleep_until(sim.lineFree);
        Record(sim, "end", "of the stream");
        DrainLine(DRAIN_MS);
        Record(sim, "drained", "by the program");
    }
    return 0;
}

} // namespace

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
