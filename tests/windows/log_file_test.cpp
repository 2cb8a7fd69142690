// Saving the log of a stand-in main window into real folders, and appending
// to a results file. SMALL_DISKS holds "full", a 64 KiB file system, and
// "readonly", a read-only one, each with old.log in it (small_disks.sh).
#include "tests/windows/test_window.h"

#include "app/globals.h"
#include "app/receivers.h"
#include "app/record_log.h"
#include "app/results_file.h"
#include "app/save_log.h"
#include "display/receive_log.h"
#include "display/results_row.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>

namespace
{

const std::string Disks = SMALL_DISKS;

std::string FileText(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int EntryCount(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
    int count = find != INVALID_HANDLE_VALUE;
    while (count && FindNextFileA(find, &entry))
        count++;
    FindClose(find);
    return count;
}

// Saves as the menu item does; returns the text of the error box shown, if any.
std::string SaveShowingError(const std::string &path)
{
    char shown[256] = "";
    std::atomic<bool> saved(false);
    std::thread reader([&] {
        // A box exists a moment before its text does, and shows once it has it.
        HWND box = NULL;
        while (!saved && !IsWindowVisible(box = FindWindowA(NULL, "Error")))
            Sleep(20);
        GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    SaveLogAs(MainWindow, path.c_str());
    saved = true;
    reader.join();
    return shown;
}

// A text reply carries any byte but 0x8F; the last line is still pending.
TEST(LogFile, ASaveHoldsEveryByteOfTheLogAndReplacesTheOldFileWhole)
{
    CreateTestMainWindow();
    ConnectReceivers(MainWindow);
    std::string log = "82 \"";
    for (int byte = 1; byte <= 0xFF; byte++)
        if (byte != 0x8F)
            log += (char)byte;
    SetDlgItemTextA(MainWindow, IDC_LOG, (log += "\" 8F\r\n").c_str());
    ReceiveLine("80 08 10 8F\r\n");
    std::string path = Disks + "\\saved.log";
    std::ofstream(path, std::ios::binary) << std::string(2000, 'x');

    EXPECT_EQ(SaveShowingError(path), "");
    EXPECT_EQ(FileText(path), log + "80 08 10 8F\r\n");
    EXPECT_EQ(LogText(), log + "80 08 10 8F\r\n");
    DestroyTestMainWindow();
}

struct FailedSave {
    const char *target;
    DWORD error;
};

const FailedSave FailedSaves[] = {
    {"\\folder.log", ERROR_ACCESS_DENIED}, // the name of a folder
    {"\\missing\\saved.log", ERROR_DIRECTORY},
    {"\\readonly\\old.log", ERROR_ACCESS_DENIED},
    {"\\full\\old.log", ERROR_DISK_FULL},
};

TEST(LogFile, AFailedSaveShowsTheSystemsReasonKeepsTheOldFileAndLeavesNoOther)
{
    CreateTestMainWindow();
    CreateDirectoryA((Disks + "\\folder.log").c_str(), NULL);
    SetDlgItemTextA(MainWindow, IDC_LOG, std::string(100000, 'x').c_str());
    for (const FailedSave &save : FailedSaves) {
        std::string path = Disks + save.target, folder = path.substr(0, path.rfind('\\'));
        std::string old = FileText(path);
        int entries = EntryCount(folder);
        char reason[256] = "";
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, NULL, save.error, 0, reason, sizeof reason,
                       NULL);
        EXPECT_NE(SaveShowingError(path).find(reason), std::string::npos) << path;
        EXPECT_TRUE(FileText(path) == old) << path;
        EXPECT_EQ(EntryCount(folder), entries) << path;
    }
    DestroyTestMainWindow();
}

// Another program holds the file without sharing it, as a virus scanner may
// a file just written: for a moment the save and the recording wait for it;
// held for as long as the save tries, about two seconds, the save fails as
// before, keeping the old file. A save that waited for 0.3 s took 0.4 s.
TEST(LogFile, AFileHeldForAMomentIsWaitedForButNotForLong)
{
    CreateTestMainWindow();
    SetDlgItemTextA(MainWindow, IDC_LOG, "80 08 10 8F\r\n");
    std::string path = Disks + "\\held.log";
    std::atomic<bool> released(false);
    auto holdFor = [&](DWORD ms) {
        std::ofstream(path, std::ios::binary) << "old";
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
        released = false;
        return std::thread([=, &released] {
            for (DWORD held = 0; held < ms && !released; held += 10)
                Sleep(10);
            CloseHandle(file);
        });
    };
    std::thread holder = holdFor(300);
    EXPECT_EQ(SaveShowingError(path), "");
    holder.join();
    EXPECT_EQ(FileText(path), "80 08 10 8F\r\n");

    holder = holdFor(300);
    StartRecording(path.c_str(), RECORD_PLAIN);
    StopRecording();
    holder.join();
    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, MainWindow, WM_SHOW_ERROR, WM_SHOW_ERROR, PM_REMOVE));
    EXPECT_EQ(FileText(path), "80 08 10 8F\r\n");

    holder = holdFor(INFINITE);
    EXPECT_NE(SaveShowingError(path).find("(error "), std::string::npos);
    released = true;
    holder.join();
    EXPECT_EQ(FileText(path), "old");
    DestroyTestMainWindow();
}

// The log as it stood, a text reply's own CR LF in it, gives a row a line with
// empty times; then a poll's line and its line errors by kind (the driver's
// other bits make no event), an event outside a poll and the end.
TEST(LogFile, ARecordingWithTimesHoldsTheLogAsItStoodItsLinesAndItsEvents)
{
    CreateTestMainWindow();
    ConnectReceivers(MainWindow);
    PortNumber = 0;
    SetDlgItemTextA(MainWindow, IDC_LOG, "82 \"a\r\nb\" 8F\r\n80 8F\r\n");
    std::string path = Disks + "\\timed.tsv";
    StartRecording(path.c_str(), RECORD_TIMES);
    ReceiveLine("80 08 10 8F\r\n");
    RecordLineErrors(CE_FRAME | CE_OVERRUN | CE_TXFULL);
    RecordLineErrors(CE_TXFULL);
    WriteRecording();
    RecordEvent("Clear log");
    StopRecording();

    const std::regex time("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d");
    EXPECT_EQ(std::regex_replace(FileText(path), time, "T"),
              "time\tline\r\n\t82 \"a\r\n\tb\" 8F\r\n\t80 8F\r\n"
              "T\t# recording started: tactiview 1.0.2008.227, no port chosen\r\n"
              "T\t80 08 10 8F\r\nT\t# line errors: overrun, framing error\r\n"
              "T\t# Clear log\r\nT\t# recording stopped\r\n");
    DestroyTestMainWindow();
}

// A log control that hands over no text, as Wine's does once a log near its
// limit leaves no memory to pass the text in.
WNDPROC EditProc;
LRESULT CALLBACK MuteEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    return message == WM_GETTEXT ? 0 : CallWindowProcA(EditProc, edit, message, wParam, lParam);
}

