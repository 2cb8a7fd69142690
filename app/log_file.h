// The receive log written to a file.
#ifndef TACTIVIEW_LOG_FILE_H
#define TACTIVIEW_LOG_FILE_H

#include <windows.h>

// The log's text, lines still pending included, in a buffer of its own to be
// freed with HeapFree; NULL when there is no memory for it.
char *ReadWholeLog(DWORD *length);

// Virus scanners, the search indexer and cloud-synced folders hold a file
// that was just written for a moment. Called after a file operation started
// at `started` (GetTickCount) failed with `error`: when the error says the
// file is held and the operation has been tried for less than about two
// seconds, waits a little and returns TRUE, to try it again.
BOOL WaitForHeldFile(DWORD error, DWORD started);

// Writes the log's text, lines still pending included, to the file `path`
// byte for byte. The text goes to a new file in the same folder, which takes
// the place of `path` only once all of it is on disk: when anything fails, a
// file already at `path` stays as it was and the new one is deleted.
// Returns ERROR_SUCCESS or the system's error code.
DWORD SaveLogToFile(const char *path);

#endif
