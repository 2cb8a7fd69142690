// A pair is made by a contact report that names both of its contacts in one
// group, as the picture shows the groups, and broken by a later one that does
// not. Each report is turned into the set of its pairs; only the pairs that
// differ from the last report's are looked at one by one.
#include "protocol/contact_check.h"

ContactCheckState ContactCheck;

static constexpr std::array<ContactPair, CHECK_PAIRS> ListPairs(void)
{
    std::array<ContactPair, CHECK_PAIRS> pairs = {};
    unsigned i = 0;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        for (unsigned b = a + 1; b < CHECK_CONTACTS; b++)
            pairs[i++] = ContactPair{(uint8_t)a, (uint8_t)b};
    return pairs;
}

const std::array<ContactPair, CHECK_PAIRS> CheckPairs = ListPairs();

static const uint8_t HAND_MASK = (1u << HAND_CONTACTS) - 1;

unsigned PairIndex(unsigned a, unsigned b)
{
    return a * (2 * CHECK_CONTACTS - 3 - a) / 2 + b - 1;
}

bool HasPair(const PairSet &set, unsigned a, unsigned b)
{
    return (set.rows[a] >> b) & 1;
}

bool HasPairAt(const PairSet &set, unsigned index)
{
    return HasPair(set, CheckPairs[index].a, CheckPairs[index].b);
}

void AddPairAt(PairSet &set, unsigned index)
{
    set.rows[CheckPairs[index].a] |= (uint16_t)(1u << CheckPairs[index].b);
}

PairSet Without(const PairSet &set, const PairSet &other)
{
    PairSet result;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        result.rows[a] = (uint16_t)(set.rows[a] & ~other.rows[a]);
    return result;
}

bool IsEmpty(const PairSet &set)
{
    return CountPairs(set) == 0;
}

unsigned CountPairs(const PairSet &set)
{
    unsigned count = 0;
    for (uint16_t row : set.rows)
        for (; row; row &= (uint16_t)(row - 1))
            count++;
    return count;
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
    return from.timed && to.timed;
}

// A report is stamped by the PC when a poll takes it, which a stalled window
// delays, so the PC's clock only counts the spans the box's clock wrapped.
uint32_t TimeBetweenReports(const ReportTime &from, const ReportTime &to)
{
    uint32_t pcMs = to.pcMs - from.pcMs;
    if (!ByBoxClock(from, to))
        return pcMs;
    uint32_t boxMs = (uint32_t)(to.boxMs - from.boxMs) & (BOX_CLOCK_SPAN - 1);
    if (pcMs <= boxMs)
        return boxMs;
    uint64_t spans = (pcMs - boxMs + BOX_CLOCK_SPAN / 2) / BOX_CLOCK_SPAN;
    uint64_t ms = boxMs + spans * BOX_CLOCK_SPAN;
    return ms > UINT32_MAX ? UINT32_MAX : (uint32_t)ms;
}

// The PC's clock is too coarse to see a bounce. Returns whether it was one.
static bool CountBounce(PairRecord &pair, uint32_t ms, bool byBox)
{
    bool bounce = byBox && ms < BOUNCE_MS;
    pair.bounces += bounce;
    return bounce;
}

static bool MakePair(PairRecord &pair, const ReportTime &time)
{
    bool bounce = false;
    if (pair.makes > 0) {
        uint32_t ms = TimeBetweenReports(pair.since, time);
        if (pair.makes == 1 || ms < pair.shortestBreakMs)
            pair.shortestBreakMs = ms;
        bounce = CountBounce(pair, ms, ByBoxClock(pair.since, time));
    }
    pair.makes++;
    pair.since = time;
    return bounce;
}

// The make found at the start began before the check did, so its length is
// not known and it is neither a hold nor a bounce.
static bool BreakPair(PairRecord &pair, const ReportTime &time)
{
    bool bounce = false;
    if (!(pair.heldAtStart && pair.makes == 1)) {
        uint32_t ms = TimeBetweenReports(pair.since, time);
        if (pair.holds == 0 || ms > pair.longestMs)
            pair.longestMs = ms;
        if (pair.holds++ == 0 || ms < pair.shortestMs)
            pair.shortestMs = ms;
        bounce = CountBounce(pair, ms, ByBoxClock(pair.since, time));
    }
    pair.since = time;
    return bounce;
}

static void StartCheck(const PairSet &made, const ReportTime &time)
{
    ContactCheck.started = true;
    ContactCheck.heldSinceStart = made;
    for (unsigned i = 0; i < CHECK_PAIRS; i++) {
        if (HasPairAt(made, i)) {
            ContactCheck.pairs[i].heldAtStart = true;
            MakePair(ContactCheck.pairs[i], time);
        }
    }
}

// Returns whether any pair was made or broken.
static bool FollowChanges(const PairSet &made, const ReportTime &time)
{
    uint16_t any = 0;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++) {
        uint16_t changed = made.rows[a] ^ ContactCheck.madeNow.rows[a];
        any |= changed;
        for (unsigned b = a + 1; changed >> b; b++) {
            if ((changed >> b) & 1) {
                PairRecord &pair = ContactCheck.pairs[PairIndex(a, b)];
                bool bounce = HasPair(made, a, b) ? MakePair(pair, time) : BreakPair(pair, time);
                ContactCheck.bounced.rows[a] |= (uint16_t)(bounce << b);
            }
        }
        ContactCheck.heldSinceStart.rows[a] &= made.rows[a];
    }
    return any != 0;
}

void CheckContacts(const DecodedFrame &frame, uint32_t pcMs)
{
    if (!frame.contacts)
        return;
    ReportTime time = TimeOfReport(frame, pcMs);
    PairSet made = PairsOf(*frame.contacts);
    bool timingChanged = frame.timed != ContactCheck.lastReportTimed;
    ContactCheck.lastReportTimed = frame.timed;
    if (!ContactCheck.started)
        StartCheck(made, time);
    else if (!FollowChanges(made, time) && !timingChanged)
        return;
    ContactCheck.madeNow = made;
    for (unsigned a = 0; a < CHECK_CONTACTS; a++)
        ContactCheck.made.rows[a] |= made.rows[a];
    ContactCheck.changes++;
}

void ResetContactCheck(void)
{
    ContactCheckState fresh = {};
    fresh.hasPlan = ContactCheck.hasPlan;
    fresh.plan = ContactCheck.plan;
    fresh.lastReportTimed = ContactCheck.lastReportTimed;
    fresh.changes = ContactCheck.changes + 1;
    ContactCheck = fresh;
}

void ForgetBoxClock(void)
{
    for (PairRecord &pair : ContactCheck.pairs)
        pair.since.timed = false;
}

// A plan of no pairs would pass a glove that makes none.
bool TakeCheckAsPlan(void)
{
    if (IsEmpty(ContactCheck.made))
        return false;
    Plan plan = {};
    plan.pairs = ContactCheck.made;
    for (unsigned i = 0; i < CHECK_PAIRS; i++)
        if (HasPairAt(plan.pairs, i))
            plan.order[plan.size++] = (uint8_t)i;
    UsePlan(plan);
    return true;
}

void UsePlan(const Plan &plan)
{
    ContactCheck.plan = plan;
    ContactCheck.hasPlan = true;
    ContactCheck.changes++;
}
