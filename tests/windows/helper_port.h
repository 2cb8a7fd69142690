// Ports of the pseudo-terminal helper (tools/null_modem.py), opened by the
// tests directly: the far end of the program's port, or the control port.
#ifndef TACTIVIEW_HELPER_PORT_H
#define TACTIVIEW_HELPER_PORT_H

#include <windows.h>

#include <string>

// Opens COM<number> with reads that wait up to the given time for a full
// buffer, and empties it.
HANDLE OpenHelperPort(DWORD number, DWORD readTimeoutMs);

void Write(HANDLE h, const std::string &bytes);

// Whatever arrives within the read time-out, up to 64 bytes.
std::string ReadAvailable(HANDLE h);

#endif
