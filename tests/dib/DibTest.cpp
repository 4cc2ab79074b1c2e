// The logo painter on real windows: what reaches the screen, the block it
// builds from a file, and files it must survive.
#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>
#include "dib/Dib.h"
#include "tests/support/ImportPatch.h"

namespace {

const COLORREF White = RGB(255, 255, 255);

// A Windows bitmap file made to measure. pixel(x, y) gives the colour index
// (or the RGB colour at 24 bits) with y counted from the top of the picture.
struct BitmapFile {
    int width = 8;
    int height = 4;
    int bits = 8;
    std::vector<COLORREF> table;       // written as RGBQUADs
    DWORD clrUsed = 0;                 // as written into the header
    bool zeroSizeImage = false;
    DWORD gap = 0;                     // junk bytes between colour table and bits
    bool zeroOffBits = false;          // bfOffBits 0: bits follow the table
    std::function<DWORD(int, int)> pixel = [](int, int) { return 0u; };

    DWORD RowSize() const { return (DWORD)((bits * width + 31) / 32 * 4); }

    std::vector<BYTE> Bits() const
    {
        std::vector<BYTE> data;
        for (int row = height - 1; row >= 0; --row) {   // bottom row first
            std::vector<BYTE> line(RowSize(), 0);
            for (int x = 0; x < width; ++x) {
                DWORD value = pixel(x, row);
                if (bits == 24) {
                    line[3 * x] = GetBValue(value);
                    line[3 * x + 1] = GetGValue(value);
                    line[3 * x + 2] = GetRValue(value);
                } else {
                    int perByte = 8 / bits;
                    int shift = 8 - bits * (x % perByte + 1);
                    line[x / perByte] |= (BYTE)((value & ((1u << bits) - 1)) << shift);
                }
            }
            data.insert(data.end(), line.begin(), line.end());
        }
        return data;
    }

