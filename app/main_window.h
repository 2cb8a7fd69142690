// The main window: a modal dialog holding the contact picture, the receive
// log, the command buttons and the two mode boxes.
#ifndef TACTIVIEW_MAIN_WINDOW_H
#define TACTIVIEW_MAIN_WINDOW_H

#include <windows.h>

// The dialog procedure of IDD_MAIN. Ends the dialog with MAIN_CLOSED when the
// user closes the window.
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The main dialog's result after a normal close, and so the process exit code.
constexpr INT_PTR MAIN_CLOSED = 2;

#endif
