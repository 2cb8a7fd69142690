#include "tests/core/window_recorder.h"

#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"

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

void AppendLog(const char *line)
{
    Recorded.log.push_back(line);
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
