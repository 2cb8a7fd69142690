// The receive log, and other files the program replaces whole, written to a file.
#ifndef TACTIVIEW_LOG_FILE_H
#define TACTIVIEW_LOG_FILE_H

#include <windows.h>

// The log's text, lines still pending included, in a buffer of its own to be
// freed with HeapFree; NULL when there is no memory for it.
char *ReadWholeLog(DWORD *length);

// One try of a file operation: ERROR_SUCCESS or the system's error code.
typedef DWORD (*FileAttempt)(void *context);

// Virus scanners, the search indexer and cloud-synced folders hold a file
// that was just written for a moment. Tries `attempt` until it succeeds, fails
// for another reason than a held file, or has been tried for about two
// seconds, waiting a little between tries; returns what the last try did.
DWORD RetryWhileHeld(FileAttempt attempt, void *context);

// Writes size bytes of data to the file `path`. They go to a new file in the
// same folder, which takes the place of `path` only once all of it is on
// disk: when anything fails, a file already at `path` stays as it was and
// the new one is deleted. Returns ERROR_SUCCESS or the system's error code.
DWORD ReplaceFileWith(const char *path, const char *data, DWORD size);

// Writes the log's text, lines still pending included, to the file `path`
// byte for byte, as ReplaceFileWith does.
DWORD SaveLogToFile(const char *path);

#endif
