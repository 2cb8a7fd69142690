#include "protocol/check_verdict.h"

// The first pair of the plan's order that is in the set.
static int FirstInPlanOrder(const Plan &plan, const PairSet &set)
{
    for (unsigned i = 0; i < plan.size; i++)
        if (HasPairAt(set, plan.order[i]))
            return plan.order[i];
    return NO_PAIR;
}

CheckStanding JudgeCheck(const ContactCheckState &check)
{
    CheckStanding standing = {};
    standing.next = NO_PAIR;
    if (!check.hasPlan)
        return standing;
    standing.missing = Without(check.plan.pairs, check.made);
    standing.outside = Without(check.made, check.plan.pairs);
    standing.planMade = check.plan.size - CountPairs(standing.missing);
    int release = FirstInPlanOrder(check.plan, check.heldSinceStart);
    if (!IsEmpty(standing.outside) || !IsEmpty(check.bounced)) {
        standing.verdict = VERDICT_FAIL;
    } else if (release != NO_PAIR) {
        standing.verdict = VERDICT_CHECKING;
        standing.next = release;
        standing.release = true;
    } else {
        standing.next = FirstInPlanOrder(check.plan, standing.missing);
        standing.verdict = standing.next == NO_PAIR ? VERDICT_PASS : VERDICT_CHECKING;
    }
    return standing;
}
