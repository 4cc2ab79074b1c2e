// The page's own settings: the current mode and monitor, the stored policy
// and rate, the first-run record, and the save on apply.
#include "settings/Settings.h"
#include "runtime/Text.h"

namespace {

const char FirstRunState[] = "First";
const char SixteenColourDepth[] = "4";
const int SixteenColourRate = 60;   // the only rate of the 16-colour mode
enum { PathCapacity = MAX_PATH };

// The product key and the Selection key are the two the page writes.
const REGSAM ReadWriteAccess = KEY_READ | KEY_WRITE;

bool OpenKey(const char* path, REGSAM access, HKEY* key)
{
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, access, key) == ERROR_SUCCESS;
}

// The last non-empty component of a "\"-separated path: Monitor\0000 and
// Monitor\0000\ both give 0000; a text without a backslash is taken whole; a
// text with no component at all gives the empty text.
void TakeLastComponent(char* destination, int capacity, const char* path)
{
    int end = TextLength(path);
    while (end > 0 && path[end - 1] == '\\')
        --end;
    int start = end;
    while (start > 0 && path[start - 1] != '\\')
        --start;
    int length = end - start;
    if (length > capacity - 1)
        length = capacity - 1;
    for (int i = 0; i < length; ++i)
        destination[i] = path[start + i];
    destination[length] = '\0';
}

void FormSelectionPath(char* path, int capacity)
{
    TextCopy(path, capacity, SelectionKeyPrefix);
    TextAppend(path, capacity, CurrentBitsPerPixel);
    TextAppend(path, capacity, "\\");
    TextAppend(path, capacity, CurrentResolution);
}

bool IsSixteenColourMode()
{
    return TextEqual(CurrentBitsPerPixel, SixteenColourDepth);
}

// All three rate texts := the first rate of RefreshList.
void TakeFirstTableRate()
{
    IntToText(SavedRefreshText, TextCapacity, RefreshList[0]);
    TextCopy(AppliedRefreshText, TextCapacity, SavedRefreshText);
    TextCopy(PendingRefreshText, TextCapacity, SavedRefreshText);
}

// The rates offered in the current mode: the 16-colour mode has no table of
// its own, its one rate is the first.
void ReadModeTable()
{
    if (IsSixteenColourMode()) {
        RefreshCount = 1;
        RefreshList[0] = SixteenColourRate;
    } else {
        ReadRefreshTable();
    }
}

// The 16-colour mode runs at its one rate under the " Default" policy.
void SetSixteenColourRate()
{
    ReadModeTable();
    TextCopy(PolicyName, TextCapacity, PolicySixteenColour);
    IntToText(AppliedRefreshText, TextCapacity, SixteenColourRate);
    TextCopy(SavedRefreshText, TextCapacity, AppliedRefreshText);
    TextCopy(PendingRefreshText, TextCapacity, AppliedRefreshText);
}

// "State" into PolicyName and, but on a first run, the monitor and resolution
// recorded; true when "State" was read.
bool ReadProductRecord()
{
    HKEY key;
    if (!OpenKey(ProductKey, ReadWriteAccess, &key))
        return false;
    bool read = ReadRegistryText(key, "State", PolicyName, TextCapacity);
    // Nothing else is read on a first run: RecordInitialSettings lays it down.
    if (!TextEqual(PolicyName, FirstRunState)) {
        ReadRegistryText(key, "OrgMonitor", StoredMonitor, DescriptionCapacity);
        ReadRegistryText(key, "OrgResolution", StoredResolution, TextCapacity);
    }
    RegCloseKey(key);
    return read;
}

// The rate stored for the policy, colour depth and resolution, into
// SavedRefreshText; false when the key or the value is missing. type, when
// given, receives the value's type.
bool ReadSelectedRate(DWORD* type = 0)
{
    char path[PathCapacity];
    FormSelectionPath(path, sizeof path);
    bool stored = false;
    HKEY key;
    if (OpenKey(path, ReadWriteAccess, &key)) {
        stored = ReadRegistryText(key, PolicyName, SavedRefreshText, TextCapacity, type);
        RegCloseKey(key);
    }
    return stored;
}

