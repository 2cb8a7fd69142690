// The results file of the test station, which is only ever appended to.
#ifndef TACTIVIEW_RESULTS_FILE_H
#define TACTIVIEW_RESULTS_FILE_H

#include <windows.h>

// Appends one row of length characters, ended by CR LF, to the results file
// `path`, and returns once it is on the disk: ERROR_SUCCESS or the system's
// error code. The file is opened for the row and closed again, so that it
// can be opened elsewhere between rows; one held by another program is
// tried again for about two seconds. A new or empty file first gets the
// header, and a last line without its line end gets one. Should the write
// fail, the file is cut back to what it held, so that no part of a row is
// left in it.
DWORD AppendResultsRow(const char *path, const char *row, DWORD length);

#endif
