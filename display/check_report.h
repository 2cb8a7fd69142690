// The contact check as text: the report that "Copy" puts on the clipboard,
// tab-separated so that it pastes into a spreadsheet, its summary, which the
// dialog shows below the picture, and the verdict on the glove.
#ifndef TACTIVIEW_CHECK_REPORT_H
#define TACTIVIEW_CHECK_REPORT_H

#include "display/pair_text.h"
#include "protocol/contact_check.h"

// Room for the longest summary: the two counts, and every pair once among
// the missing and those not in the plan.
constexpr unsigned CHECK_SUMMARY_SIZE = 96 + CHECK_PAIRS * PAIR_NAME_SIZE;

// Room for the longest report: the header, 66 lines of at most 96
// characters (every count of ten digits), an empty line and the summary.
constexpr unsigned CHECK_REPORT_SIZE = 96 + CHECK_PAIRS * 96 + 2 + CHECK_SUMMARY_SIZE;

// Room for the longest verdict: two reasons, each a pair and a count, and
// the note on bounces.
constexpr unsigned CHECK_VERDICT_SIZE = 256;

// Each writes the check's text into text of size characters, terminated and
// cut short should it not fit, and returns its length. Every line of the
// report and the summary ends in CR LF.
unsigned FormatCheckReport(char *text, unsigned size, const ContactCheckState &check);
unsigned FormatCheckSummary(char *text, unsigned size, const ContactCheckState &check);

// The verdict, its lines separated by CR LF: "No plan"; "FAIL: " and why;
// "PASS: " and the count; or "Checking: " with the count and, on a line of
// its own, what to do next. With a plan, while the reports carry no time, a
// line more says that bounces are not checked.
unsigned FormatVerdict(char *text, unsigned size, const ContactCheckState &check);

#endif
