// The check runs whether or not the dialog is open; the dialog only shows
// it, and redraws only what changed since it last looked. The station's own
// state, the plan's name, the glove's and the results file, is kept beside
// the check, so that the dialog shows it again when reopened.
#include "app/check_dialog.h"

#include "app/check_sounds.h"
#include "app/clipboard.h"
#include "app/plan_files.h"
#include "app/settings.h"
#include "app/summary_dialog.h"
#include "app/test_station.h"
#include "display/check_picture.h"
#include "display/check_report.h"
#include "protocol/check_verdict.h"
#include "protocol/contact_check.h"
#include "res/resource.h"

static const UINT_PTR TIMER_CHECK_REFRESH = 1;
static const UINT REFRESH_PERIOD_MS = 1000;

// The verdict, to be read from a step away: the dialog's font, bold and
// seven fourths its size, made once for the program's life.
static HFONT VerdictFont;
static const COLORREF PassColour = RGB(0, 140, 0);
static const COLORREF FailColour = RGB(210, 0, 0);

// ContactCheck.changes when the dialog last showed the check, and the verdict
// it showed.
static uint32_t ShownChanges;
static Verdict ShownVerdict;

// The dialog while it is shown, and the value that keeps whether it was as
// the program ended.
static HWND CheckWindow;
static const char KeptShown[] = "Check open";

// Setting a text scrolls it back to its start and repaints it, so it is set
// only when it changed, not whenever a pair did.
static void SetTextIfChanged(HWND dialog, int id, const char *text)
{
    char shown[CHECK_SUMMARY_SIZE];
    GetDlgItemTextA(dialog, id, shown, sizeof shown);
    if (lstrcmpA(shown, text) != 0)
        SetDlgItemTextA(dialog, id, text);
}

static void ShowVerdict(HWND dialog)
{
    char verdict[CHECK_VERDICT_SIZE];
    FormatVerdict(verdict, sizeof verdict, ContactCheck);
    // Each verdict has words of its own, so its colour changes only with its
    // text, which repaints the control.
    ShownVerdict = JudgeCheck(ContactCheck).verdict;
    SetTextIfChanged(dialog, IDC_CHECK_VERDICT, verdict);
}

// "Plan glove-v2: 24 pairs", or why the plan kept from the last run is not
// in use.
static void ShowPlan(HWND dialog)
{
    char text[PLAN_TROUBLE_SIZE];
    unsigned size = ContactCheck.plan.size;
    if (!ContactCheck.hasPlan)
        lstrcpynA(text, PlanTrouble[0] ? PlanTrouble : "Plan: none", sizeof text);
    else
        wsprintfA(text,
                  PlanIsKept() ? "Plan %s: %u pair%s"
                               : "Plan %s: %u pair%s, not kept for the next run until saved",
                  PlanName, size, size == 1 ? "" : "s");
    SetTextIfChanged(dialog, IDC_CHECK_PLAN_NAME, text);
    EnableWindow(GetDlgItem(dialog, IDC_CHECK_SAVE_PLAN), ContactCheck.hasPlan);
}

// The plan, the glove being checked and the results file.
static void ShowStation(HWND dialog)
{
    char text[MAX_PATH + 64];
    ShowPlan(dialog);
    wsprintfA(text, "Glove being checked: %s", GloveName[0] ? GloveName : "not named");
    SetTextIfChanged(dialog, IDC_CHECK_GLOVE_NAME, text);
    wsprintfA(text, "Results: %s", ResultsPath[0] ? ResultsPath : "not kept");
    SetTextIfChanged(dialog, IDC_CHECK_RESULTS_NAME, text);
}

static void ShowCheck(HWND dialog)
{
    char summary[CHECK_SUMMARY_SIZE];
    ShownChanges = ContactCheck.changes;
    InvalidateRect(GetDlgItem(dialog, IDC_CHECK_PICTURE), NULL, FALSE);
    FormatCheckSummary(summary, sizeof summary, ContactCheck);
    SetTextIfChanged(dialog, IDC_CHECK_SUMMARY, summary);
    ShowVerdict(dialog);
    ShowStation(dialog);
}

static void ShowCheckIfChanged(HWND dialog)
{
    if (ContactCheck.changes != ShownChanges)
        ShowCheck(dialog);
}

static void CopyCheck(HWND dialog)
{
    char report[CHECK_REPORT_SIZE];
    PutOnClipboard(dialog, report, FormatCheckReport(report, sizeof report, ContactCheck));
}

// A button clicked with the mouse keeps the focus, and with it the default;
// Enter then would reset again, or replace the plan. Close takes it back.
static void FocusClose(HWND dialog)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDCANCEL), TRUE);
}

// The glove box, focused, has Enter press "Next glove".
static void FocusGloveBox(HWND dialog)
{
    SendMessageA(dialog, WM_NEXTDLGCTL, (WPARAM)GetDlgItem(dialog, IDC_CHECK_GLOVE), TRUE);
}

