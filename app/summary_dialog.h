// "Results summary...": a modal dialog of how a station's gloves fared in
// its results files: the counts and yields of all plans and of each, and a
// chart of the pairs that FAIL rows name most, with "Open files...", "Copy"
// and "Close".
#ifndef TACTIVIEW_SUMMARY_DIALOG_H
#define TACTIVIEW_SUMMARY_DIALOG_H

#include <windows.h>

// Summarises the results file resultsPath and shows the dialog until the
// user closes it; with an empty path, asks for the files first, and shows
// nothing when the user cancels.
void ShowResultsSummary(HWND owner, const char *resultsPath);

#endif
