// Keeps the main window in step with its port: the commands and polling follow
// whether a port is open, and a port whose device has gone is closed, shown
// as no port, and opened again by itself once the device is back.
#ifndef TACTIVIEW_PORT_WATCH_H
#define TACTIVIEW_PORT_WATCH_H

#include <windows.h>

// With a port open the commands are usable and the port is polled; without
// one they are greyed out, nothing is read, and no lost port is waited for.
void FollowPortState(HWND dialog);

// The poll tick: drains the port, and notices when it no longer works.
void WatchPort(HWND dialog);

// The tick of TIMER_REOPEN while a lost port is waited for.
void TryReopenPort(HWND dialog);

// A device has arrived: a lost port that is waited for is tried half a
// second from now rather than at the next tick.
void ReopenSoon(HWND dialog);

#endif
