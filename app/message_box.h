// Message boxes: a formatted text, plain or naming a file with the system's
// reason for an error, and the same texts formatted into a buffer.
#ifndef TACTIVIEW_MESSAGE_BOX_H
#define TACTIVIEW_MESSAGE_BOX_H

#include <windows.h>

#include <stdarg.h>

// Caption of every message box ShowMessageV shows.
extern char MessageCaption[64];

// Shows a message box with a printf-style text, given either as a string or
// as a string-table id (MAKEINTRESOURCEA); returns the MessageBoxA result.
int ShowMessage(HWND owner, LPCSTR textOrId, UINT type, ...);
int ShowMessageV(HWND owner, LPCSTR textOrId, UINT type, va_list arguments);

// Writes the string-table text `textId`, a printf-style format, into text,
// which holds size characters, cut short to fit.
void FormatResourceText(char *text, int size, int textId, ...);

// Shows the string `textId`, a format that takes the system's reason for
// `error` and its number, in an error box.
void ShowFileError(HWND owner, int textId, DWORD error);

// The same for a format that first takes the file's name.
void ShowNamedFileError(HWND owner, int textId, const char *path, DWORD error);

// The system's reason for `error` without the line end it comes with, in
// reason, which holds 256 characters; "" when the system has none.
void FormatReasonInLine(char *reason, DWORD error);

#endif
