// The sound that a contact report makes, for a tester whose eyes are on the
// glove rather than on the screen: a tick when a pair of the plan is made for
// the first time in the glove's check, PASS or FAIL when the verdict turns to
// it. Decided from the check before and after the report, at the cost of a
// comparison for a report that changes nothing.
#ifndef TACTIVIEW_CHECK_SOUND_H
#define TACTIVIEW_CHECK_SOUND_H

#include "protocol/contact_check.h"

enum CheckSound { SOUND_NONE, SOUND_TICK, SOUND_PASS, SOUND_FAIL };

// The sounds there are, SOUND_NONE apart.
constexpr unsigned CHECK_SOUNDS = 3;

// Follows one frame into the check, as CheckContacts does, and returns its
// sound: the verdict's when it turns to PASS or FAIL, else a tick when a pair
// of the plan was made for the first time, else none; none without a plan.
// The check may be reset or given a plan between two calls.
CheckSound CheckContactsForSound(const DecodedFrame &frame, uint32_t pcMs);

#endif
