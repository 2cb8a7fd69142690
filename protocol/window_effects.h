// The window effects of a decoded frame. The program implements them with
// user32 on the main window; the core tests implement them with a recorder,
// so the decoder runs unchanged on any host.
#ifndef TACTIVIEW_WINDOW_EFFECTS_H
#define TACTIVIEW_WINDOW_EFFECTS_H

#include "protocol/glove_protocol.h"

// States of the two three-state mode boxes; the same values as the platform's
// BST_UNCHECKED, BST_CHECKED and BST_INDETERMINATE.
enum {
    BOX_UNCHECKED = 0,
    BOX_CHECKED = 1,
    BOX_INDETERMINATE = 2,
};

// Period after which a shown timestamp is cleared again.
constexpr unsigned TIMESTAMP_SHOWN_MS = 1000;

int GetModeBox(int controlId);
void SetModeBox(int controlId, int state);

// Starts, or restarts, the timer that clears the shown timestamp.
void StartTimestampTimer(void);

// Asks the contact display to repaint from ContactState, without erasing it first.
void RefreshDisplay(void);

// Hands a completed frame, with its finished log line, to whoever receives
// frames: the log first.
void AppendLog(const DecodedFrame &frame);

#endif
