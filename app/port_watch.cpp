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
// While waiting, a box that ever answered "CP" is also searched for on the
// ports whose arrival is announced (app/search_ports.cpp); found there, it is
// open again on that port. A port the user picks from the system menu ends
// the waiting and the search, whether or not it opens.
#include "app/port_watch.h"

#include "app/search_ports.h"
#include "app/globals.h"
#include "app/line_stats.h"
#include "app/port_dialog.h"
#include "app/receivers.h"
#include "app/record_log.h"
#include "display/receive_log.h"
#include "protocol/box_search.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"
#include "serial/serial_port.h"

#include <dbt.h>

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
    StopSearch(dialog);
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
    BeginSearch();
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

// The poll's lines go to a recording in the poll that brought them, whether
// or not the log's pacing shows them yet.
void PollOnce(HWND dialog)
{
    WatchPort(dialog);
    WriteRecording();
    UpdateLog();
}

// Every top-level window hears of ports that come and go, inside a system
// broadcast that should be answered quickly, so the work is posted or left
// to a timer. Any arrival may be the lost port's, under a name or not.
void FollowDeviceChange(HWND dialog, WPARAM event, LPARAM data)
{
    DWORD port = BroadcastPortNumber((const DEV_BROADCAST_HDR *)data);
    if (event == DBT_DEVICEREMOVECOMPLETE) {
        NoteRemoval(port);
        if (PortHandle)
            PostMessageA(dialog, WM_PORT_REMOVED, port != 0 && port == PortNumber, 0);
    } else if (event == DBT_DEVICEARRIVAL) {
        if (WaitingForPort)
            SetTimer(dialog, TIMER_REOPEN, ARRIVAL_SETTLE_MS, NULL);
        if (port != PortNumber)
            HearArrival(dialog, port);
    }
}

// Some drivers keep the handle of a device that has gone working, so a
// removal that names the open port loses it even when the poll, which first
// takes what the driver still holds, finds nothing wrong. Any other removal
// is answered by the poll alone, which notices whether this port went too.
void OnPortRemoved(HWND dialog, BOOL namedOpenPort)
{
    if (!PortHandle)
        return;
    PollOnce(dialog);
    if (namedOpenPort && PortHandle)
        LosePort(dialog);
}

static BOOL ChoosePort(HWND dialog)
{
    return DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_PORT), dialog, PortDlgProc, 0) == IDOK;
}

// Opens the saved port, or asks for another until one opens or the user
// cancels. The box is asked for its signature as soon as the port is open,
// and the line statistics and the contact check count from then.
void OpenStartupPort(HWND dialog)
{
    for (;;) {
        if (PortNumber != 0 && OpenPort()) {
            SendCommand(CMD_QUERY_SIGNATURE);
            return;
        }
        if (!ChoosePort(dialog))
            return;
    }
}

// The old port is polled until the user confirms a new one. The commands and
// polling then follow the new port, as after start-up, so that a user who had
// cancelled at start-up can still begin; the mode boxes keep what they know.
// A lost port that was being waited for is given up for the one chosen, and
// the line statistics and the contact check start afresh with the new port.
// A search for the box ends first: the port it tries may be the one picked,
// which the search's handle would keep from opening.
void ChangePort(HWND dialog)
{
    if (!ChoosePort(dialog))
        return;
    if (PortHandle)
        CloseHandle(PortHandle);
    PortHandle = NULL;
    StopSearch(dialog);
    OpenPort();
    TellPortEvent(PORT_PICKED);
    SendCommand(CMD_QUERY_SIGNATURE);
    FollowPortState(dialog);
}
