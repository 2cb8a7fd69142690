// The one serial port to the glove box. Every call is synchronous on the UI
// thread: the read time-outs make reads return at once, so a poll timer can
// drain the port without a reader thread, and the write time-out bounds how
// long a command can hold the window when the driver holds the output back.
#include "serial/serial_port.h"

#include "app/globals.h"
#include "protocol/glove_protocol.h"

#include <shlwapi.h>

// The glove box's line: 9600 baud, 8 data bits, two stop bits.
static const DWORD LineBaudRate = 9600;
static const BYTE LineByteSize = 8;
static const BYTE LineStopBits = TWOSTOPBITS;
static const char LineXonChar = 0x11, LineXoffChar = 0x13;

// The driver may hold a few KB only, some seconds at the full line rate, and
// the window stalls longer now and then (a save to a slow drive). Commands are
// two bytes, so the output queue hardly matters.
static const DWORD InputQueueBytes = 65536;
static const DWORD OutputQueueBytes = 1024;

// An interval time-out of MAXDWORD with both read totals zero makes ReadFile
// return at once with whatever the driver holds, possibly nothing. A write
// gives up after half a second, ample for a two-letter command at 9600 baud.
static const DWORD WriteGiveUpMs = 500;
static const COMMTIMEOUTS PortTimeouts = {MAXDWORD, 0, 0, 0, WriteGiveUpMs};

// "\\.\COM" and at most four digits: the device path of COM1 to COM9999.
static const DWORD HighestPortNumber = 9999;

// COM10 and above have no name in the DOS device namespace, so every port is
// opened through the \\.\ prefix, which names the device itself.
static BOOL FormatPortPath(char *path, int size, DWORD number)
{
    if (number > HighestPortNumber)
        return FALSE;
    wnsprintfA(path, size, "\\\\.\\COM%u", (unsigned)number);
    return TRUE;
}

// Windows opens a port with the settings of its last use, so whatever another
// program left is replaced: parity would garble frames, null stripping drop
// the 0x00 masks of a glove without contact, DSR sensitivity discard every
// byte while DSR is low, CTS or DSR flow hold every command until its write
// time-out, and XON/XOFF take the 0x11 and 0x13 that frames carry as data.
// DTR and RTS are held on, not dropped by a handshake while the driver's
// queue is full. The special characters stay as the driver has them, but
// SetCommState refuses equal XON and XOFF characters, as a driver that
// reports none (zeros) would give; with XON/XOFF off, the usual ones serve.
void SetBoxLineSettings(DCB *dcb)
{
    if (dcb->XonChar == dcb->XoffChar) {
        dcb->XonChar = LineXonChar;
        dcb->XoffChar = LineXoffChar;
    }
    dcb->BaudRate = LineBaudRate;
    dcb->ByteSize = LineByteSize;
    dcb->StopBits = LineStopBits;
    dcb->fBinary = TRUE;
    dcb->Parity = NOPARITY;
    dcb->fParity = FALSE;
    dcb->fErrorChar = FALSE;
    dcb->fNull = FALSE;
    dcb->fOutxCtsFlow = FALSE;
    dcb->fOutxDsrFlow = FALSE;
    dcb->fDsrSensitivity = FALSE;
    dcb->fDtrControl = DTR_CONTROL_ENABLE;
    dcb->fRtsControl = RTS_CONTROL_ENABLE;
    dcb->fOutX = FALSE;
    dcb->fInX = FALSE;
}

static BOOL ApplyLineSettings(HANDLE port)
{
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    GetCommState(port, &dcb);
    SetBoxLineSettings(&dcb);
    return SetCommState(port, &dcb);
}

// A larger queue is only asked for: a driver that keeps its own size still
// serves. A port that refuses the line settings or the time-outs is closed
// again: it would garble frames, or block the UI thread in its reads and
// writes.
static BOOL ConfigurePort(HANDLE port)
{
    COMMTIMEOUTS timeouts = PortTimeouts;
    SetupComm(port, InputQueueBytes, OutputQueueBytes);
    return ApplyLineSettings(port) && SetCommTimeouts(port, &timeouts);
}

// A number too large for the path is refused rather than cut short, which
// would open another port.
HANDLE OpenPortNumber(DWORD number)
{
    char path[12];

    if (!FormatPortPath(path, sizeof path, number))
        return NULL;
    HANDLE port = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (port == INVALID_HANDLE_VALUE)
        return NULL;
    if (!ConfigurePort(port)) {
        CloseHandle(port);
        return NULL;
    }
    return port;
}

