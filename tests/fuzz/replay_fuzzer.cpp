// Reads arbitrary bytes as a saved session log or recording and replays every
// one it accepts through the program's own receiver and row writer, which
// must write the same bytes again, but for a torn last line. The other way
// round, the bytes taken as a stream from the box give a log that the program
// writes, and a recording with times of it: each must be accepted whole and
// replay as itself.
#include "display/timed_row.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "recorded_time.h"
#include "sim_replay.h"

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string Logged;
static std::vector<std::string> LoggedLines;

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
    LoggedLines.emplace_back(frame.line, frame.length);
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
    LoggedLines.clear();
    for (uint8_t c : stream)
        FeedByte(c);
    return Logged;
}

static std::string Row(const std::string &time, const std::string &text)
{
    std::string row(RowLength((unsigned)time.size(), text.data(), (unsigned)text.size()), '\0');
    FormatRow(&row[0], time.c_str(), text.data(), (unsigned)text.size());
    return row;
}

// The file that the rows were read from, as the program writes it.
static std::string FileOf(const std::vector<ReplayRow> &rows, bool withTimes)
{
    std::string file = withTimes ? ROW_HEADER : "";
    for (const ReplayRow &row : rows) {
        std::string line = row.frame.empty() ? "# " + row.event + "\r\n" : LogOf(row.frame);
        file += withTimes ? Row(row.timed ? RecordedTimeText(row) : "", line) : line;
    }
    return file;
}

// A time of any day from 2000 to 2099, in any offset from -14:00 to +14:00.
static std::string TimeOf(const uint8_t *data, size_t size, size_t at)
{
    auto byte = [&](size_t i) { return data[(at + i) % size]; };
    RowTime time = {(uint16_t)(2000 + byte(0) % 100), (uint16_t)(1 + byte(1) % 12),
                    (uint16_t)(1 + byte(2) % 28),     (uint16_t)(byte(3) % 24),
                    (uint16_t)(byte(4) % 60),         (uint16_t)(byte(5) % 60),
                    (uint16_t)(byte(6) * 7 % 1000),   (int16_t)((byte(7) % 57 - 28) * 30)};
    char text[ROW_TIME_SIZE];
    FormatRowTime(text, time);
    return text;
}

// The lines logged, recorded with times: the first third as the log stood
// when the recording began, then an event and the rest, each at its time.
static std::string RecordingOf(const std::vector<std::string> &lines, const uint8_t *data,
                               size_t size)
{
    std::string file = ROW_HEADER, stood;
    size_t before = lines.size() / 3;
    for (size_t i = 0; i < before; i++)
        stood += lines[i];
    file += Row("", stood) + Row(TimeOf(data, size, 0), "# recording started\r\n");
    for (size_t i = before; i < lines.size(); i++)
        file += Row(TimeOf(data, size, i), lines[i]);
    return file;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(data, data + size);
    const bool withTimes = input.compare(0, sizeof ROW_HEADER - 1, ROW_HEADER) == 0;
    std::vector<ReplayRow> rows;
    std::string error;
    size_t torn = 0;
    if (ParseReplay(input, &rows, &torn, &error))
        Check(FileOf(rows, withTimes) == input.substr(0, size - torn),
              "an accepted file replays as another", "");

    const std::string written = LogOf(Frame(data, data + size));
    if (written.empty())
        return 0;
    const std::string recorded = RecordingOf(LoggedLines, data, size);
    for (const std::string *file : {&written, &recorded}) {
        rows.clear();
        Check(ParseReplay(*file, &rows, &torn, &error) && torn == 0,
              "a file that the program writes is refused:", error);
        Check(FileOf(rows, file == &recorded) == *file,
              "a file that the program writes replays as another", "");
    }
    return 0;
}
