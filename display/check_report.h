// The contact check as text: the report that "Copy" puts on the clipboard,
// tab-separated so that it pastes into a spreadsheet, and its summary, which
// the dialog shows below the picture.
#ifndef TACTIVIEW_CHECK_REPORT_H
#define TACTIVIEW_CHECK_REPORT_H

#include "protocol/contact_check.h"

// Room for the longest summary: the two counts, and every pair once among
// the missing and those not in the plan, at 29 characters a pair with its
// separator.
constexpr unsigned CHECK_SUMMARY_SIZE = 2560;

// Room for the longest report: the header, 66 lines of at most 96
// characters (every count of ten digits), an empty line and the summary.
constexpr unsigned CHECK_REPORT_SIZE = 96 + CHECK_PAIRS * 96 + 2 + CHECK_SUMMARY_SIZE;

// Each writes ContactCheck's text, every line ended by CR LF, into text of
// size characters, terminated and cut short should it not fit, and returns
// its length.
unsigned FormatCheckReport(char *text, unsigned size);
unsigned FormatCheckSummary(char *text, unsigned size);

#endif
