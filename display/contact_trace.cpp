// Each piece of the trace is the time since the start, "#" and its ms, and a
// line of the new value and the identifier of every wire that changed then.
// Wire w has the identifier '!' + w. A time is added to the one before it,
// never taken away, so that the times never go back.
#include "display/contact_trace.h"

#include "display/pair_text.h"
#include "display/text_writer.h"

static const unsigned PORT_WIRE = CHECK_CONTACTS;

static struct {
    ReportTime last;    // the report, start or port event that the next is timed from
    uint64_t lastMs;    // its time since the start
    uint64_t writtenMs; // the time last written
    uint16_t wires;     // the values last written, wire w as bit w
} Trace;

// "$date", the text on a line of its own, "$end".
static void PutSection(TextBuffer &out, const char *keyword, const char *text)
{
    Put(out, keyword);
    Put(out, "\r\n\t");
    Put(out, text, TRACE_TEXT_SIZE - 1);
    Put(out, "\r\n$end\r\n");
}

// "$var wire 1 ! left_little $end": the contact's name, '_' for its space.
static void PutWire(TextBuffer &out, unsigned wire)
{
    const char identifier[] = {(char)('!' + wire), ' ', '\0'};
    Put(out, "$var wire 1 ");
    Put(out, identifier);
    for (const char *name = wire < PORT_WIRE ? ContactNames[wire] : "port_open"; *name; name++)
        Put(out, *name == ' ' ? "_" : name, 1);
    Put(out, " $end\r\n");
}

static void PutValue(TextBuffer &out, unsigned wire, uint16_t wires)
{
    const char value[] = {(char)('0' + (wires >> wire & 1)), (char)('!' + wire), '\r', '\n', '\0'};
    Put(out, value);
}

static void PutTime(TextBuffer &out, uint64_t ms)
{
    Put(out, "#");
    PutNumber(out, ms);
    Put(out, "\r\n");
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
    TextBuffer out = StartText(text, TRACE_CHANGE_SIZE);
    if (changed && Trace.lastMs != Trace.writtenMs) {
        PutTime(out, Trace.lastMs);
        Trace.writtenMs = Trace.lastMs;
    }
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        if (changed >> wire & 1)
            PutValue(out, wire, wires);
    Trace.wires = wires;
    return EndText(out, text);
}

unsigned StartTrace(char *text, const TraceStart &start, const ContactPicture &picture,
                    bool portOpen, uint32_t pcMs)
{
    Trace = {};
    Trace.last.pcMs = pcMs;
    Trace.wires = WiresOf(picture, portOpen);
    TextBuffer out = StartText(text, TRACE_HEADER_SIZE);
    PutSection(out, "$date", start.date);
    PutSection(out, "$version", start.version);
    PutSection(out, "$comment", start.port);
    Put(out, "$timescale 1 ms $end\r\n$scope module gloves $end\r\n");
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        PutWire(out, wire);
    Put(out, "$upscope $end\r\n$enddefinitions $end\r\n#0\r\n$dumpvars\r\n");
    for (unsigned wire = 0; wire < TRACE_WIRES; wire++)
        PutValue(out, wire, Trace.wires);
    Put(out, "$end\r\n");
    return EndText(out, text);
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
    TextBuffer out = StartText(text, TRACE_CHANGE_SIZE);
    PutTime(out, Trace.lastMs);
    return EndText(out, text);
}