TEST(LogFile, ALogThatCannotBeReadIsNeitherSavedNorRecordedAsAnEmptyFile)
{
    CreateTestMainWindow();
    SetDlgItemTextA(MainWindow, IDC_LOG, "80 08 10 8F\r\n");
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    EditProc = (WNDPROC)SetWindowLongPtrA(log, GWLP_WNDPROC, (LONG_PTR)MuteEditProc);
    std::string path = Disks + "\\kept.log";
    std::ofstream(path, std::ios::binary) << "kept";
    EXPECT_NE(SaveShowingError(path).find("(error 8)"), std::string::npos);
    StartRecording(path.c_str(), RECORD_PLAIN);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, MainWindow, WM_SHOW_ERROR, WM_SHOW_ERROR, PM_REMOVE));
    EXPECT_EQ(message.lParam, ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ(FileText(path), "kept");
    DestroyTestMainWindow();
}

// A new file gets the header, and a last line cut short its line end; a row
// the disk has no room for leaves no part of it in the file.
TEST(ResultsFile, RowsGoInWholeAfterTheHeaderAndALineEnd)
{
    const std::string path = Disks + "\\full\\results.tsv", filler = Disks + "\\full\\filler";
    DeleteFileA(path.c_str());
    ASSERT_EQ(AppendResultsRow(path.c_str(), "one\r\n", 5), (DWORD)ERROR_SUCCESS);
    std::ofstream(path, std::ios::binary | std::ios::app) << "two, cut";
    ASSERT_EQ(AppendResultsRow(path.c_str(), "three\r\n", 7), (DWORD)ERROR_SUCCESS);
    const std::string written = FileText(path);
    EXPECT_EQ(written, std::string(RESULTS_HEADER) + "one\r\ntwo, cut\r\nthree\r\n");
    std::ofstream(filler, std::ios::binary) << std::string(64 * 1024, 'f');
    const std::string row(RESULTS_ROW_SIZE - 1, 'x');
    EXPECT_EQ(AppendResultsRow(path.c_str(), row.c_str(), (DWORD)row.size()),
              (DWORD)ERROR_DISK_FULL);
    EXPECT_TRUE(FileText(path) == written);
    DeleteFileA(filler.c_str());
    DeleteFileA(path.c_str());
}

} // namespace
