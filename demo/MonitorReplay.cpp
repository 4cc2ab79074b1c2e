// The picture moved from the keyboard and seen on the board monitor view:
// Alt+Left and Alt+Up five times each, then Alt+Home. The view's screenshots
// are read back and the picture is found in them by its colour; where it sits
// is compared with the raster decoded from the board's registers.
#include "demo/Demo.h"
#include "host/Host.h"
#include "common/Process.h"
#include "common/Screen.h"
#include "board/BoardMonitor.h"
#include "board/RasterGeometry.h"
#include "board/VirtualBoard.h"
#include <stdlib.h>

namespace {

const int Steps = 5;
// At 16 bits per pixel the page moves the sync two characters a step, and a
// character there is 16 dot clocks, 8 pixels. Vertically a step is a line.
const int PixelsPerStep = 8;
// The view's timer runs every 40 ms, and the time it takes is only printed:
// the bound stops a view that hangs, however busy the machine.
const DWORD FollowLimit = 60000;

RasterGeometry BoardRaster()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    RasterGeometry g;
    DecodeRaster(b.crtc, b.miscOutput, b.bitsPerPixel, VirtualDotClock(b), &g);
    return g;
}

// The view already open (the interactive demo opens one), or one of our own.
HWND OpenMonitor(PROCESS_INFORMATION* process)
{
    HWND view = FindWindowA(BoardMonitorClass, nullptr);
    if (view)
        return view;
    std::string command = "\"" + ProgramFolder() + "\\BoardMonitor.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
        return nullptr;
    for (int wait = 0; wait < 600 && !view; ++wait) {
        Sleep(100);
        view = FindWindowA(BoardMonitorClass, nullptr);
    }
    return view;
}

DWORD Ask(HWND view, UINT query)
{
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(view, query, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
    return (DWORD)answer;
}

// Runs the sheet (the hot keys reach the page there) until the board puts the
// picture at left, top and the view has drawn it. Returns the milliseconds
// from the board's getting there to the view's drawing it, -1 when either
// did not come.
long Follow(HWND sheet, HWND view, int left, int top)
{
    DWORD start = GetTickCount(), reached = 0;
    bool boardThere = false;
    while (GetTickCount() - start < FollowLimit) {
        PumpSheet(sheet, 5);
        RasterGeometry g = BoardRaster();
        if (!boardThere && g.pictureLeft == left && g.pictureTop == top) {
            boardThere = true;
            reached = GetTickCount();
        }
        if (boardThere && Ask(view, MonitorQueryPicture) == (DWORD)MAKELONG(left, top) &&
            Ask(view, MonitorQueryTotals) == (DWORD)MAKELONG(g.hTotal, g.vTotal))
            return (long)(GetTickCount() - reached);
    }
    return -1;
}

void PressAlt(BYTE key, int times)
{
    for (int i = 0; i < times; ++i) {
        keybd_event(VK_MENU, 0, 0, 0);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    }
}

// --- The screenshot read back ---------------------------------------------------

struct Drawing {
    bool found = false;
    RECT raster = {};     // inside the frame
    RECT picture = {};
};

void Include(RECT* box, int x, int y)
{
    if (IsRectEmpty(box)) {
        SetRect(box, x, y, x + 1, y + 1);
        return;
    }
    box->left = x < box->left ? x : box->left;
    box->top = y < box->top ? y : box->top;
    box->right = x + 1 > box->right ? x + 1 : box->right;
    box->bottom = y + 1 > box->bottom ? y + 1 : box->bottom;
}

Drawing FindDrawing(const char* directory, const char* name)
{
    Drawing drawing;
    screen::Shot shot = screen::Load(directory, name);
    RECT frame = {};
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            COLORREF c = shot.At(x, y);
            if (c == MonitorFrameColour)
                Include(&frame, x, y);
            else if (c == MonitorPictureColour)
                Include(&drawing.picture, x, y);
        }
    drawing.raster = frame;
    InflateRect(&drawing.raster, -1, -1);
    drawing.found = !IsRectEmpty(&drawing.raster) && !IsRectEmpty(&drawing.picture);
    return drawing;
}

// Where the board's raster puts the picture, in the screenshot's pixels.
POINT Expected(const Drawing& d, const RasterGeometry& g)
{
    POINT p = {MulDiv(g.pictureLeft, d.raster.right - d.raster.left, g.hTotal),
               MulDiv(g.pictureTop, d.raster.bottom - d.raster.top, g.vTotal)};
    return p;
}

