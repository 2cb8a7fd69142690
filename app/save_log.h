// "Save log..." of the main window's system menu.
#ifndef TACTIVIEW_SAVE_LOG_H
#define TACTIVIEW_SAVE_LOG_H

#include <windows.h>

// Asks for a file name with the Save As dialog and saves the log there;
// nothing happens when the user cancels.
void SaveLog(HWND owner);

// Saves the log to `path`; a failure is shown in an error box with the
// system's reason.
void SaveLogAs(HWND owner, const char *path);

#endif
