// The local time as the program's files write it.
#ifndef TACTIVIEW_LOCAL_TIME_H
#define TACTIVIEW_LOCAL_TIME_H

// Writes the local time now, "2026-12-09T10:42:07.412+01:00", into text,
// which holds ROW_TIME_SIZE characters, and returns text.
const char *FormatTimeNow(char *text);

#endif