    std::vector<BYTE> Bytes() const
    {
        std::vector<BYTE> bitsData = Bits();
        DWORD tableSize = (DWORD)table.size() * 4;
        BITMAPFILEHEADER fileHeader = {};
        fileHeader.bfType = 0x4D42;
        fileHeader.bfOffBits = zeroOffBits ? 0 : 14 + 40 + tableSize + gap;
        fileHeader.bfSize = 14 + 40 + tableSize + gap + (DWORD)bitsData.size();
        BITMAPINFOHEADER info = {};
        info.biSize = 40;
        info.biWidth = width;
        info.biHeight = height;
        info.biPlanes = 1;
        info.biBitCount = (WORD)bits;
        info.biCompression = BI_RGB;
        info.biSizeImage = zeroSizeImage ? 0 : (DWORD)bitsData.size();
        info.biClrUsed = clrUsed;
        std::vector<BYTE> out(14 + 40);
        memcpy(out.data(), &fileHeader, 14);
        memcpy(out.data() + 14, &info, 40);
        for (COLORREF c : table) {
            BYTE quad[4] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
            out.insert(out.end(), quad, quad + 4);
        }
        for (DWORD i = 0; i < gap; ++i)
            out.push_back((BYTE)(0xA5 ^ i));   // junk the loader must skip
        out.insert(out.end(), bitsData.begin(), bitsData.end());
        return out;
    }
};

std::string TempPath(const char* name)
{
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

void WriteFileBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
    DWORD written = 0;
    if (!bytes.empty())
        WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(bytes.size(), written);
}

std::string WriteBitmap(const BitmapFile& bitmap, const char* name = "dibtest.bmp")
{
    std::string path = TempPath(name);
    WriteFileBytes(path, bitmap.Bytes());
    return path;
}

// The colours the pictures use, away from white and from each other.
const COLORREF Red = RGB(200, 30, 40);
const COLORREF Green = RGB(20, 160, 60);
const COLORREF Blue = RGB(30, 60, 210);
const COLORREF Yellow = RGB(230, 200, 20);

// An 8-bit picture 8 x 4: red top half, green bottom half, in a 256-colour
// table (biClrUsed 0) whose entry 0 is blue.
BitmapFile TwoBands()
{
    BitmapFile b;
    b.table.assign(256, RGB(90, 90, 90));
    b.table[0] = Blue;
    b.table[200] = Red;
    b.table[17] = Green;
    b.pixel = [](int, int y) { return y < 2 ? 200u : 17u; };
    return b;
}

// A window whose WM_PAINT paints one file into a percent rectangle.
struct PaintRequest {
    std::string file;
    int x, y, width, height;
};
PaintRequest Request;

LRESULT CALLBACK CanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PaintLogo(window, Request.file.c_str(), Request.x, Request.y, Request.width, Request.height);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

class Canvas {
public:
    Canvas(int width, int height)
    {
        static bool registered = false;
        if (!registered) {
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = CanvasProc;
            windowClass.hInstance = GetModuleHandleA(nullptr);
            windowClass.hbrBackground = (HBRUSH)GetStockObject(WHITE_BRUSH);
            windowClass.lpszClassName = "DibTestCanvas";
            RegisterClassA(&windowClass);
            registered = true;
        }
        window = CreateWindowExA(WS_EX_TOPMOST, "DibTestCanvas", "", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        Paint();
    }
    ~Canvas() { DestroyWindow(window); }

    // Paints file into the percent rectangle, through a real WM_PAINT.
    void Paint(const std::string& file, int x, int y, int width, int height)
    {
        Request = {file, x, y, width, height};
        Paint();
    }
    void Paint()
    {
        InvalidateRect(window, nullptr, TRUE);
        UpdateWindow(window);
    }

    COLORREF Pixel(int x, int y) const
    {
        HDC dc = GetDC(window);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(window, dc);
        return colour;
    }

    // "x,y=rrggbb" for each point, to compare a whole set at once.
    std::string Pixels(std::initializer_list<POINT> points) const
    {
        std::string out;
        for (POINT p : points) {
            char text[40];
            COLORREF c = Pixel(p.x, p.y);
            wsprintfA(text, "%d,%d=%02x%02x%02x ", p.x, p.y, GetRValue(c), GetGValue(c), GetBValue(c));
            out += text;
        }
        return out;
    }

    HWND window;
};

std::string Expect(std::initializer_list<std::pair<POINT, COLORREF>> points)
{
    std::string out;
    for (auto& p : points) {
        char text[40];
        wsprintfA(text, "%d,%d=%02x%02x%02x ", p.first.x, p.first.y, GetRValue(p.second), GetGValue(p.second),
                  GetBValue(p.second));
        out += text;
    }
    return out;
}

// The block LoadDibFile builds from a file.
struct Loaded {
    HGLOBAL block = nullptr;
    WORD bitsOffset = 0;
    BITMAPINFOHEADER header = {};
    SIZE_T size = 0;
    std::vector<BYTE> bytes;

