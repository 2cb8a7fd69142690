// Identifiers shared by the resource script and the code.
#ifndef TACTIVIEW_RESOURCE_H
#define TACTIVIEW_RESOURCE_H

#define IDD_MAIN 100
#define IDD_PORT 101
#define IDD_LINE_STATISTICS 102
#define IDD_CONTACT_CHECK 103
#define IDD_RESULTS_SUMMARY 104
#define IDI_APP 100

// The version record's numbers, and the same as the program says them.
#define VERSION_NUMBERS 1, 0, 2008, 227
#define VERSION_TEXT "1.0.2008.227"

// Controls of the main window, in template order.
#define IDC_CONTACTS 11
#define IDC_LOG 12
#define IDC_QUERY_LEFT 13
#define IDC_QUERY_RIGHT 14
#define IDC_QUERY_SIGNATURE 15
#define IDC_TIMESTAMPS 16
#define IDC_GROUND 17
#define IDC_CLEAR_LOG 18

// Control of the port selection dialog.
#define IDC_PORT_LIST 13

// Controls of the line statistics dialog. The values, one a row, follow each
// other in the order shown; the label of each has its id + IDC_STAT_LABEL.
// Close is IDCANCEL, so that Escape closes too.
#define IDC_STAT_RESET 20
#define IDC_STAT_COPY 21
#define IDC_STAT_SINCE 200
#define IDC_STAT_BYTES 201
#define IDC_STAT_REPORTS 202
#define IDC_STAT_TIMED 203
#define IDC_STAT_TEXT 204
#define IDC_STAT_OUTSIDE 205
#define IDC_STAT_CUT 206
#define IDC_STAT_PAST_CUT 207
#define IDC_STAT_OVERRUN 208 // the line errors, in the order of LineError
#define IDC_STAT_LOST 213
#define IDC_STAT_BACK 214
#define IDC_STAT_BYTE_RATE 215
#define IDC_STAT_FRAME_RATE 216
#define IDC_STAT_LAST IDC_STAT_FRAME_RATE
#define IDC_STAT_LABEL 100

// Controls of the contact check dialog. Close is IDCANCEL, so that Escape
// closes too.
#define IDC_CHECK_PICTURE 300
#define IDC_CHECK_SUMMARY 301
#define IDC_CHECK_PLAN 302
#define IDC_CHECK_RESET 303
#define IDC_CHECK_COPY 304
#define IDC_CHECK_VERDICT 305
#define IDC_CHECK_PLAN_NAME 306
#define IDC_CHECK_OPEN_PLAN 307
#define IDC_CHECK_SAVE_PLAN 308
#define IDC_CHECK_GLOVE 309
#define IDC_CHECK_NEXT 310
#define IDC_CHECK_GLOVE_NAME 311
#define IDC_CHECK_RESULTS 312
#define IDC_CHECK_RESULTS_NAME 313
#define IDC_CHECK_SOUNDS 314
#define IDC_CHECK_RESULTS_SUMMARY 315

// Controls of the results summary dialog. Close is IDCANCEL, so that Escape
// closes too.
#define IDC_SUMMARY_SOURCE 400
#define IDC_SUMMARY_TEXT 401
#define IDC_SUMMARY_CHART 402
#define IDC_SUMMARY_OPEN 403
#define IDC_SUMMARY_COPY 404

#define IDS_DESCRIPTION 1
#define IDS_NO_PORT 2
#define IDS_ERROR 3
#define IDS_PORT_MENU 4
#define IDS_SAVE_MENU 5
#define IDS_SAVE_FILTER 6
#define IDS_SAVE_FAILED 7
#define IDS_RECORD_MENU 8
#define IDS_RECORD_FAILED 9
#define IDS_LOG_FULL 10
#define IDS_STATS_MENU 11
#define IDS_CHECK_MENU 12
#define IDS_RECORD_FILTER 20
#define IDS_PLAN_FILTER 30
#define IDS_RESULTS_FILTER 31
#define IDS_PLAN_READ_FAILED 32
#define IDS_PLAN_SAVE_FAILED 33
#define IDS_PLAN_REFUSED 34
#define IDS_RESULTS_FAILED 35
#define IDS_RESULTS_FAILED_AT_CLOSE 36
#define IDS_PLAN_NOT_RESTORED 37
#define IDS_PLAN_NOT_A_PLAN_AT_START 38
#define IDS_RESULTS_HOLD_SESSION 39
// What is wrong with a file that is no plan: IDS_PLAN_FAULTS + its PlanFault.
#define IDS_PLAN_FAULTS 40
#define IDS_SUMMARY_READ_FAILED 50
#define IDS_SUMMARY_REFUSED 51
#define IDS_SUMMARY_FAILED 52

// System-menu commands; their low four bits are zero, as the system requires.
#define IDM_PORT_SELECT 0x40
#define IDM_SAVE_LOG 0x50
#define IDM_RECORD_LOG 0x60
#define IDM_LINE_STATISTICS 0x70
#define IDM_CONTACT_CHECK 0x80

#endif
