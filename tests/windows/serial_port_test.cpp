// The serial port against pseudo-terminals that tools/null_modem.py links into
// the prefix: TEST_PORT is the program's port, FAR_PORT its other end, and
// CONTROL_PORT tells what line settings TEST_PORT has reached the device with.
#include "serial/serial_port.h"

#include "tests/windows/helper_port.h"

#include "app/globals.h"
#include "protocol/glove_protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace
{

// The control port's reply to "<verb> <number>", without its line end.
std::string Request(const std::string &verb, DWORD number)
{
    HANDLE control = OpenHelperPort(CONTROL_PORT, 2000);
    std::string request = verb + " " + std::to_string(number);
    Write(control, request + "\n");
    std::string reply;
    char c;
    DWORD count;
    while (ReadFile(control, &c, 1, &count, NULL) && count == 1 && c != '\n')
        reply += c;
    CloseHandle(control);
    return reply;
}

// "<baud> <data bits> <stop bits> <parity> <flow>" as the device has them.
std::string LineSettings(DWORD number)
{
    std::string reply = Request("LINE", number);
    std::string prefix = "LINE " + std::to_string(number) + " ";
    return reply.compare(0, prefix.size(), prefix) == 0 ? reply.substr(prefix.size()) : reply;
}

void SetLine(DWORD number, DWORD baud, BYTE stopBits, bool ctsFlow)
{
    HANDLE h = OpenHelperPort(number, 0);
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    dcb.BaudRate = baud;
    dcb.ByteSize = 7;
    dcb.Parity = EVENPARITY;
    dcb.StopBits = stopBits;
    dcb.fOutxCtsFlow = ctsFlow;
    dcb.fRtsControl = ctsFlow ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    SetCommState(h, &dcb);
    CloseHandle(h);
}

std::string Received()
{
    return std::string((const char *)FrameBuffer, FrameLength);
}

class SerialPort : public ::testing::Test
{
  protected:
    HANDLE far_ = NULL;

    void SetUp() override
    {
        PortHandle = NULL;
        FrameLength = 0;
    }
    void TearDown() override
    {
        if (PortHandle)
            CloseHandle(PortHandle);
        if (far_)
            CloseHandle(far_);
        PortHandle = NULL;
        FrameLength = 0;
    }
    void OpenTestPort()
    {
        far_ = OpenHelperPort(FAR_PORT, 250);
        PortNumber = TEST_PORT;
        ASSERT_TRUE(OpenPort());
        ASSERT_NE(PortHandle, (HANDLE)NULL);
    }
    // One poll, whose bytes are added to polled_.
    BOOL Poll()
    {
        PollResult result;
        BOOL working = PollPort(&result);
        polled_ += result.bytes;
        return working;
    }
    // Polls until the assembler holds the expected bytes or a second has
    // passed; they came within 6 ms with the other core busy.
    void PollUntilReceived(const std::string &expected)
    {
        DWORD begin = GetTickCount();
        Poll();
        while (FrameLength < expected.size() && GetTickCount() - begin < 1000) {
            Sleep(5);
            Poll();
        }
        EXPECT_EQ(Received(), expected);
    }
    DWORD polled_ = 0;
};

// An earlier program left 7 data bits, even parity, RTS/CTS and XON/XOFF; a
// pseudo-terminal keeps only the handshakes of these. The box sends 0x00,
// 0x11 and 0x13 as data: they must reach the assembler, and the commands must
// go out.
TEST_F(SerialPort, SettingsLeftByAnEarlierProgramGiveWayToTheBoxsLine)
{
    SetLine(TEST_PORT, 1200, ONESTOPBIT, true);
    ASSERT_EQ(Request("XONXOFF", TEST_PORT), "OK");
    ASSERT_EQ(LineSettings(TEST_PORT), "1200 8 1 N HX");

    OpenTestPort();
    EXPECT_EQ(LineSettings(TEST_PORT), "9600 8 2 N -");
    Write(far_, std::string("\x80\x00\x11\x13\x00", 5));
    PollUntilReceived(std::string("\x80\x00\x11\x13\x00", 5));
    SendCommand(CMD_QUERY_SIGNATURE);
    EXPECT_EQ(ReadAvailable(far_), "CP");
}

// What a pseudo-terminal cannot show: every setting that loses or garbles
// bytes is replaced, whatever the driver reported; its special characters
// stay, but for equal XON and XOFF characters, which SetCommState refuses.
TEST(LineSettings, EveryFlagThatLosesOrGarblesBytesIsCleared)
{
    DCB dcb;
    memset(&dcb, 0xFF, sizeof dcb); // every flag set, every other field at its largest
    SetBoxLineSettings(&dcb);
    EXPECT_EQ(std::vector<DWORD>({dcb.BaudRate, dcb.ByteSize, dcb.Parity, dcb.StopBits, dcb.fBinary,
                                  dcb.fDtrControl, dcb.fRtsControl}),
              std::vector<DWORD>(
                  {9600, 8, NOPARITY, TWOSTOPBITS, TRUE, DTR_CONTROL_ENABLE, RTS_CONTROL_ENABLE}));
    EXPECT_EQ(dcb.fParity | dcb.fErrorChar | dcb.fNull | dcb.fOutxCtsFlow | dcb.fOutxDsrFlow |
                  dcb.fDsrSensitivity | dcb.fOutX | dcb.fInX,
              0u);
    EXPECT_EQ(std::string(&dcb.XonChar, 5), "\x11\x13\xFF\xFF\xFF");
    dcb.XonChar = 0x01;
    SetBoxLineSettings(&dcb);
    EXPECT_EQ(std::string(&dcb.XonChar, 2), "\x01\x13");
}

TEST_F(SerialPort, SendCommandPutsExactlyTheCommandsCharactersOnTheLine)
{
    OpenTestPort();
    SendCommand(CMD_QUERY_SIGNATURE);
    EXPECT_EQ(ReadAvailable(far_), "CP");
    SendCommand(CMD_TIMESTAMPS_ON);
    SendCommand(CMD_GROUND_OFF);
    EXPECT_EQ(ReadAvailable(far_), "T1G0");
}

// A line whose output is held must not hold the window for long, and the
// command that gave up must not go out later, once the line is released. The
// write gives up after half a second, 0.50 s with the other core busy too.
TEST_F(SerialPort, AWriteToAHeldLineGivesUpWithinHalfASecondAndIsDropped)
{
    OpenTestPort();
    ASSERT_EQ(Request("HOLD", TEST_PORT), "OK");
    DWORD begin = GetTickCount();
    SendCommand(CMD_TIMESTAMPS_ON);
    DWORD took = GetTickCount() - begin;
    EXPECT_EQ(Request("RELEASE", TEST_PORT), "OK");

    EXPECT_LT(took, 1500u);
    EXPECT_EQ(ReadAvailable(far_), "");
    SendCommand(CMD_QUERY_LEFT);
    EXPECT_EQ(ReadAvailable(far_), "CL");
}

// Line-control bytes (CR, LF, XON, XOFF, NUL) must pass untouched as well.
TEST_F(SerialPort, BurstsFromTheBoxReachTheAssemblerInOrderAndAnIdlePollReturnsAtOnce)
{
    OpenTestPort();
    const std::string bursts[] = {std::string("\x82sig", 4), std::string("\r\n\x11\x13\0", 5),
                                  std::string("\x80\x7f\xff v1.2", 8)};
    std::string expected;
    for (const std::string &burst : bursts) {
        Write(far_, burst);
        expected += burst;
        PollUntilReceived(expected);
    }

    DWORD begin = GetTickCount();
    EXPECT_TRUE(Poll());
    EXPECT_TRUE(Poll());
    EXPECT_LT(GetTickCount() - begin, 100u); // 1 ms with the other core busy
    EXPECT_EQ(Received(), expected);
    EXPECT_EQ(polled_, expected.size()) << "the polls counted other bytes than they read";
}

TEST_F(SerialPort, WithoutAnOpenPortPollAndSendDoNothing)
{
    far_ = OpenHelperPort(FAR_PORT, 200);
    Write(far_, "\x82zz");
    EXPECT_FALSE(Poll());
    SendCommand(CMD_QUERY_LEFT);
    EXPECT_EQ(FrameLength, 0u);
    EXPECT_EQ(polled_, 0u);
    EXPECT_EQ(ReadAvailable(far_), "");
}

TEST_F(SerialPort, APortThatDoesNotExistFailsToOpen)
{
    PortHandle = INVALID_HANDLE_VALUE;
    PortNumber = MISSING_PORT;
    EXPECT_FALSE(OpenPort());
    EXPECT_EQ(PortHandle, (HANDLE)NULL);
}

// COM1000 exists: a number cut to four digits would open it.
TEST_F(SerialPort, NumbersPastFourDigitsAreRefusedRatherThanCutShort)
{
    PortNumber = IDLE_PORT;
    ASSERT_TRUE(OpenPort());
    CloseHandle(PortHandle);

    for (DWORD number : {10000ul, 10005ul, 0xFFFFFFFFul}) {
        PortNumber = number;
        EXPECT_FALSE(OpenPort()) << number;
        EXPECT_EQ(PortHandle, (HANDLE)NULL) << number;
    }
}

// A device that is no serial port opens but takes no line settings and no
// time-outs. Its handle must be closed again: the next handle created then
// reuses its slot.
TEST_F(SerialPort, APortThatRefusesItsSettingsIsClosedAndReportedAsFailure)
{
    HANDLE before = CreateEventA(NULL, FALSE, FALSE, NULL);
    CloseHandle(before);

    PortNumber = NOT_SERIAL_PORT;
    EXPECT_FALSE(OpenPort());
    EXPECT_EQ(PortHandle, (HANDLE)NULL);

    HANDLE after = CreateEventA(NULL, FALSE, FALSE, NULL);
    EXPECT_EQ(after, before);
    CloseHandle(after);
}

// Wine knows COM1 to COM9 by name whether or not a device stands behind
// them, and no port above: exactly these nine are listed, in order.
TEST(ListPorts, ReportsTheExistingPortsInAscendingOrderWithTheirNames)
{
    std::vector<std::pair<std::string, DWORD>> reported;
    ListPorts(
        [](const char *name, DWORD number, void *context) {
            ((std::vector<std::pair<std::string, DWORD>> *)context)->emplace_back(name, number);
        },
        &reported);

    std::vector<std::pair<std::string, DWORD>> expected;
    for (DWORD n = 1; n <= 9; n++)
        expected.emplace_back("COM" + std::to_string(n), n);
    EXPECT_EQ(reported, expected);
}

} // namespace
