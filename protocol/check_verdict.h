// What the plan makes of the contact check: the verdict on the glove, the
// pairs missing and those outside the plan, and what the tester should do
// next. Worked out from the check's pair sets when it is shown or written,
// never per report.
#ifndef TACTIVIEW_CHECK_VERDICT_H
#define TACTIVIEW_CHECK_VERDICT_H

#include "protocol/contact_check.h"

enum Verdict { VERDICT_NO_PLAN, VERDICT_CHECKING, VERDICT_PASS, VERDICT_FAIL };

// A pair, as an index into CheckPairs, or none.
constexpr int NO_PAIR = -1;

struct CheckStanding {
    Verdict verdict;
    PairSet missing; // of the plan, not made since the check began
    PairSet outside; // made, not in the plan: shorts
    unsigned planMade;
    // While checking: the pair to release (held since the start) or, when
    // none is, the first of the plan's order not made yet.
    int next;
    bool release;
};

// FAIL as soon as a pair outside the plan is made or any pair bounces; PASS
// once every pair of the plan was made and none is held since the start,
// which might be a short between two contacts of the plan; CHECKING else.
CheckStanding JudgeCheck(const ContactCheckState &check);

#endif