// The screenshot against the board: the picture where the registers put it.
Drawing CheckScreenshot(HWND view, const char* directory, const char* name, const RasterGeometry& g)
{
    TakeScreenshot(view, directory, name);
    Drawing d = FindDrawing(directory, name);
    Check(d.found, "%s shows the raster's frame and the picture", name);
    if (!d.found)
        return d;
    POINT expected = Expected(d, g);
    int x = d.picture.left - d.raster.left, y = d.picture.top - d.raster.top;
    Say("  %s: raster %ld x %ld screen pixels, picture %ld x %ld at %d,%d", name, d.raster.right - d.raster.left,
        d.raster.bottom - d.raster.top, d.picture.right - d.picture.left, d.picture.bottom - d.picture.top, x, y);
    Check(abs(x - expected.x) <= 1 && abs(y - expected.y) <= 1,
          "it is where the board's registers put it: %d pixels from the left edge of %d, %d lines from the top "
          "of %d (%ld,%ld on the screen)",
          g.pictureLeft, g.hTotal, g.pictureTop, g.vTotal, expected.x, expected.y);
    return d;
}

void SayRaster(const RasterGeometry& g)
{
    Say("  board: %d x %d of %d x %d, %ld.%03ld kHz, %ld.%03ld Hz, horizontal sync %c %d-%d, vertical sync %c %d-%d",
        g.hDisplay, g.vDisplay, g.hTotal, g.vTotal, g.lineRate / 1000, g.lineRate % 1000, g.frameRate / 1000,
        g.frameRate % 1000, g.hSyncPositive ? '+' : '-', g.hSyncStart, g.hSyncEnd, g.vSyncPositive ? '+' : '-',
        g.vSyncStart, g.vSyncEnd);
}

void CloseMonitor(HWND view, PROCESS_INFORMATION* process)
{
    if (!process->hProcess)
        return;
    PostMessageA(view, WM_CLOSE, 0, 0);
    WaitForSingleObject(process->hProcess, 5000);
    CloseHandle(process->hProcess);
    CloseHandle(process->hThread);
}

} // namespace

void MoveThePictureOnTheMonitor(HWND sheet, const char* screenshotDir)
{
    Say("== [5] The board monitor: Alt+Left and Alt+Up %d times each, then Alt+Home", Steps);
    PROCESS_INFORMATION process = {};
    HWND view = OpenMonitor(&process);
    Check(view != nullptr, "the board monitor view is open");
    if (!view)
        return;
    bool shots = screenshotDir && *screenshotDir;
    RasterGeometry before = BoardRaster();
    SayRaster(before);
    long latency = Follow(sheet, view, before.pictureLeft, before.pictureTop);
    Check(latency >= 0, "the view shows the board's raster: %d x %d, the picture %d pixels from the left, %d lines "
          "from the top", before.hTotal, before.vTotal, before.pictureLeft, before.pictureTop);
    Drawing first = shots ? CheckScreenshot(view, screenshotDir, "monitor-before.png", before) : Drawing();

    PressAlt(VK_LEFT, Steps);
    PressAlt(VK_UP, Steps);
    int left = before.pictureLeft - Steps * PixelsPerStep, top = before.pictureTop - Steps;
    latency = Follow(sheet, view, left, top);
    RasterGeometry after = BoardRaster();
    SayRaster(after);
    Check(after.pictureLeft == left && after.pictureTop == top,
          "the board's registers put the picture %d pixels further left and %d lines higher (at %d,%d)",
          before.pictureLeft - after.pictureLeft, before.pictureTop - after.pictureTop, after.pictureLeft,
          after.pictureTop);
    Check(latency >= 0, "the view followed in %ld ms", latency);
    if (shots && first.found) {
        Drawing moved = CheckScreenshot(view, screenshotDir, "monitor-after.png", after);
        POINT from = Expected(first, before), to = Expected(first, after);
        long dx = first.picture.left - moved.picture.left, dy = first.picture.top - moved.picture.top;
        Check(moved.found && labs(dx - (from.x - to.x)) <= 1 && labs(dy - (from.y - to.y)) <= 1,
              "in the screenshots the picture moved %ld screen pixels left and %ld up (%d pixels and %d lines "
              "on the board: %ld and %ld at the view's scale)",
              dx, dy, Steps * PixelsPerStep, Steps, from.x - to.x, from.y - to.y);
    }

    PressAlt(VK_HOME, 1);
    latency = Follow(sheet, view, before.pictureLeft, before.pictureTop);
    Check(latency >= 0, "Alt+Home put the picture back at %d,%d, and the view followed in %ld ms",
          before.pictureLeft, before.pictureTop, latency);
    if (shots && first.found) {
        Drawing back = CheckScreenshot(view, screenshotDir, "monitor-restored.png", before);
        Check(EqualRect(&back.picture, &first.picture) != FALSE,
              "the restored screenshot shows the picture exactly where the first one did");
    }
    CloseMonitor(view, &process);
}
