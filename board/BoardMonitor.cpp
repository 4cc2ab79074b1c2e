// BoardMonitor: what a monitor fed by the virtual board would show. The
// whole raster is drawn as the tube scans it: each line starts where the
// horizontal sync ends, each frame where the vertical sync ends, so the
// picture lands where the sync positions put it; blanking, the sync pulses
// and the numbers of the timing go with it. A picture that wrong writes have
// garbled (a TGUI's pixel bus, a display start bit) is drawn as noise, and
// what was harmed is written beneath it. The view follows the board: a
// timer compares the shared board state and a mode change announces itself
// with WM_DISPLAYCHANGE.
#include "board/BoardMonitor.h"
#include "board/RasterGeometry.h"
#include "board/VirtualBoard.h"

namespace {

const UINT FollowTimer = 1;
const UINT FollowMilliseconds = 40;
const int ClientWidth = 500, ClientHeight = 400;
const RECT RasterArea = {10, 10, 490, 280};
const int TextTop = 292, TextLineHeight = 16;

const COLORREF BorderColour = RGB(72, 72, 72);      // displayed but outside the picture
const COLORREF BlankColour = RGB(0, 0, 0);
const COLORREF SyncColour = RGB(150, 30, 30);
const COLORREF PatternColour = RGB(255, 255, 255);
const COLORREF BackgroundColour = RGB(224, 224, 224);

VirtualBoardState Shown;     // the board as last read
RasterGeometry Raster;       // its raster
bool Garbled;                // its picture garbled by wrong writes
char Harm[256];              // what they harmed, "" when nothing
RasterGeometry Drawn;        // the raster on the screen, for those who ask

bool SameBoard(const VirtualBoardState& a, const VirtualBoardState& b)
{
    return a.chip == b.chip && a.width == b.width && a.height == b.height && a.bitsPerPixel == b.bitsPerPixel &&
           a.refresh == b.refresh && a.miscOutput == b.miscOutput &&
           memcmp(a.crtc, b.crtc, sizeof a.crtc) == 0 && memcmp(a.ownOverflow, b.ownOverflow, sizeof a.ownOverflow) == 0;
}

void TakeBoard(HWND window)
{
    VirtualBoardState now;
    VirtualBoardRead(&now);
    if (SameBoard(now, Shown))
        return;
    Shown = now;
    BYTE registers[VirtualRegisterCount];
    VirtualTimingRegisters(Shown, registers);
    DecodeRaster(registers, Shown.miscOutput, Shown.bitsPerPixel, VirtualDotClock(Shown), &Raster);
    Garbled = VirtualBoardHarm(Shown, Harm, sizeof Harm);
    InvalidateRect(window, 0, FALSE);
}

// --- The raster on the tube ----------------------------------------------------

// Noise is a cross-hatch of the colour over what was there.
void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour, bool noise = false)
{
    RECT r = {left, top, right, bottom};
    HBRUSH brush = noise ? CreateHatchBrush(HS_DIAGCROSS, colour) : CreateSolidBrush(colour);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// An interval of the controller's counter as it lies on the tube, which
// starts counting where the sync ends: up to two pieces when it wraps.
int TubePieces(int from, int to, int syncEnd, int total, int starts[2], int ends[2])
{
    if (total <= 0 || to <= from)
        return 0;
    int length = to - from < total ? to - from : total;
    int start = ((from - syncEnd) % total + total) % total;
    starts[0] = start;
    ends[0] = start + length < total ? start + length : total;
    if (start + length <= total)
        return 1;
    starts[1] = 0;
    ends[1] = start + length - total;
    return 2;
}

int ScreenX(int tube) { return RasterArea.left + MulDiv(tube, RasterArea.right - RasterArea.left, Raster.hTotal); }
int ScreenY(int tube) { return RasterArea.top + MulDiv(tube, RasterArea.bottom - RasterArea.top, Raster.vTotal); }

// Fills the counter intervals [hFrom, hTo) x [vFrom, vTo) where the tube shows them.
void FillSpan(HDC dc, int hFrom, int hTo, int vFrom, int vTo, COLORREF colour, bool noise = false)
{
    int hs[2], he[2], vs[2], ve[2];
    int hCount = TubePieces(hFrom, hTo, Raster.hSyncEnd, Raster.hTotal, hs, he);
    int vCount = TubePieces(vFrom, vTo, Raster.vSyncEnd, Raster.vTotal, vs, ve);
    for (int h = 0; h < hCount; ++h)
        for (int v = 0; v < vCount; ++v)
            Fill(dc, ScreenX(hs[h]), ScreenY(vs[v]), ScreenX(he[h]), ScreenY(ve[v]), colour, noise);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2)
{
    MoveToEx(dc, x1, y1, 0);
    LineTo(dc, x2, y2);
}

// The picture: its fill, a centre cross and an inner frame, its size in the middle.
void DrawPicture(HDC dc)
{
    const RasterGeometry& g = Raster;
    if (Garbled) {
        FillSpan(dc, 0, g.hDisplay, 0, g.vDisplay, BlankColour);
        FillSpan(dc, 0, g.hDisplay, 0, g.vDisplay, MonitorGarbledColour, true);
        return;
    }
    FillSpan(dc, 0, g.hDisplay, 0, g.vDisplay, MonitorPictureColour);
    int left = ScreenX(g.pictureLeft), top = ScreenY(g.pictureTop);
    int right = ScreenX(g.pictureLeft + g.hDisplay), bottom = ScreenY(g.pictureTop + g.vDisplay);
    if (g.pictureLeft + g.hDisplay > g.hTotal || g.pictureTop + g.vDisplay > g.vTotal)
        return;   // split by the sync: the fill shows it, the pattern would mislead
    HPEN pen = CreatePen(PS_SOLID, 1, PatternColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    int cx = (left + right) / 2, cy = (top + bottom) / 2;
    DrawLine(dc, cx, top + 4, cx, bottom - 4);
    DrawLine(dc, left + 4, cy, right - 4, cy);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, left + 4, top + 4, right - 4, bottom - 4);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    char size[32];
    wsprintfA(size, " %ld x %ld ", Shown.width, Shown.height);
    SetTextColor(dc, PatternColour);
    SetBkColor(dc, MonitorPictureColour);
    SetTextAlign(dc, TA_CENTER | TA_BOTTOM);
    TextOutA(dc, cx, cy - 2, size, lstrlenA(size));
    SetTextAlign(dc, TA_LEFT | TA_TOP);
}

void DrawRaster(HDC dc)
{
    const RasterGeometry& g = Raster;
    RECT frame = RasterArea;
    InflateRect(&frame, 1, 1);
    HBRUSH frameBrush = CreateSolidBrush(MonitorFrameColour);
    FrameRect(dc, &frame, frameBrush);
    DeleteObject(frameBrush);
    Fill(dc, RasterArea.left, RasterArea.top, RasterArea.right, RasterArea.bottom, BorderColour);
    if (g.hTotal <= 0 || g.vTotal <= 0)
        return;
    FillSpan(dc, g.hBlankStart, g.hBlankEnd, 0, g.vTotal, BlankColour);
    FillSpan(dc, 0, g.hTotal, g.vBlankStart, g.vBlankEnd, BlankColour);
    FillSpan(dc, g.hSyncStart, g.hSyncEnd, 0, g.vTotal, SyncColour);
    FillSpan(dc, 0, g.hTotal, g.vSyncStart, g.vSyncEnd, SyncColour);
    DrawPicture(dc);
}

// --- The numbers -----------------------------------------------------------------

// Thousandths as a decimal number: 53674 as "53.674".
void Thousandths(char* text, LONG value)
{
    wsprintfA(text, "%ld.%03ld", value / 1000, value % 1000);
}

const char* Polarity(bool positive)
{
    return positive ? "+" : "-";
}

void DrawNumbers(HDC dc)
{
    const RasterGeometry& g = Raster;
    char dot[16], pixel[16], line[16], frame[16];
    Thousandths(dot, g.dotClock);
    Thousandths(pixel, g.pixelClock);
    Thousandths(line, g.lineRate);
    Thousandths(frame, g.frameRate);
    char text[6][128];
    wsprintfA(text[0], "%s: mode %ld x %ld, %ld bits per pixel, %ld Hz requested", VirtualChipName(Shown.chip),
              Shown.width, Shown.height, Shown.bitsPerPixel, Shown.refresh);
    wsprintfA(text[1], "Dot clock %s MHz, %d a pixel: pixel clock %s MHz", dot, g.dotClocksPerPixel, pixel);
    wsprintfA(text[2], "Horizontal %s kHz: total %d, display %d, blank %d-%d, sync %s %d-%d", line, g.hTotal,
              g.hDisplay, g.hBlankStart, g.hBlankEnd, Polarity(g.hSyncPositive), g.hSyncStart, g.hSyncEnd);
    wsprintfA(text[3], "Vertical %s Hz: total %d, display %d, blank %d-%d, sync %s %d-%d", frame, g.vTotal,
              g.vDisplay, g.vBlankStart, g.vBlankEnd, Polarity(g.vSyncPositive), g.vSyncStart, g.vSyncEnd);
    wsprintfA(text[4], "Picture %d pixels from the left edge, %d lines from the top", g.pictureLeft, g.pictureTop);
    if (Harm[0] != '\0')
        wsprintfA(text[5], "Harmed: %.100s", Harm);
    else
        wsprintfA(text[5], "Blue: picture   grey: border   black: blanking   red: sync");
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < 6; ++i)
        TextOutA(dc, RasterArea.left, TextTop + i * TextLineHeight, text[i], lstrlenA(text[i]));
}

