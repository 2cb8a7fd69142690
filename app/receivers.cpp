// The tables of who receives frames and port events, and the small adapters
// that fit a receiver to them.
#include "app/receivers.h"

#include "app/globals.h"
#include "app/line_stats.h"
#include "app/record_log.h"
#include "display/receive_log.h"
#include "protocol/contact_check.h"
#include "protocol/window_effects.h"

// Where the box's clock cannot serve, the check times reports by the PC's
// clock at the poll that brought them.
static void CheckFrame(const DecodedFrame &frame)
{
    CheckContacts(frame, GetTickCount());
}

// Who receives every frame, in this order: the log control, a recording
// when one runs, the line statistics and the contact check.
typedef void (*FrameReceiver)(const DecodedFrame &frame);

static const FrameReceiver FrameReceivers[] = {
    CollectLogLine,
    RecordLine,
    CountFrame,
    CheckFrame,
};

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
    else if (event.kind == PORT_BACK)
        ForgetBoxClock();
}

static const PortEventReceiver PortEventReceivers[] = {
    CountPortEvent,
    CheckPortEvent,
    RecordPortEvent,
};

void TellPortEvent(PortEventKind kind)
{
    PortEvent event = {kind, PortNumber, PortHandle != NULL};
    for (PortEventReceiver receive : PortEventReceivers)
        receive(event);
}
