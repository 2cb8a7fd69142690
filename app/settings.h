// PortNumber between runs, in HKEY_LOCAL_MACHINE\Software\Lumvar\tactiview.
#ifndef TACTIVIEW_SETTINGS_H
#define TACTIVIEW_SETTINGS_H

#include <windows.h>

// Reads "Com" into PortNumber, creating the key on a first run.
void LoadSettings(void);

// Writes "Com" and the key's default value, the program's description.
void SaveSettings(void);

// The test station's set-up is the user's, not the machine's: it is kept in
// HKEY_CURRENT_USER\Software\Lumvar\tactiview\Station, one value a name,
// and written as soon as it changes, so that a PC restarted overnight finds
// it again.

// Keeps text as the value `name`.
void KeepStationText(const char *name, const char *text);

// Reads the value `name` into text, which holds size characters; anything
// but a string that fits, a missing value included, reads as "".
void ReadStationText(const char *name, char *text, DWORD size);

void KeepStationFlag(const char *name, BOOL on);

// Anything but a 4-byte REG_DWORD reads as FALSE.
BOOL ReadStationFlag(const char *name);

#endif
