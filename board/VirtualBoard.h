// The virtual display board: an S3 Trio64 (PCI 5333:8811) unless a reset
// makes it a board of another chip. The CRT controller register file behind
// 3D4h/3D5h with the chip's index latch and locks, the miscellaneous output
// register, the current mode and its standard timings, counters of port
// accesses and mode requests, and a log of the port writes. Its state lives
// in a file-backed shared mapping in the Windows directory, so every process
// of the machine sees the same board, as it would see the same hardware, and
// the board keeps its state between programs.
#pragma once
#include <windows.h>

enum {
    VirtualRegisterCount = 256,     // an 8-bit index's worth; the Trio64 latches 7 bits, others 8 or 6
    VirtualWriteLogCapacity = 1024  // port writes the log keeps, the latest
};

// The chips a board can have. Every one is timed as the Trio64 is (the same
// registers CR00 to CR18, dot clocks and modes); they differ in what the
// ports reach beyond the standard VGA registers.
enum VirtualChip {
    VirtualTrio64,     // S3 Trio64: 7-bit index, the S3 locks CR38/CR39, CR30 reads FFh while both
                       // are closed, identity CR2D/CR2E/CR2F/CR30 = 88h 11h 00h E1h
    VirtualTgui9440,   // Trident TGUI9440-like: 8-bit index, no S3 locks; CR38 is the pixel bus (a
                       // value other than the depth's garbles the picture), CR39 bit 0 memory-mapped I/O
    VirtualSixBit,     // a chip that decodes six index bits (Cirrus before the GD5446, Tseng ET4000,
                       // old Trident): 5Dh lands on 1Dh, 5Eh on 1Eh, display start and interlace bits
    VirtualChipCount
};

// One port write: the port, the value and, for a write to the data port, the
// CRT controller register it went to.
struct VirtualPortWrite {
    WORD port;
    BYTE value;
    BYTE index;
};

struct VirtualBoardState {
    DWORD signature;
    LONG chip;                           // VirtualChip
    BYTE index;                          // latched CRT controller index
    BYTE miscOutput;                     // written at 3C2h, read at 3CCh: clock select, sync polarities
    BYTE crtc[VirtualRegisterCount];
    // The other chips' own overflow bits (they keep them in registers of their
    // own), in the layout of the S3's CR5D and CR5E; no port reaches them here.
    BYTE ownOverflow[2];
    LONG width, height, bitsPerPixel, refresh;
    LONG portReads, portWrites, modeRequests;
    LONG lastWidth, lastHeight, lastBitsPerPixel, lastRefresh, lastResult;
    // The n-th port write since the reset (n from 0, portWrites of them in
    // all) sits at n % VirtualWriteLogCapacity while it is among the latest.
    VirtualPortWrite writeLog[VirtualWriteLogCapacity];
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

// A fresh board of the chip in the mode at 60 Hz: registers as the BIOS or
// driver leaves them, counters and log empty.
void VirtualBoardReset(int width, int height, int bitsPerPixel, int chip = VirtualTrio64);

// A copy of the board's state.
void VirtualBoardRead(VirtualBoardState* state);

// The chip's name as BoardReport takes and prints it ("trio64", "tgui9440",
// "sixbit"), and the chip of a name (-1 for none).
const char* VirtualChipName(int chip);
int VirtualChipOfName(const char* name);

// The register file of a chip as the BIOS or the driver leaves it in a mode
// (refresh as the board runs it, 60 for the default).
void VirtualModeRegisters(int chip, int width, int height, int bitsPerPixel, int refresh, BYTE* registers);

// The registers as the raster decoder reads them: the S3 layout, the other
// chips' own overflow bits standing in CR5D and CR5E.
void VirtualTimingRegisters(const VirtualBoardState& state, BYTE* registers);

// What wrong writes have done to the board, as its monitor and its bus would
// show it: one sentence for each harm into text ("" when none), cut to
// capacity. True when the picture is garbled.
bool VirtualBoardHarm(const VirtualBoardState& state, char* text, int capacity);

// The n-th port write since the reset; false when it is not in the log (not
// made yet, or pushed out by later ones).
bool VirtualLoggedWrite(const VirtualBoardState& state, LONG n, VirtualPortWrite* write);

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
