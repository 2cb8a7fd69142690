// The results files that the summary reads: each read whole into memory,
// while the station may be writing it.
#ifndef TACTIVIEW_SUMMARY_FILES_H
#define TACTIVIEW_SUMMARY_FILES_H

#include "display/results_summary.h"

#include <windows.h>

// Summarises the files of the list (display/file_list.h) into summary. A
// file that cannot be read, or is not a results file, is left out, with a
// box that names it. Without memory for the summary's table, a box says so
// and summary stays as it was: FALSE. Only the summary's counts are kept:
// the files' texts and its table's memory are freed again, so that it is
// not to be read into or finished any further.
BOOL SummariseFiles(HWND owner, const char *list, ResultsSummary &summary);

#endif
