// Puts text on the clipboard for the dialogs' "Copy".
#ifndef TACTIVIEW_CLIPBOARD_H
#define TACTIVIEW_CLIPBOARD_H

#include <windows.h>

// Replaces the clipboard's content with the length characters of text, as
// CF_TEXT; the owner is the window that copies. Silent on failure: the
// clipboard then keeps what it had, or nothing.
void PutOnClipboard(HWND owner, const char *text, DWORD length);

#endif
