// What a recording starts with, by its kind.
#ifndef TACTIVIEW_RECORD_START_H
#define TACTIVIEW_RECORD_START_H

#include "app/record_log.h"
#include "display/timed_row.h"

#include <windows.h>

// An event's text, "# " and its CR LF: the longest is the start's.
constexpr unsigned EVENT_SIZE = 128;

// The log as it stands, lines still pending included; with times, rows of it
// with empty times under the header, then the event of the start; for a
// trace, its header, the trace starting from the contacts of the last report
// and the port as they are now. In a buffer of its own, to be freed with
// HeapFree; NULL without memory.
char *StartOfRecording(RecordKind kind, DWORD *length);

#endif
