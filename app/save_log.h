// "Save log..." of the main window's system menu.
#ifndef TACTIVIEW_SAVE_LOG_H
#define TACTIVIEW_SAVE_LOG_H

#include "app/record_log.h"

#include <windows.h>

// Asks for a file name with the Save As dialog and saves the log there;
// nothing happens when the user cancels.
void SaveLog(HWND owner);

// Asks for a file name for "Record to file..." with the Save As dialog,
// offering a log, a log with times or the contacts as traces and
// tactiview-YYYYMMDD-HHMMSS, and asking before replacing a file; `path` holds
// MAX_PATH characters. `kind` is the type the user picked, or the kind whose
// extension, .tsv or .vcd in any case, ends the name. FALSE when the user
// cancels.
BOOL AskRecordFileName(HWND owner, char *path, RecordKind *kind);

// Saves the log to `path`; a failure is shown in an error box with the
// system's reason.
void SaveLogAs(HWND owner, const char *path);

#endif
