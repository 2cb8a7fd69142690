// The one serial port to the glove box: opening COM<PortNumber> into
// PortHandle, writing commands, draining received bytes into the frame
// assembler, and listing which ports exist. A port tried as the box while
// its own is lost is opened, written and read through a handle of its own.
#ifndef TACTIVIEW_SERIAL_PORT_H
#define TACTIVIEW_SERIAL_PORT_H

#include <windows.h>

#include <dbt.h>

// Opens COM<number> with the glove box's line settings and time-outs; NULL
// when it does not open or refuses them.
HANDLE OpenPortNumber(DWORD number);

// Opens and configures COM<PortNumber> into PortHandle; nonzero on success.
// On failure PortHandle is NULL.
BOOL OpenPort(void);

// Sets in a DCB that the driver filled every line setting the glove box
// needs, and every one that could lose or garble its bytes; the special
// characters stay as the driver has them.
void SetBoxLineSettings(DCB *dcb);

// Writes the characters of a zero-terminated command, without the terminator.
// Gives up after half a second when the driver holds the output back, and
// drops what has not gone out. TRUE only when all of it was written.
BOOL SendCommandOn(HANDLE port, const char *text);

// Told of each command that went out whole on the program's port.
typedef void (*CommandSent)(const char *command);

// Makes `listener` the one told of the commands SendCommand sends.
void HearCommandsSent(CommandSent listener);

// SendCommandOn the program's port, telling the listener when it went out.
BOOL SendCommand(const char *text);

// What one poll found: the number of bytes read, and the line errors the
// driver had noted since the last poll (the CE_ bits of ClearCommError).
struct PollResult {
    DWORD bytes;
    DWORD errors;
};

// Feeds every byte the port holds to FeedByte, and returns once it holds none.
// FALSE when the port no longer works, as when its device has gone; a port
// that works but has nothing to read is not lost. FALSE too with no port open.
BOOL PollPort(PollResult *result);

// Reads what a port holds, up to room bytes, into buffer, for no receiver.
// FALSE when the port no longer works, as PollPort judges it.
BOOL ReadWaiting(HANDLE port, BYTE *buffer, DWORD room, DWORD *count);

// The n of the port COM<n> that a device broadcast of WM_DEVICECHANGE names,
// in any case of letters; 0 when it names no port.
DWORD BroadcastPortNumber(const DEV_BROADCAST_HDR *broadcast);

// Called for each existing port, in ascending order of number; name is "COM<n>".
typedef void (*PortReport)(const char *name, DWORD number, void *context);

// Reports every port among COM1 to COM32 that exists; never opens one.
void ListPorts(PortReport report, void *context);

#endif
