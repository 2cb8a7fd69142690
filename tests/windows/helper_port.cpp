#include "tests/windows/helper_port.h"

#include <gtest/gtest.h>

HANDLE OpenHelperPort(DWORD number, DWORD readTimeoutMs)
{
    char path[32];
    wsprintfA(path, "\\\\.\\COM%lu", number);
    HANDLE h = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    COMMTIMEOUTS timeouts = {0, 0, readTimeoutMs, 0, 0};
    SetCommTimeouts(h, &timeouts);
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    return h;
}

void Write(HANDLE h, const std::string &bytes)
{
    DWORD written = 0;
    WriteFile(h, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    ASSERT_EQ(written, bytes.size());
}

std::string ReadAvailable(HANDLE h)
{
    char buffer[64];
    DWORD count = 0;
    ReadFile(h, buffer, sizeof buffer, &count, NULL);
    return std::string(buffer, count);
}
