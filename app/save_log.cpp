#include "app/save_log.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/log_file.h"
#include "app/message_box.h"
#include "res/resource.h"

static const FileQuestion LogQuestion = {IDS_SAVE_FILTER, "log", OFN_OVERWRITEPROMPT, FALSE};

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
