// What the board monitor's window shows and answers to other programs (the
// demo's replay finds the picture in a screenshot by these colours).
#pragma once
#include <windows.h>

#define BoardMonitorClass "GlimoraBoardMonitor"

enum {
    // Both answer MAKELRESULT(horizontal, vertical) of the raster last drawn:
    // where the picture sits (pixels from the left edge, lines from the top),
    // and the totals.
    MonitorQueryPicture = WM_APP + 1,
    MonitorQueryTotals = WM_APP + 2
};

// The picture's fill and the one-pixel frame drawn around the whole raster;
// a garbled picture is noise of another colour.
const COLORREF MonitorPictureColour = RGB(48, 112, 208);
const COLORREF MonitorGarbledColour = RGB(208, 48, 176);
const COLORREF MonitorFrameColour = RGB(255, 208, 0);
