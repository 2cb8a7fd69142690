// "Save log..." of the main window's system menu.
#ifndef TACTIVIEW_SAVE_LOG_H
#define TACTIVIEW_SAVE_LOG_H

#include <windows.h>

// Asks for a file name with the Save As dialog and saves the log there;
// nothing happens when the user cancels.
void SaveLog(HWND owner);

// Asks for a file name for "Record to file..." with the Save As dialog,
// offering a log or a log with times and tactiview-YYYYMMDD-HHMMSS, and
// asking before replacing a file; `path` holds MAX_PATH characters.
// `withTimes` says whether the user picked the second type or named a .tsv
// file. FALSE when the user cancels.
BOOL AskRecordFileName(HWND owner, char *path, BOOL *withTimes);

// Shows the string `textId`, a format that takes the system's reason for
// `error` and its number, in an error box.
void ShowFileError(HWND owner, int textId, DWORD error);

// The same for a format that first takes the file's name.
void ShowNamedFileError(HWND owner, int textId, const char *path, DWORD error);

// Saves the log to `path`; a failure is shown in an error box with the
// system's reason.
void SaveLogAs(HWND owner, const char *path);

#endif
