// Moving the picture by moving the sync pulses inside the blanking interval.
#include "crtc/Crtc.h"
#include "settings/PageState.h"
#include "runtime/Text.h"

BYTE BytesPerPixel;

namespace {

// A move beyond the limits is refused with a beep and touches nothing.
void RefuseMove()
{
    MessageBeep(0);
}

void MoveHorizontally(int start)
{
    CurrentTiming.HSyncStart = (WORD)start;
    CurrentTiming.HSyncEnd = (WORD)(start + CurrentTiming.HSyncWidth);
    ProgramSyncPosition(TRUE);
}

void MoveVertically(int start)
{
    CurrentTiming.VSyncStart = (WORD)start;
    CurrentTiming.VSyncEnd = (WORD)((start + CurrentTiming.VSyncWidth) % 16);
    ProgramSyncPosition(TRUE);
}

} // namespace

void UpdateBytesPerPixel()
{
    if (TextEqual(CurrentBitsPerPixel, "16") || TextEqual(CurrentBitsPerPixel, "15"))
        BytesPerPixel = 2;
    else if (TextEqual(CurrentBitsPerPixel, "24"))
        BytesPerPixel = 3;
    else if (TextEqual(CurrentBitsPerPixel, "32"))
        BytesPerPixel = 4;
    else
        BytesPerPixel = 1;
}

// Raising the horizontal sync start moves the picture left.
void MoveLeft()
{
    int start = CurrentTiming.HSyncStart + BytesPerPixel;
    if (start > CurrentTiming.HDisplayEnd && start + CurrentTiming.HSyncWidth <= CurrentTiming.HTotal)
        MoveHorizontally(start);
    else
        RefuseMove();
}

// The pulse must end before the total here, not at it.
void MoveRight()
{
    int start = CurrentTiming.HSyncStart - BytesPerPixel;
    if (start > CurrentTiming.HDisplayEnd && start + CurrentTiming.HSyncWidth < CurrentTiming.HTotal)
        MoveHorizontally(start);
    else
        RefuseMove();
}

// The pulse may start on the last displayed line when moving up.
void MoveUp()
{
    int start = CurrentTiming.VSyncStart + 1;
    if (start >= CurrentTiming.VDisplayEnd && start + CurrentTiming.VSyncWidth <= CurrentTiming.VTotal)
        MoveVertically(start);
    else
        RefuseMove();
}

void MoveDown()
{
    int start = CurrentTiming.VSyncStart - 1;
    if (start > CurrentTiming.VDisplayEnd && start + CurrentTiming.VSyncWidth <= CurrentTiming.VTotal)
        MoveVertically(start);
    else
        RefuseMove();
}

// Writes the sync position into the controller: CurrentTiming's, or with
// useCurrent FALSE the snapshot's, which becomes current again. The widths
// stay as the snapshot found them, since that is the pulse being restored.
void ProgramSyncPosition(BOOL useCurrent)
{
    if (!S3ChipFound)
        return;
    if (!useCurrent) {
        CurrentTiming.HSyncStart = SnapshotTiming.HSyncStart;
        CurrentTiming.HSyncEnd = SnapshotTiming.HSyncEnd;
        CurrentTiming.VSyncStart = SnapshotTiming.VSyncStart;
        CurrentTiming.VSyncEnd = SnapshotTiming.VSyncEnd;
    }
    WORD hs = CurrentTiming.HSyncStart;
    WORD he = CurrentTiming.HSyncEnd;
    WORD vs = CurrentTiming.VSyncStart;
    WORD ve = CurrentTiming.VSyncEnd;
    UnlockTimingRegisters();
    ModifyCrtcRegister(CrtcIndexPort, 0x5D, (BYTE)((hs >> 4) & 0x10), 0xEF);
    ModifyCrtcRegister(CrtcIndexPort, 0x04, (BYTE)(hs & 0xFF), 0x00);
    ModifyCrtcRegister(CrtcIndexPort, 0x05, (BYTE)(he & 0x1F), 0xE0);
    ModifyCrtcRegister(CrtcIndexPort, 0x5E, (BYTE)((vs >> 6) & 0x10), 0xEF);
    ModifyCrtcRegister(CrtcIndexPort, 0x07, (BYTE)((vs >> 2) & 0x80), 0x7F);
    ModifyCrtcRegister(CrtcIndexPort, 0x07, (BYTE)((vs >> 6) & 0x04), 0xFB);
    ModifyCrtcRegister(CrtcIndexPort, 0x10, (BYTE)(vs & 0xFF), 0x00);
    ModifyCrtcRegister(CrtcIndexPort, 0x11, (BYTE)(ve & 0x0F), 0xF0);
    LockTimingRegisters();
}
