// "Contact check..." of the main window's system menu: a modal dialog of the
// contact check, its picture and summary updated once a second, with "Take
// as plan", "Reset", "Copy" and "Close".
#ifndef TACTIVIEW_CHECK_DIALOG_H
#define TACTIVIEW_CHECK_DIALOG_H

#include <windows.h>

// Shows the dialog until the user closes it. Polling, the log, any recording
// and the check itself go on beneath it.
void ShowContactCheck(HWND owner);

// As the program ends: keeps, for the user, whether the dialog is open. It
// is modal, so it is open then only when the session ends beneath it, at a
// shutdown or log-off at the end of a shift.
void KeepWhetherCheckShown(void);

// At start: when the dialog was open as the program last ended, shows it
// again with the glove box focused, ready for the next scan.
void ReopenCheckIfKept(HWND owner);

#endif