// The glove box gets the focus back with its text selected, so that the
// next scan replaces it; a row not written leaves the check as it was.
static void OnNextGlove(HWND dialog)
{
    char name[GLOVE_NAME_SIZE];
    GetDlgItemTextA(dialog, IDC_CHECK_GLOVE, name, sizeof name);
    if (NextGlove(dialog, name))
        ShowCheck(dialog);
    FocusGloveBox(dialog);
    SendDlgItemMessageA(dialog, IDC_CHECK_GLOVE, EM_SETSEL, 0, -1);
}

// Enter in the glove box, as a barcode scanner presses it, is "Next glove";
// anywhere else it is Close's, which changes nothing.
static void OnGloveBoxFocus(HWND dialog, int notification)
{
    if (notification == EN_SETFOCUS)
        SendMessageA(dialog, DM_SETDEFID, IDC_CHECK_NEXT, 0);
    else if (notification == EN_KILLFOCUS)
        SendMessageA(dialog, DM_SETDEFID, IDCANCEL, 0);
}

static void OnSoundsBox(HWND dialog)
{
    TurnSoundsOn(IsDlgButtonChecked(dialog, IDC_CHECK_SOUNDS) == BST_CHECKED);
}

// The buttons that act on the check or the station show it afresh and then
// hand the default back to Close.
static void OnCommand(HWND dialog, int id, int notification)
{
    switch (id) {
    case IDC_CHECK_COPY:
        return CopyCheck(dialog);
    case IDC_CHECK_NEXT:
        return OnNextGlove(dialog);
    case IDC_CHECK_GLOVE:
        return OnGloveBoxFocus(dialog, notification);
    case IDC_CHECK_SOUNDS:
        return OnSoundsBox(dialog);
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return;
    case IDC_CHECK_PLAN:
        TakePlan();
        break;
    case IDC_CHECK_RESET:
        ResetContactCheck();
        break;
    case IDC_CHECK_OPEN_PLAN:
        OpenPlan(dialog);
        break;
    case IDC_CHECK_SAVE_PLAN:
        SavePlan(dialog);
        break;
    case IDC_CHECK_RESULTS:
        ChooseResultsFile(dialog);
        break;
    case IDC_CHECK_RESULTS_SUMMARY:
        ShowResultsSummary(dialog, ResultsPath);
        break;
    default:
        return;
    }
    ShowCheck(dialog);
    FocusClose(dialog);
}

// Opened for the next scan, the glove box has the focus; otherwise Close.
static void OnInitDialog(HWND dialog, BOOL forScan)
{
    CheckWindow = dialog;
    if (!VerdictFont) {
        LOGFONTA font;
        GetObjectA((HFONT)SendMessageA(dialog, WM_GETFONT, 0, 0), sizeof font, &font);
        font.lfHeight = font.lfHeight * 7 / 4;
        font.lfWeight = FW_BOLD;
        VerdictFont = CreateFontIndirectA(&font);
    }
    SendDlgItemMessageA(dialog, IDC_CHECK_VERDICT, WM_SETFONT, (WPARAM)VerdictFont, FALSE);
    SendDlgItemMessageA(dialog, IDC_CHECK_GLOVE, EM_LIMITTEXT, GLOVE_NAME_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_CHECK_GLOVE, GloveName);
    CheckDlgButton(dialog, IDC_CHECK_SOUNDS, SoundsOn ? BST_CHECKED : BST_UNCHECKED);
    ShowCheck(dialog);
    SetTimer(dialog, TIMER_CHECK_REFRESH, REFRESH_PERIOD_MS, NULL);
    if (forScan)
        FocusGloveBox(dialog);
    else
        SetFocus(GetDlgItem(dialog, IDCANCEL));
}

static void OnDrawItem(const DRAWITEMSTRUCT *item)
{
    if (item->CtlID == IDC_CHECK_PICTURE)
        DrawContactCheck(item->hDC, item->rcItem, ContactCheck);
}

// The verdict's colour; the dialog's face behind it, from the system's brush.
static INT_PTR ColourVerdict(HDC dc)
{
    SetTextColor(dc, ShownVerdict == VERDICT_PASS   ? PassColour
                     : ShownVerdict == VERDICT_FAIL ? FailColour
                                                    : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return (INT_PTR)GetSysColorBrush(COLOR_BTNFACE);
}

static INT_PTR CALLBACK CheckDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, (BOOL)lParam);
        return FALSE;
    case WM_TIMER:
        ShowCheckIfChanged(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_DRAWITEM:
        OnDrawItem((const DRAWITEMSTRUCT *)lParam);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID((HWND)lParam) == IDC_CHECK_VERDICT)
            return ColourVerdict((HDC)wParam);
        break;
    }
    return FALSE;
}

static void RunCheckDialog(HWND owner, BOOL forScan)
{
    DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_CONTACT_CHECK), owner, CheckDlgProc, forScan);
    CheckWindow = NULL;
}

void ShowContactCheck(HWND owner)
{
    RunCheckDialog(owner, FALSE);
}

void KeepWhetherCheckShown(void)
{
    KeepStationFlag(KeptShown, CheckWindow != NULL);
}

void ReopenCheckIfKept(HWND owner)
{
    if (ReadStationFlag(KeptShown))
        RunCheckDialog(owner, TRUE);
}
