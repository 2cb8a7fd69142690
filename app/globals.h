// Process-wide state of the program's one thread.
#ifndef TACTIVIEW_GLOBALS_H
#define TACTIVIEW_GLOBALS_H

#include <windows.h>

extern HINSTANCE AppInstance; // the executable, for strings and icons
extern HWND MainWindow;       // the main dialog, set first in its WM_INITDIALOG
extern HANDLE PortHandle;     // the open serial port, or NULL
extern DWORD PortNumber;      // COMn in use or to be used; 0 = none chosen

// Timers of the main window.
enum {
    TIMER_STARTUP = 1,
    TIMER_POLL = 2,
    TIMER_TIMESTAMP = 3,
    TIMER_REOPEN = 4,
    TIMER_SEARCH = 5,
};

// Posted to the main window to show an error box (ShowFileError) once the
// message being handled, such as a poll tick, has returned: wParam is the
// text's string id, lParam the system's error code. The box's own message
// loop goes on delivering the poll timer.
constexpr UINT WM_SHOW_ERROR = WM_APP;

// Posted to the main window by its WM_DEVICECHANGE handler, so that the work
// is done outside the system's broadcast: wParam is TRUE when the device
// removed was the open port.
constexpr UINT WM_PORT_REMOVED = WM_APP + 1;

// The port is drained, and the log updated, on every tick of TIMER_POLL.
constexpr UINT POLL_PERIOD_MS = 100;

#endif
