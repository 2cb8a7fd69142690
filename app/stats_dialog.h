// "Line statistics..." of the main window's system menu: a small modal dialog
// of the line statistics, updated once a second, with Reset, Copy and Close.
#ifndef TACTIVIEW_STATS_DIALOG_H
#define TACTIVIEW_STATS_DIALOG_H

#include <windows.h>

// Shows the dialog until the user closes it. Polling, the log and any
// recording go on beneath it.
void ShowLineStatistics(HWND owner);

#endif
