// Which chip answers at the CRT controller's ports, decided before the page
// writes any of its registers. The snapshot and the moves write the S3 locks
// CR38 and CR39 and the S3 overflow registers CR5D and CR5E, which mean other
// things elsewhere: a Trident TGUI's pixel bus and memory-mapped I/O switch,
// the display start and interlace bits of chips that decode six index bits
// (5Dh lands on 1Dh there). So the registry of present devices is asked
// first, read only; the chip itself only when no other vendor's adapter is
// present, and it is left as it was found.
#include "crtc/Crtc.h"
#include "board/Board.h"
#include "settings/Settings.h"

BOOL S3ChipFound;

namespace {

enum {
    S3Lock1 = 0x38, S3Key1 = 0x48,   // opens CR20 to CR3F, the identity among them
    DeviceHighRegister = 0x2D,
    DeviceLowRegister = 0x2E,
    ChipIdRegister = 0x30
};

// The PCI device identifier of an S3 chip with the extended overflow
// registers, from its identity registers; 0 for any other chip. The Trio and
// ViRGE families (and the Vision868 and 968) answer E0h or E1h in CR30 and
// carry their device identifier in CR2D:CR2E; the Vision864 and 964 answer
// C0h, C1h, D0h or D1h, the low byte of theirs (88C0h to 88D1h).
WORD S3DeviceOf(BYTE chipId, BYTE deviceHigh, BYTE deviceLow)
{
    if (chipId == 0xE0 || chipId == 0xE1)
        return (WORD)(deviceHigh << 8 | deviceLow);
    if (chipId == 0xC0 || chipId == 0xC1 || chipId == 0xD0 || chipId == 0xD1)
        return (WORD)(0x8800 | chipId);
    return 0;
}

// The identity as the S3 registers give it, read with their lock open (a
// locked S3 answers FFh in CR30). Only CR38 is written, and it and the index
// are put back as they were, whatever the chip: on a TGUI the key is its
// pixel bus for those few accesses.
WORD ReadS3Device()
{
    BYTE index = BoardPortIn(CrtcIndexPort);
    BYTE lock = ReadCrtcRegister(CrtcIndexPort, S3Lock1);
    BoardPortOut(CrtcDataPort, S3Key1);
    BYTE deviceHigh = ReadCrtcRegister(CrtcIndexPort, DeviceHighRegister);
    BYTE deviceLow = ReadCrtcRegister(CrtcIndexPort, DeviceLowRegister);
    BYTE chipId = ReadCrtcRegister(CrtcIndexPort, ChipIdRegister);
    BoardPortOut(CrtcIndexPort, S3Lock1);
    BoardPortOut(CrtcDataPort, lock);
    BoardPortOut(CrtcIndexPort, index);
    return S3DeviceOf(chipId, deviceHigh, deviceLow);
}

} // namespace

// A present PCI adapter of another vendor settles it without a port access;
// an S3 the registry names must be the chip that answers (a second board may
// hold the VGA ports); ISA and VLB boards have no PCI node, and the chip
// decides alone.
void IdentifyChip()
{
    S3ChipFound = FALSE;
    WORD named = 0;
    int adapter = FindPresentDisplayAdapter(&named);
    if (adapter == OtherAdapterNamed)
        return;
    WORD device = ReadS3Device();
    S3ChipFound = device != 0 && (adapter == NoAdapterNamed || device == named);
}

void ForgetChip()
{
    S3ChipFound = FALSE;
}
