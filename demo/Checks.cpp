// The replay's verdicts, and its screenshots, which are verdicts too.
#include "demo/Demo.h"
#include "host/Host.h"
#include "common/Screen.h"
#include <stdarg.h>
#include <stdio.h>

namespace {

int Passed;
int Failed;

} // namespace

void Check(bool ok, const char* format, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    Say("    %s %s", ok ? "ok:" : "FAILED:", text);
    ++(ok ? Passed : Failed);
}

int Verdict(const char* name)
{
    Say("%s: %d checks passed, %d failed", name, Passed, Failed);
    return Failed == 0 && Passed > 0 ? 0 : 1;
}

// The window as the X server shows it, once it has drawn itself again.
void TakeScreenshot(HWND window, const char* directory, const char* name)
{
    if (!directory || !*directory)
        return;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpSheet(window, 500);
    RECT r;
    GetWindowRect(window, &r);
    DWORD size = screen::SaveAsServerShows(r, directory, name);
    Check(size > 0, "screenshot %s/%s saved (%lu bytes)", directory, name, (unsigned long)size);
}
