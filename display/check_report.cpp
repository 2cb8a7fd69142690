#include "display/check_report.h"

static const char Header[] = "Pair\tMade\tMade now\tLongest ms\tShortest ms\tShortest break ms\t"
                             "Bounces\tHeld at start\tIn plan\r\n";

// Text being written: from p up to end, where the terminator goes.
struct TextOut {
    char *p;
    char *end;
};

static TextOut StartText(char *text, unsigned size)
{
    return TextOut{text, text + size - 1};
}

static unsigned EndText(TextOut &out, char *text)
{
    *out.p = '\0';
    return (unsigned)(out.p - text);
}

static void Put(TextOut &out, const char *s)
{
    while (*s && out.p < out.end)
        *out.p++ = *s++;
}

static void PutNumber(TextOut &out, uint32_t n)
{
    char digits[11];
    char *d = digits + sizeof digits - 1;
    *d = '\0';
    do {
        *--d = (char)('0' + n % 10);
        n /= 10;
    } while (n);
    Put(out, d);
}

static void PutPairName(TextOut &out, unsigned a, unsigned b)
{
    Put(out, ContactNames[a]);
    Put(out, " + ");
    Put(out, ContactNames[b]);
}

static void PutCell(TextOut &out, bool has, uint32_t ms)
{
    Put(out, "\t");
    if (has)
        PutNumber(out, ms);
}

static void PutAnswer(TextOut &out, bool yes)
{
    Put(out, yes ? "\tyes" : "\tno");
}

static void PutPairLine(TextOut &out, unsigned a, unsigned b)
{
    const PairRecord &pair = ContactCheck.pairs[PairIndex(a, b)];
    PutPairName(out, a, b);
    PutCell(out, true, pair.makes);
    PutAnswer(out, HasPair(ContactCheck.madeNow, a, b));
    PutCell(out, pair.holds > 0, pair.longestMs);
    PutCell(out, pair.holds > 0, pair.shortestMs);
    PutCell(out, pair.breaks > 0, pair.shortestBreakMs);
    PutCell(out, true, pair.bounces);
    PutAnswer(out, pair.heldAtStart);
    if (ContactCheck.hasPlan)
        PutAnswer(out, HasPair(ContactCheck.plan, a, b));
    else
        Put(out, "\t");
    Put(out, "\r\n");
}

// "Missing: left index + right thumb, right little + right ring", or "none":
// the pairs of the plan not made, or those made outside it.
static void PutPlanList(TextOut &out, const char *label, bool inPlan)
{
    Put(out, label);
    const char *separator = "";
    for (unsigned a = 0; a < CHECK_CONTACTS; a++) {
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++) {
            bool made = ContactCheck.pairs[PairIndex(a, b)].makes > 0;
            if (HasPair(ContactCheck.plan, a, b) == inPlan && made != inPlan) {
                Put(out, separator);
                PutPairName(out, a, b);
                separator = ", ";
            }
        }
    }
    Put(out, *separator ? "\r\n" : "none\r\n");
}

static void PutSummary(TextOut &out)
{
    Put(out, "Pairs made: ");
    PutNumber(out, CountPairsMade());
    Put(out, " of ");
    PutNumber(out, CHECK_PAIRS);
    Put(out, "\r\n");
    if (!ContactCheck.hasPlan)
        return;
    Put(out, "Plan: ");
    PutNumber(out, CountPlanPairsMade());
    Put(out, " of ");
    PutNumber(out, CountPlanPairs());
    Put(out, " made\r\n");
    PutPlanList(out, "Missing: ", true);
    PutPlanList(out, "Not in plan: ", false);
}

unsigned FormatCheckSummary(char *text, unsigned size)
{
    TextOut out = StartText(text, size);
    PutSummary(out);
    return EndText(out, text);
}

unsigned FormatCheckReport(char *text, unsigned size)
{
    TextOut out = StartText(text, size);
    Put(out, Header);
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++)
            PutPairLine(out, a, b);
    Put(out, "\r\n");
    PutSummary(out);
    return EndText(out, text);
}
