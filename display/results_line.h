// The lines of a results file as a reader takes them: the header, which
// says where each column stands, and the rows, each read whole or not at all.
#ifndef TACTIVIEW_RESULTS_LINE_H
#define TACTIVIEW_RESULTS_LINE_H

#include "protocol/contact_check.h"

#include <stdint.h>

// Why a FAIL row names a pair: its columns Missing, Not in plan, Bounced and
// Held since start, in this order.
enum FailCause { CAUSE_MISSING, CAUSE_NOT_IN_PLAN, CAUSE_BOUNCED, CAUSE_HELD, FAIL_CAUSES };

// The columns a reader takes, known by the header's names.
enum ResultsColumn {
    COLUMN_TIME,
    COLUMN_GLOVE,
    COLUMN_PLAN,
    COLUMN_VERDICT,
    COLUMN_LISTS, // the four lists, in the order of FailCause
    RESULTS_COLUMNS = COLUMN_LISTS + FAIL_CAUSES
};

// Where each column stands in a file's lines, counted from 0.
struct ResultsColumns {
    unsigned at[RESULTS_COLUMNS];
};

enum RowVerdict { ROW_NO_VERDICT, ROW_PASS, ROW_FAIL };

struct ResultsLine {
    int64_t utcMs;
    const char *glove, *plan; // where the names stand in the line
    unsigned gloveLength, planLength;
    RowVerdict verdict;
    PairSet lists[FAIL_CAUSES];
};

// Reads the header, the line from s up to its end e: the columns named Time,
// Glove, Plan, Verdict, Missing, Not in plan, Bounced and Held since start,
// in any order among any others, the first of a name given twice. False
// when one is missing.
bool ReadResultsHeader(const char *s, const char *e, ResultsColumns &columns);

// Reads a row: a time as FormatRowTime writes it, a glove's and a plan's
// name, without control characters and no longer than the program writes
// them, a verdict of PASS, FAIL or none, and lists of pairs as the report
// writes them, separated by commas, their names matched as a plan file's.
// False when the line does not fit.
bool ReadResultsLine(const char *s, const char *e, const ResultsColumns &columns,
                     ResultsLine &line);

#endif
