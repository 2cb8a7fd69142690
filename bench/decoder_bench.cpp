// Decoder throughput on the host: the frame assembler, the report decoder and
// the log-line builder fed a recorded stream byte by byte, with window effects
// that only count; then again with the contact check following every frame,
// as it does in the program, and with a trace of the contacts following them,
// as a recording as traces does. Prints one figure a line:
// NAME<TAB>VALUE<TAB>UNIT.
//
// usage: decoder_bench [SECONDS]   (how long to feed each stream; 2)
#include "display/contact_trace.h"
#include "protocol/contact_check.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"
#include "sim_core.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

// The bytes a second of a line at 9600 baud with 11 bits a byte.
static const double LINE_RATE = 9600.0 / 11.0;

// Window effects that cost next to nothing: the decoder's own work is measured.
static int TimestampBox = BOX_INDETERMINATE;
static int GroundBox = BOX_INDETERMINATE;
static unsigned long Refreshes;
static unsigned long LoggedChars;
// What follows every frame besides the log, and the PC's clock it is given.
enum Follower { NOTHING, CHECK, TRACE };
static Follower Following;
static uint32_t ClockMs;
static char TraceChange[TRACE_CHANGE_SIZE];
static unsigned long TracedChars;

static int &ModeBox(int controlId)
{
    return controlId == IDC_GROUND ? GroundBox : TimestampBox;
}

int GetModeBox(int controlId)
{
    return ModeBox(controlId);
}

void SetModeBox(int controlId, int state)
{
    ModeBox(controlId) = state;
}

void StartTimestampTimer(void) {}

void RefreshDisplay(void)
{
    Refreshes++;
}

void AppendLog(const DecodedFrame &frame)
{
    LoggedChars += frame.length;
    if (Following == CHECK)
        CheckContacts(frame, ClockMs += 5);
    else if (Following == TRACE)
        TracedChars += TraceFrame(TraceChange, frame, ClockMs += 5);
}

// The stream of the simulator's --stress mode, as the soak sends it.
static Frame StressStream(unsigned frames, const SimModes &modes)
{
    std::mt19937 random(1);
    Frame stream;
    for (unsigned i = 0; i < frames; i++) {
        Frame frame = ContactFrame(StressGroups(i, &random), modes, i * 10);
        stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
}

// The shortest report, one group, again and again: the most frames a byte.
static Frame MinimalStream(unsigned frames)
{
    Frame stream;
    for (unsigned i = 0; i < frames; i++)
        stream.insert(stream.end(), {FRAME_CONTACTS, 0x08, 0x10, FRAME_END});
    return stream;
}

// Feeds the stream over and over for about the given time; returns bytes a second.
static double Throughput(const Frame &stream, double seconds)
{
    using Clock = std::chrono::steady_clock;
    Clock::time_point start = Clock::now();
    double elapsed = 0;
    unsigned long long bytes = 0;
    while (elapsed < seconds) {
        for (uint8_t b : stream)
            FeedByte(b);
        bytes += stream.size();
        elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    return bytes / elapsed;
}

static double Report(const char *name, const Frame &stream, double seconds)
{
    double rate = Throughput(stream, seconds);
    std::printf("decoder, %s\t%.3g\tB/s\n", name, rate);
    std::printf("decoder, %s, times the line rate\t%.0f\tx\n", name, rate / LINE_RATE);
    return rate;
}

// What the check or the trace adds to each report: the time per report with
// it, less the time without.
static void ReportFollower(Follower follower, const char *name, const Frame &stream,
                           unsigned frames, double seconds, double without)
{
    Following = follower;
    double with = Throughput(stream, seconds);
    Following = NOTHING;
    double perReport = (1 / with - 1 / without) * stream.size() / frames;
    std::printf("%s, %s, per report\t%.0f\tns\n", follower == CHECK ? "contact check" : "trace",
                name, perReport * 1e9);
}

int main(int argc, char **argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    SimModes timed;
    timed.timestamps = true;
    Frame stress = StressStream(10000, SimModes()), stressTimed = StressStream(10000, timed);
    double stressRate = Report("stress reports", stress, seconds);
    double timedRate = Report("timed stress reports", stressTimed, seconds);
    Report("minimal reports", MinimalStream(10000), seconds);
    for (Follower follower : {CHECK, TRACE}) {
        ReportFollower(follower, "stress reports", stress, 10000, seconds, stressRate);
        ReportFollower(follower, "timed stress reports", stressTimed, 10000, seconds, timedRate);
    }
    // Keeps the counted effects from being optimised away.
    return LoggedChars == 0 || Refreshes == 0 || TracedChars == 0;
}
