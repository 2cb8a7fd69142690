// The decoder acting on real controls and timers through user32.
#include "tests/windows/test_window.h"

#include "app/globals.h"
#include "app/receivers.h"
#include "display/receive_log.h"
#include "protocol/glove_protocol.h"
#include "protocol/window_effects.h"
#include "res/resource.h"

#include <gtest/gtest.h>

namespace
{

class WindowEffects : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        CreateTestMainWindow();
        ConnectReceivers(MainWindow);
        FrameLength = 0;
        ContactState = ContactPicture{};
        CheckDlgButton(MainWindow, IDC_TIMESTAMPS, BST_INDETERMINATE);
        CheckDlgButton(MainWindow, IDC_GROUND, BST_INDETERMINATE);
    }
    void TearDown() override
    {
        KillTimer(MainWindow, TIMER_TIMESTAMP);
        DestroyTestMainWindow();
    }
    void Feed(std::initializer_list<int> bytes)
    {
        for (int b : bytes)
            FeedByte((uint8_t)b);
        FlushLog();
    }
    // Waits up to the given time for TIMER_TIMESTAMP; returns when it fired,
    // in milliseconds from the call, or -1.
    int WaitForTimestampTimer(DWORD limit)
    {
        DWORD begin = GetTickCount();
        MSG msg;
        while (GetTickCount() - begin < limit) {
            if (PeekMessageA(&msg, MainWindow, WM_TIMER, WM_TIMER, PM_REMOVE) &&
                msg.wParam == TIMER_TIMESTAMP)
                return (int)(GetTickCount() - begin);
            Sleep(5);
        }
        return -1;
    }
};

TEST_F(WindowEffects, ReportsSettleTheRealThreeStateBoxes)
{
    Feed({0x80, 0x00, 0x21, 0x8F});
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IDC_TIMESTAMPS), (UINT)BST_UNCHECKED);
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IDC_GROUND), (UINT)BST_CHECKED);
    EXPECT_EQ(LogText(), "80 00 21 8F\r\n");

    CheckDlgButton(MainWindow, IDC_TIMESTAMPS, BST_INDETERMINATE);
    Feed({0x81, 0x10, 0x02, 0x8F});
    EXPECT_EQ(IsDlgButtonChecked(MainWindow, IDC_TIMESTAMPS), (UINT)BST_CHECKED);
}

TEST_F(WindowEffects, AContactReportInvalidatesTheWholePicture)
{
    HWND contacts = GetDlgItem(MainWindow, IDC_CONTACTS);
    UpdateWindow(MainWindow);
    RECT update;
    ASSERT_FALSE(GetUpdateRect(contacts, &update, FALSE));

    Feed({0x80, 0x08, 0x10, 0x8F});
    RECT client;
    GetClientRect(contacts, &client);
    ASSERT_TRUE(GetUpdateRect(contacts, &update, FALSE));
    EXPECT_TRUE(EqualRect(&update, &client));

    UpdateWindow(MainWindow);
    Feed({0x82, 'O', 'K', 0x8F});
    EXPECT_FALSE(GetUpdateRect(contacts, &update, FALSE)) << "a text reply repainted";
}

TEST_F(WindowEffects, EachTimedReportRestartsTheTimestampTimer)
{
    Feed({0x81, 0x10, 0x02, 0x8F});
    EXPECT_EQ(WaitForTimestampTimer(500), -1);
    Feed({0x81, 0x11, 0x02, 0x8F});
    // Measured from the second report: a full period, not the rest of the
    // first. It fired after 1.00 s with the other core busy too.
    int fired = WaitForTimestampTimer(4000);
    EXPECT_GE(fired, 900);
    EXPECT_EQ(ContactState.TimestampMs, 273u);
}

} // namespace
