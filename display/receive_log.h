// The receive log: the text of the main window's IDC_LOG edit control.
#ifndef TACTIVIEW_RECEIVE_LOG_H
#define TACTIVIEW_RECEIVE_LOG_H

#include "protocol/window_effects.h" // AppendLog

// Lifts the edit control's text limit, which would otherwise stop the log
// after about 30,000 characters. Called while the main window initialises.
void RaiseLogLimit(void);

// Puts the lines that AppendLog has collected since the last call into the
// control, all in one update. Called at the end of every poll.
void FlushLog(void);

void ClearLog(void);

#endif
