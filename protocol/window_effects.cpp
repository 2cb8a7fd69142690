// The decoder's window effects on the main dialog, through user32.
#include "protocol/window_effects.h"
#include "app/globals.h"
#include "res/resource.h"

static_assert(BOX_UNCHECKED == BST_UNCHECKED && BOX_CHECKED == BST_CHECKED &&
                  BOX_INDETERMINATE == BST_INDETERMINATE,
              "mode box states are passed to user32 unchanged");

int GetModeBox(int controlId)
{
    return (int)IsDlgButtonChecked(MainWindow, controlId);
}

void SetModeBox(int controlId, int state)
{
    CheckDlgButton(MainWindow, controlId, (UINT)state);
}

// Setting a running timer again restarts its period, so the timestamp stays
// shown for a full period after the latest timed report.
void StartTimestampTimer(void)
{
    SetTimer(MainWindow, TIMER_TIMESTAMP, TIMESTAMP_SHOWN_MS, NULL);
}

// The picture covers the whole control on every paint, so erasing it first
// would only make it flicker.
void RefreshDisplay(void)
{
    InvalidateRect(GetDlgItem(MainWindow, IDC_CONTACTS), NULL, FALSE);
}
