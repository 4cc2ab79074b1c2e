// The logo painter.
//
// Every paint reads the whole file into one movable block laid out as the
// drawing call wants it: the info header, the colour table, then the pixel
// bits. Nothing in the file is trusted: a header this painter does not
// support leaves the paint empty, a short file leaves the unread part of the
// picture black, and no read or draw ever leaves the block.
#include "dib/Dib.h"

namespace {

const DWORD InfoHeaderSize = sizeof(BITMAPINFOHEADER);   // 40
const DWORD FirstBlockSize = InfoHeaderSize + 256 * sizeof(RGBQUAD);
const DWORD PieceSize = 32000;
// A logo is a few hundred kilobytes at most; a damaged header can ask for
// gigabytes, which are neither allocated nor drawn.
const DWORD MaxImageSize = 16 * 1024 * 1024;

// What a supported header describes: the colour table's entries and the
// size of the bottom-up pixel rows, each padded to a multiple of 4 bytes.
struct DibShape {
    WORD colours;
    DWORD imageSize;
};

// Bitmaps drawn: a 40-byte header, uncompressed, 1, 4, 8 or 24 bits per
// pixel, width and height from 1 to 65535, a colour table no longer than the
// bit count can index (up to 256 entries of optimisation palette at 24 bits).
bool ReadShape(const BITMAPINFOHEADER* header, DibShape* shape)
{
    if (header->biSize != InfoHeaderSize || header->biCompression != BI_RGB)
        return false;
    if (header->biWidth <= 0 || header->biWidth > 0xFFFF || header->biHeight <= 0 || header->biHeight > 0xFFFF)
        return false;
    WORD bits = header->biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
        return false;
    DWORD indexable = bits == 24 ? 256 : 1u << bits;
    WORD colours = LOWORD(header->biClrUsed);
    if (colours == 0 && bits != 24)
        colours = (WORD)indexable;
    if (colours > indexable)
        return false;
    DWORD rowSize = (bits * (DWORD)header->biWidth + 31) / 32 * 4;
    if (rowSize > MaxImageSize / (DWORD)header->biHeight)
        return false;
    shape->colours = colours;
    shape->imageSize = rowSize * (DWORD)header->biHeight;
    return true;
}

// Reads the headers, the colour table and the bits of an open file into
// block; the result is the block to use from then on.
HGLOBAL ReadDib(HFILE file, HGLOBAL block, WORD* bitsOffset)
{
    BITMAPFILEHEADER fileHeader;
    BITMAPINFOHEADER header;
    DibShape shape;
    if (_lread(file, &fileHeader, sizeof fileHeader) != sizeof fileHeader
        || _lread(file, &header, sizeof header) != sizeof header || !ReadShape(&header, &shape))
        return block;

    // The drawing call reads these two fields, so they describe the block.
    header.biClrUsed = shape.colours;
    header.biSizeImage = shape.imageSize;
    DWORD tableSize = shape.colours * sizeof(RGBQUAD);
    WORD offset = (WORD)(InfoHeaderSize + tableSize);
    HGLOBAL resized = GlobalReAlloc(block, offset + shape.imageSize, GMEM_ZEROINIT);
    if (resized == 0)
        return block;
    BYTE* start = (BYTE*)GlobalLock(resized);
    if (start == 0)
        return resized;

    *(BITMAPINFOHEADER*)start = header;
    _lread(file, start + InfoHeaderSize, tableSize);
    // Without an offset the bits follow the colour table.
    LONG bitsAt = (LONG)fileHeader.bfOffBits;
    if (fileHeader.bfOffBits == 0 || (bitsAt > 0 && _llseek(file, bitsAt, 0) == bitsAt))
        ReadInPieces(file, start + offset, shape.imageSize);
    *bitsOffset = offset;
    GlobalUnlock(resized);
    return resized;
}

// A locked block that LoadDibFile filled: the header supported, the colour
// table before bitsOffset and the bits inside the block.
bool IsDrawable(const BYTE* start, SIZE_T blockSize, WORD bitsOffset)
{
    const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)start;
    DibShape shape;
    if (blockSize < InfoHeaderSize || !ReadShape(header, &shape) || HIWORD(header->biClrUsed) != 0)
        return false;
    return bitsOffset >= InfoHeaderSize + shape.colours * sizeof(RGBQUAD)
        && bitsOffset <= blockSize && shape.imageSize <= blockSize - bitsOffset;
}

