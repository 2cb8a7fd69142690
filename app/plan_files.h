// "Open plan..." and "Save plan..." of the contact check, and the name of
// the plan in use.
#ifndef TACTIVIEW_PLAN_FILES_H
#define TACTIVIEW_PLAN_FILES_H

#include "display/results_row.h"

#include <windows.h>

// The name of the plan in use: its file's name without folder and
// extension, or "taken" for a plan taken from a glove until it is saved.
extern char PlanName[PLAN_NAME_SIZE];

// Asks for a plan file with the Open dialog and makes its plan the one in
// use. A file that cannot be read, or is no plan, is refused with a box that
// names it, and for a plan that is not one, the line and what is wrong; the
// plan in use then stays as it was.
void OpenPlan(HWND owner);

// Asks for a file name with the Save As dialog and writes the plan in use
// there, which is then named after the file.
void SavePlan(HWND owner);

// "Take as plan": every pair made so far, named "taken"; with none made, the
// plan in use stays.
void TakePlan(void);

#endif
