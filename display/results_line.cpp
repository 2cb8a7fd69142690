#include "display/results_line.h"

#include "display/plan_file.h"
#include "display/results_row.h"
#include "display/timed_row.h"

#include <string.h>

static const char *const ColumnNames[RESULTS_COLUMNS] = {
    "Time", "Glove", "Plan", "Verdict", "Missing", "Not in plan", "Bounced", "Held since start"};

struct Cell {
    const char *s, *e;
};

static bool CellIs(const Cell &cell, const char *text)
{
    size_t length = strlen(text);
    return (size_t)(cell.e - cell.s) == length && memcmp(cell.s, text, length) == 0;
}

// The cells of the columns, from a line; false when the line has too few.
static bool SplitLine(const char *s, const char *e, const ResultsColumns &columns,
                      Cell cells[RESULTS_COLUMNS])
{
    unsigned found = 0;
    for (unsigned index = 0;; index++) {
        const char *tab = (const char *)memchr(s, '\t', (size_t)(e - s));
        const char *cellEnd = tab ? tab : e;
        for (unsigned c = 0; c < RESULTS_COLUMNS; c++) {
            if (columns.at[c] == index) {
                cells[c] = {s, cellEnd};
                found++;
            }
        }
        if (!tab || found == RESULTS_COLUMNS)
            return found == RESULTS_COLUMNS;
        s = tab + 1;
    }
}

bool ReadResultsHeader(const char *s, const char *e, ResultsColumns &columns)
{
    unsigned found = 0, index = 0;
    for (unsigned c = 0; c < RESULTS_COLUMNS; c++)
        columns.at[c] = ~0u;
    for (const char *cell = s;; index++) {
        const char *tab = (const char *)memchr(cell, '\t', (size_t)(e - cell));
        Cell named = {cell, tab ? tab : e};
        for (unsigned c = 0; c < RESULTS_COLUMNS; c++) {
            if (columns.at[c] == ~0u && CellIs(named, ColumnNames[c])) {
                columns.at[c] = index;
                found++;
            }
        }
        if (!tab)
            return found == RESULTS_COLUMNS;
        cell = tab + 1;
    }
}

// "left index + right thumb, left ground + right ground", or nothing.
static bool ReadPairList(Cell cell, PairSet &set)
{
    set = {};
    const char *s = cell.s;
    while (s < cell.e && (*s == ' ' || *s == '\t'))
        s++;
    if (s == cell.e)
        return true;
    for (;;) {
        const char *comma = (const char *)memchr(s, ',', (size_t)(cell.e - s));
        unsigned index;
        if (ReadPairName(s, comma ? comma : cell.e, &index) != PLAN_READ)
            return false;
        AddPairAt(set, index);
        if (!comma)
            return true;
        s = comma + 1;
    }
}

// A name as a row writes it: no control character, at most ROW_NAME_MOST.
static bool ReadName(const Cell &cell, const char *&name, unsigned &length)
{
    for (const char *p = cell.s; p < cell.e; p++)
        if ((unsigned char)*p < 0x20 || *p == 0x7F)
            return false;
    name = cell.s;
    length = (unsigned)(cell.e - cell.s);
    return length <= ROW_NAME_MOST;
}

static bool ReadVerdict(const Cell &cell, RowVerdict &verdict)
{
    if (CellIs(cell, "PASS"))
        verdict = ROW_PASS;
    else if (CellIs(cell, "FAIL"))
        verdict = ROW_FAIL;
    else if (cell.s == cell.e)
        verdict = ROW_NO_VERDICT;
    else
        return false;
    return true;
}

bool ReadResultsLine(const char *s, const char *e, const ResultsColumns &columns, ResultsLine &line)
{
    Cell cells[RESULTS_COLUMNS];
    if (!SplitLine(s, e, columns, cells) || !ReadVerdict(cells[COLUMN_VERDICT], line.verdict))
        return false;
    for (unsigned cause = 0; cause < FAIL_CAUSES; cause++)
        if (!ReadPairList(cells[COLUMN_LISTS + cause], line.lists[cause]))
            return false;
    const Cell &time = cells[COLUMN_TIME];
    return ReadRowTime(time.s, (unsigned)(time.e - time.s), &line.utcMs) &&
           ReadName(cells[COLUMN_GLOVE], line.glove, line.gloveLength) &&
           ReadName(cells[COLUMN_PLAN], line.plan, line.planLength);
}
