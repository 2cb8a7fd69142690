#include "display/results_summary.h"

#include <string.h>

static const char ByteOrderMark[] = "\xEF\xBB\xBF";

// A glove over all plans has this in place of a plan's line.
static const uint8_t ALL_PLANS = 0xFF;

enum GloveFlags { JUDGED = 1, FIRST_PASS = 2, FINAL_PASS = 4 };

struct GloveEntry {
    const char *name; // in the text read; a glove without a name is never looked up
    uint32_t hash;
    uint16_t nameLength; // at most ROW_NAME_MOST
    uint8_t plan;        // its line in plans[], or ALL_PLANS
    uint8_t flags;
    uint32_t rows;
    int64_t firstMs, finalMs; // of its rows with a verdict, in UTC
};

uint32_t CountLines(const char *text, uint32_t length)
{
    uint32_t lines = 1;
    for (const char *p = text, *end = text + length;
         (p = (const char *)memchr(p, '\n', (size_t)(end - p))) != NULL; p++)
        lines++;
    return lines;
}

// Every row may add a glove over all plans and one of its plan. At most
// half the index's slots are taken, so that a look-up ends soon.
static uint32_t CapacityFor(uint32_t rows)
{
    return 2 * (rows < SUMMARY_ROWS_MAX ? rows : SUMMARY_ROWS_MAX);
}

static uint32_t SlotsFor(uint32_t capacity)
{
    uint32_t slots = 4;
    while (slots < 2 * capacity)
        slots *= 2;
    return slots;
}

size_t SummaryMemorySize(uint32_t rows)
{
    uint32_t capacity = CapacityFor(rows);
    return capacity * sizeof(GloveEntry) + SlotsFor(capacity) * sizeof(uint32_t);
}

void StartSummary(ResultsSummary &summary, void *memory, uint32_t rows)
{
    memset(&summary, 0, sizeof summary);
    summary.capacity = CapacityFor(rows);
    summary.entries = (GloveEntry *)memory;
    summary.slots = (uint32_t *)(summary.entries + summary.capacity);
    summary.slotMask = SlotsFor(summary.capacity) - 1;
    memset(summary.slots, 0, (summary.slotMask + 1) * sizeof(uint32_t));
}

// The plan's line: one of its own while there is room, otherwise the others'.
static uint8_t PlanLine(ResultsSummary &summary, const ResultsLine &row)
{
    for (unsigned i = 0; i < summary.planCount; i++)
        if (memcmp(summary.planNames[i], row.plan, row.planLength) == 0 &&
            summary.planNames[i][row.planLength] == '\0')
            return (uint8_t)i;
    if (summary.planCount == SUMMARY_PLANS)
        return OTHER_PLANS;
    memcpy(summary.planNames[summary.planCount], row.plan, row.planLength);
    return (uint8_t)summary.planCount++;
}

static uint32_t HashOf(const char *name, unsigned length, uint8_t plan)
{
    uint32_t hash = 2166136261u ^ plan; // FNV-1a
    for (unsigned i = 0; i < length; i++)
        hash = (hash ^ (unsigned char)name[i]) * 16777619u;
    return hash;
}

static GloveEntry &AddEntry(ResultsSummary &summary, const ResultsLine &row, uint8_t plan,
                            uint32_t hash)
{
    GloveEntry &glove = summary.entries[summary.used++];
    glove = {row.glove, hash, (uint16_t)row.gloveLength, plan, 0, 0, 0, 0};
    return glove;
}

// The glove of the row over the plan's line or over all plans.
static GloveEntry &FindGlove(ResultsSummary &summary, const ResultsLine &row, uint8_t plan)
{
    uint32_t hash = HashOf(row.glove, row.gloveLength, plan);
    if (row.gloveLength == 0)
        return AddEntry(summary, row, plan, hash);
    for (uint32_t i = hash & summary.slotMask;; i = (i + 1) & summary.slotMask) {
        if (summary.slots[i] == 0) {
            summary.slots[i] = summary.used + 1;
            return AddEntry(summary, row, plan, hash);
        }
        GloveEntry &glove = summary.entries[summary.slots[i] - 1];
        if (glove.hash == hash && glove.plan == plan && glove.nameLength == row.gloveLength &&
            memcmp(glove.name, row.glove, row.gloveLength) == 0)
            return glove;
    }
}

