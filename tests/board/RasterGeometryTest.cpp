// The standard modes as the board runs them: every mode at every depth the
// board offers, requested through the hardware seam, its registers decoded
// into the raster and held against the published timings (VESA DMT, and the
// VGA's own 640x480 for mode 12h). Then sync moves as the page makes them.
#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include "board/Board.h"
#include "board/RasterGeometry.h"
#include "board/VirtualBoard.h"

namespace {

// A mode as the standard publishes it: pixel clock, sync edges and totals in
// pixels and lines, the rates they make and the sync polarity.
struct StandardMode {
    int width, height, refresh;
    LONG pixelClock;                                  // kHz
    int hSyncStart, hSyncEnd, hTotal;
    int vSyncStart, vSyncEnd, vTotal;
    LONG lineRate, frameRate;                         // Hz, mHz
    bool positive;
};

const StandardMode StandardModes[] = {
    {640, 480, 60, 25175, 656, 752, 800, 490, 492, 525, 31469, 59940, false},
    {640, 480, 72, 31500, 664, 704, 832, 489, 492, 520, 37861, 72809, false},
    {640, 480, 75, 31500, 656, 720, 840, 481, 484, 500, 37500, 75000, false},
    {640, 480, 85, 36000, 696, 752, 832, 481, 484, 509, 43269, 85008, false},
    {800, 600, 56, 36000, 824, 896, 1024, 601, 603, 625, 35156, 56250, true},
    {800, 600, 60, 40000, 840, 968, 1056, 601, 605, 628, 37879, 60317, true},
    {800, 600, 72, 50000, 856, 976, 1040, 637, 643, 666, 48077, 72188, true},
    {800, 600, 75, 49500, 816, 896, 1056, 601, 604, 625, 46875, 75000, true},
    {800, 600, 85, 56250, 832, 896, 1048, 601, 604, 631, 53674, 85061, true},
    {1024, 768, 60, 65000, 1048, 1184, 1344, 771, 777, 806, 48363, 60004, false},
    {1024, 768, 70, 75000, 1048, 1184, 1328, 771, 777, 806, 56476, 70069, false},
    {1024, 768, 75, 78750, 1040, 1136, 1312, 769, 772, 800, 60023, 75029, true},
    {1024, 768, 85, 94500, 1072, 1168, 1376, 769, 772, 808, 68677, 84997, true},
    {1280, 1024, 60, 108000, 1328, 1440, 1688, 1025, 1028, 1066, 63981, 60020, true},
    {1280, 1024, 75, 135000, 1296, 1440, 1688, 1025, 1028, 1066, 79976, 75025, true},
};

// The raster the mode makes with the given blanking. The picture starts
// where the sync ends.
RasterGeometry Expected(const StandardMode& m, int factor, int hBlankEnd, int vBlankStart, int vBlankEnd)
{
    RasterGeometry g = {m.hTotal, m.width, m.width, hBlankEnd, m.hSyncStart, m.hSyncEnd,
                        m.vTotal, m.height, vBlankStart, vBlankEnd, m.vSyncStart, m.vSyncEnd, factor};
    g.dotClock = m.pixelClock * factor;
    g.pixelClock = m.pixelClock;
    g.lineRate = m.lineRate;
    g.frameRate = m.frameRate;
    g.hSyncPositive = g.vSyncPositive = m.positive;
    g.pictureLeft = m.hTotal - m.hSyncEnd;
    g.pictureTop = m.vTotal - m.vSyncEnd;
    return g;
}

// The mode and its raster in one line, so that a failure shows all of it.
std::string Describe(int width, int height, int depth, int refresh, const RasterGeometry& g)
{
    char text[320];
    snprintf(text, sizeof text,
             "%dx%dx%d@%d: %ld kHz = %ld x %d; h %d blank %d-%d sync %d-%d%c total %d; v %d blank %d-%d "
             "sync %d-%d%c total %d; %ld Hz %ld mHz; picture at %d,%d",
             width, height, depth, refresh, g.dotClock, g.pixelClock, g.dotClocksPerPixel, g.hDisplay,
             g.hBlankStart, g.hBlankEnd, g.hSyncStart, g.hSyncEnd, g.hSyncPositive ? '+' : '-', g.hTotal,
             g.vDisplay, g.vBlankStart, g.vBlankEnd, g.vSyncStart, g.vSyncEnd, g.vSyncPositive ? '+' : '-',
             g.vTotal, g.lineRate, g.frameRate, g.pictureLeft, g.pictureTop);
    return text;
}

RasterGeometry Decode(const VirtualBoardState& b)
{
    RasterGeometry g;
    DecodeRaster(b.crtc, b.miscOutput, b.bitsPerPixel, VirtualDotClock(b), &g);
    return g;
}

std::string DescribeBoard()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    return Describe(b.width, b.height, b.bitsPerPixel, b.refresh, Decode(b));
}

