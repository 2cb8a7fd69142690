// The line statistics: what the line to the glove box brought since the port
// was opened or since the user reset them, so that a tester sees whether the
// line is clean. The frame assembler's own counts of what it dropped
// (FrameDrops) belong to them and are reset with them.
#ifndef TACTIVIEW_LINE_STATS_H
#define TACTIVIEW_LINE_STATS_H

#include "app/port_event.h"
#include "protocol/glove_protocol.h"
#include "serial/serial_port.h"

#include <windows.h>

#include <stdint.h>

// Line errors as the driver reports them, in the order they are shown.
enum LineError {
    LINE_OVERRUN,
    LINE_QUEUE_OVERFLOW,
    LINE_FRAMING,
    LINE_PARITY,
    LINE_BREAK,
    LINE_ERROR_KINDS,
};

struct LineErrorCount {
    uint64_t count;
    SYSTEMTIME last; // local time of the latest one
};

struct LineStatistics {
    SYSTEMTIME since; // local time the counts started from
    uint64_t bytes;
    uint64_t reports; // contact reports, timed ones included
    uint64_t timedReports;
    uint64_t textReplies;
    LineErrorCount errors[LINE_ERROR_KINDS];
    uint64_t portLost;
    uint64_t portBack;
    // Over the last second, or the longer time since the last count when
    // nothing has counted for a while.
    DWORD bytesPerSecond;
    DWORD framesPerSecond;
};

extern LineStatistics LineStats;

// Zeroes every count, FrameDrops included, and starts them from now.
void ResetLineStatistics(void);

// Counts what one poll of a port found.
void CountPoll(const PollResult &poll);

// Counts a frame by its start byte.
void CountFrame(const DecodedFrame &frame);

// A port started with or picked starts the counts afresh; one lost or back
// by itself is counted, and keeps the other counts. A box found again on
// another port is back by itself.
void CountPortEvent(const PortEvent &event);

// Closes the current second once a second has passed, which sets the rates.
void RollLineSecond(void);

// Writes the names of the line errors among the CE_ bits, in LineError order
// and separated by ", ", such as "overrun, framing error"; text holds 80
// characters.
void NameLineErrors(char *text, DWORD errors);

#endif
