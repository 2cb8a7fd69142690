#include "app/save_log.h"

#include "app/globals.h"
#include "app/log_file.h"
#include "app/port_dialog.h"
#include "res/resource.h"

#include <commdlg.h>

static const char DefaultExtension[] = "log";

// The Save As dialog asks before replacing a file, wants an existing folder,
// offers no read-only box and leaves the process's current folder alone.
static const DWORD SaveDialogFlags =
    OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;

// tactiview-YYYYMMDD-HHMMSS.log, in local time.
static void DefaultFileName(char *name)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wsprintfA(name, "tactiview-%04u%02u%02u-%02u%02u%02u.%s", now.wYear, now.wMonth, now.wDay,
              now.wHour, now.wMinute, now.wSecond, DefaultExtension);
}

// The string table cannot hold the NULs that end each part of a filter, so
// its text ends each part with '|' instead.
static void LoadFilter(char *filter, int size)
{
    int length = LoadStringA(AppInstance, IDS_SAVE_FILTER, filter, size - 1);
    for (int i = 0; i < length; i++)
        if (filter[i] == '|')
            filter[i] = '\0';
    filter[length + 1] = '\0';
}

BOOL AskLogFileName(HWND owner, char *path)
{
    char filter[128];
    LoadFilter(filter, sizeof filter);
    DefaultFileName(path);
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = DefaultExtension;
    dialog.Flags = SaveDialogFlags;
    return GetSaveFileNameA(&dialog);
}

void ShowFileError(HWND owner, int textId, DWORD error)
{
    char reason[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   reason, sizeof reason, NULL);
    ShowMessage(owner, MAKEINTRESOURCEA(textId), MB_ICONERROR, reason, error);
}

void SaveLogAs(HWND owner, const char *path)
{
    DWORD error = SaveLogToFile(path);
    if (error != ERROR_SUCCESS)
        ShowFileError(owner, IDS_SAVE_FAILED, error);
}

void SaveLog(HWND owner)
{
    char path[MAX_PATH];
    if (AskLogFileName(owner, path))
        SaveLogAs(owner, path);
}
