#include "app/local_time.h"

#include "display/timed_row.h"

#include <windows.h>

// With the offset from UTC that the time zone has at this moment, daylight
// saving or not; UTC itself should the zone not convert it.
const char *FormatTimeNow(char *text)
{
    FILETIME utcFile, localFile;
    SYSTEMTIME utc, local;
    GetSystemTime(&utc);
    if (!SystemTimeToTzSpecificLocalTime(NULL, &utc, &local))
        local = utc;
    SystemTimeToFileTime(&utc, &utcFile);
    SystemTimeToFileTime(&local, &localFile);
    ULARGE_INTEGER from = {{utcFile.dwLowDateTime, utcFile.dwHighDateTime}};
    ULARGE_INTEGER to = {{localFile.dwLowDateTime, localFile.dwHighDateTime}};
    const LONGLONG ticksPerMinute = 600000000; // of 100 ns
    int16_t offset = (int16_t)((LONGLONG)(to.QuadPart - from.QuadPart) / ticksPerMinute);
    RowTime time = {local.wYear,   local.wMonth,  local.wDay,          local.wHour,
                    local.wMinute, local.wSecond, local.wMilliseconds, offset};
    FormatRowTime(text, time);
    return text;
}
