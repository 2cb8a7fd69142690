// Every update of the edit control scrolls and repaints it, which costs about
// as much for a batch of lines as for one, so a box at full line rate would
// outrun a control updated once per frame. CollectLogLine therefore collects the
// lines of the completed frames, and they reach the control together.
//
// How often they do is paced by what the last update cost. Under Wine each
// update costs time in proportion to the lines the control holds: moving the
// caret to the end, inserting there and repainting the last lines each walk
// the control's list of lines from the first. A log of 64 MB of the shortest
// reports takes most of a second per update, so updated after every poll it
// would take all the time there is and fall further behind with every tick.
// After an update the log therefore lets as many polls pass as keep its share
// of the time near one part in UPDATE_COST_FACTOR + 1; an update cheaper than
// a poll period / UPDATE_COST_FACTOR (every small log) still follows each poll.
// The cost that counts is the smaller of the last two: an update slowed once
// by something else (the control moving its text to a larger block, another
// program taking the processor) does not hold back the ones after it, while a
// log that has grown dear stays dear from one update to the next.
#include "display/receive_log.h"

#include <string.h>

// Time between updates as a multiple of the last update's cost, and the most
// polls that may pass without one: a frame waits at most about 8 s plus one
// update before it shows.
static const DWORD UPDATE_COST_FACTOR = 6;
static const DWORD MAX_POLLS_SKIPPED = 80;

// Lines waiting for the next update. At full line rate the log grows by about
// 2.6 KB a second, so this holds the lines of the longest wait more than
// twice over. Should it fill all the same, the lines so far go in early.
static char PendingLines[65536];
static unsigned PendingLength;

static HWND LogControl;
static UINT PollPeriodMs;
static LogFullHandler OnLogFull;

// Polls still to pass before the next update, and what the last update cost.
static DWORD PollsToSkip;
static DWORD LastUpdateMs;

// Set once the control has refused text: it could not grow its buffer. New
// lines are then left out of it until "Clear log" empties it, rather than
// having it try and fail again on every update, and the user is told once.
static BOOL LogFull;

// A limit of 0 means the largest the control allows.
void AttachLog(HWND control, UINT pollPeriodMs, LogFullHandler onFull)
{
    LogControl = control;
    PollPeriodMs = pollPeriodMs;
    OnLogFull = onFull;
    SendMessageA(control, EM_SETLIMITTEXT, 0, 0);
}

// New text always goes at the end. A caret that was at the very end follows
// the new text; any other caret or selection the user made is put back.
// The end is found by moving the caret past it, where the control stops it,
// rather than by asking for the text's length: that counts the whole text
// again on every update, a quarter of an update's cost in a 4 MB log.
// Returns FALSE when the control refused the text, which leaves the caret
// where it was put.
static BOOL AddToControl(HWND log, const char *text)
{
    DWORD start = 0, end = 0, length = 0, after = 0;
    SendMessageA(log, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    SendMessageA(log, EM_SETSEL, MAXINT, MAXINT);
    SendMessageA(log, EM_GETSEL, (WPARAM)&length, 0);
    SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)text);
    SendMessageA(log, EM_GETSEL, (WPARAM)&after, 0);
    if (length != start || start != end)
        SendMessageA(log, EM_SETSEL, start, end);
    return after != length;
}

void CollectLogLine(const DecodedFrame &frame)
{
    if (PendingLength + frame.length >= sizeof PendingLines)
        FlushLog();
    memcpy(PendingLines + PendingLength, frame.line, frame.length + 1);
    PendingLength += frame.length;
}

// The repaint that the update causes is done here, so that its cost, the
// larger part under Wine, counts towards the wait before the next update.
void FlushLog(void)
{
    if (PendingLength == 0)
        return;
    DWORD started = GetTickCount();
    if (!LogFull && !AddToControl(LogControl, PendingLines)) {
        LogFull = TRUE;
        OnLogFull();
    }
    UpdateWindow(LogControl);
    PendingLength = 0;
    DWORD cost = GetTickCount() - started;
    DWORD polls = (cost < LastUpdateMs ? cost : LastUpdateMs) * UPDATE_COST_FACTOR / PollPeriodMs;
    PollsToSkip = polls < MAX_POLLS_SKIPPED ? polls : MAX_POLLS_SKIPPED;
    LastUpdateMs = cost;
}

void UpdateLog(void)
{
    if (PollsToSkip > 0)
        PollsToSkip--;
    else
        FlushLog();
}

// Lines still waiting have not been shown yet, so they stay and start the
// emptied log, which is cheap to update again at once and has room again.
void ClearLog(void)
{
    SetWindowTextA(LogControl, "");
    PollsToSkip = 0;
    LogFull = FALSE;
}
