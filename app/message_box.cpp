// Every box the program shows: the caption, a text from the string table or
// the code formatted with its arguments, and the system's reason for an error
// in the user's language.
#include "app/message_box.h"

#include "app/globals.h"
#include "res/resource.h"

#include <shlwapi.h>

char MessageCaption[64];

static void FormatTextV(char *text, int size, LPCSTR textOrId, va_list arguments)
{
    char format[256] = "";
    if (IS_INTRESOURCE(textOrId)) {
        LoadStringA(AppInstance, LOWORD((ULONG_PTR)textOrId), format, sizeof format);
        textOrId = format;
    }
    wvnsprintfA(text, size, textOrId, arguments);
}

void FormatResourceText(char *text, int size, int textId, ...)
{
    va_list arguments;
    va_start(arguments, textId);
    FormatTextV(text, size, MAKEINTRESOURCEA(textId), arguments);
    va_end(arguments);
}

int ShowMessage(HWND owner, LPCSTR textOrId, UINT type, ...)
{
    va_list arguments;
    va_start(arguments, type);
    int result = ShowMessageV(owner, textOrId, type, arguments);
    va_end(arguments);
    return result;
}

// The caption is taken from the string table the first time a box is shown,
// unless the program has set one of its own by then.
int ShowMessageV(HWND owner, LPCSTR textOrId, UINT type, va_list arguments)
{
    char text[1024]; // a file's full path and the system's reason fit beside the format
    FormatTextV(text, sizeof text, textOrId, arguments);
    if (MessageCaption[0] == '\0')
        LoadStringA(AppInstance, IDS_ERROR, MessageCaption, sizeof MessageCaption);
    return MessageBoxA(owner, text, MessageCaption, type);
}

static void FormatReason(char *reason, DWORD error)
{
    reason[0] = '\0';
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   reason, 256, NULL);
}

void FormatReasonInLine(char *reason, DWORD error)
{
    FormatReason(reason, error);
    int length = lstrlenA(reason);
    while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n'))
        reason[--length] = '\0';
}

void ShowFileError(HWND owner, int textId, DWORD error)
{
    char reason[256];
    FormatReason(reason, error);
    ShowMessage(owner, MAKEINTRESOURCEA(textId), MB_ICONERROR, reason, error);
}

void ShowNamedFileError(HWND owner, int textId, const char *path, DWORD error)
{
    char reason[256];
    FormatReason(reason, error);
    ShowMessage(owner, MAKEINTRESOURCEA(textId), MB_ICONERROR, path, reason, error);
}
