// "Contact check..." of the main window's system menu: a modal dialog of the
// contact check, its picture and summary updated once a second, with "Take
// as plan", "Reset", "Copy" and "Close".
#ifndef TACTIVIEW_CHECK_DIALOG_H
#define TACTIVIEW_CHECK_DIALOG_H

#include <windows.h>

// Shows the dialog until the user closes it. Polling, the log, any recording
// and the check itself go on beneath it.
void ShowContactCheck(HWND owner);

#endif
