// The contact check: of the 66 pairs of the twelve contacts, which the gloves
// have made since the check began, how often and for how long, which bounced
// and which were already made when it began, and how that compares with a
// plan. It is fed every decoded frame and keeps fixed-size state: no
// allocation, a few bit operations a report.
#ifndef TACTIVIEW_CONTACT_CHECK_H
#define TACTIVIEW_CONTACT_CHECK_H

#include "protocol/glove_protocol.h"

#include <array>

// The left glove's contacts in the bit order of a ContactMask, then the
// right glove's: contact c is bit c % 6 of the hand c / 6.
constexpr unsigned CHECK_CONTACTS = 12;
constexpr unsigned HAND_CONTACTS = 6;
constexpr unsigned CHECK_PAIRS = CHECK_CONTACTS * (CHECK_CONTACTS - 1) / 2;

// A make or a break shorter than this, by the box's clock, is a bounce.
constexpr uint32_t BOUNCE_MS = 20;

// The box's clock counts milliseconds modulo this.
constexpr uint32_t BOX_CLOCK_SPAN = 1u << 14;

// A set of pairs: bit b of rows[a] is the pair of contacts a and b, a < b.
struct PairSet {
    uint16_t rows[CHECK_CONTACTS];
};

// The two contacts of a pair, a < b.
struct ContactPair {
    uint8_t a, b;
};

// Every pair in the report's order, a first, then b: the pair at PairIndex(a, b).
extern const std::array<ContactPair, CHECK_PAIRS> CheckPairs;

// When a contact report came: the PC's clock at the poll that brought it,
// and the box's clock if the report carried it.
struct ReportTime {
    uint32_t pcMs;
    uint16_t boxMs;
    bool timed;
};

// The report's time, as received at the PC's clock pcMs.
ReportTime TimeOfReport(const DecodedFrame &frame, uint32_t pcMs);

// Whether the box's clock measures the time between two reports: both
// carried it.
bool ByBoxClock(const ReportTime &from, const ReportTime &to);

// The time between two reports in ms. When ByBoxClock, the box's difference
// plus the multiple of its span that brings it nearest to the PC's
// difference, which is exact for a report stamped up to half a span late by
// a window that stalled; otherwise the PC's clock at the polls, to about a
// poll.
uint32_t TimeBetweenReports(const ReportTime &from, const ReportTime &to);

// The contacts that a group names, contact c as bit c.
uint16_t ContactsOfGroup(uint16_t group);

// What the check knows of one pair. A make lasts from the report that made
// the pair to the one that broke it, a break from there to the next make;
// every make after the first ended a break.
struct PairRecord {
    uint32_t makes;                 // the one found at the start included
    uint32_t holds;                 // ended makes whose length is known
    uint32_t longestMs, shortestMs; // of the holds
    uint32_t shortestBreakMs;       // of the breaks
    uint32_t bounces;
    ReportTime since; // the start of the current make, or of the last break
    bool heldAtStart; // made in the first report: that make began earlier
};

// The pairs a glove should make, in the order a tester makes them; at
// least one.
struct Plan {
    PairSet pairs;
    uint8_t order[CHECK_PAIRS]; // indices into CheckPairs, each pair once
    uint8_t size;
};

struct ContactCheckState {
    bool started;           // a contact report has been seen since the check began
    PairSet madeNow;        // the pairs of the last contact report
    PairSet made;           // every pair made since the check began
    PairSet heldSinceStart; // made in the first report and not broken since
    PairSet bounced;
    PairRecord pairs[CHECK_PAIRS]; // in the order of PairIndex
    bool hasPlan;
    Plan plan;
    // The last contact report carried the box's clock, without which no
    // bounce can be seen. It is the box's mode, so a new check keeps it.
    bool lastReportTimed;
    uint32_t changes; // grows with every change, so that a view redraws only then
};

extern ContactCheckState ContactCheck;

// The place of the pair a, b (a < b) in the report's order: a first, then b.
unsigned PairIndex(unsigned a, unsigned b);

bool HasPair(const PairSet &set, unsigned a, unsigned b);
bool HasPairAt(const PairSet &set, unsigned index); // an index into CheckPairs
void AddPairAt(PairSet &set, unsigned index);

// The pairs of set that are not in other.
PairSet Without(const PairSet &set, const PairSet &other);
bool IsEmpty(const PairSet &set);
unsigned CountPairs(const PairSet &set);

// Starts the check afresh; the plan stays.
void ResetContactCheck(void);

// Follows one frame that the program received at the PC's clock pcMs, in
// ms. A text reply changes nothing.
void CheckContacts(const DecodedFrame &frame, uint32_t pcMs);

// The box may have restarted while its port was away, so times taken before
// are no longer compared with its clock.
void ForgetBoxClock(void);

// Keeps every pair made so far as the plan, in the report's order, and
// returns true; with no pair made, the plan stays as it was.
bool TakeCheckAsPlan(void);

// Makes the plan the one the check compares with.
void UsePlan(const Plan &plan);

#endif
