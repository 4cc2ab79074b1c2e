// The raster a monitor receives from the S3 CRT controller: totals, display,
// blanking and sync in pixels and lines, the rates, the sync polarities and
// where the picture lands on the tube. Decoded from register contents alone,
// the same way in every mode, the S3 overflow registers included (they are 0
// where the BIOS leaves them so).
#pragma once
#include <windows.h>

// Dot clocks a pixel takes at a colour depth: the Trio64 clocks 15 and 16
// bits per pixel twice and packed 24 bits three times through its 8-bit DAC.
inline int DotClocksPerPixel(int bitsPerPixel)
{
    if (bitsPerPixel == 15 || bitsPerPixel == 16)
        return 2;
    return bitsPerPixel == 24 ? 3 : 1;
}

// Horizontal values are pixels, vertical ones lines, counted from the first
// displayed pixel (line) as the controller counts. An end is the first
// position past its interval; it can lie beyond the total when the interval
// wraps into the next line (frame).
struct RasterGeometry {
    int hTotal, hDisplay, hBlankStart, hBlankEnd, hSyncStart, hSyncEnd;
    int vTotal, vDisplay, vBlankStart, vBlankEnd, vSyncStart, vSyncEnd;
    int dotClocksPerPixel;
    LONG dotClock;          // kHz, as the controller is clocked
    LONG pixelClock;        // kHz
    LONG lineRate;          // Hz
    LONG frameRate;         // thousandths of a hertz
    bool hSyncPositive, vSyncPositive;
    // On the tube a line starts when the horizontal sync ends (the beam is
    // back at the left edge) and a frame when the vertical sync ends: the
    // picture sits that far from the left edge and the top.
    int pictureLeft, pictureTop;
};

// crtc: CR00 to CR7F; miscOutput: the miscellaneous output register (sync
// polarities); dotClock in kHz.
void DecodeRaster(const BYTE* crtc, BYTE miscOutput, int bitsPerPixel, LONG dotClock, RasterGeometry* raster);
