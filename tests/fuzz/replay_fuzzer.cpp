// Reads arbitrary bytes as a saved session log and replays every log it
// accepts through the program's own receiver, which must log the same bytes
// again, but for a torn last line. The other way round, the bytes taken as a
// stream from the box give a log that the program writes: it must be accepted
// whole and replay as itself.
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "sim_core.h"

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string Logged;

int GetModeBox(int)
{
    return BOX_INDETERMINATE;
}

void SetModeBox(int, int) {}

void StartTimestampTimer(void) {}

void RefreshDisplay(void) {}

void AppendLog(const DecodedFrame &frame)
{
    Logged.append(frame.line, frame.length);
}

static void Check(bool ok, const char *what, const std::string &error)
{
    if (!ok) {
        std::fprintf(stderr, "broken invariant: %s %s\n", what, error.c_str());
        std::abort();
    }
}

// What the program logs when it receives the bytes on a line that starts idle.
static std::string LogOf(const Frame &stream)
{
    FrameLength = 0;
    Logged.clear();
    for (uint8_t c : stream)
        FeedByte(c);
    return Logged;
}

static std::string LogOfReplay(const std::vector<Frame> &frames)
{
    Frame stream;
    for (const Frame &frame : frames)
        stream.insert(stream.end(), frame.begin(), frame.end());
    return LogOf(stream);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(data, data + size);
    std::vector<Frame> frames;
    std::string error;
    size_t torn = 0;
    if (ParseReplay(input, &frames, &torn, &error))
        Check(LogOfReplay(frames) == input.substr(0, size - torn),
              "an accepted log replays as another", "");

    const std::string written = LogOf(Frame(data, data + size));
    if (written.empty())
        return 0;
    frames.clear();
    Check(ParseReplay(written, &frames, &torn, &error) && torn == 0,
          "a log that the program writes is refused:", error);
    Check(LogOfReplay(frames) == written, "a log that the program writes replays as another", "");
    return 0;
}
