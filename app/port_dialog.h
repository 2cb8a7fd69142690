// The port selection dialog IDD_PORT.
#ifndef TACTIVIEW_PORT_DIALOG_H
#define TACTIVIEW_PORT_DIALOG_H

#include <windows.h>

// Run with DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_PORT), owner, PortDlgProc, 0):
// IDOK once PortNumber holds the chosen port, IDCANCEL with PortNumber unchanged.
INT_PTR CALLBACK PortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

#endif
