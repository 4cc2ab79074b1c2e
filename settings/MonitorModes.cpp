// The monitor's highest refresh rate and the refresh table of the resolution.
#include "settings/Settings.h"
#include "runtime/Text.h"

namespace {

enum {
    TableValueCapacity = 240,
    NumberCapacity = 8,         // a number of the mode line: at most 7 characters
    FallbackRate = 60           // every mode runs at 60 Hz
};

// Commas and dashes become spaces, leaving the numbers as tokens; returns the
// number of dashes.
int SplitModeLine(char* line)
{
    int dashes = 0;
    for (char* c = line; *c != '\0'; ++c) {
        if (*c == ',') {
            *c = ' ';
        } else if (*c == '-') {
            *c = ' ';
            ++dashes;
        }
    }
    return dashes;
}

// The rate of the count-th token (1-based). A token longer than a number may
// be is cut to its first 7 characters, which keep the integer part of any
// rate. When the line holds fewer tokens, the last one there is taken, which
// is the vertical rate of a fixed-frequency line with negative polarities
// (31.5,60.0,-,-); with no token at all the rate is 0, "no known limit".
int RateOfToken(const char* line, int count)
{
    char token[NumberCapacity] = "";
    const char* rest = line;
    for (int i = 0; i < count && rest != 0; ++i)
        rest = ScanToken(rest, token, sizeof token);
    return TextToInt(token);
}

int CountSpaces(const char* text)
{
    int count = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == ' ')
            ++count;
    }
    return count;
}

// Reads the table value of the current resolution into text; false when the
// key or the value is missing.
bool ReadTableValue(char* text, int capacity)
{
    char name[TextCapacity + 1];
    TextCopy(name, sizeof name, CurrentResolution);
    TextAppend(name, sizeof name, "V");
    return ReadRegistryValue(RefreshTableKey, name, text, capacity);
}

} // namespace

ModeLineFound ReadModeLine(char* line, int capacity)
{
    char path[MAX_PATH];
    TextCopy(path, sizeof path, MonitorClassKey);
    TextAppend(path, sizeof path, MonitorKey);
    TextAppend(path, sizeof path, "\\MODES\\");
    TextAppend(path, sizeof path, MonitorMaxResolution);
    HKEY key;
    // No monitor instance means no mode key either.
    if (MonitorKey[0] == '\0' || RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return NoModesKey;
    bool read = ReadRegistryText(key, "Mode1", line, capacity);
    RegCloseKey(key);
    return read ? ModeLineRead : NoModeLine;
}

void ReadMonitorModes()
{
    char line[ModeLineCapacity] = "";
    ModeLineFound found = ReadModeLine(line, sizeof line);
    // A mode key without a mode line tells nothing of the monitor.
    MonitorMaxRefresh = found == NoModesKey ? NoModesKeyRate : 0;
    MonitorModeKind = 0;
    if (found != ModeLineRead)
        return;

    // No dash: scan,rate; one: a range on one side; two: ranges on both. More
    // dashes mean negative polarities besides ranges, a form not told apart:
    // the limit is unknown, never that of the monitor read before.
    int dashes = SplitModeLine(line);
    if (dashes > 2)
        return;
    MonitorModeKind = dashes + 1;
    MonitorMaxRefresh = RateOfToken(line, dashes + 2);
}

// The rates offered at the current resolution. A table value of n spaces holds
// n + 1 rates; an entry the text doesn't reach (a trailing space) keeps what
// it held. When the key or the value is missing, when the value holds 7 or
// more spaces, or when it doesn't start with a positive rate, the table is a
// single 60 Hz entry: the page always needs one to seven entries and a first
// rate it can apply, and every mode runs at 60 Hz.
void ReadRefreshTable()
{
    RefreshCount = 0;
    char text[TableValueCapacity] = "";
    if (ReadTableValue(text, sizeof text)) {
        int spaces = CountSpaces(text);
        if (spaces < RefreshListCapacity) {
            int first = 0;
            const char* rest = ScanInt(text, &first);
            if (rest != 0 && first > 0) {
                RefreshList[0] = first;
                for (int i = 1; i <= spaces && rest != 0; ++i)
                    rest = ScanInt(rest, &RefreshList[i]);
                RefreshCount = spaces + 1;
            }
        }
    }
    if (RefreshCount == 0) {
        RefreshCount = 1;
        RefreshList[0] = FallbackRate;
    }
}
