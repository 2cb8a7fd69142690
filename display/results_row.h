// The results file of a test station: tab-separated text that a spreadsheet
// opens, a header and then one row for every glove checked.
#ifndef TACTIVIEW_RESULTS_ROW_H
#define TACTIVIEW_RESULTS_ROW_H

#include "display/pair_text.h"
#include "display/timed_row.h"
#include "protocol/contact_check.h"

// What a new or empty results file begins with.
constexpr char RESULTS_HEADER[] = "Time\tGlove\tPlan\tVerdict\tPairs made\tPlan pairs made\t"
                                  "Missing\tNot in plan\tBounced\tHeld since start\r\n";

// The most of a glove's or a plan's name that a row keeps in its column.
constexpr unsigned ROW_NAME_MOST = 259;

// Room for the longest row: the names, the counts and four lists of every pair.
constexpr unsigned RESULTS_ROW_SIZE =
    ROW_TIME_SIZE + 2 * ROW_NAME_MOST + 64 + 4 * CHECK_PAIRS * PAIR_NAME_SIZE;

// Writes the row of the glove into row, which holds RESULTS_ROW_SIZE
// characters, terminated, and returns its length: the time, the glove's and
// the plan's names, each cut at ROW_NAME_MOST characters, with any tab or
// control character in them as a space, the
// verdict, a glove still being checked counting as a FAIL, the counts, the
// plan's pairs not made, those made outside it, the pairs that bounced and
// those still held since the start; the plan's columns are empty without a
// plan. The row ends in CR LF.
unsigned FormatResultsRow(char *row, const char *time, const char *glove, const char *planName,
                          const ContactCheckState &check);

#endif
