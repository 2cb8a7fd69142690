// The real main dialog, run on the test's thread from its template, with a
// second thread working it as a user would. Its port is one end of a null
// modem (MAIN_PORT) whose other end (FAR_PORT) the test holds.
#include "tests/windows/helper_port.h"

#include "app/globals.h"
#include "app/main_window.h"
#include "app/record_log.h"
#include "protocol/glove_protocol.h"
#include "res/resource.h"

#include <dbt.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace
{

const char MainCaption[] = "Vexolan Test";
const char PortCaption[] = "COM selection";
const char SettingsKey[] = "Software\\Lumvar\\tactiview";

// The tests give what a poll or a click brings about 1 or 2 s; in three runs
// on a 2-core machine with the other core busy it took 0.49 s at the longest.
bool WaitFor(const std::function<bool()> &condition, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start >= ms)
            return false;
        Sleep(20);
    }
    return true;
}

// Sleeps until `ms` have passed since the tick `start`, if they have not.
void SleepUntil(DWORD start, DWORD ms)
{
    DWORD passed = GetTickCount() - start;
    if (passed < ms)
        Sleep(ms - passed);
}

void SaveComSetting(DWORD number)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, NULL, 0, KEY_SET_VALUE, NULL,
                              &key, NULL),
              ERROR_SUCCESS);
    RegSetValueExA(key, "Com", 0, REG_DWORD, (const BYTE *)&number, sizeof number);
    RegCloseKey(key);
}

DWORD SavedComSetting()
{
    DWORD value = 0xDEAD, size = sizeof value;
    RegGetValueA(HKEY_LOCAL_MACHINE, SettingsKey, "Com", RRF_RT_REG_DWORD, NULL, &value, &size);
    return value;
}

HWND Find(const char *caption)
{
    return FindWindowA(NULL, caption);
}

// Whether a window of the caption is on screen: a dialog exists a moment
// before its controls do, and shows once they are made.
bool Shown(const char *caption)
{
    return IsWindowVisible(Find(caption));
}

HWND Control(int id)
{
    return GetDlgItem(Find(MainCaption), id);
}

UINT Box(int id)
{
    return (UINT)SendMessageA(Control(id), BM_GETCHECK, 0, 0);
}

void Click(int id)
{
    SendMessageA(Control(id), BM_CLICK, 0, 0);
}

std::string LogText()
{
    char text[4096];
    text[0] = '\0';
    SendMessageA(Control(IDC_LOG), WM_GETTEXT, sizeof text, (LPARAM)text);
    return text;
}

bool CommandsEnabled(bool enabled)
{
    for (int id = IDC_QUERY_LEFT; id <= IDC_CLEAR_LOG; id++)
        if ((IsWindowEnabled(Control(id)) != FALSE) != enabled)
            return false;
    return true;
}

// Work done on the dialog's own thread, by a thread timer inside its message
// loop, where the program's handlers run: Windows keeps some state, such as
// whether the system is kept awake, per thread.
std::atomic<void (*)()> UiWork;

void CALLBACK DoUiWork(HWND, UINT, UINT_PTR, DWORD)
{
    if (void (*work)() = UiWork) {
        work();
        UiWork = nullptr;
    }
}

void OnUiThread(void (*work)())
{
    UiWork = work;
    WaitFor([] { return UiWork == nullptr; }, 2000);
}

// Read without changing it: a call without ES_CONTINUOUS only resets the
// idle timer once.
bool KeepsSystemAwake()
{
    const EXECUTION_STATE awake = ES_CONTINUOUS | ES_SYSTEM_REQUIRED;
    return (SetThreadExecutionState(ES_SYSTEM_REQUIRED) & awake) == awake;
}

bool Awake;
bool DialogKeepsSystemAwake()
{
    OnUiThread([] { Awake = KeepsSystemAwake(); });
    return Awake;
}

const char *RecordPath;
void RecordTo(const char *path)
{
    RecordPath = path;
    OnUiThread([] { StartRecording(RecordPath, RECORD_PLAIN); });
}

bool RecordingMarked()
{
    HMENU menu = GetSystemMenu(Find(MainCaption), FALSE);
    return GetMenuState(menu, IDM_RECORD_LOG, MF_BYCOMMAND) & MF_CHECKED;
}

