#include "app/main_window.h"

#include "app/check_dialog.h"
#include "app/search_ports.h"
#include "app/globals.h"
#include "app/message_box.h"
#include "app/port_watch.h"
#include "app/receivers.h"
#include "app/record_log.h"
#include "app/save_log.h"
#include "app/settings.h"
#include "app/shutdown_reason.h"
#include "app/stats_dialog.h"
#include "app/test_station.h"
#include "display/contact_display.h"
#include "display/receive_log.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"
#include "serial/serial_port.h"

// The start-up sequence runs on the first tick, once the window is on screen.
constexpr UINT STARTUP_DELAY_MS = 100;

// Buttons that send one fixed command.
struct QueryButton {
    int id;
    const char *command;
};

static const QueryButton QueryButtons[] = {
    {IDC_QUERY_LEFT, CMD_QUERY_LEFT},
    {IDC_QUERY_RIGHT, CMD_QUERY_RIGHT},
    {IDC_QUERY_SIGNATURE, CMD_QUERY_SIGNATURE},
};

// Three-state boxes that switch a mode of the glove box with letter + digit.
struct ModeToggle {
    int id;
    char letter;
};

static const ModeToggle ModeToggles[] = {
    {IDC_TIMESTAMPS, 'T'},
    {IDC_GROUND, 'G'},
};

// Items of the system menu, each put directly above Close in this order.
struct SystemMenuItem {
    int textId;
    UINT command;
};

static const SystemMenuItem SystemMenuItems[] = {
    {IDS_SAVE_MENU, IDM_SAVE_LOG},         // "Save log..."
    {IDS_RECORD_MENU, IDM_RECORD_LOG},     // "Record to file..."
    {IDS_STATS_MENU, IDM_LINE_STATISTICS}, // "Line statistics..."
    {IDS_CHECK_MENU, IDM_CONTACT_CHECK},   // "Contact check..."
    {IDS_PORT_MENU, IDM_PORT_SELECT},      // "COM port selection..."
};

static void SetAppIcon(HWND dialog, int classIndex, int size)
{
    HANDLE icon =
        LoadImageA(AppInstance, MAKEINTRESOURCEA(IDI_APP), IMAGE_ICON, size, size, LR_SHARED);
    SetClassLongPtrA(dialog, classIndex, (LONG_PTR)icon);
}

static void OnInitDialog(HWND dialog)
{
    MainWindow = dialog;
    LoadSettings();
    RestoreStation();
    CreateDrawingObjects();
    SetAppIcon(dialog, GCLP_HICON, 32);
    SetAppIcon(dialog, GCLP_HICONSM, 16);
    SendDlgItemMessageA(dialog, IDC_LOG, WM_SETFONT, (WPARAM)LogFont, FALSE);
    ConnectReceivers(dialog);
    SetTimer(dialog, TIMER_STARTUP, STARTUP_DELAY_MS, NULL);
}

static void AddSystemMenuItems(HWND dialog)
{
    HMENU menu = GetSystemMenu(dialog, FALSE);
    char text[64];
    for (const SystemMenuItem &item : SystemMenuItems) {
        LoadStringA(AppInstance, item.textId, text, sizeof text);
        InsertMenuA(menu, SC_CLOSE, MF_BYCOMMAND | MF_STRING, item.command, text);
    }
}

static void RunStartup(HWND dialog)
{
    KillTimer(dialog, TIMER_STARTUP);
    AddSystemMenuItems(dialog);
    OpenStartupPort(dialog);
    TellPortEvent(PORT_OPENED);
    CheckDlgButton(dialog, IDC_TIMESTAMPS, BST_INDETERMINATE);
    CheckDlgButton(dialog, IDC_GROUND, BST_INDETERMINATE);
    FollowPortState(dialog);
    ReopenCheckIfKept(dialog);
}

static void ExpireTimestamp(HWND dialog)
{
    KillTimer(dialog, TIMER_TIMESTAMP);
    ContactState.TimestampMs = 0;
    RefreshDisplay();
}

// While a lost port is waited for nothing is polled, so the lines recorded
// before the loss are brought to the disk on these ticks instead.
static void OnTimer(HWND dialog, WPARAM timer)
{
    switch (timer) {
    case TIMER_STARTUP:
        RunStartup(dialog);
        break;
    case TIMER_POLL:
        PollOnce(dialog);
        break;
    case TIMER_REOPEN:
        TryReopenPort(dialog);
        WriteRecording();
        break;
    case TIMER_SEARCH:
        if (TryCandidate(dialog))
            FollowPortState(dialog);
        break;
    case TIMER_TIMESTAMP:
        ExpireTimestamp(dialog);
        break;
    }
}

