// The check runs whether or not the dialog is open; the dialog only shows
// it, and redraws only what changed since it last looked.
#include "app/check_dialog.h"

#include "app/clipboard.h"
#include "display/check_picture.h"
#include "display/check_report.h"
#include "protocol/contact_check.h"
#include "res/resource.h"

static const UINT_PTR TIMER_CHECK_REFRESH = 1;
static const UINT REFRESH_PERIOD_MS = 1000;

// ContactCheck.changes when the dialog last showed the check.
static uint32_t ShownChanges;

// Setting the summary's text scrolls it back to its start, so it is set only
// when it changed, not whenever a pair did.
static void ShowSummary(HWND dialog)
{
    char summary[CHECK_SUMMARY_SIZE], shown[CHECK_SUMMARY_SIZE];
    FormatCheckSummary(summary, sizeof summary);
    GetDlgItemTextA(dialog, IDC_CHECK_SUMMARY, shown, sizeof shown);
    if (lstrcmpA(shown, summary) != 0)
        SetDlgItemTextA(dialog, IDC_CHECK_SUMMARY, summary);
}

static void ShowCheck(HWND dialog)
{
    ShownChanges = ContactCheck.changes;
    InvalidateRect(GetDlgItem(dialog, IDC_CHECK_PICTURE), NULL, FALSE);
    ShowSummary(dialog);
}

static void ShowCheckIfChanged(HWND dialog)
{
    if (ContactCheck.changes != ShownChanges)
        ShowCheck(dialog);
}

static void CopyCheck(HWND dialog)
{
    char report[CHECK_REPORT_SIZE];
    PutOnClipboard(dialog, report, FormatCheckReport(report, sizeof report));
}

// A button clicked with the mouse keeps the focus, and with it the default;
// Enter then would reset again, or replace the plan. Close takes it back.
static void FocusClose(HWND dialog)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDCANCEL), TRUE);
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_CHECK_PLAN:
        TakeCheckAsPlan();
        ShowCheck(dialog);
        FocusClose(dialog);
        break;
    case IDC_CHECK_RESET:
        ResetContactCheck();
        ShowCheck(dialog);
        FocusClose(dialog);
        break;
    case IDC_CHECK_COPY:
        CopyCheck(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

static void OnDrawItem(const DRAWITEMSTRUCT *item)
{
    if (item->CtlID == IDC_CHECK_PICTURE)
        DrawContactCheck(item->hDC, item->rcItem, ContactCheck);
}

static INT_PTR CALLBACK CheckDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowCheck(dialog);
        SetTimer(dialog, TIMER_CHECK_REFRESH, REFRESH_PERIOD_MS, NULL);
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    case WM_TIMER:
        ShowCheckIfChanged(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    case WM_DRAWITEM:
        OnDrawItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    }
    return FALSE;
}

void ShowContactCheck(HWND owner)
{
    DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_CONTACT_CHECK), owner, CheckDlgProc, 0);
}