    explicit Loaded(const std::string& file)
    {
        block = GlobalAlloc(GMEM_MOVEABLE, 1064);
        block = LoadDibFile(block, file.c_str(), &bitsOffset);
        size = GlobalSize(block);
        BYTE* start = (BYTE*)GlobalLock(block);
        bytes.assign(start, start + size);
        GlobalUnlock(block);
        if (size >= 40)
            memcpy(&header, bytes.data(), 40);
    }
    ~Loaded() { GlobalFree(block); }
    std::vector<BYTE> Bits() const
    {
        return std::vector<BYTE>(bytes.begin() + bitsOffset, bytes.begin() + bitsOffset + header.biSizeImage);
    }
};

// ---------------------------------------------------------------- painting

TEST(PaintLogo, PaintsAn8BitPictureIntoThePercentRectangle)
{
    Canvas canvas(400, 300);
    // 10 %, 20 %, 50 %, 40 % of 400 x 300: x 40, y 60, 200 x 120.
    canvas.Paint(WriteBitmap(TwoBands()), 10, 20, 50, 40);
    EXPECT_EQ(Expect({{{40, 60}, Red}, {{140, 100}, Red}, {{140, 160}, Green}, {{239, 179}, Green},
                      {{39, 100}, White}, {{240, 100}, White}, {{140, 59}, White}, {{140, 180}, White}}),
              canvas.Pixels({{40, 60}, {140, 100}, {140, 160}, {239, 179}, {39, 100}, {240, 100}, {140, 59}, {140, 180}}));
}

TEST(PaintLogo, PaintsA4BitPictureWithSixteenColours)
{
    // 101 pixels wide: odd, so the last byte of a row holds one pixel.
    BitmapFile b;
    b.bits = 4;
    b.width = 101;
    b.height = 10;
    b.clrUsed = 16;
    b.zeroSizeImage = true;
    b.table.assign(16, RGB(90, 90, 90));
    b.table[3] = Yellow;
    b.table[12] = Blue;
    b.pixel = [](int x, int) { return x < 50 ? 3u : 12u; };
    Canvas canvas(400, 300);
    canvas.Paint(WriteBitmap(b), 0, 0, 0, 0);   // own size: one pixel per pixel
    EXPECT_EQ(Expect({{{0, 0}, Yellow}, {{49, 5}, Yellow}, {{50, 5}, Blue}, {{100, 9}, Blue}, {{101, 5}, White},
                      {{50, 10}, White}}),
              canvas.Pixels({{0, 0}, {49, 5}, {50, 5}, {100, 9}, {101, 5}, {50, 10}}));
}

TEST(PaintLogo, PaintsA24BitPictureWithoutColourTable)
{
    BitmapFile b;
    b.bits = 24;
    b.width = 5;
    b.height = 3;
    b.pixel = [](int x, int) { return x < 2 ? (DWORD)Red : (DWORD)Blue; };
    Canvas canvas(200, 100);
    canvas.Paint(WriteBitmap(b), 0, 0, 0, 0);
    EXPECT_EQ(Expect({{{1, 1}, Red}, {{2, 1}, Blue}, {{4, 2}, Blue}, {{5, 1}, White}}),
              canvas.Pixels({{1, 1}, {2, 1}, {4, 2}, {5, 1}}));
}

TEST(PaintLogo, DestinationFollowsTheClientArea)
{
    std::string file = WriteBitmap(TwoBands());
    Canvas canvas(400, 300);

    // A width or a height of 0 % means the bitmap's own 8 x 4, at 40, 30.
    for (auto percents : {std::make_pair(0, 50), std::make_pair(50, 0)}) {
        canvas.Paint(file, 10, 10, percents.first, percents.second);
        EXPECT_EQ(Expect({{{40, 30}, Red}, {{47, 33}, Green}, {{48, 30}, White}, {{40, 34}, White}}),
                  canvas.Pixels({{40, 30}, {47, 33}, {48, 30}, {40, 34}}))
            << percents.first << " x " << percents.second;
    }

    // Wider or taller than the client area: exactly the client area.
    for (auto percents : {std::make_pair(150, 50), std::make_pair(50, 101)}) {
        canvas.Paint(file, 0, 0, percents.first, percents.second);
        EXPECT_EQ(Expect({{{0, 0}, Red}, {{399, 149}, Red}, {{399, 150}, Green}, {{0, 299}, Green}}),
                  canvas.Pixels({{0, 0}, {399, 149}, {399, 150}, {0, 299}}))
            << percents.first << " x " << percents.second;
    }
}

TEST(PaintLogo, PercentagesTruncate)
{
    // 333 x 300 with 47, 6, 47, 34: x 156 (156.51), y 18, 156 x 102.
    Canvas canvas(333, 300);
    canvas.Paint(WriteBitmap(TwoBands()), 47, 6, 47, 34);
    EXPECT_EQ(Expect({{{155, 60}, White}, {{156, 60}, Red}, {{311, 60}, Red}, {{312, 60}, White},
                      {{200, 17}, White}, {{200, 18}, Red}, {{200, 119}, Green}, {{200, 120}, White}}),
              canvas.Pixels({{155, 60}, {156, 60}, {311, 60}, {312, 60}, {200, 17}, {200, 18}, {200, 119}, {200, 120}}));
}

TEST(PaintLogo, ATruncatedFilePaintsWhatWasRead)
{
    // Rows are stored bottom first: cut after the two green rows, the red
    // half was never read and shows colour 0 (blue).
    std::vector<BYTE> bytes = TwoBands().Bytes();
    bytes.resize(bytes.size() - 2 * 8);
    std::string file = TempPath("dibtest-cut.bmp");
    WriteFileBytes(file, bytes);
    Canvas canvas(200, 100);
    canvas.Paint(file, 0, 0, 0, 0);
    EXPECT_EQ(Expect({{{0, 0}, Blue}, {{7, 1}, Blue}, {{0, 2}, Green}, {{7, 3}, Green}, {{8, 0}, White}}),
              canvas.Pixels({{0, 0}, {7, 1}, {0, 2}, {7, 3}, {8, 0}}));
}

// What the painter refuses paints nothing, and the paint still ends.
TEST(PaintLogo, UnsupportedFilesPaintNothing)
{
    struct Case {
        const char* name;
        std::function<void(std::vector<BYTE>&)> spoil;
    };
    auto info = [](std::vector<BYTE>& f) { return (BITMAPINFOHEADER*)(f.data() + 14); };
    const Case cases[] = {
        {"not a bitmap", [](std::vector<BYTE>& f) { std::string text = "[Version]\r\nSignature=$Chicago$\r\n";
                                                    text += text + text;
                                                    f.assign(text.begin(), text.end()); }},
        {"empty", [](std::vector<BYTE>& f) { f.clear(); }},
        {"header cut", [](std::vector<BYTE>& f) { f.resize(30); }},
        {"core header", [&](std::vector<BYTE>& f) { info(f)->biSize = 12; }},
        {"version 5 header", [&](std::vector<BYTE>& f) { info(f)->biSize = 124; }},
        {"16 bits", [&](std::vector<BYTE>& f) { info(f)->biBitCount = 16; }},
        {"32 bits", [&](std::vector<BYTE>& f) { info(f)->biBitCount = 32; }},
        {"0 bits", [&](std::vector<BYTE>& f) { info(f)->biBitCount = 0; }},
        {"run-length", [&](std::vector<BYTE>& f) { info(f)->biCompression = BI_RLE8; }},
        {"top-down", [&](std::vector<BYTE>& f) { info(f)->biHeight = -4; }},
        {"no width", [&](std::vector<BYTE>& f) { info(f)->biWidth = 0; }},
        {"negative width", [&](std::vector<BYTE>& f) { info(f)->biWidth = -8; }},
        {"width 65536", [&](std::vector<BYTE>& f) { info(f)->biWidth = 65536; }},
        {"huge picture", [&](std::vector<BYTE>& f) { info(f)->biWidth = 60000; info(f)->biHeight = 60000; }},
        {"300 colours", [&](std::vector<BYTE>& f) { info(f)->biClrUsed = 300; }},
    };
    Canvas canvas(100, 60);
    for (const Case& c : cases) {
        std::vector<BYTE> bytes = TwoBands().Bytes();
        c.spoil(bytes);
        std::string file = TempPath("dibtest-bad.bmp");
        WriteFileBytes(file, bytes);
        Loaded loaded(file);
        EXPECT_EQ(0, loaded.bitsOffset) << c.name;
        canvas.Paint(file, 0, 0, 0, 0);
        EXPECT_EQ(White, canvas.Pixel(0, 0)) << c.name;
        EXPECT_FALSE(GetUpdateRect(canvas.window, nullptr, FALSE)) << c.name << ": the paint did not end";
    }
    Request.file = TempPath("no such logo.bmp");
    canvas.Paint();
    EXPECT_EQ(White, canvas.Pixel(0, 0)) << "missing file";
    EXPECT_FALSE(GetUpdateRect(canvas.window, nullptr, FALSE)) << "missing file";
}

// ---------------------------------------------------------------- memory

HGLOBAL WINAPI NoGlobalAlloc(UINT, SIZE_T) { return nullptr; }
HGLOBAL WINAPI NoGlobalReAlloc(HGLOBAL, SIZE_T, UINT) { return nullptr; }
HLOCAL WINAPI NoLocalAlloc(UINT, SIZE_T) { return nullptr; }

TEST(PaintLogo, WithoutMemoryThePaintEndsQuietly)
{
    std::string file = WriteBitmap(TwoBands());
    Canvas canvas(100, 60);
    for (auto patch : {std::make_pair("GlobalAlloc", (void*)NoGlobalAlloc),
                       std::make_pair("GlobalReAlloc", (void*)NoGlobalReAlloc)}) {
        ImportPatch failing("kernel32.dll", patch.first, patch.second);
        ASSERT_TRUE(failing.Applied()) << patch.first;
        canvas.Paint(file, 0, 0, 0, 0);
        EXPECT_EQ(White, canvas.Pixel(0, 0)) << patch.first;
        EXPECT_FALSE(GetUpdateRect(canvas.window, nullptr, FALSE)) << patch.first << ": the paint did not end";
    }
    // Without the palette's description the picture is drawn all the same.
    ImportPatch failing("kernel32.dll", "LocalAlloc", (void*)NoLocalAlloc);
    ASSERT_TRUE(failing.Applied());
    canvas.Paint(file, 0, 0, 0, 0);
    EXPECT_EQ(Expect({{{0, 0}, Red}, {{7, 3}, Green}}), canvas.Pixels({{0, 0}, {7, 3}}));
}

// ---------------------------------------------------------------- the block

TEST(LoadDibFile, FillsInColourCountAndImageSize)
{
    {   // 8 bits, biClrUsed 0: 256 colours, bits at 40 + 1024.
        Loaded loaded(WriteBitmap(TwoBands()));
        EXPECT_EQ(1064, loaded.bitsOffset);
        EXPECT_EQ(256u, loaded.header.biClrUsed);
        EXPECT_EQ(32u, loaded.header.biSizeImage);
        EXPECT_EQ(1064u + 32u, loaded.size);
        EXPECT_EQ(std::vector<BYTE>({0x28, 0x1E, 0xC8, 0}),   // entry 200: Red as blue, green, red, 0
                  std::vector<BYTE>(loaded.bytes.begin() + 40 + 4 * 200, loaded.bytes.begin() + 40 + 4 * 201));
        EXPECT_EQ(TwoBands().Bits(), loaded.Bits());
    }
    {   // biClrUsed 16: 16 entries read, bits at 104.
        BitmapFile b = TwoBands();
        b.table.resize(16);
        b.clrUsed = 16;
        b.pixel = [](int, int y) { return y < 2 ? 5u : 9u; };
        Loaded loaded(WriteBitmap(b));
        EXPECT_EQ(104, loaded.bitsOffset);
        EXPECT_EQ(16u, loaded.header.biClrUsed);
        EXPECT_EQ(b.Bits(), loaded.Bits());
    }
    {   // 4 bits, 101 x 10, biSizeImage 0: (404 + 31) / 32 * 4 = 52 bytes a row.
        BitmapFile b;
        b.bits = 4;
        b.width = 101;
        b.height = 10;
        b.table.assign(16, Blue);
        b.zeroSizeImage = true;
        b.pixel = [](int x, int y) { return (DWORD)(x + y) % 16; };
        Loaded loaded(WriteBitmap(b));
        EXPECT_EQ(520u, loaded.header.biSizeImage);
        EXPECT_EQ(104, loaded.bitsOffset);
        EXPECT_EQ(b.Bits(), loaded.Bits());
    }
}

TEST(LoadDibFile, FindsTheBitsByOffsetOrAfterTheColourTable)
{
    BitmapFile b = TwoBands();
    b.pixel = [](int x, int y) { return (DWORD)(x * 16 + y); };
    {   // bfOffBits 0: the bits right after the table.
        b.zeroOffBits = true;
        Loaded loaded(WriteBitmap(b));
        EXPECT_EQ(b.Bits(), loaded.Bits());
    }
    {   // bfOffBits past 37 bytes of junk after the table.
        b.zeroOffBits = false;
        b.gap = 37;
        Loaded loaded(WriteBitmap(b));
        EXPECT_EQ(b.Bits(), loaded.Bits());
    }
}

TEST(CreateDibPalette, TakesRedGreenBlueFromTheColourTable)
{
    BYTE block[40 + 8] = {};
    auto header = (BITMAPINFOHEADER*)block;
    header->biSize = 40;
    header->biClrUsed = 2;
    const BYTE table[8] = {1, 2, 3, 99, 250, 128, 7, 1};   // blue, green, red, reserved
    memcpy(block + 40, table, sizeof table);
    HPALETTE palette = CreateDibPalette(block);
    ASSERT_NE(nullptr, palette);
    PALETTEENTRY entries[3] = {};
    EXPECT_EQ(2u, GetPaletteEntries(palette, 0, 3, entries));
    EXPECT_EQ(std::vector<int>({3, 2, 1, 0, 7, 128, 250, 0}),
              std::vector<int>({entries[0].peRed, entries[0].peGreen, entries[0].peBlue, entries[0].peFlags,
                                entries[1].peRed, entries[1].peGreen, entries[1].peBlue, entries[1].peFlags}));
    DeleteObject(palette);
}

// ---------------------------------------------------------------- pieces

std::vector<UINT> Reads;
decltype(&_lread) RealRead;

UINT WINAPI CountingRead(HFILE file, LPVOID buffer, UINT count)
{
    Reads.push_back(count);
    return RealRead(file, buffer, count);
}

// Asks ReadInPieces for count bytes of a file holding size bytes 0, 1, 2 ...
DWORD ReadFromFileOf(DWORD size, DWORD count, std::vector<BYTE>* arrived)
{
    std::vector<BYTE> content(size);
    for (DWORD i = 0; i < size; ++i)
        content[i] = (BYTE)(i * 7 + i / 251);
    std::string path = TempPath("dibtest-pieces.bin");
    WriteFileBytes(path, content);
    OFSTRUCT place;
    HFILE file = OpenFile(path.c_str(), &place, OF_READ);
    arrived->assign(count, 0xEE);
    ImportPatch counting("kernel32.dll", "_lread", (void*)CountingRead);
    RealRead = (decltype(&_lread))counting.Original();
    Reads.clear();
    DWORD result = ReadInPieces(file, arrived->data(), count);
    _lclose(file);
    arrived->resize(std::min(size, count));
    EXPECT_EQ(std::vector<BYTE>(content.begin(), content.begin() + arrived->size()), *arrived);
    return result;
}

TEST(ReadInPieces, ReadsPiecesOf32000Bytes)
{
    std::vector<BYTE> arrived;
    EXPECT_EQ(70000u, ReadFromFileOf(70000, 70000, &arrived));
    EXPECT_EQ(std::vector<UINT>({32000, 32000, 6000}), Reads);

    EXPECT_EQ(64000u, ReadFromFileOf(64000, 64000, &arrived));
    EXPECT_EQ(std::vector<UINT>({32000, 32000}), Reads);

    // A short piece ends the read at once, with 0.
    EXPECT_EQ(0u, ReadFromFileOf(50000, 70000, &arrived));
    EXPECT_EQ(std::vector<UINT>({32000, 32000}), Reads);

    // A short rest, too.
    EXPECT_EQ(0u, ReadFromFileOf(69999, 70000, &arrived));
    EXPECT_EQ(std::vector<UINT>({32000, 32000, 6000}), Reads);
}

// ---------------------------------------------------------------- damaged files

// Damages a good bitmap file the ways files get damaged: cut short, bits
// flipped, header fields set to extremes, or replaced by noise.
std::vector<BYTE> Mutate(std::vector<BYTE> file, std::mt19937& random)
{
    auto pick = [&](int n) { return (int)(random() % (unsigned)n); };
    static const DWORD extremes[] = {0, 1, 2, 15, 16, 17, 255, 256, 257, 1063, 1064, 32000, 32768, 65535, 65536,
                                     0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFFFE, 0x10010, 0x00FF00FF};
    // Offsets of the header fields: bfOffBits, then biSize ... biClrUsed.
    static const int fields[] = {10, 14, 18, 22, 28, 30, 34, 46};
    int rounds = 1 + pick(3);
    for (int round = 0; round < rounds; ++round) {
        switch (pick(6)) {
        case 0:
            file.resize(pick((int)file.size() + 1));
            break;
        case 1:
            for (int flips = 1 + pick(8); flips > 0 && !file.empty(); --flips)
                file[pick((int)file.size())] ^= (BYTE)(1 << pick(8));
            break;
        case 2:
        case 3: {
            int at = fields[pick(8)];
            DWORD value = extremes[pick(sizeof extremes / sizeof extremes[0])];
            int width = (at == 28) ? 2 : 4;   // biBitCount is a WORD
            if (at + width <= (int)file.size())
                memcpy(file.data() + at, &value, width);
            break;
        }
        case 4: {
            static const WORD counts[] = {1, 4, 8, 24, 16, 32, 0, 2, 3};
            if (file.size() >= 30)
                memcpy(file.data() + 28, &counts[pick(9)], 2);
            break;
        }
        default:
            if (pick(10) == 0) {
                file.resize(pick(2000));
                for (BYTE& b : file)
                    b = (BYTE)random();
            } else if (file.size() > 54) {
                file[54 + pick((int)file.size() - 54)] = (BYTE)random();
            }
            break;
        }
    }
    return file;
}

TEST(PaintLogo, SurvivesTenThousandDamagedFiles)
{
    std::vector<std::vector<BYTE>> originals;
    for (int bits : {1, 4, 8, 24}) {
        BitmapFile b;
        b.bits = bits;
        b.width = 13 + bits;
        b.height = 9;
        if (bits != 24)
            b.table.assign((size_t)1 << bits, Green);
        b.pixel = [bits](int x, int y) { return bits == 24 ? (DWORD)RGB(x * 9, y * 20, 77) : (DWORD)(x ^ y); };
        originals.push_back(b.Bytes());
        b.clrUsed = bits == 24 ? 0 : 2;
        b.table.resize(b.clrUsed);
        b.zeroSizeImage = true;
        b.zeroOffBits = true;
        originals.push_back(b.Bytes());
    }
    std::mt19937 random(20240601);
    std::string file = TempPath("dibtest-damaged.bmp");
    Canvas canvas(64, 48);
    int drawn = 0;
    const int runs = 10000;
    for (int run = 0; run < runs; ++run) {
        std::vector<BYTE> bytes = Mutate(originals[run % originals.size()], random);
        WriteFileBytes(file, bytes);
        {
            Loaded loaded(file);
            if (loaded.bitsOffset != 0) {
                ++drawn;
                // Whatever the file said, what will be drawn lies in the block.
                ASSERT_LE(40u + 4u * loaded.header.biClrUsed, loaded.bitsOffset) << "run " << run;
                ASSERT_LE(loaded.bitsOffset + (SIZE_T)loaded.header.biSizeImage, loaded.size) << "run " << run;
            }
        }
        canvas.Paint(file, (int)(random() % 120) - 10, (int)(random() % 120) - 10, (int)(random() % 160) - 10,
                     (int)(random() % 160) - 10);
        ASSERT_FALSE(GetUpdateRect(canvas.window, nullptr, FALSE)) << "run " << run << ": the paint did not end";
    }
    // The damage leaves a fair share of files drawable, so drawing was exercised too.
    EXPECT_GT(drawn, runs / 10);
    EXPECT_LT(drawn, runs);
}

} // namespace
