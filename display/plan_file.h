// A plan kept in a file: plain text a tester can read, review and write by
// hand, one pair a line as the check's report writes it:
//
//   # tactiview plan
//   left index + right thumb
//   left ground + right ground
#ifndef TACTIVIEW_PLAN_FILE_H
#define TACTIVIEW_PLAN_FILE_H

#include "display/pair_text.h"
#include "protocol/contact_check.h"

// A larger file is no plan: 66 pairs take some 2 KB.
constexpr unsigned PLAN_FILE_LIMIT = 64 * 1024;

constexpr char PLAN_FILE_HEADER[] = "# tactiview plan\r\n";

// Room for the longest plan file that FormatPlanFile writes.
constexpr unsigned PLAN_FILE_SIZE = sizeof PLAN_FILE_HEADER + CHECK_PAIRS * PAIR_NAME_SIZE;

enum PlanFault {
    PLAN_READ,
    PLAN_TOO_LARGE,       // over PLAN_FILE_LIMIT
    PLAN_ZERO_BYTE,       // a zero byte in the line
    PLAN_NOT_A_PAIR,      // the line is not two names around '+'
    PLAN_UNKNOWN_CONTACT, // a name that is not one of the twelve contacts
    PLAN_SAME_CONTACT,    // a contact paired with itself
    PLAN_NO_PAIRS,        // the file holds no pair
};

struct PlanReading {
    PlanFault fault;
    unsigned line; // from 1, of the fault; 0 for a fault of the whole file
};

// Reads the file's bytes as a plan into plan; a file that is not one leaves
// plan as it was. The two names of a pair may stand in either order, in any
// case, with any spaces and tabs around '+' and at either end; empty lines
// and lines starting with '#' are skipped, lines end in CR LF or LF, a UTF-8
// byte-order mark at the start is skipped, and a pair written twice counts
// once. The plan's order is the order of the lines.
PlanReading ReadPlan(const char *text, unsigned length, Plan *plan);

// The pair that the text from s up to e names: two of the twelve contacts
// around '+', in either order, in any case, with any spaces and tabs around
// '+' and at either end. PLAN_READ and the pair's index into CheckPairs, or
// PLAN_NOT_A_PAIR, PLAN_UNKNOWN_CONTACT or PLAN_SAME_CONTACT.
PlanFault ReadPairName(const char *s, const char *e, unsigned *index);

// Writes the plan file into text, which holds PLAN_FILE_SIZE characters:
// the header, then the pairs one a line in the plan's order, every line
// ended by CR LF. Returns its length.
unsigned FormatPlanFile(char *text, const Plan &plan);

// A plan's name, with its terminator.
constexpr unsigned PLAN_NAME_SIZE = 260;

// The plan's name: the file's name without its folder and extension, in
// name, which holds size characters.
void PlanNameOf(const char *path, char *name, unsigned size);

#endif
