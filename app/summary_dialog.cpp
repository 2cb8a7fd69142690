// The dialog shows the summary of the files last chosen; "Open files..."
// replaces it with that of the files chosen then. The chart's control
// carries the chart as text too, for a screen reader.
#include "app/summary_dialog.h"

#include "app/clipboard.h"
#include "app/file_dialog.h"
#include "app/summary_files.h"
#include "display/file_list.h"
#include "display/summary_chart.h"
#include "display/summary_text.h"
#include "res/resource.h"

static const FileQuestion OpenQuestion = {IDS_RESULTS_FILTER, "tsv",
                                          OFN_FILEMUSTEXIST | OFN_ALLOWMULTISELECT, TRUE};

// The files as the Open dialog gives them; room for some hundreds.
static char Chosen[32 * 1024];

static ResultsSummary Summary;

// Which files the summary is of: "From PATH", or "From N files in FOLDER".
static char Source[MAX_PATH + 64];

// The texts of the controls: the window's lines, the chart's, and "Copy".
static char Text[SUMMARY_COPY_SIZE];

static BOOL AskResultsFiles(HWND owner)
{
    Chosen[0] = '\0';
    return AskFileNames(owner, OpenQuestion, Chosen, sizeof Chosen) != 0;
}

static void SummariseChosen(HWND owner)
{
    if (!SummariseFiles(owner, Chosen, Summary))
        return;
    unsigned count = CountListedFiles(Chosen);
    if (count == 1)
        wsprintfA(Source, "From %s", Chosen);
    else
        wsprintfA(Source, "From %u files in %s", count, Chosen);
}

static void ShowSummary(HWND dialog)
{
    SetDlgItemTextA(dialog, IDC_SUMMARY_SOURCE, Source);
    FormatSummaryText(Text, Summary);
    SetDlgItemTextA(dialog, IDC_SUMMARY_TEXT, Text);
    FormatChartText(Text, Summary);
    SetDlgItemTextA(dialog, IDC_SUMMARY_CHART, Text);
    InvalidateRect(GetDlgItem(dialog, IDC_SUMMARY_CHART), NULL, FALSE);
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_SUMMARY_OPEN:
        if (AskResultsFiles(dialog)) {
            SummariseChosen(dialog);
            ShowSummary(dialog);
        }
        break;
    case IDC_SUMMARY_COPY:
        PutOnClipboard(dialog, Text, FormatSummaryCopy(Text, Summary));
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

static INT_PTR CALLBACK SummaryDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowSummary(dialog);
        // Close has the focus, so that Enter closes.
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT *item = (const DRAWITEMSTRUCT *)lParam;
        DrawFailingPairs(item->hDC, item->rcItem, Summary);
        return TRUE;
    }
    }
    return FALSE;
}

void ShowResultsSummary(HWND owner, const char *resultsPath)
{
    if (resultsPath[0]) {
        lstrcpynA(Chosen, resultsPath, MAX_PATH);
        Chosen[lstrlenA(Chosen) + 1] = '\0';
    } else if (!AskResultsFiles(owner)) {
        return;
    }
    SummariseChosen(owner);
    DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_RESULTS_SUMMARY), owner, SummaryDlgProc, 0);
}
