// A program that Windows 95 cannot load: it imports functions that came with
// Windows 98 and NT 4. The load check has to refuse it, naming them.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    TRACKMOUSEEVENT track = {};
    return IsDebuggerPresent() + SwitchToThread() + TrackMouseEvent(&track);
}
