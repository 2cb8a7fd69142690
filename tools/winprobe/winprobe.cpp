// winprobe: looks at and works another program's window from outside, as a
// user would, through window messages only. Used by the end-to-end tests.
//
// usage: winprobe COMMAND CAPTION [ARGUMENT]
//   wait CAPTION [MS]        wait until a top-level window of that caption shows
//   gone CAPTION [MS]        wait until no such window exists
//   text CAPTION ID          print the text of control ID (WM_GETTEXT)
//   settext CAPTION ID TEXT  set the text of control ID (WM_SETTEXT)
//   check CAPTION ID         print the state of button ID: 0, 1 or 2
//   enabled CAPTION ID       print 1 when control ID is enabled, else 0
//   click CAPTION ID         click button ID (BM_CLICK)
//   syscommand CAPTION CMD   post WM_SYSCOMMAND with CMD (decimal or 0x hex)
//   close CAPTION            post WM_CLOSE
//   key CAPTION VK           post a key press to the window (VK decimal or 0x hex)
//   focus CAPTION ID         give control ID of the dialog the focus (WM_NEXTDLGCTL)
//   answers CAPTION [MS]     exit 0 when the window answers a message within MS
//   rect CAPTION ID          print the screen rectangle of control ID, or of the
//                            window itself with ID 0: left top right bottom
//   length CAPTION ID        print the length of the text of control ID
//   lastline CAPTION ID      print the last complete line of edit control ID
//   fill CAPTION ID BYTES    fill edit control ID with about BYTES characters of
//                            the shortest log lines and put the caret at the end
//   cut CAPTION ID CHARS     remove the first CHARS characters of edit control ID
//   watch CAPTION ID MS PERIOD  print the line count of edit control ID every
//                            PERIOD ms for MS ms: time, lines, answer time in us
//   popups CAPTION MS        for MS ms, print the caption of every other visible
//                            top-level window of the window's program, once
//   items CAPTION ID         print the number of entries of combo box ID
//   choose CAPTION ID TEXT   select the entry of combo box ID that starts with TEXT,
//                            and tell the box's owner as a user's pick does
//   clipboard CAPTION        print the text on the clipboard (any window will do)
//   hold PATH                open the file PATH sharing nothing, as another
//                            program may hold it, print "held", and keep it
//                            open until standard input ends
//   device CAPTION EVENT NAME  send WM_DEVICECHANGE as Windows broadcasts a port's
//                            arrival or removal (EVENT arrival or removal, NAME
//                            such as COM7), which Wine itself never sends
// Exit status: 0 done, 1 the window, control or file is not there, 2 bad usage.
#include "tools/clock.h"

#include <windows.h>

#include <dbt.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <cstdlib>
#include <cstring>
#include <vector>

static int Usage()
{
    std::fputs("usage: winprobe wait|gone|text|settext|check|enabled|click|syscommand|close|key|"
               "focus|answers|rect|length|lastline|fill|cut|watch|popups|items|choose|clipboard|"
               "device CAPTION [ARGUMENT...]\n       winprobe hold PATH\n",
               stderr);
    return 2;
}

// Waits for a top-level window of that caption to be on screen. A dialog
// exists a moment before its controls do, and shows only once they are made
// and initialised: looked at in between, it would seem to have none. *shown
// says whether it was seen on screen: a second look could miss a dialog that
// a busy machine has let close in between.
static HWND WaitForWindow(const char *caption, DWORD ms, BOOL *shown)
{
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = FindWindowA(NULL, caption);
        *shown = window && IsWindowVisible(window);
        if (*shown || GetTickCount() - start >= ms)
            return window;
        Sleep(20);
    }
}

static HWND Control(HWND window, const char *id)
{
    int n = (int)std::strtol(id, NULL, 0);
    return n == 0 ? window : GetDlgItem(window, n);
}