// The text of the error box shown within the time, which is then closed.
std::string DismissError(DWORD ms)
{
    WaitFor([] { return Shown("Error"); }, ms);
    HWND box = Find("Error");
    char text[256] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

// WM_DEVICECHANGE as the system broadcasts it for a port that comes or goes:
// a DEV_BROADCAST_PORT is its header and the port's name.
void Broadcast(WPARAM event, const char *port)
{
    struct {
        DEV_BROADCAST_HDR header;
        char name[8];
    } device = {{sizeof device, DBT_DEVTYP_PORT, 0}, {}};
    lstrcpynA(device.name, port, sizeof device.name);
    SendMessageA(Find(MainCaption), WM_DEVICECHANGE, event, (LPARAM)&device);
}

class MainWindowTest : public ::testing::Test
{
  protected:
    HANDLE far_ = NULL;

    void SetUp() override
    {
        PortNumber = 0;
        PortHandle = NULL;
        FrameLength = 0;
        ContactState = ContactPicture{};
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKey);
        far_ = OpenHelperPort(FAR_PORT, 100);
    }
    void TearDown() override
    {
        CloseHandle(far_);
        if (PortHandle)
            CloseHandle(PortHandle);
    }

    // What reaches the far end within the time, collected until it holds `want`.
    std::string Await(const std::string &want, DWORD ms = 2000)
    {
        std::string got;
        WaitFor([&] { return (got += ReadAvailable(far_)).find(want) != std::string::npos; }, ms);
        return got;
    }

    // Runs the main dialog until it ends, while `drive` works it from another
    // thread once it is on screen; returns the dialog's result.
    INT_PTR Run(const std::function<void()> &drive)
    {
        std::thread driver([&] {
            if (WaitFor([] { return Shown(MainCaption); }, 5000))
                drive();
            PostMessageA(Find(MainCaption), WM_CLOSE, 0, 0);
        });
        UINT_PTR uiWork = SetTimer(NULL, 0, 20, DoUiWork);
        INT_PTR result = DialogBoxParamA(NULL, MAKEINTRESOURCEA(IDD_MAIN), NULL, MainDlgProc, 0);
        KillTimer(NULL, uiWork);
        driver.join();
        return result;
    }
};

TEST_F(MainWindowTest, ASavedPortOpensAtOnceAndTheBoxRepliesInTheLog)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        DWORD shown = GetTickCount();
        EXPECT_NE(Await("CP").find("CP"), std::string::npos);
        EXPECT_LT(GetTickCount() - shown, 1000u);
        EXPECT_EQ(Find(PortCaption), (HWND)NULL);
        EXPECT_TRUE(CommandsEnabled(true));
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_INDETERMINATE);
        EXPECT_EQ(Box(IDC_GROUND), (UINT)BST_INDETERMINATE);

        Write(far_, std::string("\x82OK\x8F\x80\x08\x10\x8F", 8));
        EXPECT_TRUE(WaitFor([] { return LogText() == "82 \"OK\" 8F\r\n80 08 10 8F\r\n"; }, 1000))
            << LogText();
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_UNCHECKED);
    });
}

TEST_F(MainWindowTest, ButtonsSendTheirCommandsAndTogglesFollowTheirBox)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        Await("CP");
        Click(IDC_QUERY_LEFT);
        Click(IDC_QUERY_RIGHT);
        Click(IDC_QUERY_SIGNATURE);
        EXPECT_EQ(Await("CLCRCP"), "CLCRCP");

        // Indeterminate and checked both switch the mode off; unchecked, on.
        Click(IDC_TIMESTAMPS);
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_UNCHECKED);
        Click(IDC_TIMESTAMPS);
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_CHECKED);
        Click(IDC_TIMESTAMPS);
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_UNCHECKED);
        EXPECT_EQ(Await("T0T1T0"), "T0T1T0");

        Click(IDC_GROUND);
        Click(IDC_GROUND);
        EXPECT_EQ(Box(IDC_GROUND), (UINT)BST_CHECKED);
        EXPECT_EQ(Await("G0G1"), "G0G1");

        Write(far_, std::string("\x82x\x8F", 3));
        EXPECT_TRUE(WaitFor([] { return !LogText().empty(); }, 1000));
        Click(IDC_CLEAR_LOG);
        EXPECT_EQ(LogText(), "");
    });
}

