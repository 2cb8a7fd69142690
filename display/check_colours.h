// The colours of the contact check's marks, which the results summary's chart
// gives the same causes of a FAIL.
#ifndef TACTIVIEW_CHECK_COLOURS_H
#define TACTIVIEW_CHECK_COLOURS_H

#include <windows.h>

constexpr COLORREF MissingColour = RGB(220, 0, 0);     // in the plan, never made: a red cross
constexpr COLORREF NotInPlanColour = RGB(150, 0, 170); // made, not in the plan: a purple frame
constexpr COLORREF BounceColour = RGB(0, 0, 0);        // bounced: a black square
// Made in the first report and never released since: an orange fill.
constexpr COLORREF HeldSinceStartColour = RGB(235, 125, 20);

#endif