// A later row of the same time is the later one: they keep the order read.
static void NoteRow(GloveEntry &glove, const ResultsLine &row)
{
    glove.rows++;
    if (row.verdict == ROW_NO_VERDICT)
        return;
    uint8_t pass = row.verdict == ROW_PASS;
    if (!(glove.flags & JUDGED) || row.utcMs < glove.firstMs) {
        glove.firstMs = row.utcMs;
        glove.flags = (uint8_t)((glove.flags & ~FIRST_PASS) | (pass ? FIRST_PASS : 0));
    }
    if (!(glove.flags & JUDGED) || row.utcMs >= glove.finalMs) {
        glove.finalMs = row.utcMs;
        glove.flags = (uint8_t)((glove.flags & ~FINAL_PASS) | (pass ? FINAL_PASS : 0));
    }
    glove.flags |= JUDGED;
}

static void CountRow(YieldCounts &counts, const ResultsLine &row)
{
    counts.rows++;
    counts.passRows += row.verdict == ROW_PASS;
    counts.failRows += row.verdict == ROW_FAIL;
}

// Bit b of a list's row a is the pair a, b: only the pairs named are
// looked up in the report's order.
static void CountFailingPairs(ResultsSummary &summary, const ResultsLine &row)
{
    for (unsigned cause = 0; cause < FAIL_CAUSES; cause++)
        for (unsigned a = 0; a < CHECK_CONTACTS; a++)
            for (unsigned b = a + 1; b < CHECK_CONTACTS; b++)
                if ((row.lists[cause].rows[a] >> b) & 1)
                    summary.failing[PairIndex(a, b)][cause]++;
}

static void AddRow(ResultsSummary &summary, const ResultsLine &row)
{
    CountRow(summary.all, row);
    NoteRow(FindGlove(summary, row, ALL_PLANS), row);
    if (row.planLength > 0) {
        uint8_t plan = PlanLine(summary, row);
        CountRow(summary.plans[plan], row);
        NoteRow(FindGlove(summary, row, plan), row);
    }
    if (row.verdict == ROW_FAIL)
        CountFailingPairs(summary, row);
}

static void ReadLine(ResultsSummary &summary, const char *s, const char *e,
                     const ResultsColumns &columns)
{
    ResultsLine row;
    if (s == e)
        return;
    if (summary.used + 2 <= summary.capacity && ReadResultsLine(s, e, columns, row))
        AddRow(summary, row);
    else
        summary.notUnderstood++;
}

// The line from p, its end left off; p moves past it.
static void NextLine(const char *&p, const char *end, const char *&s, const char *&e)
{
    const char *lineEnd = (const char *)memchr(p, '\n', (size_t)(end - p));
    s = p;
    e = lineEnd ? lineEnd : end;
    p = lineEnd ? lineEnd + 1 : end;
    if (e > s && e[-1] == '\r')
        e--;
}

bool ReadResultsText(ResultsSummary &summary, const char *text, uint32_t length)
{
    const char *p = text, *end = text + length, *s, *e;
    if (length >= 3 && memcmp(p, ByteOrderMark, 3) == 0)
        p += 3;
    if (p == end)
        return true;
    ResultsColumns columns;
    NextLine(p, end, s, e);
    if (!ReadResultsHeader(s, e, columns))
        return false;
    while (p < end) {
        NextLine(p, end, s, e);
        ReadLine(summary, s, e, columns);
    }
    return true;
}

static void CountGlove(YieldCounts &counts, const GloveEntry &glove)
{
    counts.gloves++;
    counts.retested += glove.rows > 1;
    counts.judged += (glove.flags & JUDGED) != 0;
    counts.firstPass += (glove.flags & FIRST_PASS) != 0;
    counts.finalPass += (glove.flags & FINAL_PASS) != 0;
}

static void ClearGloveCounts(YieldCounts &counts)
{
    counts.gloves = counts.judged = counts.firstPass = counts.finalPass = counts.retested = 0;
}

void FinishSummary(ResultsSummary &summary)
{
    ClearGloveCounts(summary.all);
    for (YieldCounts &counts : summary.plans)
        ClearGloveCounts(counts);
    for (uint32_t i = 0; i < summary.used; i++) {
        const GloveEntry &glove = summary.entries[i];
        CountGlove(glove.plan == ALL_PLANS ? summary.all : summary.plans[glove.plan], glove);
    }
}
