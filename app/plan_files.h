// "Open plan..." and "Save plan..." of the contact check, and the name of
// the plan in use.
#ifndef TACTIVIEW_PLAN_FILES_H
#define TACTIVIEW_PLAN_FILES_H

#include "display/plan_file.h"

#include <windows.h>

// The name of the plan in use: its file's name without folder and
// extension, or "taken" for a plan taken from a glove until it is saved.
extern char PlanName[PLAN_NAME_SIZE];

// Room for a file's full path and the system's reason, with words around.
constexpr unsigned PLAN_TROUBLE_SIZE = MAX_PATH + 512;

// Why the plan kept from the last run is not in use, as the dialog's plan
// line says it ("Plan: none. The plan kept from the last run, C:\v2.plan,
// could not be read: ..."), or "" when it is, or none was kept.
extern char PlanTrouble[PLAN_TROUBLE_SIZE];

// Asks for a plan file with the Open dialog and makes its plan the one in
// use, and the one kept for the next run. A file that cannot be read, or is
// no plan, is refused with a box that names it, and for a plan that is not
// one, the line and what is wrong; the plan in use then stays as it was.
void OpenPlan(HWND owner);

// Asks for a file name with the Save As dialog and writes the plan in use
// there, which is then named after the file and kept for the next run.
void SavePlan(HWND owner);

// "Take as plan": every pair made so far, named "taken", and no plan kept for
// the next run until it is saved; with none made, the plan in use stays.
void TakePlan(void);

// Whether the plan in use is a file's, kept for the next run.
BOOL PlanIsKept(void);

// At start: the plan kept from the last run, read afresh from its file. A
// file that cannot be read, or is no plan, leaves no plan in use and says so
// in PlanTrouble.
void RestorePlan(void);

#endif
