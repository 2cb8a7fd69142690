// The contact check's sounds, for a tester whose eyes are on the glove: a
// tick for each pair of the plan made for the first time, and the verdict's
// turn to PASS or FAIL. They play without the poll waiting for them, and a PC
// with no sound device plays nothing.
#ifndef TACTIVIEW_CHECK_SOUNDS_H
#define TACTIVIEW_CHECK_SOUNDS_H

#include "protocol/glove_protocol.h"

#include <windows.h>

// Whether the sounds play; off until the user turns them on.
extern BOOL SoundsOn;

// Makes the sounds' waves, once at start, and turns them on when the user
// had them on as the program last ran.
void MakeCheckSounds(void);

// The "Sounds" box: turns the sounds on or off, and keeps that for the user.
void TurnSoundsOn(BOOL on);

// Follows a frame into the contact check, as CheckContacts does, and while
// SoundsOn plays the sound that it makes.
void CheckContactsAloud(const DecodedFrame &frame, uint32_t pcMs);

#endif