// The rate stored for the policy, colour depth and resolution; when there is
// none, the first rate offered is taken and applied at once.
void LoadSelectedRate()
{
    if (ReadSelectedRate()) {
        TextCopy(AppliedRefreshText, TextCapacity, SavedRefreshText);
        TextCopy(PendingRefreshText, TextCapacity, SavedRefreshText);
        return;
    }
    ReadModeTable();
    TakeFirstTableRate();
    ApplyRefreshRate();
}

void WriteProductRecord(const char* monitor, const char* resolution)
{
    HKEY key;
    if (!OpenKey(ProductKey, ReadWriteAccess, &key))
        return;
    WriteRegistryText(key, "OrgMonitor", monitor);
    WriteRegistryText(key, "OrgResolution", resolution);
    WriteRegistryText(key, "State", PolicyName);
    RegCloseKey(key);
}

} // namespace

void ReadDisplaySettings()
{
    HKEY key;
    if (OpenKey(DisplaySettingsKey, KEY_READ, &key)) {
        ReadRegistryText(key, "BitsPerPixel", CurrentBitsPerPixel, TextCapacity);
        ReadRegistryText(key, "Resolution", CurrentResolution, TextCapacity);
        RegCloseKey(key);
    }

    char driver[TextCapacity] = "";
    ReadRegistryValue(MonitorEnumKey, "Driver", driver, sizeof driver);
    TakeLastComponent(MonitorKey, TextCapacity, driver);

    // Without a monitor instance there is no monitor key to read: opening the
    // bare class path would read the class key itself.
    if (MonitorKey[0] == '\0') {
        MonitorMaxResolution[0] = '\0';
        MonitorDescription[0] = '\0';
    } else {
        char path[PathCapacity];
        TextCopy(path, sizeof path, MonitorClassKey);
        TextAppend(path, sizeof path, MonitorKey);
        if (OpenKey(path, KEY_READ, &key)) {
            ReadRegistryText(key, "MaxResolution", MonitorMaxResolution, TextCapacity);
            ReadRegistryText(key, "DriverDesc", MonitorDescription, DescriptionCapacity);
            RegCloseKey(key);
        }
    }
    ReadMonitorModes();
}

void LoadPageState()
{
    ReadProductRecord();
    FirstRunFlag = TextEqual(PolicyName, FirstRunState) ? 1 : 0;
    if (!FirstRunFlag)
        LoadSelectedRate();

    if (IsSixteenColourMode())
        SetSixteenColourRate();
    else
        ReadRefreshTable();
}

bool ReadAcceptedRate()
{
    // On a first run PolicyName is "First", which names no policy: a value of
    // that name is nobody's rate. Only a string is a rate the page stored.
    DWORD type = REG_NONE;
    if (!ReadProductRecord() || TextEqual(PolicyName, FirstRunState) || !ReadSelectedRate(&type) || type != REG_SZ)
        return false;
    ReadModeTable();
    return true;
}

void RecordInitialSettings()
{
    TextCopy(StoredMonitor, DescriptionCapacity, MonitorDescription);
    TextCopy(StoredResolution, TextCapacity, CurrentResolution);
    TextCopy(PolicyName, TextCapacity, PolicyDefault);
    WriteProductRecord(StoredMonitor, StoredResolution);
    TakeFirstTableRate();
    ApplyRefreshRate();
}

void SavePageState()
{
    WriteProductRecord(MonitorDescription, CurrentResolution);

    TextCopy(SavedRefreshText, TextCapacity, AppliedRefreshText);
    char path[PathCapacity];
    FormSelectionPath(path, sizeof path);
    HKEY key;
    if (!OpenKey(path, ReadWriteAccess, &key))
        return;
    WriteRegistryText(key, PolicyName, SavedRefreshText);
    RegCloseKey(key);
}
