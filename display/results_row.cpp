#include "display/results_row.h"

#include "protocol/check_verdict.h"

// A name stays in its column and on its row.
static void PutName(TextBuffer &out, const char *name)
{
    for (unsigned i = 0; name[i] && i < ROW_NAME_MOST; i++)
        Put(out, (unsigned char)name[i] < 0x20 || name[i] == 0x7F ? " " : name + i, 1);
}

static void PutTab(TextBuffer &out)
{
    Put(out, "\t");
}

static void PutPlanMade(TextBuffer &out, const ContactCheckState &check,
                        const CheckStanding &standing)
{
    PutNumber(out, standing.planMade);
    Put(out, " of ");
    PutNumber(out, check.plan.size);
}

unsigned FormatResultsRow(char *row, const char *time, const char *glove, const char *planName,
                          const ContactCheckState &check)
{
    TextBuffer out = StartText(row, RESULTS_ROW_SIZE);
    CheckStanding standing = JudgeCheck(check);
    bool plan = check.hasPlan;
    Put(out, time);
    PutTab(out);
    PutName(out, glove);
    PutTab(out);
    PutName(out, plan ? planName : "");
    PutTab(out);
    Put(out, !plan ? "" : standing.verdict == VERDICT_PASS ? "PASS" : "FAIL");
    PutTab(out);
    PutNumber(out, CountPairs(check.made));
    PutTab(out);
    if (plan)
        PutPlanMade(out, check, standing);
    const PairSet *const lists[] = {&standing.missing, &standing.outside, &check.bounced,
                                    &check.heldSinceStart};
    for (const PairSet *list : lists) {
        PutTab(out);
        PutPairList(out, *list);
    }
    Put(out, "\r\n");
    return EndText(out, row);
}
