#include "board/RasterGeometry.h"

namespace {

int Bit(BYTE value, int bit, int to)
{
    return ((value >> bit) & 1) << to;
}

// An end register holds only the low bits of its position: the interval
// runs from the start until the counter's low bits match, a full cycle when
// they match at once.
int IntervalLength(int start, int endBits, int cycle)
{
    int length = (endBits - start % cycle + cycle) % cycle;
    return length == 0 ? cycle : length;
}

LONG RoundedQuotient(LONGLONG dividend, LONGLONG divisor)
{
    return divisor > 0 ? (LONG)((dividend + divisor / 2) / divisor) : 0;
}

int Pixels(int characters, int dotClocksPerPixel)
{
    return characters * 8 / dotClocksPerPixel;
}

// The distance from the end of a sync pulse to the start of the display, on
// a counter that wraps at total.
int AfterSync(int syncEnd, int total)
{
    return total > 0 ? ((total - syncEnd) % total + total) % total : 0;
}

} // namespace

void DecodeRaster(const BYTE* r, BYTE miscOutput, int bitsPerPixel, LONG dotClock, RasterGeometry* g)
{
    int factor = DotClocksPerPixel(bitsPerPixel);
    BYTE cr5d = r[0x5D], cr07 = r[0x07], cr5e = r[0x5E];

    // Horizontal values count characters of 8 dot clocks.
    int hTotal = (r[0x00] | Bit(cr5d, 0, 8)) + 5;
    int hDisplay = (r[0x01] | Bit(cr5d, 1, 8)) + 1;
    int hBlankStart = r[0x02] | Bit(cr5d, 2, 8);
    // The blanking end is compared on six bits, or on seven with CR5D bit 3
    // as bit 6, which drivers set for blanking wider than 63 characters.
    int hBlankBits = (r[0x03] & 0x1F) | Bit(r[0x05], 7, 5) | Bit(cr5d, 3, 6);
    int hBlankEnd = hBlankStart + IntervalLength(hBlankStart, hBlankBits, (cr5d & 0x08) ? 128 : 64);
    // CR5D bit 5 makes the sync pulse 32 characters longer.
    int hSyncStart = r[0x04] | Bit(cr5d, 4, 8);
    int hSyncEnd = hSyncStart + IntervalLength(hSyncStart, r[0x05] & 0x1F, 32) + Bit(cr5d, 5, 5);
    g->hTotal = Pixels(hTotal, factor);
    g->hDisplay = Pixels(hDisplay, factor);
    g->hBlankStart = Pixels(hBlankStart, factor);
    g->hBlankEnd = Pixels(hBlankEnd, factor);
    g->hSyncStart = Pixels(hSyncStart, factor);
    g->hSyncEnd = Pixels(hSyncEnd, factor);

    g->vTotal = (r[0x06] | Bit(cr07, 0, 8) | Bit(cr07, 5, 9) | Bit(cr5e, 0, 10)) + 2;
    g->vDisplay = (r[0x12] | Bit(cr07, 1, 8) | Bit(cr07, 6, 9) | Bit(cr5e, 1, 10)) + 1;
    // The first blanked line is the one after CR15; the end compares seven bits.
    g->vBlankStart = (r[0x15] | Bit(cr07, 3, 8) | Bit(r[0x09], 5, 9) | Bit(cr5e, 2, 10)) + 1;
    g->vBlankEnd = g->vBlankStart + IntervalLength(g->vBlankStart, r[0x16] & 0x7F, 128);
    g->vSyncStart = r[0x10] | Bit(cr07, 2, 8) | Bit(cr07, 7, 9) | Bit(cr5e, 4, 10);
    g->vSyncEnd = g->vSyncStart + IntervalLength(g->vSyncStart, r[0x11] & 0x0F, 16);

    g->dotClocksPerPixel = factor;
    g->dotClock = dotClock;
    g->pixelClock = dotClock / factor;
    LONGLONG lineClocks = (LONGLONG)hTotal * 8;
    g->lineRate = RoundedQuotient((LONGLONG)dotClock * 1000, lineClocks);
    g->frameRate = RoundedQuotient((LONGLONG)dotClock * 1000000, lineClocks * g->vTotal);
    // Bits 6 and 7 set make the pulses negative.
    g->hSyncPositive = (miscOutput & 0x40) == 0;
    g->vSyncPositive = (miscOutput & 0x80) == 0;
    g->pictureLeft = AfterSync(g->hSyncEnd, g->hTotal);
    g->pictureTop = AfterSync(g->vSyncEnd, g->vTotal);
}
