// The chosen port survives between runs as the value "Com" of one key of the
// local machine; the key's default value names the program. The test
// station's set-up is kept per user.
#include "app/settings.h"

#include "app/globals.h"
#include "res/resource.h"

#include <windows.h>

static const char SettingsKey[] = "Software\\Lumvar\\tactiview";
static const char PortValue[] = "Com";

static const char StationKey[] = "Software\\Lumvar\\tactiview\\Station";

// Opens a key, creating it on a first run; NULL when that fails.
static HKEY OpenKey(HKEY root, const char *path, REGSAM access)
{
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, NULL, REG_OPTION_NON_VOLATILE, access, NULL, &key, NULL) !=
        ERROR_SUCCESS)
        return NULL;
    return key;
}

static HKEY OpenSettingsKey(REGSAM access)
{
    return OpenKey(HKEY_LOCAL_MACHINE, SettingsKey, access);
}

// Anything but a 4-byte REG_DWORD, a missing value included, reads as 0 (no
// port chosen), never as whatever a partial or failed read left behind.
static DWORD ReadPortNumber(HKEY key)
{
    DWORD type = REG_NONE, value = 0, size = sizeof value;
    if (RegQueryValueExA(key, PortValue, NULL, &type, (BYTE *)&value, &size) != ERROR_SUCCESS)
        return 0;
    if (type != REG_DWORD || size != sizeof value)
        return 0;
    return value;
}

// A key that cannot be opened leaves PortNumber as it is, 0 at start-up.
void LoadSettings(void)
{
    HKEY key = OpenSettingsKey(KEY_QUERY_VALUE);
    if (!key)
        return;
    PortNumber = ReadPortNumber(key);
    RegCloseKey(key);
}

// The description is stored as the string table gives it in the ANSI code
// page, so its en dash is whatever byte that code page has for it.
void SaveSettings(void)
{
    char description[64];
    HKEY key = OpenSettingsKey(KEY_SET_VALUE);
    if (!key)
        return;
    int length = LoadStringA(AppInstance, IDS_DESCRIPTION, description, sizeof description);
    RegSetValueA(key, NULL, REG_SZ, description, (DWORD)length);
    RegSetValueExA(key, PortValue, 0, REG_DWORD, (const BYTE *)&PortNumber, sizeof PortNumber);
    RegCloseKey(key);
}

static void KeepStationValue(const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key = OpenKey(HKEY_CURRENT_USER, StationKey, KEY_SET_VALUE);
    if (!key)
        return;
    RegSetValueExA(key, name, 0, type, (const BYTE *)data, size);
    RegCloseKey(key);
}

// The value's bytes when it has the type and fits in size; FALSE else.
static BOOL ReadStationValue(const char *name, DWORD type, void *data, DWORD *size)
{
    HKEY key = OpenKey(HKEY_CURRENT_USER, StationKey, KEY_QUERY_VALUE);
    if (!key)
        return FALSE;
    DWORD found = REG_NONE;
    LONG result = RegQueryValueExA(key, name, NULL, &found, (BYTE *)data, size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && found == type;
}

void KeepStationText(const char *name, const char *text)
{
    KeepStationValue(name, REG_SZ, text, (DWORD)lstrlenA(text) + 1);
}

// A string may be stored without its terminator, so one byte is kept for it.
void ReadStationText(const char *name, char *text, DWORD size)
{
    DWORD length = size - 1;
    if (!ReadStationValue(name, REG_SZ, text, &length))
        length = 0;
    text[length] = '\0';
}

void KeepStationFlag(const char *name, BOOL on)
{
    DWORD value = on != FALSE;
    KeepStationValue(name, REG_DWORD, &value, sizeof value);
}

BOOL ReadStationFlag(const char *name)
{
    DWORD value = 0, size = sizeof value;
    return ReadStationValue(name, REG_DWORD, &value, &size) && size == sizeof value && value != 0;
}