static std::vector<char> Text(HWND control)
{
    LRESULT length = SendMessageA(control, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(length + 1);
    SendMessageA(control, WM_GETTEXT, (WPARAM)text.size(), (LPARAM)text.data());
    text.resize(std::strlen(text.data()));
    return text;
}

static int PrintText(HWND control)
{
    std::vector<char> text = Text(control);
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

// The text between the last two line breaks. (EM_GETLINE cannot serve: under
// Wine it returns only the first 20 characters of a line to another process.)
static int PrintLastLine(HWND edit)
{
    std::vector<char> text = Text(edit);
    size_t end = text.size();
    if (end >= 2 && text[end - 2] == '\r' && text[end - 1] == '\n')
        end -= 2;
    size_t start = end;
    while (start > 0 && text[start - 1] != '\n')
        start--;
    std::fwrite(text.data() + start, 1, end - start, stdout);
    return 0;
}

// Stands in for a log that has been running for a long time, made of the
// shortest report's lines, the most lines a log of its size can hold. The text
// goes in pieces, as Wine does not pass a message with a megabyte of text
// between processes, and each piece goes in at the start: the control finds a
// place near the start at once, while finding its end walks every line.
static int Fill(HWND edit, size_t bytes)
{
    static const char Line[] = "80 08 10 8F\r\n";
    static const size_t LineLength = sizeof Line - 1;
    static const size_t PieceLines = 20000;
    std::vector<char> piece;
    for (size_t i = 0; i < PieceLines; i++)
        piece.insert(piece.end(), Line, Line + LineLength);
    piece.push_back('\0');

    SendMessageA(edit, WM_SETTEXT, 0, (LPARAM) "");
    size_t length = 0;
    while (length < bytes) {
        size_t lines = (bytes - length + LineLength - 1) / LineLength;
        size_t end = (lines < PieceLines ? lines : PieceLines) * LineLength;
        char saved = piece[end];
        piece[end] = '\0';
        SendMessageA(edit, EM_SETSEL, 0, 0);
        SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM)piece.data());
        piece[end] = saved;
        length += end;
    }
    // The program may have logged a line meanwhile; less text means the
    // control refused some.
    if ((size_t)SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0) < length)
        return 1;
    SendMessageA(edit, EM_SETSEL, MAXINT, MAXINT);
    SendMessageA(edit, EM_SCROLLCARET, 0, 0);
    return 0;
}

// Removes the first characters of an edit control's text, so that what
// follows can be read even when the whole would be too long to pass.
static int Cut(HWND edit, size_t characters)
{
    SendMessageA(edit, EM_SETSEL, 0, characters);
    SendMessageA(edit, EM_REPLACESEL, FALSE, (LPARAM) "");
    return 0;
}

// Asks an edit control for its number of lines every period, for the given
// time, and prints per look: milliseconds since the start, the number of
// lines, and the microseconds the window took to answer. Asking is cheap at
// any size: the control keeps the count.
static int WatchLines(HWND edit, DWORD ms, DWORD period)
{
    double start = Now();
    while (Now() - start < ms / 1000.0) {
        double asked = Now();
        LRESULT lines = SendMessageA(edit, EM_GETLINECOUNT, 0, 0);
        double answered = Now();
        std::printf("%.0f %ld %.0f\n", (asked - start) * 1e3, (long)lines,
                    (answered - asked) * 1e6);
        std::fflush(stdout);
        double next = asked + period / 1000.0;
        if (answered < next)
            Sleep((DWORD)((next - answered) * 1000));
    }
    return 0;
}

// The windows of one program seen so far besides its main window.
struct PopupWatch {
    HWND main;
    DWORD process;
    std::vector<HWND> seen;
};

static BOOL CALLBACK NotePopup(HWND window, LPARAM context)
{
    PopupWatch *watch = (PopupWatch *)context;
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (window == watch->main || process != watch->process || !IsWindowVisible(window))
        return TRUE;
    for (HWND seen : watch->seen)
        if (seen == window)
            return TRUE;
    watch->seen.push_back(window);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    std::printf("%s\n", caption);
    std::fflush(stdout);
    return TRUE;
}

// Looks every 20 ms for a message box or dialog that the program shows.
static int WatchPopups(HWND main, DWORD ms)
{
    PopupWatch watch = {main, 0, {}};
    GetWindowThreadProcessId(main, &watch.process);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20))
        EnumWindows(NotePopup, (LPARAM)&watch);
    return 0;
}

static int PrintClipboard(void)
{
    if (!OpenClipboard(NULL))
        return 1;
    HANDLE data = GetClipboardData(CF_TEXT);
    const char *text = data ? (const char *)GlobalLock(data) : NULL;
    if (text) {
        std::fputs(text, stdout);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text ? 0 : 1;
}

static int PrintRect(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

static int Answers(HWND window, DWORD ms)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) ? 0 : 1;
}

static int Choose(HWND combo, const char *text)
{
    if (SendMessageA(combo, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)text) == CB_ERR)
        return 1;
    HWND owner = GetParent(combo);
    int id = GetDlgCtrlID(combo);
    SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), (LPARAM)combo);
    SendMessageA(owner, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), (LPARAM)combo);
    return 0;
}