TEST_F(MainWindowTest, OnlyTheCloseCommandEndsTheWindowAndItSavesThePort)
{
    SaveComSetting(MAIN_PORT);
    INT_PTR result = Run([&] {
        Await("CP");
        HWND window = Find(MainCaption);
        SendMessageA(window, WM_COMMAND, IDOK, 0);     // Enter
        SendMessageA(window, WM_COMMAND, IDCANCEL, 0); // Escape
        Sleep(200);
        EXPECT_TRUE(IsWindow(window));
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, SettingsKey);
        SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(result, 2);
    EXPECT_EQ(SavedComSetting(), (DWORD)MAIN_PORT);
}

TEST_F(MainWindowTest, TheSystemMenuOffersItsItemsInOrderAboveClose)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        Await("CP");
        HMENU menu = GetSystemMenu(Find(MainCaption), FALSE);
        int count = GetMenuItemCount(menu);
        int item = -1;
        for (int i = 0; i < count; i++)
            if (GetMenuItemID(menu, i) == IDM_SAVE_LOG)
                item = i;
        ASSERT_GE(item, 0);
        EXPECT_EQ(GetMenuItemID(menu, item + 1), (UINT)IDM_RECORD_LOG);
        EXPECT_EQ(GetMenuItemID(menu, item + 2), (UINT)IDM_LINE_STATISTICS);
        EXPECT_EQ(GetMenuItemID(menu, item + 3), (UINT)IDM_CONTACT_CHECK);
        EXPECT_EQ(GetMenuItemID(menu, item + 4), (UINT)IDM_PORT_SELECT);
        EXPECT_EQ(GetMenuItemID(menu, item + 5), (UINT)SC_CLOSE);
        char text[64] = "";
        GetMenuStringA(menu, item, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Save log...");
        GetMenuStringA(menu, item + 2, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Line statistics...");
        GetMenuStringA(menu, item + 3, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "Contact check...");
        GetMenuStringA(menu, item + 4, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, "COM port selection...");
    });
}

// The second report goes out 0.9 s after the first. Looked at 1.2 s after
// the first, the timestamp still shows, as each report starts its second
// again: it clears no sooner than 1.9 s after the first, which leaves a slow
// look 0.7 s to spare.
TEST_F(MainWindowTest, ATimestampStaysWhileReportsComeAndClearsASecondAfterTheLast)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        Await("CP");
        Write(far_, std::string("\x81\x10\x02\x8F", 4));
        DWORD first = GetTickCount();
        ASSERT_TRUE(WaitFor([] { return ContactState.TimestampMs == 272; }, 1000));
        SleepUntil(first, 900);
        Write(far_, std::string("\x81\x11\x02\x8F", 4));
        ASSERT_TRUE(WaitFor([] { return ContactState.TimestampMs == 273; }, 1000));
        SleepUntil(first, 1200);
        EXPECT_EQ(ContactState.TimestampMs, 273u);
        EXPECT_TRUE(WaitFor([] { return ContactState.TimestampMs == 0; }, 3000));
    });
}

// On Windows the reads of a port whose adapter was pulled fail; a file open
// only for writing stands in for it. The loss greys the commands, the port is
// opened again by itself, and the frame cut off by the loss is not completed
// by the bytes that follow the return.
TEST_F(MainWindowTest, APortWhoseReadsFailIsGreyedAndReopenedWithTheModesToLearnAgain)
{
    SaveComSetting(MAIN_PORT);
    HANDLE failing = CreateFileA("failing-port.tmp", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                 FILE_FLAG_DELETE_ON_CLOSE, NULL);
    HANDLE replaced = NULL;
    Run([&] {
        Await("CP");
        Click(IDC_TIMESTAMPS);
        Write(far_, std::string("\x80\x08", 2));
        EXPECT_EQ(Await("T0"), "T0");
        Sleep(300);
        replaced = PortHandle;
        PortHandle = failing;
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(false); }, 1000));
        EXPECT_EQ(Await("CP", 4000), "CP"); // the first try, 1.06 s after the loss
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(true); }, 1000));
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_INDETERMINATE);
        Write(far_, std::string("\x82OK\x8F", 4));
        EXPECT_TRUE(WaitFor([] { return LogText() == "82 \"OK\" 8F\r\n"; }, 1000)) << LogText();
    });
    CloseHandle(replaced);
}

