// Receive state machine and report decoder. Bytes arrive one at a time; the
// only resynchronisation is the end byte, so a start byte inside an open frame
// is ordinary payload and anything outside a frame but a start byte is dropped.
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "display/log_line.h"
#include "res/resource.h"

ContactPicture ContactState;
uint8_t FrameBuffer[FRAME_CAPACITY];
uint32_t FrameLength;
uint8_t ReceivedByte;
FrameDropCounts FrameDrops;

// Bytes of the open frame that were past its capacity; the first of them
// makes the frame a cut one.
static uint32_t FrameOverflow;

static bool IsStartByte(uint8_t c)
{
    return c == FRAME_CONTACTS || c == FRAME_CONTACTS_TIMED || c == FRAME_TEXT;
}

// Past the capacity bytes are consumed but not stored; the end byte still
// closes the frame, which then ends in its 64th stored byte.
static void CountPastCut(void)
{
    if (FrameOverflow++ == 0)
        FrameDrops.CutFrames++;
    FrameDrops.BytesPastCut++;
}

FrameByte TakeFrameByte(uint8_t *frame, uint32_t *length, uint8_t c)
{
    if (*length == 0 && !IsStartByte(c))
        return BYTE_OUTSIDE;
    if (*length >= FRAME_CAPACITY)
        return BYTE_PAST_CUT;
    frame[(*length)++] = c;
    return BYTE_KEPT;
}

void FeedByte(uint8_t c)
{
    FrameByte taken = TakeFrameByte(FrameBuffer, &FrameLength, c);
    if (taken == BYTE_OUTSIDE)
        FrameDrops.BytesOutsideFrames++;
    else if (taken == BYTE_PAST_CUT)
        CountPastCut();
    if (ClosesFrame(taken, c)) {
        ProcessFrame();
        FrameLength = 0;
        FrameOverflow = 0;
    }
}

void DropFrame(void)
{
    FrameLength = 0;
    FrameOverflow = 0;
}

// The box learns the mode from the first report after it became indeterminate;
// once set, by a report or by the user, no report changes it.
static void SettleModeBox(int controlId, int state)
{
    if (GetModeBox(controlId) == BOX_INDETERMINATE)
        SetModeBox(controlId, state);
}

// A timed report with fewer than two payload bytes carries no timestamp,
// and no pair either.
static bool HoldsTimestamp(const uint8_t *b, unsigned n)
{
    return b[0] == FRAME_CONTACTS_TIMED && n >= 4;
}

// Takes the timestamp from the two bytes before the end byte.
static void TakeTimestamp(const uint8_t *b, unsigned n)
{
    ContactState.TimestampMs = b[n - 3] | ((uint32_t)b[n - 2] << TIMESTAMP_HIGH_SHIFT);
    StartTimestampTimer();
}

// Keeps the first MAX_GROUPS pairs as groups and returns the OR of the masks
// of every pair, so that ground evidence beyond the fifth group still counts.
static uint8_t TakeGroups(const uint8_t *b, unsigned pairs)
{
    uint8_t acc = 0;
    ContactState.GroupCount = (uint8_t)(pairs < MAX_GROUPS ? pairs : MAX_GROUPS);
    for (unsigned k = 0; k < pairs; k++) {
        uint8_t left = b[2 * k + 1];
        uint8_t right = b[2 * k + 2];
        if (k < MAX_GROUPS)
            ContactState.Groups[k] = (uint16_t)((right << 8) | left);
        acc |= left | right;
    }
    return acc;
}

// Returns whether the report carried the box's clock.
static bool DecodeContactReport(const uint8_t *b, unsigned n)
{
    SettleModeBox(IDC_TIMESTAMPS, b[0] == FRAME_CONTACTS_TIMED ? BOX_CHECKED : BOX_UNCHECKED);
    unsigned pairs = (n - 2) >> 1;
    bool timed = HoldsTimestamp(b, n);
    ContactState.TimestampMs = 0;
    if (timed)
        TakeTimestamp(b, n);
    if (b[0] == FRAME_CONTACTS_TIMED)
        pairs = timed ? pairs - 1 : 0;
    if (TakeGroups(b, pairs) & CONTACT_GROUND)
        SettleModeBox(IDC_GROUND, BOX_CHECKED);
    RefreshDisplay();
    return timed;
}

void ProcessFrame(void)
{
    char line[LOG_LINE_SIZE];
    DecodedFrame frame = {FrameBuffer[0], nullptr, false, line, 0, FrameBuffer, FrameLength};
    frame.length = FormatLogLine(line, FrameBuffer, FrameLength);
    if (frame.start != FRAME_TEXT) {
        frame.timed = DecodeContactReport(FrameBuffer, FrameLength);
        frame.contacts = &ContactState;
    }
    AppendLog(frame);
}
