// Every update of the edit control scrolls and repaints it, which costs about
// as much for a batch of lines as for one (several milliseconds under load), so
// a box at full line rate would outrun a control updated once per frame.
// AppendLog therefore collects the lines of the frames that one poll completes
// and FlushLog adds them to the control together at the end of the poll. The
// window does not repaint in the middle of a poll, so the user sees the same.
#include "display/receive_log.h"
#include "app/globals.h"
#include "res/resource.h"

#include <string.h>

// Lines waiting for the end of the poll. A tick normally brings at most 88
// bytes, about 290 characters of log; the rest is room for ticks that come
// late. Should it fill all the same, the lines so far are flushed early.
static char PendingLines[16384];
static unsigned PendingLength;

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
// the new text; any other caret or selection the user made is put back.
// The end is found by moving the caret past it, where the control stops it,
// rather than by asking for the text's length: that counts the whole text
// again on every update, a quarter of an update's cost in a 4 MB log.
static void AddToControl(const char *text)
{
    HWND log = LogControl();
    DWORD start = 0, end = 0, length = 0;
    SendMessageA(log, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    SendMessageA(log, EM_SETSEL, MAXINT, MAXINT);
    SendMessageA(log, EM_GETSEL, (WPARAM)&length, 0);
    SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)text);
    if (length != start || start != end)
        SendMessageA(log, EM_SETSEL, start, end);
}

void AppendLog(const char *line)
{
    unsigned length = (unsigned)strlen(line);
    if (PendingLength + length >= sizeof PendingLines)
        FlushLog();
    memcpy(PendingLines + PendingLength, line, length + 1);
    PendingLength += length;
}

void FlushLog(void)
{
    if (PendingLength == 0)
        return;
    AddToControl(PendingLines);
    PendingLength = 0;
}

void ClearLog(void)
{
    SetDlgItemTextA(MainWindow, IDC_LOG, "");
}
