// The hardware seam: the only way the deliverables reach the display adapter.
//
// On the Windows 9x family (and never under Wine) these go to the real board:
// x86 in/out on the VGA ports, GetDeviceCaps and ChangeDisplaySettingsA.
// Everywhere else they go to the virtual S3 board (board/VirtualBoard.h),
// because a privileged port instruction would kill an NT-family process.
#pragma once
#include <windows.h>

// One byte from an I/O port.
BYTE BoardPortIn(WORD port);

// One byte to an I/O port.
void BoardPortOut(WORD port, BYTE value);

// The screen's current size in pixels (GetDeviceCaps HORZRES / VERTRES of the
// active window's device context on real hardware).
void BoardScreenSize(int* width, int* height);

// Asks for width x height at refresh Hz, colour depth unchanged, at once and in
// memory only (ChangeDisplaySettingsA flags 0). Returns DISP_CHANGE_*.
LONG BoardRequestMode(int width, int height, int refresh);

