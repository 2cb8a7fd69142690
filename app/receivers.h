// Who hears of what the port brings: every frame the decoder completes, and
// every change of the port itself. Each goes through one table of receivers,
// so that a new receiver is one more entry rather than a call at every place
// where a frame or an event arises.
#ifndef TACTIVIEW_RECEIVERS_H
#define TACTIVIEW_RECEIVERS_H

#include "app/port_event.h"

#include <windows.h>

// Tells every receiver of port events, in the order of their table: the line
// statistics, the contact check, the box's signature, then a recording.
void TellPortEvent(PortEventKind kind, DWORD former = 0);

// Makes the dialog's IDC_LOG the receive log, the first receiver of frames,
// which tells of a log full by posting WM_SHOW_ERROR, and has a "CP" sent on
// the port make the box's next text reply its signature. Part of the main
// window's WM_INITDIALOG.
void ConnectReceivers(HWND dialog);

#endif
