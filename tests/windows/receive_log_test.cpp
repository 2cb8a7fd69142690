#include "tests/windows/test_window.h"

#include "app/globals.h"
#include "app/receivers.h"
#include "display/receive_log.h"
#include "res/resource.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string.h>

namespace
{

const char Line1[] = "80 08 10 8F\r\n";
const char Line2[] = "82 \"CP ok\" 8F\r\n";
const char Line3[] = "81 01 02 10 02 8F\r\n";

// The line of a full 64-byte contact report, the longest there is.
std::string LongestLine()
{
    std::string line = "80";
    for (int i = 0; i < 63; i++)
        line += " 3F";
    return line + "\r\n";
}

class ReceiveLog : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CreateTestMainWindow();
        ConnectReceivers(MainWindow);
    }
    void TearDown() override
    {
        DestroyTestMainWindow();
    }
    // The lines of the frames that one poll completes.
    void Poll(std::initializer_list<const char *> lines)
    {
        for (const char *line : lines)
            ReceiveLine(line);
        FlushLog();
    }
    void Select(DWORD start, DWORD end)
    {
        SendDlgItemMessageA(MainWindow, IDC_LOG, EM_SETSEL, start, end);
    }
    void ExpectSelection(DWORD start, DWORD end)
    {
        DWORD s = 0, e = 0;
        LogSelection(&s, &e);
        EXPECT_EQ(s, start);
        EXPECT_EQ(e, end);
    }
};

TEST_F(ReceiveLog, LinesAreAppendedAndACaretAtTheEndFollowsThem)
{
    Poll({Line1});
    ExpectSelection(LogLength(), LogLength());
    Poll({Line2, Line3});
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);
    ExpectSelection(LogLength(), LogLength());
}

TEST_F(ReceiveLog, ASelectedWordInAnOlderLineStaysSelected)
{
    Poll({Line1, Line2});
    DWORD start = (DWORD)strlen(Line1) + 4, end = start + 2; // "CP"
    Select(start, end);
    Poll({Line3, Line1});
    Poll({Line2});
    ExpectSelection(start, end);
    EXPECT_EQ(LogText().substr(start, end - start), "CP");
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3 + Line1 + Line2);
}

TEST_F(ReceiveLog, ACaretInTheMiddleStaysWhereItWas)
{
    Poll({Line1, Line2});
    Select(5, 5);
    Poll({Line3});
    ExpectSelection(5, 5);
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);

    // A selection that ends at the very end is the user's too, and is kept.
    Select(3, LogLength());
    DWORD end = LogLength();
    Poll({Line1, Line3});
    ExpectSelection(3, end);
}

TEST_F(ReceiveLog, ClearingEmptiesTheLogAndTheNextLineStartsIt)
{
    ClearLog();
    EXPECT_EQ(LogText(), "");
    Poll({Line1, Line2});
    ClearLog();
    EXPECT_EQ(LogText(), "");
    Poll({Line3});
    EXPECT_EQ(LogText(), Line3);
    ExpectSelection(LogLength(), LogLength());
}

// The control changes once per poll: lines wait until the poll ends, and a
// poll that completed no frame leaves the control, caret included, alone.
TEST_F(ReceiveLog, APollsLinesReachTheControlTogetherAtItsEnd)
{
    Poll({Line1});
    Select(2, 4);
    ReceiveLine(Line2);
    ReceiveLine(Line3);
    EXPECT_EQ(LogText(), Line1);
    FlushLog();
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);
    ExpectSelection(2, 4);
    FlushLog();
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);
    ExpectSelection(2, 4);
}

// A poll that comes late may complete more lines than are collected at
// once; they are added early, in order, and none is lost.
TEST_F(ReceiveLog, APollLongerThanTheCollectionLosesNoLine)
{
    std::string expected;
    std::string lines[200];
    for (int i = 0; i < 200; i++) {
        lines[i] = LongestLine();
        lines[i].replace(3, 2, i < 100 ? "0" + std::to_string(i % 10) : std::to_string(i % 100));
        ReceiveLine(lines[i].c_str());
        expected += lines[i];
    }
    FlushLog();
    EXPECT_EQ(LogText(), expected);
    ExpectSelection(LogLength(), LogLength());
}

