#include "app/test_station.h"

#include "app/file_dialog.h"
#include "app/globals.h"
#include "app/local_time.h"
#include "app/message_box.h"
#include "app/plan_files.h"
#include "app/results_file.h"
#include "app/settings.h"
#include "app/shutdown_reason.h"
#include "display/results_row.h"
#include "protocol/contact_check.h"
#include "res/resource.h"

#include <shlwapi.h>

char GloveName[GLOVE_NAME_SIZE];
char ResultsPath[MAX_PATH];

// The value that keeps ResultsPath for the next run.
static const char KeptResults[] = "Results file";

// The file is appended to, so choosing one that exists asks nothing.
static const FileQuestion ResultsQuestion = {IDS_RESULTS_FILTER, "tsv", 0, FALSE};

static char Row[RESULTS_ROW_SIZE];

// The check as it stood when its row went into the file, so that a row
// written as the session was asked to end is not written again at close.
static BOOL RowWritten;
static uint32_t RowWrittenAt;

// A glove named gets its row whether or not the box reported anything while
// it was checked, as a dead glove may send nothing; one not named, only once
// a report came.
static BOOL RowDue(void)
{
    if (!ResultsPath[0] || (!ContactCheck.started && !GloveName[0]))
        return FALSE;
    return !RowWritten || RowWrittenAt != ContactCheck.changes;
}

static DWORD WriteGloveRow(void)
{
    if (!RowDue())
        return ERROR_SUCCESS;
    char time[ROW_TIME_SIZE];
    DWORD length = FormatResultsRow(Row, FormatTimeNow(time), GloveName, PlanName, ContactCheck);
    DWORD error = AppendResultsRow(ResultsPath, Row, length);
    if (error == ERROR_SUCCESS) {
        RowWritten = TRUE;
        RowWrittenAt = ContactCheck.changes;
        WithdrawShutdownReason(MainWindow);
    }
    return error;
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
    if (!AskFileName(owner, ResultsQuestion, path))
        return;
    lstrcpyA(ResultsPath, path);
    KeepStationText(KeptResults, path);
}

BOOL WriteLastGlove(HWND owner)
{
    return WriteGloveRowOrSay(owner, IDS_RESULTS_FAILED_AT_CLOSE);
}

BOOL MayEndSession(HWND window)
{
    char reason[256], text[512];
    DWORD error = WriteGloveRow();
    if (error == ERROR_SUCCESS)
        return TRUE;
    FormatReasonInLine(reason, error);
    FormatResourceText(text, sizeof text, IDS_RESULTS_HOLD_SESSION, PathFindFileNameA(ResultsPath),
                       reason);
    SayWhyShutdownWaits(window, text);
    return FALSE;
}

void RestoreStation(void)
{
    ReadStationText(KeptResults, ResultsPath, sizeof ResultsPath);
    RestorePlan();
}
