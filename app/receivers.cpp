// The tables of who receives frames and port events, and the small adapters
// that fit a receiver to them.
#include "app/receivers.h"

#include "app/check_sounds.h"
#include "app/globals.h"
#include "app/line_stats.h"
#include "app/record_log.h"
#include "display/receive_log.h"
#include "protocol/box_search.h"
#include "protocol/contact_check.h"
#include "protocol/window_effects.h"
#include "res/resource.h"
#include "serial/serial_port.h"

// Where the box's clock cannot serve, the check times reports by the PC's
// clock at the poll that brought them.
static void CheckFrame(const DecodedFrame &frame)
{
    CheckContactsAloud(frame, GetTickCount());
}

// Who receives every frame, in this order: the log control, a recording
// when one runs, the line statistics, the contact check and the keeper of
// the box's signature.
typedef void (*FrameReceiver)(const DecodedFrame &frame);

static const FrameReceiver FrameReceivers[] = {
    CollectLogLine, RecordLine, CountFrame, CheckFrame, KeepSignature,
};

// The box is posted, as the log is updated inside a poll.
static void ReportLogFull(void)
{
    PostMessageA(MainWindow, WM_SHOW_ERROR, IDS_LOG_FULL, ERROR_NOT_ENOUGH_MEMORY);
}

// Whichever path sends "CP" on the port, its reply is the box's signature.
static void NoteCommandSent(const char *command)
{
    if (lstrcmpA(command, CMD_QUERY_SIGNATURE) == 0)
        ExpectSignature();
}

void ConnectReceivers(HWND dialog)
{
    AttachLog(GetDlgItem(dialog, IDC_LOG), POLL_PERIOD_MS, ReportLogFull);
    HearCommandsSent(NoteCommandSent);
}

void AppendLog(const DecodedFrame &frame)
{
    for (FrameReceiver receive : FrameReceivers)
        receive(frame);
}

// A port started with or picked starts the check afresh. A box that comes
// back may have restarted, its clock with it, so the check no longer
// compares that clock with times taken before.
static void CheckPortEvent(const PortEvent &event)
{
    if (event.kind == PORT_OPENED || event.kind == PORT_PICKED)
        ResetContactCheck();
    else if (event.kind == PORT_BACK || event.kind == PORT_FOUND_AGAIN)
        ForgetBoxClock();
}

// A port picked may hold another box, which is not searched for elsewhere
// until it has answered "CP" itself.
static void SignaturePortEvent(const PortEvent &event)
{
    if (event.kind == PORT_PICKED)
        ForgetSignature();
}

// A recording with times notes what happened to the port as the event
// "port COMn " and what. The port the program starts with is noted by the
// recording's own start. Each format takes the port the event concerns, then
// the port it leaves.
static const char *PortEventFormat(const PortEvent &event)
{
    switch (event.kind) {
    case PORT_PICKED:
        return event.open ? "port COM%lu picked" : "port COM%lu picked, but it does not open";
    case PORT_LOST:
        return "port COM%lu lost";
    case PORT_BACK:
        return "port COM%lu back by itself";
    case PORT_FOUND_AGAIN:
        return "port COM%lu found again as COM%lu";
    default:
        return NULL;
    }
}

static void RecordPortEvent(const PortEvent &event)
{
    char text[64];
    const char *format = PortEventFormat(event);
    if (!format)
        return;
    wsprintfA(text, format, event.kind == PORT_FOUND_AGAIN ? event.former : event.port, event.port);
    RecordEvent(text);
}

static const PortEventReceiver PortEventReceivers[] = {
    CountPortEvent, CheckPortEvent, SignaturePortEvent, RecordPortEvent, TracePortEvent,
};

void TellPortEvent(PortEventKind kind, DWORD former)
{
    PortEvent event = {kind, PortNumber, PortHandle != NULL, former};
    for (PortEventReceiver receive : PortEventReceivers)
        receive(event);
}
