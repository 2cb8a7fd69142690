// Searching for the glove box on the ports whose arrival Windows announces
// while the box's own port is lost and waited for: each is tried in turn,
// on a handle of its own, and the first that answers "CP" with the box's
// signature becomes the program's port. Nothing is sent to any other port.
#ifndef TACTIVIEW_SEARCH_PORTS_H
#define TACTIVIEW_SEARCH_PORTS_H

#include <windows.h>

// Ends a search, if one runs: the port being tried is closed.
void StopSearch(HWND dialog);

// A port other than the lost one has arrived: while the box is searched for,
// it is tried in its turn, on the ticks of TIMER_SEARCH.
void HearArrival(HWND dialog, DWORD port);

// The tick of TIMER_SEARCH: tries the next announced port, or reads the one
// being tried. TRUE when it has answered as the box: it is the program's
// port, the event is told, the mode boxes are unknown again, and what it sent
// has gone to the receivers as a poll would have brought it.
BOOL TryCandidate(HWND dialog);

#endif