// Draws the bits with the bitmap's own palette; returns that palette, which
// the caller releases once the paint has ended.
HPALETTE DrawBits(HWND window, HDC dc, const BYTE* start, WORD bitsOffset, int x, int y, int width, int height)
{
    const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)start;
    HPALETTE palette = CreateDibPalette(start);
    HPALETTE previous = 0;
    if (palette != 0) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }

    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    if (width <= 0 || height <= 0) {
        width = header->biWidth;
        height = header->biHeight;
    }
    // Too large for the window: fill the client area, proportions or not.
    if (client.right < width || client.bottom < height) {
        width = client.right;
        height = client.bottom;
    }
    StretchDIBits(dc, x, y, width, height, 0, 0, LOWORD(header->biWidth), LOWORD(header->biHeight),
                  start + bitsOffset, (const BITMAPINFO*)start, DIB_RGB_COLORS, SRCCOPY);

    if (palette != 0)
        SelectPalette(dc, previous, FALSE);
    return palette;
}

// extent x percent / 100, truncated, as the double product with 0.01 gives it.
int PercentOf(LONG extent, int percent)
{
    double value = (double)extent * percent * 0.01;
    if (value >= 2147483647.0)
        return 0x7FFFFFFF;
    if (value <= -2147483648.0)
        return -0x7FFFFFFF - 1;
    return (int)value;
}

} // namespace

void PaintLogo(HWND window, const char* fileName, int xPercent, int yPercent, int widthPercent, int heightPercent)
{
    RECT client = {0, 0, 0, 0};
    GetClientRect(window, &client);
    int x = PercentOf(client.right, xPercent);
    int width = PercentOf(client.right, widthPercent);
    int height = PercentOf(client.bottom, heightPercent);
    int y = PercentOf(client.bottom, yPercent);

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, FirstBlockSize);
    WORD bitsOffset = 0;
    if (block != 0)
        block = LoadDibFile(block, fileName, &bitsOffset);
    // Even without a picture the paint must begin and end, or WM_PAINT repeats.
    DrawDib(window, block, bitsOffset, x, y, width, height);
    if (block != 0)
        GlobalFree(block);
}

HGLOBAL LoadDibFile(HGLOBAL block, const char* fileName, WORD* bitsOffset)
{
    *bitsOffset = 0;
    OFSTRUCT place;
    HFILE file = OpenFile(fileName, &place, OF_READ);
    if (file == HFILE_ERROR)
        return block;
    block = ReadDib(file, block, bitsOffset);
    _lclose(file);
    return block;
}

DWORD ReadInPieces(HFILE file, BYTE* destination, DWORD count)
{
    DWORD left = count;
    while (left > PieceSize) {
        if (_lread(file, destination, PieceSize) != PieceSize)
            return 0;
        destination += PieceSize;
        left -= PieceSize;
    }
    return _lread(file, destination, left) == left ? count : 0;
}

HPALETTE CreateDibPalette(const BYTE* lockedBlock)
{
    const BITMAPINFOHEADER* header = (const BITMAPINFOHEADER*)lockedBlock;
    WORD count = LOWORD(header->biClrUsed);
    // A bitmap without a colour table keeps the device context's default palette.
    if (count == 0)
        return 0;
    LOGPALETTE* description =
        (LOGPALETTE*)LocalAlloc(LMEM_FIXED, sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    if (description == 0)
        return 0;
    description->palVersion = 0x300;
    description->palNumEntries = count;
    const RGBQUAD* table = (const RGBQUAD*)(lockedBlock + LOWORD(header->biSize));
    PALETTEENTRY* entries = description->palPalEntry;
    for (WORD i = 0; i < count; ++i) {
        entries[i].peRed = table[i].rgbRed;
        entries[i].peGreen = table[i].rgbGreen;
        entries[i].peBlue = table[i].rgbBlue;
        entries[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(description);
    LocalFree(description);
    return palette;
}

void DrawDib(HWND window, HGLOBAL block, WORD bitsOffset, int x, int y, int width, int height)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HPALETTE palette = 0;
    const BYTE* start = block != 0 ? (const BYTE*)GlobalLock(block) : 0;
    if (start != 0) {
        if (dc != 0 && IsDrawable(start, GlobalSize(block), bitsOffset))
            palette = DrawBits(window, dc, start, bitsOffset, x, y, width, height);
        GlobalUnlock(block);
    }
    EndPaint(window, &paint);
    if (palette != 0)
        DeleteObject(palette);
}
