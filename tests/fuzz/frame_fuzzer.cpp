// Feeds arbitrary byte streams through the frame assembler, the report
// decoder and the log-line builder, and stops at the first broken invariant:
// at most 64 bytes stored per frame, at most five groups, no log line longer
// than its buffer, text replies never touching the contact state, one log
// line for every frame that ends, and every byte either stored in a frame or
// counted once as dropped, outside a frame or past a cut frame's capacity.
// The contact check follows every frame, its PC clock stepping by up to some
// 18 s a frame so that both of its clocks serve, and keeps its books: each
// ended make is a hold but the one found at the start, its pair sets agree
// with its counts, and its report and verdict, against the plan of the first
// half of the stream, fit their buffers. So does each change of the
// contacts' trace.
#include "display/check_report.h"
#include "display/contact_trace.h"
#include "display/log_line.h"
#include "protocol/contact_check.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static unsigned LinesLogged;
static uint32_t PcMs;
static int Boxes[2];

static void Check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "broken invariant: %s\n", what);
        std::abort();
    }
}

static int &Box(int controlId)
{
    return Boxes[controlId & 1];
}

int GetModeBox(int controlId)
{
    return Box(controlId);
}

void SetModeBox(int controlId, int state)
{
    Check(state == BOX_CHECKED || state == BOX_UNCHECKED, "a box set to indeterminate");
    Box(controlId) = state;
}

void StartTimestampTimer(void) {}

void RefreshDisplay(void) {}

void AppendLog(const DecodedFrame &frame)
{
    const char *line = frame.line;
    size_t length = std::strlen(line);
    Check(length == frame.length, "a line length other than the line's");
    Check((frame.contacts != NULL) == (frame.start != FRAME_TEXT), "contacts of a text reply");
    Check(length < LOG_LINE_SIZE, "a log line longer than its buffer");
    Check(length >= 7 && line[length - 2] == '\r' && line[length - 1] == '\n',
          "a log line without its line break");
    LinesLogged++;
    PcMs += frame.length * 97;
    CheckContacts(frame, PcMs);
    static char change[TRACE_CHANGE_SIZE];
    Check(TraceFrame(change, frame, PcMs) <= sizeof change, "a trace change past its buffer");
}

// Each pair's counts, and the sets the verdict is worked out from, agree.
static void CheckPairBooks(void)
{
    const ContactCheckState &check = ContactCheck;
    for (unsigned i = 0; i < CHECK_PAIRS; i++) {
        const PairRecord &pair = check.pairs[i];
        bool madeNow = HasPairAt(check.madeNow, i);
        uint32_t ended = pair.makes - (madeNow ? 1 : 0);
        Check(pair.holds == ended - (pair.heldAtStart && ended ? 1 : 0), "a hold miscounted");
        Check(pair.bounces <= pair.holds + pair.makes - (pair.makes > 0),
              "more bounces than makes and breaks");
        Check(!pair.holds || pair.shortestMs <= pair.longestMs, "shortest over longest");
        Check(HasPairAt(check.made, i) == (pair.makes > 0), "a made pair not in the set");
        Check(HasPairAt(check.bounced, i) == (pair.bounces > 0), "a bounce not in the set");
        Check(HasPairAt(check.heldSinceStart, i) ==
                  (pair.heldAtStart && pair.makes == 1 && madeNow),
              "a pair held since the start not in the set");
    }
    static char report[CHECK_REPORT_SIZE], verdict[CHECK_VERDICT_SIZE];
    Check(FormatCheckReport(report, sizeof report, check) < sizeof report - 1,
          "a report cut short");
    Check(FormatVerdict(verdict, sizeof verdict, check) < sizeof verdict - 1,
          "a verdict cut short");
}

static uint32_t PastCutInFrame;

// The byte just fed was stored, or counted as dropped, exactly once; a frame
// is counted as cut at its first byte past the capacity.
static void CheckDropCounts(uint32_t lengthBefore, const FrameDropCounts &before, bool closes)
{
    const uint64_t outside = FrameDrops.BytesOutsideFrames - before.BytesOutsideFrames;
    const uint64_t pastCut = FrameDrops.BytesPastCut - before.BytesPastCut;
    const bool stored = closes ? lengthBefore < FRAME_CAPACITY : FrameLength == lengthBefore + 1;
    Check(outside + pastCut + (stored ? 1 : 0) == 1, "a byte neither stored nor counted once");
    Check(outside == 0 || lengthBefore == 0, "a byte of an open frame counted as outside");
    Check(FrameDrops.CutFrames - before.CutFrames == (pastCut && PastCutInFrame == 0 ? 1u : 0u),
          "a cut frame not counted once");
    PastCutInFrame = closes ? 0 : PastCutInFrame + (uint32_t)pastCut;
}

static void FeedOne(uint8_t c)
{
    const bool closes = FrameLength > 0 && c == FRAME_END;
    const ContactPicture before = ContactState;
    const unsigned linesBefore = LinesLogged;
    const uint32_t lengthBefore = FrameLength;
    const FrameDropCounts dropsBefore = FrameDrops;

    FeedByte(c);
    CheckDropCounts(lengthBefore, dropsBefore, closes);

    Check(FrameLength <= FRAME_CAPACITY, "more than 64 bytes stored");
    Check(ContactState.GroupCount <= MAX_GROUPS, "more than five groups");
    Check(LinesLogged == linesBefore + (closes ? 1 : 0), "not one log line per frame");
    if (closes && FrameBuffer[0] == FRAME_TEXT)
        Check(std::memcmp(&before, &ContactState, sizeof before) == 0,
              "a text reply changed the contact state");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    DropFrame();
    PastCutInFrame = 0;
    ContactState = ContactPicture{};
    Boxes[0] = Boxes[1] = BOX_INDETERMINATE;
    ContactCheck = ContactCheckState{};
    for (size_t i = 0; i < size; i++) {
        FeedOne(data[i]);
        if (i == size / 2) { // the first half's pairs are the plan of the second
            TakeCheckAsPlan();
            ResetContactCheck();
        }
    }
    CheckPairBooks();
    return 0;
}
