// The receive log written to a file.
#ifndef TACTIVIEW_LOG_FILE_H
#define TACTIVIEW_LOG_FILE_H

#include <windows.h>

// The log's text, lines still pending included, in a buffer of its own to be
// freed with HeapFree; NULL when there is no memory for it.
char *ReadWholeLog(DWORD *length);

// Writes the log's text, lines still pending included, to the file `path`
// byte for byte. The text goes to a new file in the same folder, which takes
// the place of `path` only once all of it is on disk: when anything fails, a
// file already at `path` stays as it was and the new one is deleted.
// Returns ERROR_SUCCESS or the system's error code.
DWORD SaveLogToFile(const char *path);

#endif
