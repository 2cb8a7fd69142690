// A pair is made by a contact report that names both of its contacts in one
// group, as the picture shows the groups, and broken by a later one that does
// not. Each report is turned into the set of its pairs; only the pairs that
// differ from the last report's are looked at one by one.
#include "protocol/contact_check.h"

ContactCheckState ContactCheck;

const char *const ContactNames[CHECK_CONTACTS] = {
    "left little",  "left ring",  "left middle",  "left index",  "left thumb",  "left ground",
    "right little", "right ring", "right middle", "right index", "right thumb", "right ground",
};

static const uint8_t HAND_MASK = (1u << HAND_CONTACTS) - 1;

unsigned PairIndex(unsigned a, unsigned b)
{
    return a * (2 * CHECK_CONTACTS - 3 - a) / 2 + b - 1;
}

bool HasPair(const PairSet &set, unsigned a, unsigned b)
{
    return (set.rows[a] >> b) & 1;
}

// Bits 6 and 7 of a mask name nothing.
uint16_t ContactsOfGroup(uint16_t group)
{
    return (uint16_t)((group & HAND_MASK) | ((group >> 8 & HAND_MASK) << HAND_CONTACTS));
}

// Every two contacts that one group names, whatever else it names.
static PairSet PairsOf(const ContactPicture &picture)
{
    PairSet pairs = {};
    for (unsigned k = 0; k < picture.GroupCount && k < MAX_GROUPS; k++) {
        uint16_t contacts = ContactsOfGroup(picture.Groups[k]);
        for (unsigned a = 0; a < CHECK_CONTACTS; a++)
            if ((contacts >> a) & 1)
                pairs.rows[a] |= (uint16_t)(contacts & ~((2u << a) - 1));
    }
    return pairs;
}

ReportTime TimeOfReport(const DecodedFrame &frame, uint32_t pcMs)
{
    return {pcMs, (uint16_t)(frame.contacts->TimestampMs & (BOX_CLOCK_SPAN - 1)), frame.timed};
}

bool ByBoxClock(const ReportTime &from, const ReportTime &to)
{
    return from.timed && to.timed && to.pcMs - from.pcMs < BOX_CLOCK_TRUSTED_MS;
}

uint32_t TimeBetweenReports(const ReportTime &from, const ReportTime &to)
{
    if (ByBoxClock(from, to))
        return (uint32_t)(to.boxMs - from.boxMs) & (BOX_CLOCK_SPAN - 1);
    return to.pcMs - from.pcMs;
}

// The PC's clock is too coarse to see a bounce.
static void CountBounce(PairRecord &pair, uint32_t ms, bool byBox)
{
    if (byBox && ms < BOUNCE_MS)
        pair.bounces++;
}

static void Make(PairRecord &pair, const ReportTime &time)
{
    if (pair.makes > 0) {
        uint32_t ms = TimeBetweenReports(pair.since, time);
        if (pair.breaks++ == 0 || ms < pair.shortestBreakMs)
            pair.shortestBreakMs = ms;
        CountBounce(pair, ms, ByBoxClock(pair.since, time));
    }
    pair.makes++;
    pair.since = time;
}

// The make found at the start began before the check did, so its length is
// not known and it is neither a hold nor a bounce.
static void Break(PairRecord &pair, const ReportTime &time)
{
    if (!(pair.heldAtStart && pair.makes == 1)) {
        uint32_t ms = TimeBetweenReports(pair.since, time);
        if (pair.holds == 0 || ms > pair.longestMs)
            pair.longestMs = ms;
        if (pair.holds++ == 0 || ms < pair.shortestMs)
            pair.shortestMs = ms;
        CountBounce(pair, ms, ByBoxClock(pair.since, time));
    }
    pair.since = time;
}

static void Start(const PairSet &made, const ReportTime &time)
{
    ContactCheck.started = true;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++) {
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++) {
            if (HasPair(made, a, b)) {
                PairRecord &pair = ContactCheck.pairs[PairIndex(a, b)];
                pair.heldAtStart = true;
                Make(pair, time);
            }
        }
    }
}

// Returns whether any pair was made or broken.
static bool Follow(const PairSet &made, const ReportTime &time)
{
    uint16_t any = 0;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++) {
        uint16_t changed = made.rows[a] ^ ContactCheck.madeNow.rows[a];
        any |= changed;
        for (unsigned b = a + 1; changed >> b; b++) {
            if ((changed >> b) & 1) {
                PairRecord &pair = ContactCheck.pairs[PairIndex(a, b)];
                if (HasPair(made, a, b))
                    Make(pair, time);
                else
                    Break(pair, time);
            }
        }
    }
    return any != 0;
}

void CheckContacts(const DecodedFrame &frame, uint32_t pcMs)
{
    if (!frame.contacts)
        return;
    ReportTime time = TimeOfReport(frame, pcMs);
    PairSet made = PairsOf(*frame.contacts);
    if (!ContactCheck.started)
        Start(made, time);
    else if (!Follow(made, time))
        return;
    ContactCheck.madeNow = made;
    ContactCheck.changes++;
}

void ResetContactCheck(void)
{
    ContactCheckState fresh = {};
    fresh.hasPlan = ContactCheck.hasPlan;
    fresh.plan = ContactCheck.plan;
    fresh.changes = ContactCheck.changes + 1;
    ContactCheck = fresh;
}

void ForgetBoxClock(void)
{
    for (PairRecord &pair : ContactCheck.pairs)
        pair.since.timed = false;
}

void TakeCheckAsPlan(void)
{
    PairSet plan = {};
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++)
            if (ContactCheck.pairs[PairIndex(a, b)].makes > 0)
                plan.rows[a] |= (uint16_t)(1u << b);
    ContactCheck.plan = plan;
    ContactCheck.hasPlan = true;
    ContactCheck.changes++;
}

unsigned CountPairsMade(void)
{
    unsigned made = 0;
    for (const PairRecord &pair : ContactCheck.pairs)
        made += pair.makes > 0;
    return made;
}

static unsigned CountPlanned(bool madeOnly)
{
    unsigned count = 0;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++)
            count += HasPair(ContactCheck.plan, a, b) &&
                     (!madeOnly || ContactCheck.pairs[PairIndex(a, b)].makes > 0);
    return count;
}

unsigned CountPlanPairs(void)
{
    return ContactCheck.hasPlan ? CountPlanned(false) : 0;
}

unsigned CountPlanPairsMade(void)
{
    return ContactCheck.hasPlan ? CountPlanned(true) : 0;
}
