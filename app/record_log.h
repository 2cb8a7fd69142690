// "Record to file..." of the main window's system menu: the log written to a
// file as it arrives, so that a killed program or a power cut loses almost
// nothing of a long session.
#ifndef TACTIVIEW_RECORD_LOG_H
#define TACTIVIEW_RECORD_LOG_H

#include "protocol/glove_protocol.h"

#include <windows.h>

// Stops the recording when one runs; otherwise asks for a file with the Save
// As dialog and starts recording into it.
void ToggleRecording(HWND owner);

// Replaces the file `path` with the log as it stands, lines still pending
// included, and goes on to add every line logged from now on. The system
// menu's item carries a check mark while the recording runs. A failure stops
// the recording and posts WM_SHOW_ERROR.
void StartRecording(const char *path);

// Brings what is recorded to the disk and closes the file.
void StopRecording(void);

// Takes the line of a frame the log has just received, while a recording runs.
void RecordLine(const DecodedFrame &frame);

// Called after every poll: writes the poll's lines to the file in one write,
// and brings the file to the disk every few seconds.
void WriteRecording(void);

#endif
