// The logo painter: a bitmap file loaded anew on every paint and drawn with
// its own palette into a rectangle given in percent of the client area.
#pragma once
#include <windows.h>

// Paints fileName into window for the current WM_PAINT (calls BeginPaint and
// EndPaint itself). The rectangle is in hundredths of the client area.
void PaintLogo(HWND window, const char* fileName, int xPercent, int yPercent,
               int widthPercent, int heightPercent);

// Reads the bitmap into block (resized as needed). Returns the block to use
// from then on and the offset of the pixel bits in *bitsOffset, which stays 0
// when the file can't be opened, is no bitmap this painter supports, or the
// memory for it can't be had.
HGLOBAL LoadDibFile(HGLOBAL block, const char* fileName, WORD* bitsOffset);

// Reads count bytes in pieces of 32000; count when all arrived, else 0.
DWORD ReadInPieces(HFILE file, BYTE* destination, DWORD count);

// A logical palette from the colour table of a locked block, or 0.
HPALETTE CreateDibPalette(const BYTE* lockedBlock);

// Draws the block into window at x, y, width, height (client pixels), with
// BeginPaint and EndPaint around it; a block that LoadDibFile left without a
// picture (bitsOffset 0) only ends the paint.
void DrawDib(HWND window, HGLOBAL block, WORD bitsOffset, int x, int y, int width, int height);
