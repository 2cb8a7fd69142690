// The chosen port survives between runs as the value "Com" of one key of the
// local machine; the key's default value names the program.
#include "app/settings.h"

#include "app/globals.h"
#include "res/resource.h"

#include <windows.h>

static const char SettingsKey[] = "Software\\Lumvar\\tactiview";
static const char PortValue[] = "Com";

// Opens the key, creating it on a first run; NULL when that fails.
static HKEY OpenSettingsKey(REGSAM access)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsKey, 0, NULL, REG_OPTION_NON_VOLATILE, access,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return NULL;
    return key;
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
