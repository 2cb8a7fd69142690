// The contact check's picture: a half matrix of the twelve contacts with one
// cell for each of the 66 pairs, and a legend of what the cells show.
#ifndef TACTIVIEW_CHECK_PICTURE_H
#define TACTIVIEW_CHECK_PICTURE_H

#include "protocol/contact_check.h"

#include <windows.h>

// Paints the whole picture of the check into the rectangle of the DC, its
// background included. Uses stock objects only, so it allocates nothing.
void DrawContactCheck(HDC dc, const RECT &area, const ContactCheckState &check);

#endif
