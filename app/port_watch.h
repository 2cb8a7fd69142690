// Keeps the main window in step with its port: the commands and polling follow
// whether a port is open, and a port whose device has gone is closed, shown
// as no port, and opened again by itself once the device is back.
#ifndef TACTIVIEW_PORT_WATCH_H
#define TACTIVIEW_PORT_WATCH_H

#include <windows.h>

// With a port open the commands are usable, the port is polled and the PC is
// kept from sleeping; without one the commands are greyed out, nothing is
// read, no lost port is waited for, and the PC may sleep again.
void FollowPortState(HWND dialog);

// Windows judges idleness by user input alone, not by serial traffic or disk
// writes, so an unattended session would end in sleep. While awake, the
// system does not sleep for idleness; the display may still turn off.
void KeepSystemAwake(BOOL awake);

// The poll tick: drains the port, and notices when it no longer works.
void WatchPort(HWND dialog);

// The port no longer works: it is closed, and its return waited for.
void LosePort(HWND dialog);

// The tick of TIMER_REOPEN while a lost port is waited for.
void TryReopenPort(HWND dialog);

// A device has arrived: a lost port that is waited for is tried half a
// second from now rather than at the next tick.
void ReopenSoon(HWND dialog);

// Opens the saved port, or asks for another with the port selection dialog
// until one opens or the user cancels; an open port is asked for its
// signature.
void OpenStartupPort(HWND dialog);

// "COM port selection...": a port the user picks replaces the one in use.
void ChangePort(HWND dialog);

// The main window's WM_DEVICECHANGE: a removal, while a port is open, posts
// WM_PORT_REMOVED; an arrival may bring a lost port back.
void NoteDeviceChange(HWND dialog, WPARAM event, LPARAM data);

#endif
