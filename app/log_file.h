// The receive log written to a file.
#ifndef TACTIVIEW_LOG_FILE_H
#define TACTIVIEW_LOG_FILE_H

#include <windows.h>

// The log's text, lines still pending included, in a buffer of its own to be
// freed with HeapFree; NULL when there is no memory for it.
char *ReadWholeLog(DWORD *length);

// Writes the log's text, lines still pending included, to the file `path`
// byte for byte, as ReplaceFileWith does.
DWORD SaveLogToFile(const char *path);

#endif
