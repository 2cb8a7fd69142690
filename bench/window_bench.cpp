// Costs of the main window's two busy paths under Wine, in the real window
// template shown on screen: one update of the receive log at log sizes up to
// 64 MB, step by step, and one paint of the contact picture; and one paint of
// the contact check's picture in its own dialog. Prints one figure a line:
// NAME<TAB>VALUE<TAB>UNIT, each the median of several repetitions.
//
// usage: window_bench [REPETITIONS]   (5)
#include "app/globals.h"
#include "app/receivers.h"
#include "tools/clock.h"
#include "display/check_picture.h"
#include "display/contact_display.h"
#include "display/receive_log.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Log sizes before the update, in bytes, of the shortest report's lines: the
// most lines a log of its size holds, and under Wine the lines are the cost.
struct LogSize {
    const char *name;
    size_t bytes;
};

static const LogSize LogSizes[] = {
    {"1 MB", 1 << 20},
    {"4 MB", 4 << 20},
    {"16 MB", 16 << 20},
    {"64 MB", 64 << 20},
};

// The 22 shortest reports that a 100 ms tick carries at full line rate.
static const unsigned TICK_LINES = 22;
static const char ShortestLine[] = "80 08 10 8F\r\n";
static const uint8_t ShortestFrame[] = {0x80, 0x08, 0x10, 0x8F};

static const unsigned DRAW_REPETITIONS = 200;

// What the main window does at WM_INITDIALOG for the log and the picture,
// without settings, port or timers.
static INT_PTR CALLBACK BenchDlgProc(HWND dialog, UINT message, WPARAM, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        MainWindow = dialog;
        CreateDrawingObjects();
        SendDlgItemMessageA(dialog, IDC_LOG, WM_SETFONT, (WPARAM)LogFont, FALSE);
        ConnectReceivers(MainWindow);
        return TRUE;
    case WM_DRAWITEM:
        DrawContacts((const DRAWITEMSTRUCT *)lParam);
        break;
    }
    return FALSE;
}

static void PumpMessages(void)
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
        DispatchMessageA(&msg);
}

static double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

static std::string Lines(size_t count)
{
    std::string text;
    for (size_t i = 0; i < count; i++)
        text += ShortestLine;
    return text;
}

// A log that has been running a while, shown at its end as it would be. The
// text goes in at the start in large pieces, where the control finds its
// place without walking its lines.
static void FillLog(HWND log, size_t bytes)
{
    const std::string piece = Lines((1 << 20) / (sizeof ShortestLine - 1));
    SetWindowTextA(log, "");
    for (size_t pieces = (bytes + piece.size() / 2) / piece.size(); pieces > 0; pieces--) {
        SendMessageA(log, EM_SETSEL, 0, 0);
        SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)piece.c_str());
    }
    SendMessageA(log, EM_SETSEL, MAXINT, MAXINT);
    SendMessageA(log, EM_SCROLLCARET, 0, 0);
    UpdateWindow(log);
    PumpMessages();
}

// The steps of one update of the log, each timed on its own, and the update
// as the program makes it. The caret is at the end throughout, as it is
// while nobody touches the log.
enum Step {
    STEP_GET_SELECTION,
    STEP_CARET_TO_END,
    STEP_INSERT,
    STEP_REPAINT,
    STEP_LINE_COUNT,
    STEP_TEXT_LENGTH,
    STEP_WHOLE_UPDATE,
    STEP_COUNT
};

static const char *const StepNames[STEP_COUNT] = {
    "EM_GETSEL",
    "EM_SETSEL to the end",
    "EM_REPLACESEL of 22 lines",
    "the repaint that follows",
    "EM_GETLINECOUNT",
    "WM_GETTEXTLENGTH",
    "whole update of 22 lines, repaint included",
};

static void TimeSteps(HWND log, const std::string &tick, double seconds[STEP_COUNT])
{
    DWORD start = 0, end = 0;
    double t[STEP_COUNT + 1];
    t[0] = Now();
    SendMessageA(log, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    t[1] = Now();
    SendMessageA(log, EM_SETSEL, MAXINT, MAXINT);
    t[2] = Now();
    SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)tick.c_str());
    t[3] = Now();
    UpdateWindow(log);
    t[4] = Now();
    SendMessageA(log, EM_GETLINECOUNT, 0, 0);
    t[5] = Now();
    GetWindowTextLengthA(log);
    t[6] = Now();
    for (unsigned i = 0; i < TICK_LINES; i++)
        for (uint8_t byte : ShortestFrame)
            FeedByte(byte);
    FlushLog();
    t[7] = Now();
    for (unsigned i = 0; i < STEP_COUNT; i++)
        seconds[i] = t[i + 1] - t[i];
    PumpMessages();
}

