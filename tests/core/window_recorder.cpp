#include "tests/core/window_recorder.h"

#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

WindowRecord Recorded;

static int &Box(int controlId)
{
    if (controlId == IDC_TIMESTAMPS)
        return Recorded.timestampBox;
    if (controlId == IDC_GROUND)
        return Recorded.groundBox;
    throw std::invalid_argument("not a mode box: " + std::to_string(controlId));
}

int GetModeBox(int controlId)
{
    return Box(controlId);
}

void SetModeBox(int controlId, int state)
{
    Box(controlId) = state;
    Recorded.effects.push_back("box");
}

void StartTimestampTimer(void)
{
    Recorded.timerStarts++;
    Recorded.effects.push_back("timer");
}

void RefreshDisplay(void)
{
    Recorded.refreshes++;
    Recorded.effects.push_back("refresh");
}

static std::string Describe(const DecodedFrame &frame)
{
    char text[64];
    int n = std::snprintf(text, sizeof text, "%02X", frame.start);
    if (frame.timed)
        n += std::snprintf(text + n, sizeof text - n, " at %u ms", frame.contacts->TimestampMs);
    if (frame.contacts)
        std::snprintf(text + n, sizeof text - n, ", %u group%s", frame.contacts->GroupCount,
                      frame.contacts->GroupCount == 1 ? "" : "s");
    return text;
}

void AppendLog(const DecodedFrame &frame)
{
    Recorded.log.push_back(std::string(frame.line, frame.length));
    Recorded.frames.push_back(Describe(frame));
    Recorded.effects.push_back("log");
}

void ResetCore()
{
    DropFrame();
    FrameDrops = FrameDropCounts{};
    std::memset(FrameBuffer, 0, sizeof FrameBuffer);
    ContactState = ContactPicture{};
    Recorded = WindowRecord{};
    Recorded.timestampBox = BOX_INDETERMINATE;
    Recorded.groundBox = BOX_INDETERMINATE;
}

void Feed(std::initializer_list<int> bytes)
{
    for (int b : bytes)
        FeedByte((uint8_t)b);
}

void Feed(const std::vector<int> &bytes)
{
    for (int b : bytes)
        FeedByte((uint8_t)b);
}
