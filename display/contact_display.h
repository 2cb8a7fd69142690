// The two-hand contact picture painted into the owner-drawn IDC_CONTACTS,
// and the drawing objects the main window keeps for the whole run.
#ifndef TACTIVIEW_CONTACT_DISPLAY_H
#define TACTIVIEW_CONTACT_DISPLAY_H

#include <windows.h>

// The receive log's monospace font, made by CreateDrawingObjects.
extern HFONT LogFont;

// Creates the log font, the five group brushes and the outline pen. Called
// once, while the main window initialises; process exit releases them.
void CreateDrawingObjects(void);

// Paints ContactState into the item's rectangle; handles WM_DRAWITEM.
void DrawContacts(const DRAWITEMSTRUCT *item);

#endif
