// The settings in the prefix's registry, read back with the registry calls.
#include "app/settings.h"

#include "app/globals.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char KeyName[] = "Software\\Lumvar\\tactiview";

class Settings : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        AppInstance = GetModuleHandleA(NULL);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyName);
        PortNumber = 0;
    }
    void TearDown() override
    {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, KeyName);
    }
    static HKEY OpenKey()
    {
        HKEY key = NULL;
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, KeyName, 0, KEY_ALL_ACCESS, &key);
        return key;
    }
    static void WriteCom(DWORD type, const void *data, DWORD size)
    {
        HKEY key = NULL;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, KeyName, 0, NULL, 0, KEY_SET_VALUE, NULL, &key, NULL);
        ASSERT_EQ(RegSetValueExA(key, "Com", 0, type, (const BYTE *)data, size), ERROR_SUCCESS);
        RegCloseKey(key);
    }
    // The value's bytes as the ANSI registry calls give them, with its type.
    static std::string ReadValue(const char *name, DWORD *type)
    {
        char data[256];
        DWORD size = sizeof data;
        HKEY key = OpenKey();
        LONG result = RegQueryValueExA(key, name, NULL, type, (BYTE *)data, &size);
        RegCloseKey(key);
        return result == ERROR_SUCCESS ? std::string(data, size) : "(missing)";
    }
    static void ExpectComHolds(DWORD number)
    {
        DWORD type = REG_NONE;
        EXPECT_EQ(ReadValue("Com", &type), std::string((const char *)&number, sizeof number));
        EXPECT_EQ(type, (DWORD)REG_DWORD);
    }
};

TEST_F(Settings, AFirstRunCreatesTheKeyAndChoosesNoPort)
{
    PortNumber = 7;
    LoadSettings();
    HKEY key = OpenKey();
    EXPECT_NE(key, (HKEY)NULL);
    RegCloseKey(key);
    EXPECT_EQ(PortNumber, 0u);
}

// In code page 1252 the description's en dash is the single byte 0x96.
TEST_F(Settings, SavingWritesThePortAndTheDescriptionInTheAnsiCodePage)
{
    ASSERT_EQ(GetACP(), 1252u);
    PortNumber = 7;
    SaveSettings();

    ExpectComHolds(7);
    DWORD type = REG_NONE;
    EXPECT_EQ(ReadValue(NULL, &type),
              std::string("Quarnet Vexolan \x96 Test program for Win32", 41));
    EXPECT_EQ(type, (DWORD)REG_SZ);
}

TEST_F(Settings, AComValueOfAnotherTypeOrSizeLoadsAsNoPort)
{
    const BYTE five[8] = {5};
    const struct {
        DWORD type;
        DWORD size;
    } wrong[] = {
        {REG_BINARY, 4}, {REG_BINARY, 8}, {REG_QWORD, 8}, {REG_DWORD, 2}, {REG_SZ, 2},
    };
    for (const auto &w : wrong) {
        WriteCom(w.type, w.type == REG_SZ ? (const void *)"5" : five, w.size);
        PortNumber = 12;
        LoadSettings();
        EXPECT_EQ(PortNumber, 0u) << "type " << w.type << ", " << w.size << " bytes";
    }
}

TEST_F(Settings, ALoadedNumberIsWrittenBackUnchanged)
{
    for (DWORD number : {12ul, 70000ul}) {
        WriteCom(REG_DWORD, &number, sizeof number);
        LoadSettings();
        EXPECT_EQ(PortNumber, number);
        SaveSettings();
        ExpectComHolds(number);
    }
}

// The station's values are the user's, and read back only as they were
// kept: a string stored without its terminator, or too long for the buffer,
// reads whole or as "", never past its end; a flag of another type is off.
TEST_F(Settings, TheStationIsKeptPerUserAndReadBackOnlyWhole)
{
    const char station[] = "Software\\Lumvar\\tactiview\\Station";
    RegDeleteKeyA(HKEY_CURRENT_USER, station);
    char text[16] = "xxxxxxxxxxxxxxx";
    ReadStationText("Plan file", text, sizeof text);
    EXPECT_STREQ(text, "");
    KeepStationText("Plan file", "a.plan");
    KeepStationFlag("Check open", TRUE);
    ReadStationText("Plan file", text, sizeof text);
    EXPECT_STREQ(text, "a.plan");
    EXPECT_TRUE(ReadStationFlag("Check open"));
    EXPECT_EQ(OpenKey(), (HKEY)NULL); // nothing went to the machine's key

    HKEY key = NULL;
    RegOpenKeyExA(HKEY_CURRENT_USER, station, 0, KEY_SET_VALUE, &key);
    RegSetValueExA(key, "Plan file", 0, REG_SZ, (const BYTE *)"b.plan!", 7);
    RegSetValueExA(key, "Results file", 0, REG_SZ, (const BYTE *)"c:\\longer\\shift.tsv", 20);
    RegSetValueExA(key, "Check open", 0, REG_SZ, (const BYTE *)"1", 2);
    RegCloseKey(key);
    ReadStationText("Plan file", text, sizeof text);
    EXPECT_STREQ(text, "b.plan!");
    ReadStationText("Results file", text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(ReadStationFlag("Check open"));
    RegDeleteKeyA(HKEY_CURRENT_USER, station);
}

} // namespace