// Sent, not posted, as the system sends it: the broadcast's data lives only
// until the message returns. Wine carries it to the other process whole.
static int AnnounceDevice(HWND window, const char *event, const char *name)
{
    struct {
        DEV_BROADCAST_HDR header;
        char name[16];
    } device = {{sizeof device, DBT_DEVTYP_PORT, 0}, {}};
    WPARAM what = !std::strcmp(event, "arrival")   ? DBT_DEVICEARRIVAL
                  : !std::strcmp(event, "removal") ? DBT_DEVICEREMOVECOMPLETE
                                                   : 0;
    if (!what)
        return Usage();
    lstrcpynA(device.name, name, sizeof device.name);
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_DEVICECHANGE, what, (LPARAM)&device, SMTO_ABORTIFHUNG,
                               5000, &result)
               ? 0
               : 1;
}

static int PostKey(HWND window, WPARAM key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    return 0;
}

// Under Wine as under Windows, a file opened with share mode 0 cannot be
// opened again until it is closed.
static int Hold(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    std::puts("held");
    std::fflush(stdout);
    char c;
    DWORD read;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, NULL) && read)
        ;
    CloseHandle(file);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return Usage();
    // Texts are printed byte for byte: a log line's CR LF stays CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    const char *command = argv[1];
    if (!std::strcmp(command, "hold"))
        return Hold(argv[2]);
    const char *argument = argc > 3 ? argv[3] : NULL;
    DWORD ms = argument ? (DWORD)std::strtoul(argument, NULL, 0) : 5000;

    if (!std::strcmp(command, "gone")) {
        DWORD start = GetTickCount();
        while (FindWindowA(NULL, argv[2]) && GetTickCount() - start < ms)
            Sleep(20);
        return FindWindowA(NULL, argv[2]) ? 1 : 0;
    }
    BOOL shown;
    HWND window = WaitForWindow(argv[2], !std::strcmp(command, "wait") ? ms : 0, &shown);
    if (!std::strcmp(command, "wait"))
        return shown ? 0 : 1;
    if (!window)
        return 1;
    if (!std::strcmp(command, "close"))
        return PostMessageA(window, WM_CLOSE, 0, 0) ? 0 : 1;
    if (!std::strcmp(command, "answers"))
        return Answers(window, ms);
    if (!std::strcmp(command, "clipboard"))
        return PrintClipboard();
    if (!argument)
        return Usage();
    if (!std::strcmp(command, "popups"))
        return WatchPopups(window, ms);
    if (!std::strcmp(command, "syscommand"))
        return PostMessageA(window, WM_SYSCOMMAND, std::strtoul(argument, NULL, 0), 0) ? 0 : 1;
    if (!std::strcmp(command, "key"))
        return PostKey(window, std::strtoul(argument, NULL, 0));
    if (!std::strcmp(command, "device") && argc > 4)
        return AnnounceDevice(window, argument, argv[4]);

    HWND control = Control(window, argument);
    if (!control)
        return 1;
    if (!std::strcmp(command, "text"))
        return PrintText(control);
    if (!std::strcmp(command, "settext") && argc > 4)
        return SendMessageA(control, WM_SETTEXT, 0, (LPARAM)argv[4]) ? 0 : 1;
    if (!std::strcmp(command, "check"))
        return std::printf("%d\n", (int)SendMessageA(control, BM_GETCHECK, 0, 0)), 0;
    if (!std::strcmp(command, "enabled"))
        return std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0), 0;
    if (!std::strcmp(command, "click"))
        return SendMessageA(control, BM_CLICK, 0, 0), 0;
    if (!std::strcmp(command, "focus"))
        return SendMessageA(window, WM_NEXTDLGCTL, (WPARAM)control, TRUE), 0;
    if (!std::strcmp(command, "rect"))
        return PrintRect(control);
    if (!std::strcmp(command, "length"))
        return std::printf("%d\n", (int)SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)), 0;
    if (!std::strcmp(command, "lastline"))
        return PrintLastLine(control);
    if (!std::strcmp(command, "fill") && argc > 4)
        return Fill(control, std::strtoul(argv[4], NULL, 0));
    if (!std::strcmp(command, "cut") && argc > 4)
        return Cut(control, std::strtoul(argv[4], NULL, 0));
    if (!std::strcmp(command, "watch") && argc > 5)
        return WatchLines(control, std::strtoul(argv[4], NULL, 0), std::strtoul(argv[5], NULL, 0));
    if (!std::strcmp(command, "items"))
        return std::printf("%d\n", (int)SendMessageA(control, CB_GETCOUNT, 0, 0)), 0;
    if (!std::strcmp(command, "choose") && argc > 4)
        return Choose(control, argv[4]);
    return Usage();
}
