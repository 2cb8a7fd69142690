// The clock of the benchmarks and of winprobe.
#ifndef TACTIVIEW_TOOLS_CLOCK_H
#define TACTIVIEW_TOOLS_CLOCK_H

#include <windows.h>

// Seconds since some fixed moment, to the performance counter's resolution.
inline double Now(void)
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

#endif
