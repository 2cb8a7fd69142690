// How far the log can grow under Wine before its edit control refuses text,
// and what the program does there. The program's own main window runs on the
// main thread, its port the simulator that bench/run starts; a second thread
// works it: it starts a recording, fills the log at its start in pieces that
// shrink from 16 MB to 4 KB as the control refuses them, starts the stream
// with "CL" and, for the given seconds, watches whether the window answers,
// the recording grows, the picture follows the reports and the user is told.
// Then it tries "Save log...". Prints NAME<TAB>VALUE<TAB>UNIT a line as it
// goes, so that a crash shows how far it came.
//
// usage: log_limit_bench RECORDING SAVED SECONDS   (Windows paths)
#include "app/globals.h"
#include "tools/clock.h"
#include "app/main_window.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

static const char MainCaption[] = "Vexolan Test";
static const char SaveCaption[] = "Save As";
static const char ErrorCaption[] = "Error";
static const int FILE_NAME_BOX = 0x47C; // of the Save As dialog
static const size_t FirstPiece = 16 << 20, LastPiece = 4 << 10;
static const char ShortestLine[] = "80 08 10 8F\r\n";

static void Figure(const char *name, double value, const char *unit)
{
    std::printf("%s\t%.*f\t%s\n", name, value == (long long)value ? 0 : 2, value, unit);
    std::fflush(stdout);
}

// The system's reason that ends an error box's text, on one line.
static void FigureText(const char *name, std::string text)
{
    text.erase(0, text.rfind("\n\n") == std::string::npos ? 0 : text.rfind("\n\n") + 2);
    for (char &c : text)
        if (c == '\r' || c == '\n' || c == '\t')
            c = ' ';
    std::printf("%s\t%s\t\n", name, text.empty() ? "none" : text.c_str());
    std::fflush(stdout);
}

static std::string ErrorBoxText(void)
{
    char text[256] = "";
    GetDlgItemTextA(FindWindowA(NULL, ErrorCaption), 0xFFFF, text, sizeof text);
    return text;
}

static HWND WaitForWindow(const char *caption, double seconds)
{
    double end = Now() + seconds;
    HWND window;
    while (!(window = FindWindowA(NULL, caption)) && Now() < end)
        Sleep(20);
    return window;
}

