#include "tests/windows/test_window.h"

#include "app/globals.h"
#include "protocol/window_effects.h"
#include "res/resource.h"

#include <stdlib.h>
#include <string.h>

#include <vector>

static const DWORD ChildStyle = WS_CHILD | WS_VISIBLE;

struct ChildControl {
    const char *className;
    int id;
    DWORD style;
    int x, y, width, height;
};

static const ChildControl Children[] = {
    {"STATIC", IDC_CONTACTS, SS_OWNERDRAW, 16, 24, 300, 140},
    {"EDIT", IDC_LOG,
     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_VSCROLL, 16, 180,
     300, 60},
    {"BUTTON", IDC_TIMESTAMPS, BS_3STATE, 16, 250, 250, 16},
    {"BUTTON", IDC_GROUND, BS_3STATE, 16, 270, 250, 16},
};

HWND CreateTestMainWindow()
{
    HWND window = CreateWindowExA(0, "STATIC", "tactiview test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  10, 10, 360, 340, NULL, NULL, GetModuleHandleA(NULL), NULL);
    for (const ChildControl &c : Children)
        CreateWindowExA(0, c.className, "", ChildStyle | c.style, c.x, c.y, c.width, c.height,
                        window, (HMENU)(INT_PTR)c.id, GetModuleHandleA(NULL), NULL);
    MainWindow = window;
    return window;
}

void DestroyTestMainWindow()
{
    DestroyWindow(MainWindow);
    MainWindow = NULL;
}

std::string LogText()
{
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    std::vector<char> text(GetWindowTextLengthA(log) + 1);
    GetWindowTextA(log, text.data(), (int)text.size());
    return text.data();
}

DWORD LogLength()
{
    return (DWORD)GetWindowTextLengthA(GetDlgItem(MainWindow, IDC_LOG));
}

void LogSelection(DWORD *start, DWORD *end)
{
    SendDlgItemMessageA(MainWindow, IDC_LOG, EM_GETSEL, (WPARAM)start, (LPARAM)end);
}

void ReceiveLine(const char *line)
{
    static const ContactPicture NoGroups = {};
    DecodedFrame frame = {(uint8_t)strtoul(line, NULL, 16), &NoGroups, false, line,
                          (unsigned)strlen(line)};
    if (frame.start == FRAME_TEXT)
        frame.contacts = NULL;
    AppendLog(frame);
}
