// The port's states, as the window shows them (docs/SERIAL-PORT.md has more):
//
//   open     the commands are usable and the port is polled every 100 ms;
//   lost     a poll found that the port no longer works: the handle is closed
//            and the window looks as it does with no port, log and picture
//            kept as they are;
//   waiting  the same PortNumber is tried once a second, quietly, for as long
//            as the window is open, and half a second after a device arrives;
//   reopened the port opened again: it is asked for its signature, the mode
//            boxes go back to unknown, and it is open once more.
//
// A port the user picks from the system menu ends the waiting, whether or
// not it opens.
#include "app/port_watch.h"

#include "app/globals.h"
#include "app/line_stats.h"
#include "app/receivers.h"
#include "app/record_log.h"
#include "display/receive_log.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"
#include "serial/serial_port.h"

// An adapter plugged back in may refuse to open for a moment after Windows
// announces it, so the first try waits a little; a try that fails is simply
// repeated at the next tick.
static const UINT REOPEN_PERIOD_MS = 1000;
static const UINT ARRIVAL_SETTLE_MS = 500;

// Whether a lost port is being waited for.
static BOOL WaitingForPort;

// Controls 13 to 18 follow each other in the template, so walking the window
// order from the first reaches them all; the picture and the log come before.
static void EnableCommands(HWND dialog, BOOL enable)
{
    for (HWND control = GetDlgItem(dialog, IDC_QUERY_LEFT); control;
         control = GetWindow(control, GW_HWNDNEXT))
        EnableWindow(control, enable);
}

void KeepSystemAwake(BOOL awake)
{
    SetThreadExecutionState(awake ? ES_CONTINUOUS | ES_SYSTEM_REQUIRED : ES_CONTINUOUS);
}

// Lines that the log's pacing holds back wait for a later poll; with no port
// none comes, so they go in now.
void FollowPortState(HWND dialog)
{
    EnableCommands(dialog, PortHandle != NULL);
    KeepSystemAwake(PortHandle != NULL);
    WaitingForPort = FALSE;
    KillTimer(dialog, TIMER_REOPEN);
    if (PortHandle) {
        SetTimer(dialog, TIMER_POLL, POLL_PERIOD_MS, NULL);
    } else {
        KillTimer(dialog, TIMER_POLL);
        FlushLog();
    }
}

// A frame the device was sending when it went is dropped: its end will not
// come, and the bytes of the reopened port must start frames of their own.
// The receivers hear of the loss once the port is closed, as no port is open
// after it.
void LosePort(HWND dialog)
{
    CloseHandle(PortHandle);
    PortHandle = NULL;
    TellPortEvent(PORT_LOST);
    DropFrame();
    FollowPortState(dialog);
    WaitingForPort = TRUE;
    SetTimer(dialog, TIMER_REOPEN, REOPEN_PERIOD_MS, NULL);
}

// The bytes of a poll that found the port gone were fed all the same, so
// they count.
void WatchPort(HWND dialog)
{
    PollResult poll;
    BOOL working = PollPort(&poll);
    CountPoll(poll);
    RecordLineErrors(poll.errors);
    if (!working)
        LosePort(dialog);
}

// A box that was unplugged may have restarted with other modes, so the boxes
// learn them again from its data.
void TryReopenPort(HWND dialog)
{
    SetTimer(dialog, TIMER_REOPEN, REOPEN_PERIOD_MS, NULL);
    if (!OpenPort())
        return;
    TellPortEvent(PORT_BACK);
    SendCommand(CMD_QUERY_SIGNATURE);
    CheckDlgButton(dialog, IDC_TIMESTAMPS, BST_INDETERMINATE);
    CheckDlgButton(dialog, IDC_GROUND, BST_INDETERMINATE);
    FollowPortState(dialog);
}

void ReopenSoon(HWND dialog)
{
    if (WaitingForPort)
        SetTimer(dialog, TIMER_REOPEN, ARRIVAL_SETTLE_MS, NULL);
}
