// The port selection dialog IDD_PORT, and the formatted message box that
// gives its warning.
#ifndef TACTIVIEW_PORT_DIALOG_H
#define TACTIVIEW_PORT_DIALOG_H

#include <windows.h>

#include <stdarg.h>

// Caption of every message box ShowMessageV shows.
extern char MessageCaption[64];

// Run with DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_PORT), owner, PortDlgProc, 0):
// IDOK once PortNumber holds the chosen port, IDCANCEL with PortNumber unchanged.
INT_PTR CALLBACK PortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a message box with a printf-style text, given either as a string or
// as a string-table id (MAKEINTRESOURCEA); returns the MessageBoxA result.
int ShowMessage(HWND owner, LPCSTR textOrId, UINT type, ...);
int ShowMessageV(HWND owner, LPCSTR textOrId, UINT type, va_list arguments);

// Writes the string-table text `textId`, a printf-style format, into text,
// which holds size characters, cut short to fit.
void FormatResourceText(char *text, int size, int textId, ...);

#endif
