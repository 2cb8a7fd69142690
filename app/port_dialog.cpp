// The port selection dialog. Its list is filled shortly after the dialog
// opens and rebuilt whenever the system reports a device change, so ports
// that come and go (USB adapters) show up while it is open.
#include "app/port_dialog.h"

#include "app/globals.h"
#include "app/message_box.h"
#include "res/resource.h"
#include "serial/serial_port.h"

static const UINT_PTR TIMER_REFRESH = 1;

// The first fill waits until the dialog is on screen. After a device change
// the list is rebuilt at once and again once the change has settled: a new
// adapter's port may be registered only some time after the notification.
static const UINT FirstFillDelay = 100;
static const UINT SettleDelay = 1500;

static void AddPortEntry(const char *name, DWORD number, void *context)
{
    HWND list = (HWND)context;
    LRESULT index = SendMessageA(list, CB_ADDSTRING, 0, (LPARAM)name);
    if (index < 0)
        return;
    SendMessageA(list, CB_SETITEMDATA, (WPARAM)index, (LPARAM)number);
    if (number == PortNumber)
        SendMessageA(list, CB_SETCURSEL, (WPARAM)index, 0);
}

// Selects the port held in PortNumber, not whatever the user had highlighted:
// the highlighted entry may be the one that has just gone.
static void RebuildPortList(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PORT_LIST);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    ListPorts(AddPortEntry, list);
}

static void OnRefreshTimer(HWND dialog)
{
    KillTimer(dialog, TIMER_REFRESH);
    RebuildPortList(dialog);
}

// Setting the timer again replaces a pending one, so the late rebuild comes
// 1.5 s after the last of a burst of changes.
static void RebuildAfterDeviceChange(HWND dialog)
{
    SetTimer(dialog, TIMER_REFRESH, SettleDelay, NULL);
    RebuildPortList(dialog);
}

static void OnOk(HWND dialog)
{
    HWND list = GetDlgItem(dialog, IDC_PORT_LIST);
    LRESULT selection = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (selection < 0) {
        ShowMessage(dialog, MAKEINTRESOURCEA(IDS_NO_PORT), MB_ICONWARNING);
        SetFocus(list);
        return;
    }
    PortNumber = (DWORD)SendMessageA(list, CB_GETITEMDATA, (WPARAM)selection, 0);
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK PortDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        SetTimer(dialog, TIMER_REFRESH, FirstFillDelay, NULL);
        return TRUE;
    case WM_DEVICECHANGE:
        RebuildAfterDeviceChange(dialog);
        break;
    case WM_TIMER:
        if (wParam == TIMER_REFRESH)
            OnRefreshTimer(dialog);
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK)
            OnOk(dialog);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        break;
    }
    return FALSE;
}
