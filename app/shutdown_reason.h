// The reason Windows shows while the program holds the end of the session
// back. The calls came with Windows Vista, so they are looked up at run time;
// where they are missing, the session is held back all the same, just
// without a reason shown.
#ifndef TACTIVIEW_SHUTDOWN_REASON_H
#define TACTIVIEW_SHUTDOWN_REASON_H

#include <windows.h>

// Shows reason, in the ANSI code page, for the window that holds the session
// back; a longer one is cut at the length Windows shows.
void SayWhyShutdownWaits(HWND window, const char *reason);

// Withdraws the reason, if one is shown.
void WithdrawShutdownReason(HWND window);

#endif
