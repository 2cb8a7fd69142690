// Identifiers shared by the resource script and the code.
#ifndef TACTIVIEW_RESOURCE_H
#define TACTIVIEW_RESOURCE_H

#define IDD_MAIN 100
#define IDD_PORT 101
#define IDI_APP 100

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

// System-menu commands; their low four bits are zero, as the system requires.
#define IDM_PORT_SELECT 0x40
#define IDM_SAVE_LOG 0x50
#define IDM_RECORD_LOG 0x60

#endif
