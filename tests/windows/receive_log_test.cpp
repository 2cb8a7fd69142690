#include "tests/windows/test_window.h"

#include "app/globals.h"
#include "display/receive_log.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace
{

const char Line1[] = "80 08 10 8F\r\n";
const char Line2[] = "82 \"CP ok\" 8F\r\n";
const char Line3[] = "81 01 02 10 02 8F\r\n";

class ReceiveLog : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CreateTestMainWindow();
        RaiseLogLimit();
    }
    void TearDown() override
    {
        DestroyTestMainWindow();
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
    AppendLog(Line1);
    ExpectSelection(LogLength(), LogLength());
    AppendLog(Line2);
    AppendLog(Line3);
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);
    ExpectSelection(LogLength(), LogLength());
}

TEST_F(ReceiveLog, ASelectedWordInAnOlderLineStaysSelected)
{
    AppendLog(Line1);
    AppendLog(Line2);
    DWORD start = (DWORD)strlen(Line1) + 4, end = start + 2; // "CP"
    Select(start, end);
    AppendLog(Line3);
    AppendLog(Line1);
    ExpectSelection(start, end);
    EXPECT_EQ(LogText().substr(start, end - start), "CP");
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3 + Line1);
}

TEST_F(ReceiveLog, ACaretInTheMiddleStaysWhereItWas)
{
    AppendLog(Line1);
    AppendLog(Line2);
    Select(5, 5);
    AppendLog(Line3);
    ExpectSelection(5, 5);
    EXPECT_EQ(LogText(), std::string(Line1) + Line2 + Line3);

    // A selection that ends at the very end is the user's too, and is kept.
    Select(3, LogLength());
    DWORD end = LogLength();
    AppendLog(Line1);
    ExpectSelection(3, end);
}

TEST_F(ReceiveLog, ClearingEmptiesTheLogAndTheNextLineStartsIt)
{
    ClearLog();
    EXPECT_EQ(LogText(), "");
    AppendLog(Line1);
    AppendLog(Line2);
    ClearLog();
    EXPECT_EQ(LogText(), "");
    AppendLog(Line3);
    EXPECT_EQ(LogText(), Line3);
    ExpectSelection(LogLength(), LogLength());
}

// Left at its default, the control stops taking text at about 30,000
// characters; once raised, the log keeps every line far beyond that.
TEST_F(ReceiveLog, TheRaisedLimitKeepsLinesArrivingPastTheDefault)
{
    // The line of a full 64-byte contact report, the longest there is.
    std::string line = "80";
    for (int i = 0; i < 63; i++)
        line += " 3F";
    line += "\r\n";
    const DWORD lines = 600;
    // Hidden, the control skips repainting after every line, which would make
    // up most of this test's time.
    ShowWindow(MainWindow, SW_HIDE);

    SendDlgItemMessageA(MainWindow, IDC_LOG, EM_SETLIMITTEXT, 30000, 0);
    for (DWORD i = 0; i < 200; i++)
        AppendLog(line.c_str());
    EXPECT_LT(LogLength(), 200 * line.size()) << "the default limit no longer cuts the log";

    ClearLog();
    RaiseLogLimit();
    for (DWORD i = 0; i < lines; i++)
        AppendLog(line.c_str());
    ASSERT_EQ(LogLength(), lines * line.size());
    EXPECT_GT(LogLength(), 100000u);
    std::string text = LogText();
    EXPECT_EQ(text.substr(text.size() - line.size()), line);
}

} // namespace
