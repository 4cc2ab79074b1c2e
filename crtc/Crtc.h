// The CRT controller of the S3 chip: indexed register access on the VGA ports,
// the chip's identification, the timing snapshot and the picture-position
// moves.
#pragma once
#include <windows.h>

enum {
    CrtcIndexPort = 0x3D4,
    CrtcDataPort = 0x3D5
};

// Ten timing values, raw register contents assembled with their overflow bits.
struct CrtcTiming {
    WORD HSyncStart;
    WORD HSyncEnd;
    WORD HSyncWidth;
    WORD HTotal;
    WORD HDisplayEnd;
    WORD VSyncStart;
    WORD VSyncEnd;
    WORD VSyncWidth;
    WORD VTotal;
    WORD VDisplayEnd;
};

extern CrtcTiming SnapshotTiming;   // sync position found at the last snapshot
extern CrtcTiming CurrentTiming;    // working copy the moves change
extern BOOL StandardVgaMode;        // 640,480 at 4 bits per pixel: no S3 overflow registers
extern BYTE BytesPerPixel;          // horizontal step of one move
// The chip at the ports is an S3 with the extended overflow registers: found
// by IdentifyChip, once a page, before any CRT controller register is
// written. Until then, and on any other chip, the snapshot and the moves
// reach no port.
extern BOOL S3ChipFound;

BYTE ReadCrtcRegister(WORD indexPort, BYTE index);
void ModifyCrtcRegister(WORD indexPort, BYTE index, BYTE value, BYTE keepMask);
void UnlockTimingRegisters();
void LockTimingRegisters();
void TakeTimingSnapshot();

// S3ChipFound from the registry of present devices (a PCI display adapter of
// another vendor settles it) and then the chip's identity registers, read
// with the S3 lock opened and put back as found.
void IdentifyChip();
// S3ChipFound back to FALSE, when the page goes.
void ForgetChip();

void UpdateBytesPerPixel();
void MoveLeft();
void MoveRight();
void MoveUp();
void MoveDown();
void ProgramSyncPosition(BOOL useCurrent);
