// Loading and storing the page state, the monitor's limits, the refresh table
// and the display-mode change.
#pragma once
#include <windows.h>
#include "settings/PageState.h"

// Registry paths under HKEY_LOCAL_MACHINE.
extern const char DisplaySettingsKey[];   // "Config\\0001\\Display\\Settings"
extern const char MonitorEnumKey[];       // "Enum\\Monitor\\Default_Monitor\\0001"
extern const char MonitorClassKey[];      // "System\\CurrentControlSet\\Services\\Class\\Monitor\\"
extern const char ProductKey[];           // "Software\\Orvel\\Glimora"
extern const char RefreshTableKey[];      // "Software\\Orvel\\Glimora\\Refresh\\Refresh_Table"
extern const char SelectionKeyPrefix[];   // "Software\\Orvel\\Glimora\\Refresh\\Selection\\"
extern const char LanguageKey[];          // "Software\\Orvel\\Glimora\\Language"

void ReadDisplaySettings();
void LoadPageState();
void RecordInitialSettings();
void SavePageState();
// The start-up step's reading: the stored policy, the rate last accepted under
// it for the current colour depth and resolution (into SavedRefreshText) and
// the mode's refresh table; false when no rate is stored (no product key, a
// first run, no Selection key or value, or a value that is no string).
// Applies nothing, unlike LoadPageState.
bool ReadAcceptedRate();
void ReadMonitorModes();

enum {
    ModeLineCapacity = 120,   // "Mode1", NUL included
    NoModesKeyRate = 90       // the limit assumed when the monitor lists no modes
};
enum ModeLineFound { NoModesKey, NoModeLine, ModeLineRead };
// The monitor's mode line at its maximum resolution ("Mode1" of the MODES key
// named by MonitorKey and MonitorMaxResolution) into line, and what was found.
ModeLineFound ReadModeLine(char* line, int capacity);
void ReadRefreshTable();
void ApplyRefreshRate();

// What the registry of present devices names as the display adapter: a PCI
// adapter of another vendor than S3 when one is present, else an S3 one
// (its PCI device identifier into s3Device), else nothing (ISA and VLB
// boards have no PCI node; the key a board taken out left in HKLM\Enum has
// no node either). Reads only.
enum PresentAdapter { NoAdapterNamed, S3AdapterNamed, OtherAdapterNamed };
int FindPresentDisplayAdapter(WORD* s3Device);

// Registry access shared by the settings store, the page and its hook: a key
// is opened (never created) for one operation and closed after it.

// Reads a value as text into buffer (capacity bytes, NUL included, at most
// MessageCapacity). On success the buffer holds a terminated text: it ends at
// the first NUL, at the value's end, or after capacity - 1 characters when the
// value fills the whole buffer without a NUL. On failure (missing key or value,
// or a value larger than capacity) the buffer is left as it was. True on success;
// type, when given, receives the value's type (REG_SZ, ...).
bool ReadRegistryText(HKEY key, const char* name, char* buffer, int capacity, DWORD* type = 0);

// Opens path for reading, reads one value as above and closes the key.
bool ReadRegistryValue(const char* path, const char* name, char* buffer, int capacity);

// Like ReadRegistryValue, but a value longer than the buffer is read cut to
// capacity - 1 characters rather than refused. True on success.
bool ReadRegistryTextCut(const char* path, const char* name, char* buffer, int capacity);

// Writes text as REG_SZ of exactly StoredValueSize bytes: the text cut to 39
// characters, its NUL, zeros up to 40. (Earlier versions stored a text of 40
// characters or more as its first 40 bytes without a NUL; the readers above
// terminate those.)
void WriteRegistryText(HKEY key, const char* name, const char* text);
