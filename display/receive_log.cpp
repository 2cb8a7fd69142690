#include "display/receive_log.h"
#include "app/globals.h"
#include "res/resource.h"

static HWND LogControl(void)
{
    return GetDlgItem(MainWindow, IDC_LOG);
}

// A limit of 0 means the largest the control allows.
void RaiseLogLimit(void)
{
    SendMessageA(LogControl(), EM_SETLIMITTEXT, 0, 0);
}

// New text always goes at the end. A caret that was at the very end follows
// the new line; any other caret or selection the user made is put back.
void AppendLog(const char *line)
{
    HWND log = LogControl();
    DWORD length = (DWORD)GetWindowTextLengthA(log);
    DWORD start = 0, end = 0;
    SendMessageA(log, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    SendMessageA(log, EM_SETSEL, length, length);
    SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)line);
    if (length != start || start != end)
        SendMessageA(log, EM_SETSEL, start, end);
}

void ClearLog(void)
{
    SetDlgItemTextA(MainWindow, IDC_LOG, "");
}