TEST_F(MainWindowTest, ACancelledSelectionGreysOutCommandsUntilAPortIsChosen)
{
    Run([&] {
        ASSERT_TRUE(WaitFor([] { return Shown(PortCaption); }, 2000));
        PostMessageA(Find(PortCaption), WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitFor([] { return Find(PortCaption) == NULL; }, 2000));
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(false); }, 1000));
        EXPECT_EQ(Box(IDC_TIMESTAMPS), (UINT)BST_INDETERMINATE);

        PostMessageA(Find(MainCaption), WM_SYSCOMMAND, IDM_PORT_SELECT, 0);
        ASSERT_TRUE(WaitFor([] { return Shown(PortCaption); }, 2000));
        HWND list = GetDlgItem(Find(PortCaption), IDC_PORT_LIST);
        ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, CB_GETCOUNT, 0, 0) > 0; }, 2000));
        char name[16];
        wsprintfA(name, "COM%d", MAIN_PORT);
        ASSERT_NE(SendMessageA(list, CB_SELECTSTRING, (WPARAM)-1, (LPARAM)name), CB_ERR);
        PostMessageA(Find(PortCaption), WM_COMMAND, IDOK, 0);

        EXPECT_NE(Await("CP").find("CP"), std::string::npos);
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(true); }, 1000));
        Write(far_, std::string("\x80\x01\x02\x8F", 4));
        EXPECT_TRUE(WaitFor([] { return LogText() == "80 01 02 8F\r\n"; }, 1000)) << LogText();
    });
}

// Some drivers keep the handle of a device that has gone working and only
// announce its removal, which loses the port at once; an arrival, or another
// port's removal, leaves an open port be, and an arrival while the port is
// waited for brings the next try forward. Only with a port open is the PC
// kept awake.
TEST_F(MainWindowTest, ARemovalNamingThePortLosesItAndAnArrivalBringsItBack)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        Await("CP");
        EXPECT_TRUE(DialogKeepsSystemAwake());
        Broadcast(DBT_DEVICEARRIVAL, "COM7");
        Broadcast(DBT_DEVICEREMOVECOMPLETE, "COM70");
        Sleep(800);
        EXPECT_EQ(ReadAvailable(far_), "") << "the open port was opened again";
        EXPECT_TRUE(CommandsEnabled(true));

        Broadcast(DBT_DEVICEREMOVECOMPLETE, "com7");
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(false); }, 1000));
        EXPECT_FALSE(DialogKeepsSystemAwake());
        // The lost port's next try is put off for a minute, so that only the
        // arrival can bring it sooner.
        OnUiThread([] { SetTimer(MainWindow, TIMER_REOPEN, 60000, NULL); });
        ASSERT_EQ(ReadAvailable(far_), "") << "the port was tried before the arrival";
        Broadcast(DBT_DEVICEARRIVAL, "COM7");
        EXPECT_EQ(Await("CP", 5000), "CP") << "the arrival did not bring the try forward";
        EXPECT_TRUE(WaitFor([] { return CommandsEnabled(true); }, 1000));
        EXPECT_TRUE(DialogKeepsSystemAwake());
    });
    EXPECT_FALSE(KeepsSystemAwake());
}

// A recording that cannot be written says so and drops its check mark; one
// whose last flush fails at close says so before the window goes.
TEST_F(MainWindowTest, ARecordingThatFailsIsToldOfAndUnmarkedEvenAtClose)
{
    SaveComSetting(MAIN_PORT);
    Run([&] {
        Await("CP");
        RecordTo("Z:\\dev\\full"); // takes no byte
        EXPECT_NE(DismissError(2000).find("(error 112)"), std::string::npos);
        EXPECT_FALSE(RecordingMarked());
        RecordTo("Z:\\dev\\null"); // takes every byte and cannot bring it to disk
        EXPECT_TRUE(RecordingMarked());
        PostMessageA(Find(MainCaption), WM_CLOSE, 0, 0);
        EXPECT_NE(DismissError(2000).find("Recording to the file has stopped"), std::string::npos);
    });
}

} // namespace
