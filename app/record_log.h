// "Record to file..." of the main window's system menu: the log written to a
// file as it arrives, so that a killed program or a power cut loses almost
// nothing of a long session. A recording with times puts each line after the
// time of the poll that brought it and notes what happened to the port. A
// trace holds no lines: the contacts and the port as wires against time, for
// a logic analyser's viewer.
#ifndef TACTIVIEW_RECORD_LOG_H
#define TACTIVIEW_RECORD_LOG_H

#include "app/port_event.h"
#include "app/record_start.h"
#include "protocol/glove_protocol.h"

#include <windows.h>

// Stops the recording when one runs; otherwise asks for a file with the Save
// As dialog and starts recording into it, of the kind the user asks for.
void ToggleRecording(HWND owner);

// Replaces the file `path` with the log as it stands, lines still pending
// included, and goes on to add every line logged from now on; with times, as
// rows of a time and a line under a header, the log as it stands with empty
// times; as a trace, the header and the wires' values now, then each change
// of a wire. The system menu's item carries a check mark while the recording
// runs. A failure stops the recording and posts WM_SHOW_ERROR.
void StartRecording(const char *path, RecordKind kind);

// Brings what is recorded to the disk and closes the file; a trace ends with
// the time of its end.
void StopRecording(void);

// Takes the line of a frame the log has just received, while a recording
// runs; a trace takes the wires of a contact report.
void RecordLine(const DecodedFrame &frame);

// Notes an event in a recording with times, as the row "# " + text, at the
// time of the poll it happens in, or at its own outside one. Any other
// recording, or none, ignores it.
void RecordEvent(const char *text);

// A trace sets port_open to whether the port is open after any event; the
// other kinds note port events through RecordEvent.
void TracePortEvent(const PortEvent &event);

// The event of the line errors a poll found (CE_ bits), by kind; none when
// there were none.
void RecordLineErrors(DWORD errors);

// Writes what is recorded and not yet written, and brings the file to the
// disk now, as Windows asks whether the session may end.
void BringRecordingToDisk(void);

// Called after every poll: writes the poll's lines to the file in one write,
// and brings the file to the disk every few seconds.
void WriteRecording(void);

#endif
