// Indexed access to the CRT controller and the timing snapshot. Every access
// goes through the board seam, one byte at a time.
#include "crtc/Crtc.h"
#include "board/Board.h"
#include "settings/PageState.h"
#include "runtime/Text.h"

CrtcTiming SnapshotTiming;
CrtcTiming CurrentTiming;
BOOL StandardVgaMode;

namespace {

enum {
    WriteProtect = 0x80,        // CR11 bit 7: CR00 to CR07 protected
    S3Lock1 = 0x38, S3Key1 = 0x48,
    S3Lock2 = 0x39, S3Key2 = 0xA5
};

WORD Bit(BYTE value, int bit, int to)
{
    return (WORD)(((value >> bit) & 1) << to);
}

void WriteS3Keys()
{
    BoardPortOut(CrtcIndexPort, S3Lock1);
    BoardPortOut(CrtcDataPort, S3Key1);
    BoardPortOut(CrtcIndexPort, S3Lock2);
    BoardPortOut(CrtcDataPort, S3Key2);
}

// The S3 overflow registers; 0 in the standard VGA mode, which has none, so
// that they are not even selected there.
BYTE ReadOverflow(BYTE index)
{
    return StandardVgaMode ? 0 : ReadCrtcRegister(CrtcIndexPort, index);
}

// Sync widths from the ends as read: an end below the start's low bits has
// wrapped and is unwrapped in CurrentTiming; a width of 0 is the full cycle.
// CR5D bit 5, which the horizontal end as read carries as its bit 5, makes
// the pulse 32 characters longer whatever the end's low bits; the end of
// such a pulse is kept as the start's low bits plus its width.
void ComputeSyncWidths()
{
    int hStart = CurrentTiming.HSyncStart % 32;
    int hEnd = SnapshotTiming.HSyncEnd & 0x1F;
    if (hEnd < hStart)
        hEnd += 32;
    int hWidth = hEnd == hStart ? 32 : hEnd - hStart;
    if (SnapshotTiming.HSyncEnd & 0x20) {
        hWidth += 32;
        hEnd = hStart + hWidth;
    }
    CurrentTiming.HSyncEnd = (WORD)hEnd;
    CurrentTiming.HSyncWidth = (WORD)hWidth;

    int vStart = SnapshotTiming.VSyncStart % 16;
    if (SnapshotTiming.VSyncEnd < vStart)
        CurrentTiming.VSyncEnd = (WORD)(SnapshotTiming.VSyncEnd + 16);
    CurrentTiming.VSyncWidth = (WORD)(CurrentTiming.VSyncEnd - vStart);
    if (CurrentTiming.VSyncWidth == 0)
        CurrentTiming.VSyncWidth = 16;
}

} // namespace

BYTE ReadCrtcRegister(WORD indexPort, BYTE index)
{
    BoardPortOut(indexPort, index);
    return BoardPortIn((WORD)(indexPort + 1));
}

void ModifyCrtcRegister(WORD indexPort, BYTE index, BYTE value, BYTE keepMask)
{
    BoardPortOut(indexPort, index);
    BYTE current = BoardPortIn((WORD)(indexPort + 1));
    BoardPortOut((WORD)(indexPort + 1), (BYTE)((current & keepMask) | value));
}

void UnlockTimingRegisters()
{
    BoardPortOut(CrtcIndexPort, 0x11);
    BYTE cr11 = BoardPortIn(CrtcDataPort);
    BoardPortOut(CrtcDataPort, (BYTE)(cr11 & ~WriteProtect));
    WriteS3Keys();
}

void LockTimingRegisters()
{
    BoardPortOut(CrtcIndexPort, 0x11);
    BYTE cr11 = BoardPortIn(CrtcDataPort);
    BoardPortOut(CrtcDataPort, (BYTE)(cr11 | WriteProtect));
}

void TakeTimingSnapshot()
{
    StandardVgaMode = TextEqual(CurrentResolution, "640,480") && TextEqual(CurrentBitsPerPixel, "4");
    ZeroMemory(&SnapshotTiming, sizeof SnapshotTiming);
    ZeroMemory(&CurrentTiming, sizeof CurrentTiming);
    // Zero limits: every move is refused, and none reaches the chip.
    if (!S3ChipFound)
        return;
    UnlockTimingRegisters();

    BYTE cr5d = ReadOverflow(0x5D);
    SnapshotTiming.HSyncStart = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x04) | Bit(cr5d, 4, 8));
    CurrentTiming.HSyncStart = SnapshotTiming.HSyncStart;

    // The keys again, as the driver of the board does before the end value.
    WriteS3Keys();

    SnapshotTiming.HSyncEnd = (WORD)((ReadCrtcRegister(CrtcIndexPort, 0x05) & 0x1F) | (cr5d & 0x20));
    CurrentTiming.HSyncEnd = SnapshotTiming.HSyncEnd;
    CurrentTiming.HTotal = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x00) | Bit(cr5d, 0, 8));
    CurrentTiming.HDisplayEnd = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x01) | Bit(cr5d, 1, 8));

    BYTE cr07 = ReadCrtcRegister(CrtcIndexPort, 0x07);
    BYTE cr5e = ReadOverflow(0x5E);
    SnapshotTiming.VSyncStart = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x10) | Bit(cr07, 2, 8) |
                                       Bit(cr07, 7, 9) | Bit(cr5e, 4, 10));
    CurrentTiming.VSyncStart = SnapshotTiming.VSyncStart;
    SnapshotTiming.VSyncEnd = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x11) & 0x0F);
    CurrentTiming.VSyncEnd = SnapshotTiming.VSyncEnd;
    CurrentTiming.VTotal = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x06) | Bit(cr07, 0, 8) |
                                  Bit(cr07, 5, 9) | Bit(cr5e, 0, 10));
    CurrentTiming.VDisplayEnd = (WORD)(ReadCrtcRegister(CrtcIndexPort, 0x12) | Bit(cr07, 1, 8) |
                                       Bit(cr07, 6, 9) | Bit(cr5e, 1, 10));

    LockTimingRegisters();
    ComputeSyncWidths();
}
