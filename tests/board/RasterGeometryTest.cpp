// The raster decoded from the board's registers, against the published
// standard timings (VESA DMT, and the VGA's own 640x480 for mode 12h).
#include <algorithm>
#include <gtest/gtest.h>
#include "board/RasterGeometry.h"
#include "board/VirtualBoard.h"

namespace {

struct Expected {
    int width, height, depth, refresh;
    LONG pixelClock;                                  // kHz
    int hTotal, hSyncStart, hSyncEnd;                 // pixels
    int vTotal, vSyncStart, vSyncEnd;                 // lines
    LONG lineRate, frameRate;                         // Hz, mHz
    bool positive;
};

RasterGeometry Decode(const VirtualBoardState& b)
{
    RasterGeometry g;
    DecodeRaster(b.crtc, b.miscOutput, b.bitsPerPixel, VirtualDotClock(b), &g);
    return g;
}

VirtualBoardState BoardIn(int width, int height, int depth, int refresh)
{
    VirtualBoardReset(width, height, depth);
    VirtualRequestMode(width, height, depth, refresh);
    VirtualBoardState b;
    VirtualBoardRead(&b);
    return b;
}

TEST(RasterGeometry, StandardTimingsAtEveryFactor)
{
    const Expected modes[] = {
        {800, 600, 8, 72, 50000, 1040, 856, 976, 666, 637, 643, 48077, 72188, true},
        {800, 600, 16, 85, 56250, 1048, 832, 896, 631, 601, 604, 53674, 85061, true},
        {1024, 768, 16, 60, 65000, 1344, 1048, 1184, 806, 771, 777, 48363, 60004, false},
        {1024, 768, 32, 75, 78750, 1312, 1040, 1136, 800, 769, 772, 60023, 75029, true},
        {1280, 1024, 8, 60, 108000, 1688, 1328, 1440, 1066, 1025, 1028, 63981, 60020, true},
        {640, 480, 8, 60, 25175, 800, 656, 752, 525, 490, 492, 31469, 59940, false},
    };
    for (const Expected& e : modes) {
        RasterGeometry g = Decode(BoardIn(e.width, e.height, e.depth, e.refresh));
        char mode[48];
        snprintf(mode, sizeof mode, "%dx%dx%d@%d", e.width, e.height, e.depth, e.refresh);
        EXPECT_EQ(e.pixelClock, g.pixelClock) << mode;
        EXPECT_EQ(e.pixelClock * DotClocksPerPixel(e.depth), g.dotClock) << mode;
        EXPECT_EQ(e.width, g.hDisplay) << mode;
        EXPECT_EQ(e.hTotal, g.hTotal) << mode;
        EXPECT_EQ(e.hSyncStart, g.hSyncStart) << mode;
        EXPECT_EQ(e.hSyncEnd, g.hSyncEnd) << mode;
        EXPECT_EQ(e.height, g.vDisplay) << mode;
        EXPECT_EQ(e.vTotal, g.vTotal) << mode;
        EXPECT_EQ(e.vSyncStart, g.vSyncStart) << mode;
        EXPECT_EQ(e.vSyncEnd, g.vSyncEnd) << mode;
        EXPECT_EQ(e.lineRate, g.lineRate) << mode;
        EXPECT_EQ(e.frameRate, g.frameRate) << mode;
        EXPECT_EQ(e.positive, g.hSyncPositive) << mode;
        EXPECT_EQ(e.positive, g.vSyncPositive) << mode;
        // Blanked from the end of the display, at most 63 characters wide, and
        // from the last displayed line to one line short of the total.
        int character = 8 / DotClocksPerPixel(e.depth);
        EXPECT_EQ(e.width, g.hBlankStart) << mode;
        EXPECT_EQ(std::min(e.hTotal - character, e.width + 63 * character), g.hBlankEnd) << mode;
        EXPECT_EQ(e.height - 1, g.vBlankStart) << mode;
        EXPECT_EQ(e.vTotal - 1, g.vBlankEnd) << mode;
        EXPECT_EQ(e.hTotal - e.hSyncEnd, g.pictureLeft) << mode;
        EXPECT_EQ(e.vTotal - e.vSyncEnd, g.pictureTop) << mode;
    }
}

// The BIOS puts mode 12h's sync at character 84, later than the VGA timing's
// 82, and blanks 8 pixels and 7 lines of border around the picture.
TEST(RasterGeometry, Mode12hAsTheBiosLeavesIt)
{
    RasterGeometry g = Decode(BoardIn(640, 480, 4, 60));
    EXPECT_EQ(25175, g.dotClock);
    EXPECT_EQ(800, g.hTotal);
    EXPECT_EQ(640, g.hDisplay);
    EXPECT_EQ(640, g.hBlankStart);
    EXPECT_EQ(784, g.hBlankEnd);
    EXPECT_EQ(672, g.hSyncStart);
    EXPECT_EQ(768, g.hSyncEnd);
    EXPECT_EQ(525, g.vTotal);
    EXPECT_EQ(487, g.vBlankStart);
    EXPECT_EQ(516, g.vBlankEnd);
    EXPECT_EQ(490, g.vSyncStart);
    EXPECT_EQ(492, g.vSyncEnd);
    EXPECT_EQ(31469, g.lineRate);
    EXPECT_EQ(59940, g.frameRate);
    EXPECT_FALSE(g.hSyncPositive);
    EXPECT_FALSE(g.vSyncPositive);
    EXPECT_EQ(32, g.pictureLeft);
    EXPECT_EQ(33, g.pictureTop);
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