// A mode requested the way the page does, from another mode at the depth.
VirtualBoardState BoardIn(int width, int height, int depth, int refresh)
{
    VirtualBoardReset(640, 480, depth);
    EXPECT_EQ(DISP_CHANGE_SUCCESSFUL, BoardRequestMode(width, height, refresh))
        << width << "x" << height << "x" << depth << "@" << refresh;
    VirtualBoardState b;
    VirtualBoardRead(&b);
    return b;
}

// Every mode at every depth, 1280x1024 only at 8 bits (the doubled clock is
// beyond the chip, 32 bits beyond its memory). 15 and 16 bits clock a pixel
// twice: a character is 4 pixels. The board blanks from the end of the
// display to one character short of the total (wider than 63 characters at
// 1024x768 with 15 and 16 bits), and from the first line after the display
// to one line short of the total.
TEST(RasterGeometry, BoardRunsTheStandardTimingsAtEveryDepth)
{
    const struct { int depth, factor; } depths[] = {{8, 1}, {15, 2}, {16, 2}, {32, 1}};
    for (const auto& d : depths) {
        for (const StandardMode& m : StandardModes) {
            if (m.width == 1280 && d.depth != 8)
                continue;
            BoardIn(m.width, m.height, d.depth, m.refresh);
            RasterGeometry e = Expected(m, d.factor, m.hTotal - 8 / d.factor, m.height, m.vTotal - 1);
            EXPECT_EQ(Describe(m.width, m.height, d.depth, m.refresh, e), DescribeBoard());
        }
    }
}

// The BIOS puts mode 12h's sync at character 84, later than the VGA timing's
// 82, and blanks 8 pixels and 8 lines of border around the picture; the VGA's
// fixed 25 MHz clock runs it.
TEST(RasterGeometry, Mode12hAsTheBiosLeavesIt)
{
    const StandardMode bios = {640, 480, 60, 25175, 672, 768, 800, 490, 492, 525, 31469, 59940, false};
    VirtualBoardReset(640, 480, 4);
    EXPECT_EQ(Describe(640, 480, 4, 60, Expected(bios, 1, 784, 488, 516)), DescribeBoard());
}

// The blanking ends where the counter's low bits match the end register, as
// public emulators of the chip decode it: horizontally six bits, or seven
// with CR5D bit 3 as bit 6 (not 64 characters added to a six-bit length);
// vertically seven bits, counted from the line after CR15.
TEST(RasterGeometry, BlankingEndsWhereTheLowBitsMatch)
{
    const struct { BYTE cr02, cr03, cr05, cr5d, cr16; const char* blanking; } cases[] = {
        {0x50, 0x82, 0x80, 0x00, 0x04, "640-784, 488-516"},     // mode 12h
        {0x50, 0x82, 0x00, 0x00, 0x84, "640-1040, 488-516"},    // end 02h, into the next line
        {0xC8, 0x8F, 0x00, 0x08, 0x04, "1600-1656, 488-516"},   // from 200 to 4Fh on seven bits: 207
    };
    for (const auto& c : cases) {
        VirtualBoardReset(640, 480, 4);
        VirtualBoardState b;
        VirtualBoardRead(&b);
        b.crtc[0x02] = c.cr02;
        b.crtc[0x03] = c.cr03;
        b.crtc[0x05] = c.cr05;
        b.crtc[0x5D] = c.cr5d;
        b.crtc[0x16] = c.cr16;
        RasterGeometry g = Decode(b);
        EXPECT_EQ(c.blanking, std::to_string(g.hBlankStart) + "-" + std::to_string(g.hBlankEnd) + ", " +
                              std::to_string(g.vBlankStart) + "-" + std::to_string(g.vBlankEnd))
            << "CR02 " << int(c.cr02) << " CR03 " << int(c.cr03) << " CR05 " << int(c.cr05) << " CR5D "
            << int(c.cr5d) << " CR16 " << int(c.cr16);
    }
}

