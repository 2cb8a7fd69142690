#include "app/save_log.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/log_file.h"
#include "app/message_box.h"
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
