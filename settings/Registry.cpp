#include "settings/Settings.h"
#include "runtime/Text.h"

const char DisplaySettingsKey[] = "Config\\0001\\Display\\Settings";
const char MonitorEnumKey[] = "Enum\\Monitor\\Default_Monitor\\0001";
const char MonitorClassKey[] = "System\\CurrentControlSet\\Services\\Class\\Monitor\\";
const char ProductKey[] = "Software\\Orvel\\Glimora";
const char RefreshTableKey[] = "Software\\Orvel\\Glimora\\Refresh\\Refresh_Table";
const char SelectionKeyPrefix[] = "Software\\Orvel\\Glimora\\Refresh\\Selection\\";
const char LanguageKey[] = "Software\\Orvel\\Glimora\\Language";

bool ReadRegistryText(HKEY key, const char* name, char* buffer, int capacity, DWORD* type)
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
    if (RegQueryValueExA(key, name, 0, type, (BYTE*)value, &size) != ERROR_SUCCESS)
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

bool ReadRegistryTextCut(const char* path, const char* name, char* buffer, int capacity)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    // The value whole, however long, then cut: a buffer of its own size.
    bool read = false;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, 0, 0, 0, &size) == ERROR_SUCCESS) {
        char* value = (char*)LocalAlloc(LMEM_FIXED, size + 1);
        if (value != 0) {
            read = RegQueryValueExA(key, name, 0, 0, (BYTE*)value, &size) == ERROR_SUCCESS;
            if (read) {
                TerminateText(value, (int)size + 1, size);
                TextCopy(buffer, capacity, value);
            }
            LocalFree(value);
        }
    }
    RegCloseKey(key);
    return read;
}

void WriteRegistryText(HKEY key, const char* name, const char* text)
{
    // The text cut to 39 characters, its NUL, then zeros up to 40 bytes: the
    // value always ends inside its 40 bytes.
    char value[StoredValueSize];
    ZeroMemory(value, sizeof value);
    TextCopy(value, sizeof value, text);
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)value, StoredValueSize);
}