// Moves the sync pulses as the page does: start and end together.
void MoveSync(BYTE* r, int characters, int lines)
{
    int h = (r[0x04] | (r[0x5D] & 0x10) << 4) + characters;
    r[0x04] = (BYTE)h;
    r[0x5D] = (BYTE)((r[0x5D] & ~0x10) | (h >> 4 & 0x10));
    r[0x05] = (BYTE)((r[0x05] & 0xE0) | ((r[0x05] + characters) & 0x1F));
    int v = (r[0x10] | (r[0x07] & 0x04) << 6 | (r[0x07] & 0x80) << 2 | (r[0x5E] & 0x10) << 6) + lines;
    r[0x10] = (BYTE)v;
    r[0x07] = (BYTE)((r[0x07] & 0x7B) | (v >> 6 & 0x04) | (v >> 2 & 0x80));
    r[0x5E] = (BYTE)((r[0x5E] & ~0x10) | (v >> 6 & 0x10));
    r[0x11] = (BYTE)((r[0x11] & 0xF0) | ((r[0x11] + lines) & 0x0F));
}

// A later horizontal sync puts the picture further left, a later vertical
// sync higher; the totals and the rates stay. At 16 bits per pixel a
// character is 4 pixels.
TEST(RasterGeometry, SyncMovesShiftThePictureTheOtherWay)
{
    const struct { int characters, lines, dx, dy; } moves[] = {
        {+10, 0, -40, 0}, {-4, 0, +16, 0}, {-8, 0, +32, 0}, {0, +5, 0, -5}, {0, -3, 0, +3},
    };
    VirtualBoardState b = BoardIn(1024, 768, 16, 60);   // sync start 262: bit 8 in CR5D
    RasterGeometry before = Decode(b);
    for (const auto& m : moves) {
        VirtualBoardState moved = b;
        MoveSync(moved.crtc, m.characters, m.lines);
        RasterGeometry g = Decode(moved);
        EXPECT_EQ(before.pictureLeft + m.dx, g.pictureLeft) << m.characters << " characters";
        EXPECT_EQ(before.pictureTop + m.dy, g.pictureTop) << m.lines << " lines";
        EXPECT_EQ(before.hSyncStart - m.dx, g.hSyncStart);
        EXPECT_EQ(before.hSyncEnd - before.hSyncStart, g.hSyncEnd - g.hSyncStart);
        EXPECT_EQ(before.vSyncEnd - before.vSyncStart, g.vSyncEnd - g.vSyncStart);
        EXPECT_EQ(before.hTotal, g.hTotal);
        EXPECT_EQ(before.lineRate, g.lineRate);
        EXPECT_EQ(before.frameRate, g.frameRate);
    }
    // Across the overflow bits: vertical sync start 1025 (bit 10 in CR5E) down to 1020.
    b = BoardIn(1280, 1024, 8, 60);
    before = Decode(b);
    MoveSync(b.crtc, 0, -5);
    EXPECT_EQ(1020, Decode(b).vSyncStart);
    EXPECT_EQ(before.pictureTop + 5, Decode(b).pictureTop);
}

} // namespace
