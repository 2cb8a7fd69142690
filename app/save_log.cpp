#include "app/save_log.h"

#include "app/globals.h"
#include "app/log_file.h"
#include "app/port_dialog.h"
#include "res/resource.h"

#include <commdlg.h>
#include <dlgs.h>

static const char DefaultExtension[] = "log";

// The extensions of the recording's kinds, in the order of its filter. A
// name that ends in the extension of a kind after the first makes that kind,
// whatever type is picked.
static const char *const RecordExtensions[] = {"log", "tsv", "vcd"};
static const DWORD RECORD_TYPES = sizeof RecordExtensions / sizeof RecordExtensions[0];

// Name and pattern pairs of a filter, as the string table holds them.
static const int FILTER_SIZE = 128;

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
static void LoadFilter(int filterId, char *filter, int size)
{
    int length = LoadStringA(AppInstance, filterId, filter, size - 1);
    for (int i = 0; i < length; i++)
        if (filter[i] == '|')
            filter[i] = '\0';
    filter[length + 1] = '\0';
}

// Sets up the Save As dialog with the filter `filterId`, offering the default
// file name in `path`; `filter` holds FILTER_SIZE characters.
static void PrepareSaveDialog(OPENFILENAMEA *dialog, HWND owner, char *path, int filterId,
                              char *filter)
{
    LoadFilter(filterId, filter, FILTER_SIZE);
    DefaultFileName(path);
    *dialog = OPENFILENAMEA{};
    dialog->lStructSize = sizeof *dialog;
    dialog->hwndOwner = owner;
    dialog->lpstrFilter = filter;
    dialog->nFilterIndex = 1;
    dialog->lpstrFile = path;
    dialog->nMaxFile = MAX_PATH;
    dialog->lpstrDefExt = DefaultExtension;
    dialog->Flags = SaveDialogFlags;
}

BOOL AskLogFileName(HWND owner, char *path)
{
    char filter[FILTER_SIZE];
    OPENFILENAMEA dialog;
    PrepareSaveDialog(&dialog, owner, path, IDS_SAVE_FILTER, filter);
    return GetSaveFileNameA(&dialog);
}

static BOOL HasExtension(const char *name, const char *extension)
{
    int length = lstrlenA(name), tail = lstrlenA(extension) + 1;
    return length > tail && name[length - tail] == '.' &&
           lstrcmpiA(name + length - tail + 1, extension) == 0;
}

// The kind of the type picked, the filter's first being 1.
static RecordKind KindOfType(DWORD type)
{
    return type >= 1 && type <= RECORD_TYPES ? (RecordKind)(type - 1) : RECORD_PLAIN;
}

// Windows may add the default extension to a name whose extension it does not
// know, so the default follows the type picked; a name in the box that ends
// in another type's extension takes the picked one's, as the type of the
// file changes with it.
static void FollowRecordType(HWND dialog, DWORD type)
{
    const char *picked = RecordExtensions[KindOfType(type)];
    SendMessageA(dialog, CDM_SETDEFEXT, 0, (LPARAM)picked);
    char name[MAX_PATH];
    GetDlgItemTextA(dialog, cmb13, name, sizeof name);
    for (const char *other : RecordExtensions) {
        if (HasExtension(name, other)) {
            lstrcpyA(name + lstrlenA(name) - lstrlenA(other), picked);
            SetDlgItemTextA(dialog, cmb13, name);
            return;
        }
    }
}

// The hook's window is a child of the Save As dialog.
static UINT_PTR CALLBACK RecordDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    const OFNOTIFYA *notify = (const OFNOTIFYA *)lParam;
    if (message == WM_NOTIFY && notify->hdr.code == CDN_TYPECHANGE)
        FollowRecordType(GetParent(hook), notify->lpOFN->nFilterIndex);
    return 0;
}

BOOL AskRecordFileName(HWND owner, char *path, RecordKind *kind)
{
    char filter[FILTER_SIZE];
    OPENFILENAMEA dialog;
    PrepareSaveDialog(&dialog, owner, path, IDS_RECORD_FILTER, filter);
    dialog.Flags |= OFN_ENABLEHOOK | OFN_ENABLESIZING;
    dialog.lpfnHook = RecordDialogHook;
    if (!GetSaveFileNameA(&dialog))
        return FALSE;
    *kind = KindOfType(dialog.nFilterIndex);
    for (DWORD named = RECORD_TIMES; named < RECORD_TYPES; named++)
        if (HasExtension(path, RecordExtensions[named]))
            *kind = (RecordKind)named;
    return TRUE;
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
