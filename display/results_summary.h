// The summary of a station's results files: how many gloves passed, how many
// passed the first time, the same for each plan, and which pairs fail most.
// One or more files are read in turn into one summary, with memory the
// caller gives: a table of the gloves over which each row is looked up once.
#ifndef TACTIVIEW_RESULTS_SUMMARY_H
#define TACTIVIEW_RESULTS_SUMMARY_H

#include "display/results_line.h"
#include "display/results_row.h"

#include <stddef.h>
#include <stdint.h>

// The counts of all rows, or of one plan's. A glove is a name; a row without
// a name is a glove of its own.
struct YieldCounts {
    uint32_t rows, passRows, failRows;
    uint32_t gloves;
    uint32_t judged;    // gloves with a row with a verdict
    uint32_t firstPass; // of those, the gloves whose earliest such row is a PASS
    uint32_t finalPass; // and those whose latest is
    uint32_t retested;  // gloves with more than one row
};

// Plans with a line of their own, in the order they are first read. The
// rows of any further plan count together in one more line.
constexpr unsigned SUMMARY_PLANS = 10;
constexpr unsigned OTHER_PLANS = SUMMARY_PLANS;

// The rows that one summary reads at most, some 2.7 GB of results.
constexpr uint32_t SUMMARY_ROWS_MAX = 1u << 24;

struct GloveEntry;

struct ResultsSummary {
    YieldCounts all;
    YieldCounts plans[SUMMARY_PLANS + 1]; // the last: the other plans
    char planNames[SUMMARY_PLANS][ROW_NAME_MOST + 1];
    unsigned planCount;
    uint32_t failing[CHECK_PAIRS][FAIL_CAUSES]; // FAIL rows that name each pair
    uint32_t notUnderstood;                     // lines skipped
    // The gloves, each over all plans and over each plan it was checked
    // against, and an open-addressing index of the named ones.
    GloveEntry *entries;
    uint32_t *slots;
    uint32_t capacity, used, slotMask;
};

// The lines of a text, which bound its rows: its line ends, and one more.
uint32_t CountLines(const char *text, uint32_t length);

// The memory that a summary of up to `rows` rows needs.
size_t SummaryMemorySize(uint32_t rows);

// Starts an empty summary over memory of SummaryMemorySize(rows) bytes,
// aligned as the system's allocator aligns. Rows beyond `rows` are counted
// as not understood.
void StartSummary(ResultsSummary &summary, void *memory, uint32_t rows);

// Adds the rows of one results file to the summary. The text must stay as
// it is until the summary has read its last file: the gloves' names are
// looked up where they stand in it. Lines end in CR LF or LF, and a UTF-8
// byte-order mark at the start is skipped. A text whose first line is not a
// header as ReadResultsHeader takes it is not a results file: false, and the
// summary is left as it was; an empty one holds no rows. Empty lines are
// passed over; a line that ReadResultsLine does not take is counted as not
// understood.
bool ReadResultsText(ResultsSummary &summary, const char *text, uint32_t length);

// Counts the gloves of the rows read so far: their first and final verdicts
// by the rows' times as instants, rows of one time in the order read. May
// be called again after reading more.
void FinishSummary(ResultsSummary &summary);

#endif
