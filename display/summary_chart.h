// The results summary's chart: a bar for each pair that FAIL rows name most,
// longest first, its length the rows that name it, split into the causes in
// the colours the contact check's picture marks them with.
#ifndef TACTIVIEW_SUMMARY_CHART_H
#define TACTIVIEW_SUMMARY_CHART_H

#include "display/results_summary.h"

#include <windows.h>

// Paints the whole chart into the rectangle of the DC, its background
// included. Uses stock objects only, so it allocates nothing.
void DrawFailingPairs(HDC dc, const RECT &area, const ResultsSummary &summary);

#endif
