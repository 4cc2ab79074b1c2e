// Glimrate.exe, the start-up step: Windows runs it from the machine's Run key
// when it starts. The page changes the mode in memory only, so without this
// step the screen would come back at the boot rate while the page still names
// the rate the user kept. It puts that rate back, with the page's own request,
// and ends at once; it has no window.
#include "runtime/Text.h"
#include "settings/Settings.h"

namespace {

enum { LongestRate = 3 };   // no monitor runs at 1000 Hz

// The page stores plain decimal hertz: no sign, blank or unit.
bool IsPlainRate(const char* text)
{
    int length = TextLength(text);
    if (length == 0 || length > LongestRate)
        return false;
    for (int i = 0; i < length; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// The monitor's vertical limit in hertz, read from its mode line by the
// fields: the second comma-separated field is the vertical rate, one number
// or a range low-high, and its last number is the limit. The polarity fields
// after it ("-" for negative) don't count. 90 when the monitor lists no modes,
// as the page takes it; 0 when the limit isn't known.
int VerticalLimit()
{
    char line[ModeLineCapacity] = "";
    ModeLineFound found = ReadModeLine(line, sizeof line);
    if (found != ModeLineRead)
        return found == NoModesKey ? NoModesKeyRate : 0;
    const char* field = line;
    while (*field != '\0' && *field++ != ',') {
    }
    const char* number = field;
    for (const char* c = field; *c != '\0' && *c != ','; ++c) {
        if (*c == '-')
            number = c + 1;
    }
    return TextToInt(number);
}

// Nobody confirms a rate at start-up, so only one that the table offers at the
// current resolution and that lies within the monitor's known limit.
bool IsOfferedRate(int rate)
{
    if (rate <= 0 || rate > VerticalLimit())
        return false;
    for (int i = 0; i < RefreshCount && i < RefreshListCapacity; ++i) {
        if (RefreshList[i] == rate)
            return true;
    }
    return false;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ReadDisplaySettings();
    // Nothing stored, or a store that doesn't hold a usable rate: the boot
    // rate stays.
    if (ReadAcceptedRate() && IsPlainRate(SavedRefreshText) && IsOfferedRate(TextToInt(SavedRefreshText))) {
        TextCopy(PendingRefreshText, TextCapacity, SavedRefreshText);
        ApplyRefreshRate();
    }
    return 0;
}
