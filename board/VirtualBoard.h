// The virtual S3 board (Trio64, PCI 5333:8811): the CRT controller register
// file behind 3D4h/3D5h with its locks, the miscellaneous output register,
// the current mode and its standard timings, and counters of port accesses
// and mode requests. Its state lives in a file-backed shared mapping in the
// Windows directory, so every process of the machine sees the same board, as
// it would see the same hardware, and the board keeps its state between
// programs.
#pragma once
#include <windows.h>

enum { VirtualRegisterCount = 128 };   // Trio64 latches 7 index bits

struct VirtualBoardState {
    DWORD signature;
    WORD deviceId;
    BYTE index;                          // latched CRT controller index
    BYTE miscOutput;                     // written at 3C2h, read at 3CCh: clock select, sync polarities
    BYTE crtc[VirtualRegisterCount];
    LONG width, height, bitsPerPixel, refresh;
    LONG portReads, portWrites, modeRequests;
    LONG lastWidth, lastHeight, lastBitsPerPixel, lastRefresh, lastResult;
};

BYTE VirtualPortIn(WORD port);
void VirtualPortOut(WORD port, BYTE value);

// True when the board answers the port that way: 3D4h and 3D5h both ways,
// 3C2h written, 3CCh read. Any other port reads FFh and drops what is written,
// as no device decodes it.
bool VirtualPortServed(WORD port, bool write);
void VirtualScreenSize(int* width, int* height);

// A mode request as a driver would take it; bitsPerPixel 0 keeps the depth,
// refresh 0 or 1 means the board's default rate (60 Hz). A refused request
// (DISP_CHANGE_BADMODE) changes nothing but the counters; an accepted one
// reprograms the timings and sends WM_DISPLAYCHANGE to the top-level windows.
LONG VirtualRequestMode(int width, int height, int bitsPerPixel, int refresh);

// True when the board can drive the mode.
bool VirtualModeSupported(int width, int height, int bitsPerPixel, int refresh);

// A fresh board in the mode at 60 Hz: registers as the BIOS or driver leaves
// them, counters zero.
void VirtualBoardReset(int width, int height, int bitsPerPixel);

// A copy of the board's state.
void VirtualBoardRead(VirtualBoardState* state);

// The dot clock (DCLK) in kHz that the board runs: the fixed VGA clock the
// miscellaneous output register selects, or with the programmable clock
// selected, the clock the driver programs for the mode (the board models no
// clock synthesizer registers): the mode's pixel clock times the dot clocks
// a pixel at its colour depth.
long VirtualDotClock(const VirtualBoardState& state);

// Test hook: when set, sees every port access this process makes through the
// board, after the board has handled it (write true for an output). Null by
// default; only test programs set it.
typedef void (*VirtualPortWatcher)(WORD port, BYTE value, bool write);
void WatchVirtualPorts(VirtualPortWatcher watcher);
