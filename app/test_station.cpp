#include "app/test_station.h"

#include "app/file_dialog.h"
#include "app/local_time.h"
#include "app/plan_files.h"
#include "app/results_file.h"
#include "app/save_log.h"
#include "protocol/contact_check.h"
#include "res/resource.h"

char GloveName[GLOVE_NAME_SIZE];
char ResultsPath[MAX_PATH];

// The file is appended to, so choosing one that exists asks nothing.
static const FileQuestion ResultsQuestion = {IDS_RESULTS_FILTER, "tsv", 0, FALSE};

static char Row[RESULTS_ROW_SIZE];

static DWORD WriteGloveRow(void)
{
    if (!ResultsPath[0] || !ContactCheck.started)
        return ERROR_SUCCESS;
    char time[ROW_TIME_SIZE];
    DWORD length = FormatResultsRow(Row, FormatTimeNow(time), GloveName, PlanName, ContactCheck);
    return AppendResultsRow(ResultsPath, Row, length);
}

// The box names the file, as another may be chosen.
static BOOL WriteGloveRowOrSay(HWND owner, int textId)
{
    DWORD error = WriteGloveRow();
    if (error != ERROR_SUCCESS && owner)
        ShowNamedFileError(owner, textId, ResultsPath, error);
    return error == ERROR_SUCCESS;
}

BOOL NextGlove(HWND owner, const char *name)
{
    if (!WriteGloveRowOrSay(owner, IDS_RESULTS_FAILED))
        return FALSE;
    ResetContactCheck();
    lstrcpynA(GloveName, name, sizeof GloveName);
    return TRUE;
}

void ChooseResultsFile(HWND owner)
{
    char path[MAX_PATH];
    lstrcpyA(path, ResultsPath[0] ? ResultsPath : "results");
    if (AskFileName(owner, ResultsQuestion, path))
        lstrcpyA(ResultsPath, path);
}

BOOL WriteLastGlove(HWND owner)
{
    return WriteGloveRowOrSay(owner, IDS_RESULTS_FAILED_AT_CLOSE);
}