// A log control slow to update, as a large log is under Wine.
WNDPROC EditProc;
LRESULT CALLBACK SlowEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EM_REPLACESEL)
        Sleep(50);
    return CallWindowProcA(EditProc, edit, message, wParam, lParam);
}

// Once updates grow dear they come less often, but what waits is neither lost
// nor reordered: it follows on a later poll even when nothing new arrives,
// and it survives "Clear log", having never been shown. One dear update alone
// holds nothing back.
TEST_F(ReceiveLog, LinesHeldBackByDearUpdatesFollowInOrder)
{
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    EditProc = (WNDPROC)SetWindowLongPtrA(log, GWLP_WNDPROC, (LONG_PTR)SlowEditProc);
    ReceiveLine(Line1);
    UpdateLog();
    ReceiveLine(Line2);
    UpdateLog();
    EXPECT_EQ(LogText(), std::string(Line1) + Line2) << "one dear update held back the next";
    ReceiveLine(Line3);
    UpdateLog();
    EXPECT_EQ(LogText(), std::string(Line1) + Line2) << "two updates of 50 ms held back nothing";

    ClearLog();
    ReceiveLine(Line1);
    UpdateLog();
    EXPECT_EQ(LogText(), std::string(Line3) + Line1);

    Select(1, 2);
    ReceiveLine(Line2);
    for (int poll = 0; poll < 100 && LogLength() == strlen(Line3) + strlen(Line1); poll++)
        UpdateLog();
    EXPECT_EQ(LogText(), std::string(Line3) + Line1 + Line2);
    ExpectSelection(1, 2);
}

// A log control that can grow no more, as Wine's refuses text once it cannot
// enlarge its buffer; it counts the texts offered to it meanwhile.
bool Refusing;
int Refused;
LRESULT CALLBACK FullEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == EM_REPLACESEL && Refusing)
        return Refused++, 0;
    return CallWindowProcA(EditProc, edit, message, wParam, lParam);
}

// The user is told once that the log is full; the control is not offered
// text again, at a cost each time, until "Clear log" has made room.
TEST_F(ReceiveLog, AFullLogIsToldOfOnceAndLeftAloneUntilCleared)
{
    HWND log = GetDlgItem(MainWindow, IDC_LOG);
    EditProc = (WNDPROC)SetWindowLongPtrA(log, GWLP_WNDPROC, (LONG_PTR)FullEditProc);
    Poll({Line1});
    Refusing = true;
    Poll({Line2});
    Poll({Line3});
    EXPECT_EQ(LogText(), Line1);
    EXPECT_EQ(Refused, 1);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, MainWindow, WM_SHOW_ERROR, WM_SHOW_ERROR, PM_REMOVE));
    EXPECT_EQ(message.wParam, (WPARAM)IDS_LOG_FULL);
    EXPECT_FALSE(PeekMessageA(&message, MainWindow, WM_SHOW_ERROR, WM_SHOW_ERROR, PM_REMOVE));

    Refusing = false;
    ClearLog();
    Poll({Line3});
    EXPECT_EQ(LogText(), Line3);
}

// Left at its default, the control stops taking text at about 30,000
// characters; once raised, the log keeps every line far beyond that.
TEST_F(ReceiveLog, TheRaisedLimitKeepsLinesArrivingPastTheDefault)
{
    const std::string line = LongestLine();
    const char *tick[] = {line.c_str(), line.c_str(), line.c_str(), line.c_str()};
    const DWORD ticks = 150;
    // Hidden, the control skips repainting after every update, which would
    // make up most of this test's time.
    ShowWindow(MainWindow, SW_HIDE);

    SendDlgItemMessageA(MainWindow, IDC_LOG, EM_SETLIMITTEXT, 30000, 0);
    for (DWORD i = 0; i < 50; i++)
        Poll({tick[0], tick[1], tick[2], tick[3]});
    EXPECT_LT(LogLength(), 200 * line.size()) << "the default limit no longer cuts the log";

    ClearLog();
    ConnectReceivers(MainWindow);
    for (DWORD i = 0; i < ticks; i++)
        Poll({tick[0], tick[1], tick[2], tick[3]});
    ASSERT_EQ(LogLength(), 4 * ticks * line.size());
    EXPECT_GT(LogLength(), 100000u);
    std::string text = LogText();
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
}

} // namespace
