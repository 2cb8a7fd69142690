// Who hears of what the port brings: every frame the decoder completes, and
// every change of the port itself. Each goes through one table of receivers,
// so that a new receiver is one more entry rather than a call at every place
// where a frame or an event arises.
#ifndef TACTIVIEW_RECEIVERS_H
#define TACTIVIEW_RECEIVERS_H

#include <windows.h>

// What happened to the port. PORT_OPENED is the start-up's port, whether or
// not one opened; PORT_PICKED one chosen in "COM port selection...", open
// or not; PORT_LOST a port a poll found gone; PORT_BACK the same port opened
// again by itself; PORT_FOUND_AGAIN the box found on another port while its
// own was lost.
enum PortEventKind { PORT_OPENED, PORT_PICKED, PORT_LOST, PORT_BACK, PORT_FOUND_AGAIN };

struct PortEvent {
    PortEventKind kind;
    DWORD port;   // PortNumber as the event leaves it
    BOOL open;    // whether a port is open after the event
    DWORD former; // PORT_FOUND_AGAIN: the lost port; otherwise 0
};

typedef void (*PortEventReceiver)(const PortEvent &event);

// Tells every receiver of port events, in the order of their table: the line
// statistics, the contact check, the box's signature, then a recording.
void TellPortEvent(PortEventKind kind, DWORD former = 0);

// Makes the dialog's IDC_LOG the receive log, the first receiver of frames,
// which tells of a log full by posting WM_SHOW_ERROR. Part of the main
// window's WM_INITDIALOG.
void ConnectLog(HWND dialog);

#endif
