// The receive log: the text of the main window's IDC_LOG edit control.
#ifndef TACTIVIEW_RECEIVE_LOG_H
#define TACTIVIEW_RECEIVE_LOG_H

#include "protocol/glove_protocol.h"

#include <windows.h>

// Called once when the log control has refused text for want of room.
typedef void (*LogFullHandler)(void);

// Makes `control` the log, updated once per poll of `pollPeriodMs`, and lifts
// its text limit, which would otherwise stop the log after about 30,000
// characters. Called while the main window initialises.
void AttachLog(HWND control, UINT pollPeriodMs, LogFullHandler onFull);

// Takes the line of a completed frame for the next update of the control.
void CollectLogLine(const DecodedFrame &frame);

// Called after every poll: puts the lines that CollectLogLine has taken into
// the control, all in one update, when an update is due. While updates are
// cheap that is every poll; as the log grows and they grow dearer, less often.
void UpdateLog(void);

// Puts every collected line into the control now, whether or not an update
// is due: before the log's text is read as a whole.
void FlushLog(void);

void ClearLog(void);

#endif