// Switches a mode on from unchecked, off from checked or indeterminate, and
// shows the mode just sent. A command that did not go out leaves the box as
// it was, as the box's mode has not changed either.
static void ToggleMode(HWND dialog, const ModeToggle &toggle)
{
    char digit = IsDlgButtonChecked(dialog, toggle.id) == BST_UNCHECKED ? '1' : '0';
    const char command[] = {toggle.letter, digit, '\0'};
    if (SendCommand(command))
        CheckDlgButton(dialog, toggle.id, (UINT)(digit - '0'));
}

// A recording keeps what the window no longer shows, and with times notes
// when it was cleared.
static void ClearLogNoted(void)
{
    ClearLog();
    RecordEvent("Clear log");
}

// Enter and Escape arrive here as IDOK and IDCANCEL and, like every other id
// not in the tables, do nothing: only the close command ends the window.
static void OnCommand(HWND dialog, int id)
{
    for (const QueryButton &button : QueryButtons)
        if (button.id == id)
            SendCommand(button.command);
    for (const ModeToggle &toggle : ModeToggles)
        if (toggle.id == id)
            ToggleMode(dialog, toggle);
    if (id == IDC_CLEAR_LOG)
        ClearLogNoted();
}

// The system's own commands are left to it.
static void OnSysCommand(HWND dialog, WPARAM command)
{
    switch (command & 0xFFF0) {
    case IDM_SAVE_LOG:
        SaveLog(dialog);
        break;
    case IDM_RECORD_LOG:
        ToggleRecording(dialog);
        break;
    case IDM_LINE_STATISTICS:
        ShowLineStatistics(dialog);
        break;
    case IDM_CONTACT_CHECK:
        ShowContactCheck(dialog);
        break;
    case IDM_PORT_SELECT:
        ChangePort(dialog);
        break;
    }
}

// An error box posted but not shown yet, such as the one of a recording whose
// last flush has just failed, would end with the window unseen.
static void ShowPendingErrors(HWND dialog)
{
    MSG message;
    while (PeekMessageA(&message, dialog, WM_SHOW_ERROR, WM_SHOW_ERROR, PM_REMOVE))
        ShowFileError(dialog, (int)message.wParam, (DWORD)message.lParam);
}

// A glove checked and not yet written to the results file is written first;
// when that fails the window stays, so that its result is not lost.
static void OnClose(HWND dialog)
{
    if (!WriteLastGlove(dialog))
        return;
    StopRecording();
    ShowPendingErrors(dialog);
    KeepSystemAwake(FALSE);
    SaveSettings();
    KeepWhetherCheckShown();
    WithdrawShutdownReason(dialog);
    EndDialog(dialog, MAIN_CLOSED);
}

// What the session's end would lose goes to the disk while Windows asks; a
// glove's row that cannot be written holds the session back, and the window,
// the glove and its result stay.
static BOOL OnQueryEndSession(HWND dialog)
{
    BringRecordingToDisk();
    return MayEndSession(dialog);
}

// Windows ends the process once this returns, without WM_CLOSE. The glove's
// row went in as Windows asked, unless the session ends unasked.
static void OnEndSession(void)
{
    SaveSettings();
    KeepWhetherCheckShown();
    WriteLastGlove(NULL);
    StopRecording();
}

// Returns TRUE for WM_INITDIALOG, and for WM_QUERYENDSESSION, whose answer
// goes in DWLP_MSGRESULT; FALSE elsewhere leaves the system its own
// handling, such as moving, minimising and closing from the system menu.
INT_PTR CALLBACK MainDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_TIMER:
        OnTimer(dialog, wParam);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    case WM_SYSCOMMAND:
        OnSysCommand(dialog, wParam);
        break;
    case WM_CLOSE:
        OnClose(dialog);
        break;
    case WM_QUERYENDSESSION:
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, OnQueryEndSession(dialog));
        return TRUE;
    case WM_ENDSESSION:
        if (wParam)
            OnEndSession();
        break;
    case WM_SHOW_ERROR:
        ShowFileError(dialog, (int)wParam, (DWORD)lParam);
        break;
    case WM_DEVICECHANGE:
        FollowDeviceChange(dialog, wParam, lParam);
        break;
    case WM_PORT_REMOVED:
        OnPortRemoved(dialog, (BOOL)wParam);
        break;
    case WM_DRAWITEM:
        DrawContacts((const DRAWITEMSTRUCT *)lParam);
        break;
    }
    return FALSE;
}
