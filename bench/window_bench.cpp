// Costs of the main window's two busy paths under Wine, in the real window
// template shown on screen: one update of the receive log at several log sizes,
// and one paint of the contact picture. Prints one figure a line:
// NAME<TAB>VALUE<TAB>UNIT, each the median of several repetitions.
//
// usage: window_bench [REPETITIONS]   (11)
#include "app/globals.h"
#include "display/contact_display.h"
#include "display/receive_log.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Log sizes before the update, in bytes.
struct LogSize {
    const char *name;
    size_t bytes;
};

static const LogSize LogSizes[] = {
    {"10 KB", 10 << 10},
    {"100 KB", 100 << 10},
    {"1 MB", 1 << 20},
    {"4 MB", 4 << 20},
};

// One line a poll, and the 22 shortest reports that a 100 ms tick carries at
// full line rate (87 bytes).
static const unsigned BatchLines[] = {1, 22};

static const char ShortestLine[] = "80 08 10 8F\r\n";
static const char FillLine[] = "81 01 02 04 08 10 20 00 01 8F\r\n";

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
        RaiseLogLimit();
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

static double Now(void)
{
    static LARGE_INTEGER frequency;
    if (frequency.QuadPart == 0)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

static double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A log that has been running a while, shown at its end as it would be.
static void FillLog(HWND log, size_t bytes)
{
    std::string text;
    text.reserve(bytes + sizeof FillLine);
    while (text.size() < bytes)
        text += FillLine;
    SetWindowTextA(log, text.c_str());
    SendMessageA(log, EM_SETSEL, text.size(), text.size());
    SendMessageA(log, EM_SCROLLCARET, 0, 0);
    UpdateWindow(log);
    PumpMessages();
}

// One poll's log update as PollPort makes it, then the repaint it asked for.
static void TimeUpdate(HWND log, unsigned lines, double *update, double *repaint)
{
    double start = Now();
    for (unsigned i = 0; i < lines; i++)
        AppendLog(ShortestLine);
    FlushLog();
    double updated = Now();
    UpdateWindow(log);
    *update = updated - start;
    *repaint = Now() - updated;
    PumpMessages();
}

static void BenchLogUpdates(unsigned repetitions)
{
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    for (const LogSize &size : LogSizes) {
        for (unsigned lines : BatchLines) {
            FillLog(log, size.bytes);
            std::vector<double> updates, repaints;
            double update, repaint;
            TimeUpdate(log, lines, &update, &repaint); // warm-up
            for (unsigned i = 0; i < repetitions; i++) {
                TimeUpdate(log, lines, &update, &repaint);
                updates.push_back(update);
                repaints.push_back(repaint);
            }
            std::printf("log update at %s, %u line%s\t%.2f\tms\n", size.name, lines,
                        lines == 1 ? "" : "s", Median(updates) * 1e3);
            std::printf("log update at %s, %u line%s: repaint after it\t%.2f\tms\n", size.name,
                        lines, lines == 1 ? "" : "s", Median(repaints) * 1e3);
        }
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

int main(int argc, char **argv)
{
    unsigned repetitions = argc > 1 ? (unsigned)std::atoi(argv[1]) : 11;
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
    BenchLogUpdates(repetitions);
    DestroyWindow(dialog);
    return 0;
}
