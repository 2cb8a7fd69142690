// The contact check as a test station: gloves checked one after another,
// each named as typed or scanned, and a row for each in a results file.
#ifndef TACTIVIEW_TEST_STATION_H
#define TACTIVIEW_TEST_STATION_H

#include <windows.h>

// A glove's name as typed or scanned, with its terminator.
constexpr unsigned GLOVE_NAME_SIZE = 128;

// The name of the glove being checked, as typed; empty when none was.
extern char GloveName[GLOVE_NAME_SIZE];

// The results file; empty while none is kept.
extern char ResultsPath[MAX_PATH];

// "Next glove": appends the row of the glove being checked to the results
// file, when one is kept and the glove was named or saw a contact report,
// then starts the check afresh for the glove `name`. A row that cannot be
// written is shown in a box that names the file, and the check goes on as it
// was: FALSE.
BOOL NextGlove(HWND owner, const char *name);

// "Results file...": asks for the file to append the rows to, which is kept
// for the next run too.
void ChooseResultsFile(HWND owner);

// As the program ends: writes the row of the glove being checked, unless
// that row is in the file already. FALSE, after a box when there is an owner
// to show it, when the row cannot be written.
BOOL WriteLastGlove(HWND owner);

// Windows asks whether the session may end: the row of the glove being
// checked is written now. When it cannot be, Windows is told why the session
// must wait, in words that name the file, and the answer is FALSE; the
// reason is withdrawn once a row is written.
BOOL MayEndSession(HWND window);

// At start: the results file and the plan kept from the last run.
void RestoreStation(void);

#endif
