// The save runs on the UI thread while the port is not polled, so it is kept
// to one read of the whole text and one write of it; the serial driver holds
// what arrives meanwhile until the next poll.
#include "app/log_file.h"

#include "app/file_io.h"
#include "app/globals.h"
#include "display/receive_log.h"
#include "res/resource.h"

char *ReadWholeLog(DWORD *length)
{
    FlushLog();
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    DWORD size = (DWORD)SendMessageA(log, WM_GETTEXTLENGTH, 0, 0) + 1;
    char *text = (char *)HeapAlloc(GetProcessHeap(), 0, size);
    if (text)
        *length = (DWORD)SendMessageA(log, WM_GETTEXT, size, (LPARAM)text);
    // A control that cannot find the memory to hand its text over gives none:
    // under Wine a log of some 280 MB, with room for this buffer left.
    if (text && *length == 0 && size > 1) {
        HeapFree(GetProcessHeap(), 0, text);
        text = NULL;
    }
    return text;
}

DWORD SaveLogToFile(const char *path)
{
    DWORD length = 0;
    char *text = ReadWholeLog(&length);
    if (!text)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD error = ReplaceFileWith(path, text, length);
    HeapFree(GetProcessHeap(), 0, text);
    return error;
}
