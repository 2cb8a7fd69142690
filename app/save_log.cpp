#include "app/save_log.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/log_file.h"
#include "app/port_dialog.h"
#include "res/resource.h"

static const FileQuestion LogQuestion = {IDS_SAVE_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};
static const FileQuestion RecordQuestion = {IDS_RECORD_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};

// The kinds of recording, in the order of the types IDS_RECORD_FILTER offers.
struct RecordKind {
    const char *extension;
    BOOL withTimes;
};

static const RecordKind RecordKinds[] = {
    {"log", FALSE},
    {"tsv", TRUE},
};

// The name is offered without an extension, so that the type picked gives
// it one. The type picked decides the kind, unless the name ends in the
// extension of another kind than the plain log.
BOOL AskRecordFileName(HWND owner, char *path, BOOL *withTimes)
{
    OfferDatedName(path, NULL);
    DWORD picked = AskFileName(owner, RecordQuestion, path);
    if (picked == 0)
        return FALSE;
    const RecordKind *kind = &RecordKinds[picked <= ARRAYSIZE(RecordKinds) ? picked - 1 : 0];
    for (unsigned k = 1; k < ARRAYSIZE(RecordKinds); k++)
        if (HasExtension(path, RecordKinds[k].extension))
            kind = &RecordKinds[k];
    *withTimes = kind->withTimes;
    return TRUE;
}

static void FormatReason(char *reason, DWORD error)
{
    reason[0] = '\0';
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL, error, 0,
                   reason, 256, NULL);
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
