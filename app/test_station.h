// The contact check as a test station: gloves checked one after another,
// each named as typed or scanned, and a row for each in a results file.
#ifndef TACTIVIEW_TEST_STATION_H
#define TACTIVIEW_TEST_STATION_H

#include "display/results_row.h"

#include <windows.h>

// The name of the glove being checked, as typed; empty when none was.
extern char GloveName[GLOVE_NAME_SIZE];

// The results file; empty while none is kept.
extern char ResultsPath[MAX_PATH];

// "Next glove": appends the row of the glove being checked to the results
// file, when one is kept and the glove saw a contact report, then starts the
// check afresh for the glove `name`. A row that cannot be written is shown
// in a box that names the file, and the check goes on as it was: FALSE.
BOOL NextGlove(HWND owner, const char *name);

// "Results file...": asks for the file to append the rows to.
void ChooseResultsFile(HWND owner);

// As the program ends: writes the row of a glove checked and not yet
// written. FALSE, after a box when there is an owner to show it, when the
// row cannot be written.
BOOL WriteLastGlove(HWND owner);

#endif
