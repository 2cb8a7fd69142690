// Keeps the main window in step with its port: the commands and polling follow
// whether a port is open, and a port whose device has gone is closed, shown
// as no port, and opened again by itself once the device is back, or the box
// found on another port that arrives.
#ifndef TACTIVIEW_PORT_WATCH_H
#define TACTIVIEW_PORT_WATCH_H

#include <windows.h>

// With a port open the commands are usable, the port is polled and the PC is
// kept from sleeping; without one the commands are greyed out, nothing is
// read, no lost port is waited for, and the PC may sleep again. Either way no
// box is searched for.
void FollowPortState(HWND dialog);

// Windows judges idleness by user input alone, not by serial traffic or disk
// writes, so an unattended session would end in sleep. While awake, the
// system does not sleep for idleness; the display may still turn off.
void KeepSystemAwake(BOOL awake);

// The poll tick: drains the port, and notices when it no longer works.
void WatchPort(HWND dialog);

// The port no longer works: it is closed, and its return waited for; a box
// that ever answered "CP" is searched for on the ports that arrive meanwhile.
void LosePort(HWND dialog);

// The tick of TIMER_REOPEN while a lost port is waited for.
void TryReopenPort(HWND dialog);

// The poll tick with what follows it: the recording and the log get the
// poll's lines.
void PollOnce(HWND dialog);

// WM_DEVICECHANGE. A device has arrived: a lost port that is waited for is
// tried half a second from now rather than at the next tick, and any other
// port is a candidate for the box while it is searched for. A removal posts
// WM_PORT_REMOVED while a port is open.
void FollowDeviceChange(HWND dialog, WPARAM event, LPARAM data);

// WM_PORT_REMOVED: a removal that names the open port loses it.
void OnPortRemoved(HWND dialog, BOOL namedOpenPort);

// Opens the saved port, or asks for another with the port selection dialog
// until one opens or the user cancels; an open port is asked for its
// signature.
void OpenStartupPort(HWND dialog);

// "COM port selection...": a port the user picks replaces the one in use.
void ChangePort(HWND dialog);

#endif