static LONGLONG FileSize(const char *path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// Chooses a system-menu command of the main window and names `path` in its
// Save As dialog.
static bool SaveAs(UINT command, const char *path)
{
    DeleteFileA(path);
    PostMessageA(FindWindowA(NULL, MainCaption), WM_SYSCOMMAND, command, 0);
    HWND dialog = WaitForWindow(SaveCaption, 30);
    if (!dialog)
        return false;
    SetDlgItemTextA(dialog, FILE_NAME_BOX, path);
    SendMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    return true;
}

static LRESULT LineCount(HWND log)
{
    return SendMessageA(log, EM_GETLINECOUNT, 0, 0);
}

// Puts `piece` in at the log's start; false when the control refused it.
static bool FillPiece(HWND log, const std::string &piece)
{
    LRESULT before = LineCount(log);
    SendMessageA(log, EM_SETSEL, 0, 0);
    SendMessageA(log, EM_REPLACESEL, FALSE, (LPARAM)piece.c_str());
    return LineCount(log) != before;
}

static void FillToTheLimit(HWND log)
{
    std::string piece;
    while (piece.size() < FirstPiece)
        piece += ShortestLine;
    double start = Now();
    while (piece.size() >= LastPiece) {
        if (!FillPiece(log, piece))
            piece.resize(piece.size() / 16);
    }
    // Viewed at its end, as a log that has grown by itself is.
    SendMessageA(log, EM_SETSEL, MAXINT, MAXINT);
    SendMessageA(log, EM_SCROLLCARET, 0, 0);
    MEMORYSTATUSEX memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatusEx(&memory);
    Figure("log at the limit: characters", (double)SendMessageA(log, WM_GETTEXTLENGTH, 0, 0), "");
    Figure("log at the limit: lines", (double)LineCount(log), "");
    Figure("log at the limit: filling it at the start", Now() - start, "s");
    Figure("log at the limit: address space left", (double)(memory.ullAvailVirtual >> 20), "MB");
}

// What the stream does to the program at the limit, looked at every 100 ms.
struct Watch {
    double longestAnswer = 0, longestWithoutGrowth = 0, longestWithoutNewPicture = 0;
    double boxShownAt = -1;
    std::string boxText;
};

static void WatchStream(HWND window, const char *recording, double seconds, Watch *watch)
{
    double start = Now(), grown = start, repainted = start;
    LONGLONG size = FileSize(recording);
    uint16_t picture = ContactState.Groups[0];
    while (Now() - start < seconds) {
        double asked = Now();
        DWORD_PTR result;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
        double now = Now();
        if (now - asked > watch->longestAnswer)
            watch->longestAnswer = now - asked;
        if (FileSize(recording) > size)
            size = FileSize(recording), grown = now;
        if (ContactState.Groups[0] != picture)
            picture = ContactState.Groups[0], repainted = now;
        if (now - grown > watch->longestWithoutGrowth)
            watch->longestWithoutGrowth = now - grown;
        if (now - repainted > watch->longestWithoutNewPicture)
            watch->longestWithoutNewPicture = now - repainted;
        if (watch->boxShownAt < 0 && FindWindowA(NULL, ErrorCaption))
            watch->boxShownAt = now - start, watch->boxText = ErrorBoxText();
        Sleep(100);
    }
}

static void CloseErrorBox(void)
{
    HWND box = FindWindowA(NULL, ErrorCaption);
    if (box)
        SendMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

// A save at the limit: whether it saved the whole log, or said why not.
static void TrySave(HWND log, const char *saved)
{
    LONGLONG length = SendMessageA(log, WM_GETTEXTLENGTH, 0, 0);
    double start = Now();
    if (!SaveAs(IDM_SAVE_LOG, saved))
        return;
    while (FileSize(saved) < length && !FindWindowA(NULL, ErrorCaption) && Now() - start < 300)
        Sleep(50);
    Figure("save at the limit: seconds until saved or refused", Now() - start, "s");
    Figure("save at the limit: bytes saved", (double)(FileSize(saved) > 0 ? FileSize(saved) : 0),
           "");
    FigureText("save at the limit: the error box's reason", ErrorBoxText());
    CloseErrorBox();
}

static void Drive(const char *recording, const char *saved, double seconds)
{
    // The dialog exists a moment before its controls do.
    HWND window = WaitForWindow(MainCaption, 30), log = NULL;
    double end = Now() + 30;
    while ((!(log = GetDlgItem(window, IDC_LOG)) || LineCount(log) < 2) && Now() < end)
        Sleep(50); // until the reply to "CP" is logged
    if (!SaveAs(IDM_RECORD_LOG, recording) || WaitForWindow(ErrorCaption, 2))
        std::fprintf(stderr, "log_limit_bench: the recording did not start\n");
    FillToTheLimit(log);
    SendMessageA(GetDlgItem(window, IDC_QUERY_LEFT), BM_CLICK, 0, 0);
    Watch watch;
    WatchStream(window, recording, seconds, &watch);
    Figure("stream at the limit: lines in the log at its end", (double)LineCount(log), "");
    Figure("stream at the limit: longest answer to a message", watch.longestAnswer, "s");
    Figure("stream at the limit: longest the recording did not grow", watch.longestWithoutGrowth,
           "s");
    Figure("stream at the limit: longest the picture did not change",
           watch.longestWithoutNewPicture, "s");
    Figure("stream at the limit: the box that the log is full, shown after", watch.boxShownAt, "s");
    FigureText("stream at the limit: the box's reason", watch.boxText);
    CloseErrorBox();
    TrySave(log, saved);
    PostMessageA(window, WM_CLOSE, 0, 0);
}

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::fputs("usage: log_limit_bench RECORDING SAVED SECONDS\n", stderr);
        return 2;
    }
    AppInstance = GetModuleHandleA(NULL);
    std::thread driver(Drive, argv[1], argv[2], std::atof(argv[3]));
    DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
    driver.join();
    return 0;
}