// Drawn off screen and copied at once, so that a move never flickers.
void OnPaint(HWND window)
{
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    Fill(dc, 0, 0, client.right, client.bottom, BackgroundColour);
    SetBkMode(dc, OPAQUE);
    DrawRaster(dc);
    DrawNumbers(dc);
    BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    EndPaint(window, &paint);
    Drawn = Raster;
}

LRESULT CALLBACK MonitorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        TakeBoard(window);
        SetTimer(window, FollowTimer, FollowMilliseconds, 0);
        return 0;
    case WM_TIMER:
    case WM_DISPLAYCHANGE:
        TakeBoard(window);
        return 0;
    case WM_PAINT:
        OnPaint(window);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case MonitorQueryPicture:
        return MAKELRESULT(Drawn.pictureLeft, Drawn.pictureTop);
    case MonitorQueryTotals:
        return MAKELRESULT(Drawn.hTotal, Drawn.vTotal);
    case WM_DESTROY:
        KillTimer(window, FollowTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Beside the sheet, which opens at the left: the right edge of the work area.
HWND CreateMonitorWindow(HINSTANCE instance)
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = MonitorProc;
    cls.hInstance = instance;
    cls.hCursor = LoadCursorA(0, (LPCSTR)IDC_ARROW);
    cls.lpszClassName = BoardMonitorClass;
    RegisterClassA(&cls);
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = {0, 0, ClientWidth, ClientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    return CreateWindowA(BoardMonitorClass, "Board monitor", style, work.right - width, work.top, width, height, 0,
                         0, instance, 0);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HWND window = CreateMonitorWindow(instance);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageA(&msg, 0, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
