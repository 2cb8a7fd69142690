// The contacts as traces: a value change dump (IEEE 1364), which the viewers
// of logic analysers open, with a one-bit wire for each of the twelve
// contacts and one for the port, against milliseconds since the recording
// began. Each contact report is timed from the one before it as the contact
// check times a make, so that the box's clock gives a flicker to the
// millisecond. The state is of fixed size and each piece is written into the
// caller's buffer: nothing is allocated.
#ifndef TACTIVIEW_CONTACT_TRACE_H
#define TACTIVIEW_CONTACT_TRACE_H

#include "protocol/contact_check.h"

// The contacts in the order of ContactNames, then port_open.
constexpr unsigned TRACE_WIRES = CHECK_CONTACTS + 1;

// What the header says of the recording; each text is cut to
// TRACE_TEXT_SIZE - 1 characters.
struct TraceStart {
    const char *date;    // the local date and time of the start
    const char *version; // the program and its version
    const char *port;    // the port it records
};

constexpr unsigned TRACE_TEXT_SIZE = 128;

// The most the header takes: its texts, the declaration of every wire and
// every wire's value at the start.
constexpr unsigned TRACE_HEADER_SIZE = 3 * (TRACE_TEXT_SIZE + 24) + 40 * TRACE_WIRES + 160;

// The most one change takes: "#" and its time, then a line for every wire.
constexpr unsigned TRACE_CHANGE_SIZE = 24 + 4 * TRACE_WIRES;

// Starts a trace at the PC's clock pcMs, in ms, with the contacts that the
// picture's groups name and the port open or not: writes the header, "#0"
// and the wires' values into text, which holds TRACE_HEADER_SIZE characters,
// and returns its length.
unsigned StartTrace(char *text, const TraceStart &start, const ContactPicture &picture,
                    bool portOpen, uint32_t pcMs);

// Follows one frame received at the PC's clock pcMs. A contact report is
// timed from the report before it, or from the start or the last port
// event, and the wires it changes are written into text, which holds
// TRACE_CHANGE_SIZE characters, under its time; returns their length, 0 when
// it changed no wire and for a text reply.
unsigned TraceFrame(char *text, const DecodedFrame &frame, uint32_t pcMs);

// The port is open or not after an event at the PC's clock pcMs, which is
// timed by that clock: the box may restart while its port is away, so its
// clock is never compared across an event. Writes as TraceFrame does.
unsigned TracePort(char *text, bool open, uint32_t pcMs);

// The end at the PC's clock pcMs: writes its time as the last "#" into text,
// which holds TRACE_CHANGE_SIZE characters, unless the last time written is
// already that; returns its length.
unsigned EndTrace(char *text, uint32_t pcMs);

#endif
