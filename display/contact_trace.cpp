// Each piece of the trace is the time since the start, "#" and its ms, and a
// line of the new value and the identifier of every wire that changed then.
// Wire w has the identifier '!' + w. A time is added to the one before it,
// never taken away, so that the times never go back.
#include "display/contact_trace.h"

#include "display/number_text.h"
#include "display/pair_text.h"

static const unsigned PORT_WIRE = CHECK_CONTACTS;

static struct {
    ReportTime last;    // the report, start or port event that the next is timed from
    uint64_t lastMs;    // its time since the start
    uint64_t writtenMs; // the time last written
    uint16_t wires;     // the values last written, wire w as bit w
} Trace;

static char *Put(char *p, const char *text, unsigned most = ~0u)
{
    for (unsigned i = 0; i < most && text[i]; i++)
        *p++ = text[i];
    return p;
}

// "$date", the text on a line of its own, "$end".
static char *PutSection(char *p, const char *keyword, const char *text)
{
    p = Put(Put(p, keyword), "\r\n\t");
    return Put(Put(p, text, TRACE_TEXT_SIZE - 1), "\r\n$end\r\n");
}

// "$var wire 1 ! left_little $end": the contact's name, '_' for its space.
static char *PutWire(char *p, unsigned wire)
{
    p = Put(p, "$var wire 1 ");
    *p++ = (char)('!' + wire);
    *p++ = ' ';
    for (const char *name = wire < PORT_WIRE ? ContactNames[wire] : "port_open"; *name; name++)
        *p++ = *name == ' ' ? '_' : *name;
    return Put(p, " $end\r\n");
}

static char *PutValue(char *p, unsigned wire, uint16_t wires)
{
    *p++ = (char)('0' + (wires >> wire & 1));
    *p++ = (char)('!' + wire);
    return Put(p, "\r\n");
}

static char *PutTime(char *p, uint64_t ms)
{
    *p++ = '#';
    return Put(PutDecimal(p, ms), "\r\n");
}

static uint16_t WiresOf(const ContactPicture &picture, bool portOpen)
{
    uint16_t wires = (uint16_t)(portOpen << PORT_WIRE);
    for (unsigned k = 0; k < picture.GroupCount && k < MAX_GROUPS; k++)
        wires |= ContactsOfGroup(picture.Groups[k]);
    return wires;
}

static void MoveTo(const ReportTime &time)
{
    Trace.lastMs += TimeBetweenReports(Trace.last, time);
    Trace.last = time;
}

// The wires that differ from those last written, under the current time
// unless it was the last written.
static unsigned WriteChanges(char *text, uint16_t wires)
{
    uint16_t changed = wires ^ Trace.wires;
    char *p = text;
    if (changed && Trace.lastMs != Trace.writtenMs) {
        p = PutTime(p, Trace.lastMs);
        Trace.writtenMs = Trace.lastMs;
    }
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        if (changed >> wire & 1)
            p = PutValue(p, wire, wires);
    Trace.wires = wires;
    return (unsigned)(p - text);
}

unsigned StartTrace(char *text, const TraceStart &start, const ContactPicture &picture,
                    bool portOpen, uint32_t pcMs)
{
    Trace = {};
    Trace.last.pcMs = pcMs;
    Trace.wires = WiresOf(picture, portOpen);
    char *p = PutSection(text, "$date", start.date);
    p = PutSection(p, "$version", start.version);
    p = PutSection(p, "$comment", start.port);
    p = Put(p, "$timescale 1 ms $end\r\n$scope module gloves $end\r\n");
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        p = PutWire(p, wire);
    p = Put(p, "$upscope $end\r\n$enddefinitions $end\r\n#0\r\n$dumpvars\r\n");
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        p = PutValue(p, wire, Trace.wires);
    return (unsigned)(Put(p, "$end\r\n") - text);
}

unsigned TraceFrame(char *text, const DecodedFrame &frame, uint32_t pcMs)
{
    if (!frame.contacts)
        return 0;
    MoveTo(TimeOfReport(frame, pcMs));
    return WriteChanges(text, WiresOf(*frame.contacts, Trace.wires >> PORT_WIRE & 1));
}

unsigned TracePort(char *text, bool open, uint32_t pcMs)
{
    MoveTo({pcMs, 0, false});
    uint16_t contacts = Trace.wires & ((1u << PORT_WIRE) - 1);
    return WriteChanges(text, (uint16_t)(contacts | open << PORT_WIRE));
}

unsigned EndTrace(char *text, uint32_t pcMs)
{
    MoveTo({pcMs, 0, false});
    if (Trace.lastMs == Trace.writtenMs)
        return 0;
    Trace.writtenMs = Trace.lastMs;
    return (unsigned)(PutTime(text, Trace.lastMs) - text);
}
