#include "app/clipboard.h"

#include <string.h>

void PutOnClipboard(HWND owner, const char *text, DWORD length)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length + 1);
    if (!memory)
        return;
    char *copy = (char *)GlobalLock(memory);
    memcpy(copy, text, length);
    copy[length] = '\0';
    GlobalUnlock(memory);
    if (OpenClipboard(owner)) {
        EmptyClipboard();
        if (SetClipboardData(CF_TEXT, memory))
            memory = NULL; // the clipboard owns it now
        CloseClipboard();
    }
    if (memory)
        GlobalFree(memory);
}
