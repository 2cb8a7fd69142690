// How a recording starts: the file the user asks for, and what the
// recording starts with, by its kind.
#ifndef TACTIVIEW_RECORD_START_H
#define TACTIVIEW_RECORD_START_H

#include "display/timed_row.h"

#include <windows.h>

// In the order of the types that the Save As dialog offers.
enum RecordKind { RECORD_PLAIN, RECORD_TIMES, RECORD_TRACE };

// Asks for a file name for "Record to file..." with the Save As dialog,
// offering a log, a log with times or the contacts as traces and
// tactiview-YYYYMMDD-HHMMSS, and asking before replacing a file; `path` holds
// MAX_PATH characters. `kind` is the type the user picked, or the kind whose
// extension, .tsv or .vcd in any case, ends the name. FALSE when the user
// cancels.
BOOL AskRecordFileName(HWND owner, char *path, RecordKind *kind);

// The log as it stands, lines still pending included; with times, rows of it
// with empty times under the header, then the event of the start; for a
// trace, its header, the trace starting from the contacts of the last report
// and the port as they are now. In a buffer of its own, to be freed with
// HeapFree; NULL without memory.
char *StartOfRecording(RecordKind kind, DWORD *length);

#endif
