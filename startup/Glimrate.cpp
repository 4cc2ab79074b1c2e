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

// Nobody confirms a rate at start-up, so only one that the table offers at the
// current resolution and, where the monitor's limit is known, within it.
bool IsOfferedRate(int rate)
{
    if (rate <= 0 || (MonitorMaxRefresh > 0 && rate > MonitorMaxRefresh))
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