static void BenchLogUpdates(unsigned repetitions)
{
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    const std::string tick = Lines(TICK_LINES);
    for (const LogSize &size : LogSizes) {
        double fillStart = Now();
        FillLog(log, size.bytes);
        std::printf("log of %s: lines\t%ld\t\n", size.name,
                    (long)SendMessageA(log, EM_GETLINECOUNT, 0, 0));
        std::printf("log of %s: filling it in 1 MB pieces at the start\t%.1f\ts\n", size.name,
                    Now() - fillStart);
        std::fflush(stdout);
        std::vector<double> times[STEP_COUNT];
        double seconds[STEP_COUNT];
        TimeSteps(log, tick, seconds); // warm-up
        for (unsigned i = 0; i < repetitions; i++) {
            TimeSteps(log, tick, seconds);
            for (unsigned step = 0; step < STEP_COUNT; step++)
                times[step].push_back(seconds[step]);
        }
        for (unsigned step = 0; step < STEP_COUNT; step++)
            std::printf("log of %s: %s\t%.2f\tms\n", size.name, StepNames[step],
                        Median(times[step]) * 1e3);
        std::fflush(stdout);
    }
}

// The busiest picture: five groups and a timestamp, into the control's own DC.
static void BenchDrawContacts(void)
{
    static const uint16_t Groups[MAX_GROUPS] = {0x1008, 0x0206, 0x0401, 0x2020, 0x0810};
    ContactState.GroupCount = MAX_GROUPS;
    std::copy(Groups, Groups + MAX_GROUPS, ContactState.Groups);
    ContactState.TimestampMs = 272;

    HWND control = GetDlgItem(MainWindow, IDC_CONTACTS);
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_STATIC;
    item.CtlID = IDC_CONTACTS;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = control;
    GetClientRect(control, &item.rcItem);
    item.hDC = GetDC(control);
    std::vector<double> times;
    for (unsigned i = 0; i < DRAW_REPETITIONS; i++) {
        int saved = SaveDC(item.hDC);
        double start = Now();
        DrawContacts(&item);
        GdiFlush();
        times.push_back(Now() - start);
        RestoreDC(item.hDC, saved);
    }
    ReleaseDC(control, item.hDC);
    std::printf("DrawContacts, %ld x %ld, five groups and a timestamp\t%.0f\tus\n",
                item.rcItem.right, item.rcItem.bottom, Median(times) * 1e6);
}

static INT_PTR CALLBACK QuietDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// Every pair made at some time and bounced, half of them made now and half
// in a plan, so that every cell carries marks.
static ContactCheckState BusiestCheck(void)
{
    ContactCheckState check = {};
    check.started = check.hasPlan = true;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++) {
        check.made.rows[a] = check.bounced.rows[a] = 0x0FFF;
        check.madeNow.rows[a] = 0x0AAA;
        check.plan.pairs.rows[a] = 0x0555;
    }
    for (PairRecord &pair : check.pairs)
        pair = {3, 2, 500, 10, 15, 2, {}, false};
    return check;
}

// The contact check's picture, at the size of its control, into the
// control's own DC; the dialog repaints it at most once a second.
static void BenchDrawContactCheck(void)
{
    HWND dialog =
        CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_CONTACT_CHECK), NULL, QuietDlgProc, 0);
    ShowWindow(dialog, SW_SHOW);
    PumpMessages();
    ContactCheckState check = BusiestCheck();
    HWND control = GetDlgItem(dialog, IDC_CHECK_PICTURE);
    RECT area;
    GetClientRect(control, &area);
    HDC dc = GetDC(control);
    std::vector<double> times;
    for (unsigned i = 0; i < DRAW_REPETITIONS; i++) {
        int saved = SaveDC(dc);
        double start = Now();
        DrawContactCheck(dc, area, check);
        GdiFlush();
        times.push_back(Now() - start);
        RestoreDC(dc, saved);
    }
    ReleaseDC(control, dc);
    DestroyWindow(dialog);
    std::printf("DrawContactCheck, %ld x %ld, every pair made and bounced\t%.0f\tus\n", area.right,
                area.bottom, Median(times) * 1e6);
}

int main(int argc, char **argv)
{
    unsigned repetitions = argc > 1 ? (unsigned)std::atoi(argv[1]) : 5;
    AppInstance = GetModuleHandleA(NULL);
    HWND dialog =
        CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_MAIN), NULL, BenchDlgProc, 0);
    if (!dialog) {
        std::fprintf(stderr, "window_bench: cannot create the main window\n");
        return 1;
    }
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    PumpMessages();
    if (!IsWindowVisible(dialog)) {
        std::fprintf(stderr, "window_bench: the main window is not visible\n");
        return 1;
    }
    BenchDrawContacts();
    BenchDrawContactCheck();
    BenchLogUpdates(repetitions);
    DestroyWindow(dialog);
    return 0;
}
