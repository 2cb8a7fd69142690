// The simulated box's end of the line on Windows: a COM port, typically one
// side of a virtual null-modem pair whose other side the program opens.
#include "sim_line.h"

#include <windows.h>

#include <csignal>

static HANDLE Port = INVALID_HANDLE_VALUE;

static bool Fail(std::string *error, const std::string &what)
{
    *error = what + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

static bool ConfigurePort()
{
    DCB dcb = {};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(Port, &dcb))
        return false;
    dcb.BaudRate = 9600;
    dcb.ByteSize = 8;
    dcb.StopBits = TWOSTOPBITS;
    dcb.Parity = NOPARITY;
    return SetCommState(Port, &dcb) != 0;
}

bool OpenLine(const LineOptions &options, std::string *where, std::string *error)
{
    if (options.port.empty()) {
        *error = "name the COM port to open with --port";
        return false;
    }
    // The \\.\ prefix reaches ports numbered 10 and above as well.
    std::string path = "\\\\.\\" + options.port;
    Port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (Port == INVALID_HANDLE_VALUE)
        return Fail(error, "cannot open " + options.port);
    if (!ConfigurePort())
        return Fail(error, "cannot configure " + options.port);
    *where = options.port;
    return true;
}

// Waits for the first byte up to the time-out, then takes what else is there.
long ReadLine(uint8_t *buffer, size_t capacity, unsigned timeoutMs)
{
    COMMTIMEOUTS timeouts = {MAXDWORD, MAXDWORD, timeoutMs ? timeoutMs : 1, 0, 0};
    SetCommTimeouts(Port, &timeouts);
    DWORD n = 0;
    if (!ReadFile(Port, buffer, (DWORD)capacity, &n, NULL))
        return -1;
    return (long)n;
}

bool WriteLine(const uint8_t *bytes, size_t count)
{
    DWORD written = 0;
    return WriteFile(Port, bytes, (DWORD)count, &written, NULL) && written == count;
}

void DrainLine(unsigned)
{
    FlushFileBuffers(Port);
}

void CloseLine()
{
    if (Port != INVALID_HANDLE_VALUE)
        CloseHandle(Port);
    Port = INVALID_HANDLE_VALUE;
}

static volatile int *StopFlag;

static void OnStopSignal(int)
{
    *StopFlag = 1;
}

void CatchStopSignals(volatile int *stopFlag)
{
    StopFlag = stopFlag;
    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
}
