#include "app/save_log.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/log_file.h"
#include "app/port_dialog.h"
#include "res/resource.h"

static const FileQuestion LogQuestion = {IDS_SAVE_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};
static const FileQuestion RecordQuestion = {IDS_RECORD_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};

// The extensions of the recording's kinds, in the order of its filter. A
// name that ends in the extension of a kind after the first makes that kind,
// whatever type is picked.
static const char *const RecordExtensions[] = {"log", "tsv", "vcd"};
static const DWORD RECORD_TYPES = ARRAYSIZE(RecordExtensions);

// The name is offered without an extension, so that the type picked gives
// it one.
BOOL AskRecordFileName(HWND owner, char *path, RecordKind *kind)
{
    OfferDatedName(path, NULL);
    DWORD picked = AskFileName(owner, RecordQuestion, path);
    if (picked == 0)
        return FALSE;
    *kind = picked <= RECORD_TYPES ? (RecordKind)(picked - 1) : RECORD_PLAIN;
    for (DWORD named = RECORD_TIMES; named < RECORD_TYPES; named++)
        if (HasExtension(path, RecordExtensions[named]))
            *kind = (RecordKind)named;
    return TRUE;
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

void SaveLogAs(HWND owner, const char *path)
{
    DWORD error = SaveLogToFile(path);
    if (error != ERROR_SUCCESS)
        ShowFileError(owner, IDS_SAVE_FAILED, error);
}

void SaveLog(HWND owner)
{
    char path[MAX_PATH];
    OfferDatedName(path, "log");
    if (AskFileName(owner, LogQuestion, path))
        SaveLogAs(owner, path);
}
