// The dialog shows each count in the value control beside its label. "Copy"
// takes the labels and values as they are shown, one count a line, so that
// what is pasted is what was seen.
#include "app/stats_dialog.h"

#include "app/clipboard.h"
#include "app/line_stats.h"
#include "display/text_writer.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"

#include <shlwapi.h>

static const UINT_PTR TIMER_STATS_REFRESH = 1;
static const UINT REFRESH_PERIOD_MS = 1000;

// The line's capacity at 9600 baud with 11 bits a byte, in bytes per 1000 s.
static const DWORD LINE_CAPACITY_MILLIBYTES = 9600 * 1000 / 11;

// Rows that show one plain count.
struct CountRow {
    int id;
    const uint64_t *count;
};

static const CountRow CountRows[] = {
    {IDC_STAT_BYTES, &LineStats.bytes},
    {IDC_STAT_REPORTS, &LineStats.reports},
    {IDC_STAT_TIMED, &LineStats.timedReports},
    {IDC_STAT_TEXT, &LineStats.textReplies},
    {IDC_STAT_OUTSIDE, &FrameDrops.BytesOutsideFrames},
    {IDC_STAT_CUT, &FrameDrops.CutFrames},
    {IDC_STAT_PAST_CUT, &FrameDrops.BytesPastCut},
    {IDC_STAT_LOST, &LineStats.portLost},
    {IDC_STAT_BACK, &LineStats.portBack},
};

// wsprintfA cannot format a 64-bit count.
static char *FormatCount(char *text, uint64_t count)
{
    text = PutDecimal(text, count);
    *text = '\0';
    return text;
}

static void FormatTime(char *text, const SYSTEMTIME &time)
{
    wsprintfA(text, "%04u-%02u-%02u %02u:%02u:%02u", time.wYear, time.wMonth, time.wDay, time.wHour,
              time.wMinute, time.wSecond);
}

// "3, last at 2026-12-08 03:14:07", or "0".
static void FormatLineError(char *text, const LineErrorCount &error)
{
    char *end = FormatCount(text, error.count);
    if (error.count) {
        lstrcpyA(end, ", last at ");
        FormatTime(end + lstrlenA(end), error.last);
    }
}

// "872 bytes/s, 99.9 % of the line".
static void FormatByteRate(char *text)
{
    DWORD tenths = (DWORD)((uint64_t)LineStats.bytesPerSecond * 1000000 / LINE_CAPACITY_MILLIBYTES);
    wsprintfA(text, "%lu bytes/s, %lu.%lu %% of the line", LineStats.bytesPerSecond, tenths / 10,
              tenths % 10);
}

// Only a value that changed is set: each set repaints its control, and at
// full line rate most rows stay as they are.
static void ShowRow(HWND dialog, int id, const char *text)
{
    char shown[64];
    GetDlgItemTextA(dialog, id, shown, sizeof shown);
    if (lstrcmpA(shown, text) != 0)
        SetDlgItemTextA(dialog, id, text);
}

static void ShowStatistics(HWND dialog)
{
    char text[64];
    FormatTime(text, LineStats.since);
    ShowRow(dialog, IDC_STAT_SINCE, text);
    for (const CountRow &row : CountRows) {
        FormatCount(text, *row.count);
        ShowRow(dialog, row.id, text);
    }
    for (int kind = 0; kind < LINE_ERROR_KINDS; kind++) {
        FormatLineError(text, LineStats.errors[kind]);
        ShowRow(dialog, IDC_STAT_OVERRUN + kind, text);
    }
    FormatByteRate(text);
    ShowRow(dialog, IDC_STAT_BYTE_RATE, text);
    wsprintfA(text, "%lu", LineStats.framesPerSecond);
    ShowRow(dialog, IDC_STAT_FRAME_RATE, text);
}

// "Label: value" of every row, each ending in CR LF.
static DWORD FormatRows(HWND dialog, char *text, DWORD size)
{
    DWORD length = 0;
    for (int id = IDC_STAT_SINCE; id <= IDC_STAT_LAST; id++) {
        char label[64], value[64];
        GetDlgItemTextA(dialog, id + IDC_STAT_LABEL, label, sizeof label);
        GetDlgItemTextA(dialog, id, value, sizeof value);
        length += wnsprintfA(text + length, (int)(size - length), "%s %s\r\n", label, value);
    }
    return length;
}

static void CopyStatistics(HWND dialog)
{
    char text[(IDC_STAT_LAST - IDC_STAT_SINCE + 1) * 130];
    PutOnClipboard(dialog, text, FormatRows(dialog, text, sizeof text));
}

static void OnCommand(HWND dialog, int id)
{
    switch (id) {
    case IDC_STAT_RESET:
        ResetLineStatistics();
        ShowStatistics(dialog);
        break;
    case IDC_STAT_COPY:
        CopyStatistics(dialog);
        break;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        break;
    }
}

static INT_PTR CALLBACK StatsDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        ShowStatistics(dialog);
        SetTimer(dialog, TIMER_STATS_REFRESH, REFRESH_PERIOD_MS, NULL);
        // Close has the focus, so that Enter does not reset the counts.
        SetFocus(GetDlgItem(dialog, IDCANCEL));
        return FALSE;
    case WM_TIMER:
        RollLineSecond();
        ShowStatistics(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    }
    return FALSE;
}

void ShowLineStatistics(HWND owner)
{
    DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_LINE_STATISTICS), owner, StatsDlgProc, 0);
}
