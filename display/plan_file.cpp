#include "display/plan_file.h"

#include <string.h>

static const char ByteOrderMark[] = "\xEF\xBB\xBF";

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

static char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? (char)(c - 'A' + 'a') : c;
}

// Text from s up to e without the blanks at either end.
static void Trim(const char *&s, const char *&e)
{
    while (s < e && IsBlank(*s))
        s++;
    while (e > s && IsBlank(e[-1]))
        e--;
}

// In any case, with any run of blanks where the name has its space.
static bool Matches(const char *s, const char *e, const char *name)
{
    while (s < e && *name) {
        if (*name == ' ') {
            if (!IsBlank(*s))
                return false;
            while (s < e && IsBlank(*s))
                s++;
            name++;
        } else if (Lower(*s++) != *name++) {
            return false;
        }
    }
    return s == e && !*name;
}

// Where c stands among the letters, or -1.
static int LetterIndex(const char *letters, char c)
{
    for (int i = 0; letters[i]; i++)
        if (letters[i] == c)
            return i;
    return -1;
}

// The contact the trimmed text names, or -1. The first letters of its two
// words pick the one name worth matching: the hand's, and the finger's in the
// order of a hand's contacts.
static int FindContact(const char *s, const char *e)
{
    const char *word = s;
    while (word < e && !IsBlank(*word))
        word++;
    while (word < e && IsBlank(*word))
        word++;
    int hand = LetterIndex("lr", Lower(*s));
    int finger = word < e ? LetterIndex("lrmitg", Lower(*word)) : -1;
    if (hand < 0 || finger < 0)
        return -1;
    int c = hand * (int)HAND_CONTACTS + finger;
    return Matches(s, e, ContactNames[c]) ? c : -1;
}

PlanFault ReadPairName(const char *s, const char *e, unsigned *index)
{
    Trim(s, e);
    const char *plus = (const char *)memchr(s, '+', (size_t)(e - s));
    if (!plus || memchr(plus + 1, '+', (size_t)(e - plus - 1)))
        return PLAN_NOT_A_PAIR;
    const char *leftEnd = plus, *right = plus + 1;
    Trim(s, leftEnd);
    Trim(right, e);
    if (s == leftEnd || right == e)
        return PLAN_NOT_A_PAIR;
    int a = FindContact(s, leftEnd), b = FindContact(right, e);
    if (a < 0 || b < 0)
        return PLAN_UNKNOWN_CONTACT;
    if (a == b)
        return PLAN_SAME_CONTACT;
    *index = a < b ? PairIndex((unsigned)a, (unsigned)b) : PairIndex((unsigned)b, (unsigned)a);
    return PLAN_READ;
}

// One line from s up to e, its line end left off.
static PlanFault ReadLine(const char *s, const char *e, Plan &plan)
{
    if (memchr(s, '\0', (size_t)(e - s)))
        return PLAN_ZERO_BYTE;
    Trim(s, e);
    if (s == e || *s == '#')
        return PLAN_READ;
    unsigned i = 0;
    PlanFault fault = ReadPairName(s, e, &i);
    if (fault == PLAN_READ && !HasPairAt(plan.pairs, i)) {
        AddPairAt(plan.pairs, i);
        plan.order[plan.size++] = (uint8_t)i;
    }
    return fault;
}

PlanReading ReadPlan(const char *text, unsigned length, Plan *plan)
{
    if (length > PLAN_FILE_LIMIT)
        return {PLAN_TOO_LARGE, 0};
    const char *p = text, *end = text + length;
    if (length >= 3 && memcmp(p, ByteOrderMark, 3) == 0)
        p += 3;
    Plan read = {};
    for (unsigned line = 1; p < end; line++) {
        const char *lineEnd = (const char *)memchr(p, '\n', (size_t)(end - p));
        const char *next = lineEnd ? lineEnd + 1 : end;
        const char *e = lineEnd ? lineEnd : end;
        if (e > p && e[-1] == '\r')
            e--;
        PlanFault fault = ReadLine(p, e, read);
        if (fault != PLAN_READ)
            return {fault, line};
        p = next;
    }
    if (read.size == 0)
        return {PLAN_NO_PAIRS, 0};
    *plan = read;
    return {PLAN_READ, 0};
}

unsigned FormatPlanFile(char *text, const Plan &plan)
{
    TextBuffer out = StartText(text, PLAN_FILE_SIZE);
    Put(out, PLAN_FILE_HEADER);
    for (unsigned i = 0; i < plan.size; i++) {
        PutPairName(out, plan.order[i]);
        Put(out, "\r\n");
    }
    return EndText(out, text);
}

void PlanNameOf(const char *path, char *name, unsigned size)
{
    const char *start = path, *dot = NULL;
    for (const char *p = path; *p; p++) {
        if (*p == '\\' || *p == '/' || *p == ':')
            start = p + 1, dot = NULL;
        else if (*p == '.')
            dot = p;
    }
    const char *end = dot && dot > start ? dot : start + strlen(start);
    unsigned length = (unsigned)(end - start) < size - 1 ? (unsigned)(end - start) : size - 1;
    memcpy(name, start, length);
    name[length] = '\0';
}
