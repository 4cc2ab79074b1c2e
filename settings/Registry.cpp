#include "settings/Settings.h"
#include "runtime/Text.h"

const char DisplaySettingsKey[] = "Config\\0001\\Display\\Settings";
const char MonitorEnumKey[] = "Enum\\Monitor\\Default_Monitor\\0001";
const char MonitorClassKey[] = "System\\CurrentControlSet\\Services\\Class\\Monitor\\";
const char ProductKey[] = "Software\\Orvel\\Glimora";
const char RefreshTableKey[] = "Software\\Orvel\\Glimora\\Refresh\\Refresh_Table";
const char SelectionKeyPrefix[] = "Software\\Orvel\\Glimora\\Refresh\\Selection\\";
const char LanguageKey[] = "Software\\Orvel\\Glimora\\Language";

bool ReadRegistryText(HKEY key, const char* name, char* buffer, int capacity)
{
    if (capacity <= 0)
        return false;
    if (capacity > MessageCapacity)
        capacity = MessageCapacity;
    // Read into a scratch buffer first: the system may scribble on the
    // destination before it reports a value too large, and the destination
    // must then keep what it held.
    char value[MessageCapacity];
    DWORD size = (DWORD)capacity;
    if (RegQueryValueExA(key, name, 0, 0, (BYTE*)value, &size) != ERROR_SUCCESS)
        return false;
    // The stored bytes need not hold a NUL (a 40-byte text written whole):
    // the text ends at the first NUL, at the value's end, or one byte before
    // the buffer's end, whichever comes first.
    TerminateText(value, capacity, size);
    TextCopy(buffer, capacity, value);
    return true;
}

bool ReadRegistryValue(const char* path, const char* name, char* buffer, int capacity)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool read = ReadRegistryText(key, name, buffer, capacity);
    RegCloseKey(key);
    return read;
}

void WriteRegistryText(HKEY key, const char* name, const char* text)
{
    // The first 40 bytes of the text, then zeros: a text of 40 characters or
    // more is stored without its NUL, which every reader above supplies. The
    // NT family looks at the byte after a text that doesn't end in a NUL and,
    // when it is one, stores it too: the byte after the value is never a NUL,
    // so that the value stays 40 bytes.
    char value[StoredValueSize + 1];
    ZeroMemory(value, sizeof value);
    for (int i = 0; i < StoredValueSize && text[i] != '\0'; ++i)
        value[i] = text[i];
    value[StoredValueSize] = '#';
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, StoredValueSize);
}
