// PortNumber between runs, in HKEY_LOCAL_MACHINE\Software\Lumvar\tactiview.
#ifndef TACTIVIEW_SETTINGS_H
#define TACTIVIEW_SETTINGS_H

// Reads "Com" into PortNumber, creating the key on a first run.
void LoadSettings(void);

// Writes "Com" and the key's default value, the program's description.
void SaveSettings(void);

#endif
