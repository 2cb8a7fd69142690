// Counting is a few additions per poll and per frame, so it runs whether or
// not anyone looks; the rates are taken over whole seconds by the poll that
// ends one, or by the statistics dialog when no poll comes.
#include "app/line_stats.h"

LineStatistics LineStats;

// The CE_ bit of each line error, in LineError order.
static const DWORD LineErrorBits[LINE_ERROR_KINDS] = {
    CE_OVERRUN, CE_RXOVER, CE_FRAME, CE_RXPARITY, CE_BREAK,
};

static const char *const LineErrorNames[LINE_ERROR_KINDS] = {
    "overrun", "receive queue overflow", "framing error", "parity error", "break",
};

static const DWORD SECOND_MS = 1000;

// Where the current second began: its tick and the counts then.
static DWORD SecondStartTick;
static uint64_t SecondStartBytes;
static uint64_t SecondStartFrames;

static uint64_t Frames(void)
{
    return LineStats.reports + LineStats.textReplies;
}

static void StartSecond(DWORD now)
{
    SecondStartTick = now;
    SecondStartBytes = LineStats.bytes;
    SecondStartFrames = Frames();
}

void ResetLineStatistics(void)
{
    LineStats = LineStatistics{};
    FrameDrops = FrameDropCounts{};
    GetLocalTime(&LineStats.since);
    StartSecond(GetTickCount());
}

void RollLineSecond(void)
{
    DWORD now = GetTickCount();
    DWORD elapsed = now - SecondStartTick;
    if (elapsed < SECOND_MS)
        return;
    LineStats.bytesPerSecond = (DWORD)((LineStats.bytes - SecondStartBytes) * SECOND_MS / elapsed);
    LineStats.framesPerSecond = (DWORD)((Frames() - SecondStartFrames) * SECOND_MS / elapsed);
    StartSecond(now);
}

// One poll notes an error kind once, however often the driver saw it since
// the last poll: ClearCommError reports which kinds occurred, not how often.
void CountPoll(const PollResult &poll)
{
    LineStats.bytes += poll.bytes;
    if (poll.errors) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        for (int kind = 0; kind < LINE_ERROR_KINDS; kind++) {
            if (poll.errors & LineErrorBits[kind]) {
                LineStats.errors[kind].count++;
                LineStats.errors[kind].last = now;
            }
        }
    }
    RollLineSecond();
}

void CountFrame(const DecodedFrame &frame)
{
    switch (frame.start) {
    case FRAME_CONTACTS_TIMED:
        LineStats.timedReports++;
        [[fallthrough]];
    case FRAME_CONTACTS:
        LineStats.reports++;
        break;
    case FRAME_TEXT:
        LineStats.textReplies++;
        break;
    }
}

void CountPortEvent(const PortEvent &event)
{
    switch (event.kind) {
    case PORT_OPENED:
    case PORT_PICKED:
        ResetLineStatistics();
        break;
    case PORT_LOST:
        LineStats.portLost++;
        break;
    case PORT_BACK:
    case PORT_FOUND_AGAIN:
        LineStats.portBack++;
        break;
    }
}

void NameLineErrors(char *text, DWORD errors)
{
    *text = '\0';
    for (int kind = 0; kind < LINE_ERROR_KINDS; kind++) {
        if (!(errors & LineErrorBits[kind]))
            continue;
        if (*text)
            lstrcatA(text, ", ");
        lstrcatA(text, LineErrorNames[kind]);
    }
}
