// Register access and the timing snapshot on the virtual board.
#include "tests/crtc/CrtcTest.h"

namespace {

class SnapshotTest : public CrtcTest {};

// The port log as "out 3D4 13, in 3D5 A3".
std::string Accesses()
{
    std::ostringstream out;
    out << std::hex << std::uppercase;
    for (const PortAccess& a : PortLog())
        out << (out.tellp() > 0 ? ", " : "") << (a.write ? "out " : "in ") << a.port << " " << int(a.value);
    return out.str();
}

struct Timing {
    int hStart, hEndRead, hEnd, hWidth, hTotal, hDisplayEnd;
    int vStart, vEndRead, vEnd, vWidth, vTotal, vDisplayEnd;
};

void ExpectTiming(const Timing& t, const std::string& mode)
{
    EXPECT_EQ(t.hStart, SnapshotTiming.HSyncStart) << mode;
    EXPECT_EQ(t.hStart, CurrentTiming.HSyncStart) << mode;
    EXPECT_EQ(t.hEndRead, SnapshotTiming.HSyncEnd) << mode;
    EXPECT_EQ(t.hEnd, CurrentTiming.HSyncEnd) << mode;
    EXPECT_EQ(t.hWidth, CurrentTiming.HSyncWidth) << mode;
    EXPECT_EQ(t.hTotal, CurrentTiming.HTotal) << mode;
    EXPECT_EQ(t.hDisplayEnd, CurrentTiming.HDisplayEnd) << mode;
    EXPECT_EQ(t.vStart, SnapshotTiming.VSyncStart) << mode;
    EXPECT_EQ(t.vStart, CurrentTiming.VSyncStart) << mode;
    EXPECT_EQ(t.vEndRead, SnapshotTiming.VSyncEnd) << mode;
    EXPECT_EQ(t.vEnd, CurrentTiming.VSyncEnd) << mode;
    EXPECT_EQ(t.vWidth, CurrentTiming.VSyncWidth) << mode;
    EXPECT_EQ(t.vTotal, CurrentTiming.VTotal) << mode;
    EXPECT_EQ(t.vDisplayEnd, CurrentTiming.VDisplayEnd) << mode;
    // The snapshot record holds the sync position only.
    EXPECT_EQ(0, SnapshotTiming.HSyncWidth + SnapshotTiming.HTotal + SnapshotTiming.HDisplayEnd +
                 SnapshotTiming.VSyncWidth + SnapshotTiming.VTotal + SnapshotTiming.VDisplayEnd) << mode;
}

TEST_F(SnapshotTest, StandardVgaModeGivesTheBiosTimingWithoutS3Registers)
{
    Mode(640, 480, "4");
    TakeTimingSnapshot();
    EXPECT_TRUE(StandardVgaMode);
    ExpectTiming({84, 0, 32, 12, 95, 79, 490, 12, 12, 2, 523, 479}, "640x480x4");
    EXPECT_EQ("CR11:0C CR38:48 CR39:A5 CR38:48 CR39:A5 CR11:8C", DataWrites());
    EXPECT_FALSE(IndexWritten(0x5D));
    EXPECT_FALSE(IndexWritten(0x5E));
    // Protected again, the S3 registers left open.
    EXPECT_EQ(0x8C, Register(0x11));
    EXPECT_EQ(0x48, Register(0x38));
    EXPECT_EQ(0xA5, Register(0x39));
}

TEST_F(SnapshotTest, OtherModesAddTheOverflowBits)
{
    Mode(800, 600, "16");   // CR5D 01h, CR07 F0h
    TakeTimingSnapshot();
    EXPECT_FALSE(StandardVgaMode);
    ExpectTiming({210, 18, 18, 32, 259, 199, 601, 13, 13, 4, 626, 599}, "800x600x16");
    EXPECT_TRUE(IndexWritten(0x5D));
    EXPECT_TRUE(IndexWritten(0x5E));
    EXPECT_EQ("CR11:2D CR38:48 CR39:A5 CR38:48 CR39:A5 CR11:AD", DataWrites());

    Mode(1280, 1024, "8");   // CR5E 55h: bit 10 of the vertical total and sync start
    TakeTimingSnapshot();
    ExpectTiming({166, 20, 20, 14, 206, 159, 1025, 4, 4, 3, 1064, 1023}, "1280x1024x8");
}

TEST_F(SnapshotTest, OnlyBothTextsTogetherMakeTheStandardVgaMode)
{
    const std::pair<const char*, const char*> names[] = {{"640,480", "8"}, {"800,600", "4"}, {"640,480", "04"}};
    for (const auto& name : names) {
        VirtualBoardReset(640, 480, 4);
        strcpy(CurrentResolution, name.first);
        strcpy(CurrentBitsPerPixel, name.second);
        PortLog().clear();
        SetRegister(0x5D, 0x13);   // sync start, display end and total bit 8
        SetRegister(0x5E, 0x13);
        TakeTimingSnapshot();
        std::string which = std::string(name.first) + " at " + name.second;
        EXPECT_FALSE(StandardVgaMode) << which;
        EXPECT_EQ(84 + 256, CurrentTiming.HSyncStart) << which;
        EXPECT_EQ(95 + 256, CurrentTiming.HTotal) << which;
        EXPECT_EQ(79 + 256, CurrentTiming.HDisplayEnd) << which;
        EXPECT_EQ(490 + 1024, CurrentTiming.VSyncStart) << which;
        EXPECT_EQ(523 + 1024, CurrentTiming.VTotal) << which;
        EXPECT_EQ(479 + 1024, CurrentTiming.VDisplayEnd) << which;
    }
}

TEST_F(SnapshotTest, SyncEndsBelowTheStartWrapAndEqualEndsAreFullWidth)
{
    const struct {
        BYTE cr04, cr05, cr5d, cr10, cr11;
        int hEndRead, hEnd, hWidth, vEndRead, vEnd, vWidth;
    } cases[] = {
        // start 55h (low bits 15h), end 03h: unwrapped to 23h
        {0x55, 0x83, 0x00, 0xEA, 0x0C, 0x03, 0x23, 0x0E, 12, 12, 2},
        // end equal to the start's low bits: the full cycle
        {0x54, 0x94, 0x00, 0xEA, 0x0A, 0x14, 0x14, 32, 10, 10, 16},
        // vertical end below the start's low bits
        {0x54, 0x80, 0x00, 0xEA, 0x02, 0x00, 0x20, 12, 2, 18, 8},
        // CR5D bit 5 lengthens the pulse by 32, the end's low bits counted
        // from the start's as ever: up to 64 wide, the end the start's low
        // bits plus the width
        {0x54, 0x98, 0x20, 0xEA, 0x0C, 0x38, 0x38, 36, 12, 12, 2},
        {0x5F, 0x9F, 0x20, 0xEA, 0x0C, 0x3F, 0x5F, 64, 12, 12, 2},
        // 1024x768 at 16 bits, its 34-character pulse moved 12 steps left:
        // start 286 (low bits 30), end bits 0
        {0x1E, 0x80, 0x30, 0xEA, 0x0C, 0x20, 0x40, 34, 12, 12, 2},
    };
    for (const auto& c : cases) {
        Mode(640, 480, "8");
        SetRegister(0x04, c.cr04);
        SetRegister(0x05, c.cr05);
        SetRegister(0x5D, c.cr5d);
        SetRegister(0x10, c.cr10);
        SetRegister(0x11, c.cr11);
        SetRegister(0x07, 0x3E);
        TakeTimingSnapshot();
        std::string which = "CR04 " + Hex(c.cr04) + " CR05 " + Hex(c.cr05) + " CR5D " + Hex(c.cr5d) + " CR11 " + Hex(c.cr11);
        EXPECT_EQ(c.hEndRead, SnapshotTiming.HSyncEnd) << which;
        EXPECT_EQ(c.hEnd, CurrentTiming.HSyncEnd) << which;
        EXPECT_EQ(c.hWidth, CurrentTiming.HSyncWidth) << which;
        EXPECT_EQ(c.vEndRead, SnapshotTiming.VSyncEnd) << which;
        EXPECT_EQ(c.vEnd, CurrentTiming.VSyncEnd) << which;
        EXPECT_EQ(c.vWidth, CurrentTiming.VSyncWidth) << which;
    }
}

TEST_F(SnapshotTest, ModifyKeepsTheMaskedBitsAndOrsTheValue)
{
    Mode(640, 480, "8");
    SetRegister(0x13, 0x5A);
    ModifyCrtcRegister(CrtcIndexPort, 0x13, 0xA5, 0x00);
    EXPECT_EQ(0xA5, Register(0x13));
    ModifyCrtcRegister(CrtcIndexPort, 0x13, 0x03, 0xF0);
    EXPECT_EQ(0xA3, Register(0x13));
    PortLog().clear();
    ModifyCrtcRegister(CrtcIndexPort, 0x13, 0x00, 0xFF);
    EXPECT_EQ("out 3D4 13, in 3D5 A3, out 3D5 A3", Accesses());
    PortLog().clear();
    EXPECT_EQ(0xA3, ReadCrtcRegister(CrtcIndexPort, 0x13));
    EXPECT_EQ("out 3D4 13, in 3D5 A3", Accesses());
}

TEST_F(SnapshotTest, UnlockAndLockTouchOnlyTheirRegisters)
{
    Mode(640, 480, "4");
    UnlockTimingRegisters();
    EXPECT_EQ("CR11:0C CR38:48 CR39:A5", DataWrites());
    // The index is sent once for CR11's read and write.
    EXPECT_EQ(7u, PortLog().size());
    PortLog().clear();
    LockTimingRegisters();
    EXPECT_EQ("CR11:8C", DataWrites());
    EXPECT_EQ(3u, PortLog().size());
    EXPECT_EQ(0x48, Register(0x38));
    EXPECT_EQ(0xA5, Register(0x39));
}

} // namespace
