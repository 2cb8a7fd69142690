// The simulator's end of the serial line: a pseudo-terminal on Linux (which
// can be linked into a Wine prefix as a COM port) or a COM port on Windows.
#ifndef GLOVEBOX_SIM_LINE_H
#define GLOVEBOX_SIM_LINE_H

#include <cstddef>
#include <cstdint>
#include <string>

struct LineOptions {
    std::string port;       // Windows: the COM port to open, e.g. "COM5"
    std::string winePrefix; // Linux: link the pty as <prefix>/dosdevices/com<comNumber>
    unsigned comNumber = 0;
};

// Opens the line; on failure says why. On success `where` names it for people.
bool OpenLine(const LineOptions &options, std::string *where, std::string *error);

// Waits up to timeoutMs for received bytes; returns how many were read, 0 on
// time-out, or -1 when the line is gone.
long ReadLine(uint8_t *buffer, size_t capacity, unsigned timeoutMs);

bool WriteLine(const uint8_t *bytes, size_t count);

// Waits, up to the time given, until the other end has read everything sent:
// closing a pty discards what its reader has not yet taken.
void DrainLine(unsigned timeoutMs);

// Closes the line and removes the link it made; OpenLine may open it again.
void CloseLine();

// Arranges for Ctrl-C and termination requests to set the flag.
void CatchStopSignals(volatile int *stopFlag);

#endif