BOOL OpenPort(void)
{
    PortHandle = OpenPortNumber(PortNumber);
    return PortHandle != NULL;
}

// A command that did not go out whole within the write time-out is dropped,
// not left queued in the driver: sent once the line frees, perhaps seconds
// later, it would switch the box's modes unasked.
BOOL SendCommandOn(HANDLE port, const char *text)
{
    DWORD length = (DWORD)lstrlenA(text);
    DWORD written = 0;
    if (WriteFile(port, text, length, &written, NULL) && written == length)
        return TRUE;
    PurgeComm(port, PURGE_TXABORT | PURGE_TXCLEAR);
    return FALSE;
}

static CommandSent CommandListener;

void HearCommandsSent(CommandSent listener)
{
    CommandListener = listener;
}

BOOL SendCommand(const char *text)
{
    BOOL sent = SendCommandOn(PortHandle, text);
    if (sent && CommandListener)
        CommandListener(text);
    return sent;
}

// A device that has gone shows differently: on Windows reads fail (with 5 or
// 22), while under Wine they go on returning nothing and only ClearCommError
// fails. So a read is followed by ClearCommError too, which also clears any
// line error. A read aborted by a line error, where the driver has the
// abort-on-error flag set, is no loss: that clearing lets reading go on.
static BOOL PortStillWorks(HANDLE port, BOOL read, DWORD *errors)
{
    if (!read && GetLastError() != ERROR_OPERATION_ABORTED)
        return FALSE;
    return ClearCommError(port, errors, NULL);
}

// One byte per read: the assembler takes bytes one at a time anyway, and the
// poll reads only what has arrived since the last tick.
BOOL PollPort(PollResult *result)
{
    DWORD count;
    BOOL read;
    result->bytes = 0;
    result->errors = 0;
    while ((read = ReadFile(PortHandle, &ReceivedByte, 1, &count, NULL)) && count != 0) {
        result->bytes++;
        FeedByte(ReceivedByte);
    }
    return PortStillWorks(PortHandle, read, &result->errors);
}

BOOL ReadWaiting(HANDLE port, BYTE *buffer, DWORD room, DWORD *count)
{
    DWORD errors;
    *count = 0;
    BOOL read = room == 0 || ReadFile(port, buffer, room, count, NULL);
    return PortStillWorks(port, read, &errors);
}

// "COM<n>", as the system names a port: at most four digits and the terminator.
static const int PortNameSize = 8;

static void FormatPortName(char *name, DWORD number)
{
    wnsprintfA(name, PortNameSize, "COM%u", (unsigned)number);
}

// The main window is made with the 8-bit functions, so the name is read as
// 8-bit characters. Only a name as the system gives it counts: digits with
// no leading zero, no more of them than a port path takes.
DWORD BroadcastPortNumber(const DEV_BROADCAST_HDR *broadcast)
{
    if (!broadcast || broadcast->dbch_devicetype != DBT_DEVTYP_PORT)
        return 0;
    const char *name = ((const DEV_BROADCAST_PORT_A *)broadcast)->dbcp_name;
    if (StrCmpNIA(name, "COM", 3) != 0 || name[3] < '1' || name[3] > '9')
        return 0;
    DWORD number = 0;
    for (const char *digit = name + 3; *digit; digit++) {
        if (*digit < '0' || *digit > '9' || number > HighestPortNumber / 10)
            return 0;
        number = number * 10 + (DWORD)(*digit - '0');
    }
    return number;
}

// A COMMCONFIG as GetDefaultCommConfigA expects it: its size in the first
// word, everything else zero.
static void PrepareCommConfig(COMMCONFIG *config, DWORD *size)
{
    ZeroMemory(config, sizeof *config);
    config->dwSize = sizeof *config;
    *size = sizeof *config;
}

static BOOL PortExists(const char *name)
{
    COMMCONFIG config;
    DWORD size;
    PrepareCommConfig(&config, &size);
    return GetDefaultCommConfigA(name, &config, &size);
}

// A port exists when the system has a default configuration for it, which
// asks the driver without opening the port, so ports in use are listed too.
// The configuration manager is held loaded for the whole scan so that the 32
// look-ups do not each load and unload it.
void ListPorts(PortReport report, void *context)
{
    static const DWORD LastListedPort = 32;
    char name[PortNameSize];

    HMODULE configManager = LoadLibraryA("cfgmgr32.dll");
    for (DWORD n = 1; n <= LastListedPort; n++) {
        FormatPortName(name, n);
        if (PortExists(name))
            report(name, n, context);
    }
    if (configManager)
        FreeLibrary(configManager);
}
