#include "sim_run.h"

#include "sim_line.h"
#include "sim_unplug.h"

#include <cstdio>
#include <cstring>

namespace
{

uint32_t ElapsedMs(const Sim &sim)
{
    return (uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - sim.start)
        .count();
}

} // namespace

void Record(Sim &sim, const char *what, const std::string &text)
{
    if (sim.transcript.is_open())
        sim.transcript << ElapsedMs(sim) << ' ' << what << ' ' << text << '\n' << std::flush;
}

void Start(Sim &sim)
{
    sim.started = true;
    sim.start = sim.lineFree = sim.nextFrame = Clock::now();
}

namespace
{

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

} // namespace

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
    if (!*stop)
        DrainAtEnd(sim);
    return 0;
}
