// The box going away and coming back, and the wait for the program to read
// what it was sent before the line closes.
#ifndef GLOVEBOX_SIM_UNPLUG_H
#define GLOVEBOX_SIM_UNPLUG_H

#include "sim_run.h"

// --unplug-after's time has come, or a scenario's "unplug" line.
bool UnplugDue(const Sim &sim);

// The box goes away as when its cable is pulled mid-frame: the start of a
// report goes out, the program reads it, and the line vanishes. It comes
// back, if it does, on a new line at the same name, with its modes and the
// rest of its stream as they were.
bool Unplug(Sim &sim, volatile int *stop);

// Lets the line carry the last frame and the program read it.
void DrainAtEnd(Sim &sim);

#endif
