#include "display/check_report.h"

#include "protocol/check_verdict.h"

static const char Header[] = "Pair\tMade\tMade now\tLongest ms\tShortest ms\tShortest break ms\t"
                             "Bounces\tHeld at start\tIn plan\r\n";

static void PutCell(TextBuffer &out, bool has, uint32_t ms)
{
    Put(out, "\t");
    if (has)
        PutNumber(out, ms);
}

static void PutAnswer(TextBuffer &out, bool yes)
{
    Put(out, yes ? "\tyes" : "\tno");
}

static void PutPairLine(TextBuffer &out, const ContactCheckState &check, unsigned i)
{
    const PairRecord &pair = check.pairs[i];
    PutPairName(out, i);
    PutCell(out, true, pair.makes);
    PutAnswer(out, HasPairAt(check.madeNow, i));
    PutCell(out, pair.holds > 0, pair.longestMs);
    PutCell(out, pair.holds > 0, pair.shortestMs);
    PutCell(out, pair.makes > 1, pair.shortestBreakMs);
    PutCell(out, true, pair.bounces);
    PutAnswer(out, pair.heldAtStart);
    if (check.hasPlan)
        PutAnswer(out, HasPairAt(check.plan.pairs, i));
    else
        Put(out, "\t");
    Put(out, "\r\n");
}

// "Missing: left index + right thumb, right little + right ring", or "none".
static void PutListLine(TextBuffer &out, const char *label, const PairSet &set)
{
    Put(out, label);
    if (IsEmpty(set))
        Put(out, "none");
    PutPairList(out, set);
    Put(out, "\r\n");
}

static void PutSummary(TextBuffer &out, const ContactCheckState &check)
{
    Put(out, "Pairs made: ");
    PutNumber(out, CountPairs(check.made));
    Put(out, " of ");
    PutNumber(out, CHECK_PAIRS);
    Put(out, "\r\n");
    if (!check.hasPlan)
        return;
    CheckStanding standing = JudgeCheck(check);
    Put(out, "Plan: ");
    PutNumber(out, standing.planMade);
    Put(out, " of ");
    PutNumber(out, check.plan.size);
    Put(out, " made\r\n");
    PutListLine(out, "Missing: ", standing.missing);
    PutListLine(out, "Not in plan: ", standing.outside);
}

unsigned FormatCheckSummary(char *text, unsigned size, const ContactCheckState &check)
{
    TextBuffer out = StartText(text, size);
    PutSummary(out, check);
    return EndText(out, text);
}

unsigned FormatCheckReport(char *text, unsigned size, const ContactCheckState &check)
{
    TextBuffer out = StartText(text, size);
    Put(out, Header);
    for (unsigned i = 0; i < CHECK_PAIRS; i++)
        PutPairLine(out, check, i);
    Put(out, "\r\n");
    PutSummary(out, check);
    return EndText(out, text);
}

// "left thumb + right index is", or "left thumb + right index and 2 more are":
// the first pair of the set, and how many others it holds.
static void PutFirstOf(TextBuffer &out, const PairSet &set, const char *one, const char *more)
{
    unsigned first = 0;
    while (!HasPairAt(set, first))
        first++;
    PutPairName(out, first);
    unsigned others = CountPairs(set) - 1;
    if (others > 0) {
        Put(out, " and ");
        PutNumber(out, others);
        Put(out, " more");
    }
    Put(out, others > 0 ? more : one);
}

static void PutFailure(TextBuffer &out, const ContactCheckState &check,
                       const CheckStanding &standing)
{
    Put(out, "FAIL: ");
    if (!IsEmpty(standing.outside))
        PutFirstOf(out, standing.outside, " is not in the plan", " are not in the plan");
    if (!IsEmpty(standing.outside) && !IsEmpty(check.bounced))
        Put(out, "; ");
    if (!IsEmpty(check.bounced))
        PutFirstOf(out, check.bounced, " bounced", " bounced");
}

static void PutCount(TextBuffer &out, const char *word, const ContactCheckState &check,
                     const CheckStanding &standing)
{
    Put(out, word);
    PutNumber(out, standing.planMade);
    Put(out, " of ");
    PutNumber(out, check.plan.size);
    Put(out, " made");
}

unsigned FormatVerdict(char *text, unsigned size, const ContactCheckState &check)
{
    TextBuffer out = StartText(text, size);
    CheckStanding standing = JudgeCheck(check);
    switch (standing.verdict) {
    case VERDICT_NO_PLAN:
        Put(out, "No plan");
        return EndText(out, text);
    case VERDICT_FAIL:
        PutFailure(out, check, standing);
        break;
    case VERDICT_PASS:
        PutCount(out, "PASS: ", check, standing);
        break;
    case VERDICT_CHECKING:
        PutCount(out, "Checking: ", check, standing);
        Put(out, standing.release ? "\r\nRelease: " : "\r\nNext: ");
        PutPairName(out, (unsigned)standing.next);
        break;
    }
    if (!check.lastReportTimed)
        Put(out, "\r\nBounces are not checked: \"Report timestamps\" turns them on");
    return EndText(out, text);
}
