// What happened to the port, as its receivers hear of it.
#ifndef TACTIVIEW_PORT_EVENT_H
#define TACTIVIEW_PORT_EVENT_H

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

#endif
