// Moving the picture and putting it back, on the virtual board.
#include "tests/crtc/CrtcTest.h"
#include "settings/Settings.h"

namespace {

class SyncPositionTest : public CrtcTest {
protected:
    // Runs a move that must be refused: no field and no port touched.
    void ExpectRefused(void (*move)(), const char* name)
    {
        CrtcTiming before = CurrentTiming;
        VirtualBoardState boardBefore, boardAfter;
        VirtualBoardRead(&boardBefore);
        PortLog().clear();
        move();
        VirtualBoardRead(&boardAfter);
        EXPECT_EQ(boardBefore.portReads, boardAfter.portReads) << name;
        EXPECT_EQ(boardBefore.portWrites, boardAfter.portWrites) << name;
        EXPECT_TRUE(PortLog().empty()) << name;
        EXPECT_EQ(0, memcmp(&before, &CurrentTiming, sizeof before)) << name;
    }
    int Vertical()
    {
        return Register(0x10) | ((Register(0x07) >> 2) & 1) << 8 | ((Register(0x07) >> 7) & 1) << 9 |
               ((Register(0x5E) >> 4) & 1) << 10;
    }
    int Horizontal() { return Register(0x04) | ((Register(0x5D) >> 4) & 1) << 8; }
};

TEST_F(SyncPositionTest, StandardVgaTimingLimitsTheHorizontalMoves)
{
    Mode(640, 480, "4");
    Snapshot();
    EXPECT_EQ(1, BytesPerPixel);
    ExpectRefused(MoveLeft, "MoveLeft");    // 85 + 12 > 95
    ExpectRefused(MoveRight, "MoveRight");  // 83 + 12 is not below 95

    MoveUp();
    EXPECT_EQ(491, CurrentTiming.VSyncStart);
    EXPECT_EQ(13, CurrentTiming.VSyncEnd);
    EXPECT_EQ(0xEB, Register(0x10));
    EXPECT_EQ(0x8D, Register(0x11));   // end 13, protected again

    ProgramSyncPosition(FALSE);
    MoveDown();
    EXPECT_EQ(489, CurrentTiming.VSyncStart);
    EXPECT_EQ(11, CurrentTiming.VSyncEnd);
    EXPECT_EQ(0xE9, Register(0x10));
    EXPECT_EQ(0x8B, Register(0x11));
}

TEST_F(SyncPositionTest, HorizontalStepFollowsTheColourDepth)
{
    const std::pair<const char*, int> depths[] = {{"16", 2}, {"15", 2}, {"24", 3}, {"32", 4}, {"8", 1}, {"4", 1}, {"", 1}};
    for (const auto& depth : depths) {
        Mode(800, 600, "8");   // sync start 105, width 16
        strcpy(CurrentBitsPerPixel, depth.first);
        Snapshot();
        EXPECT_EQ(depth.second, BytesPerPixel) << "\"" << depth.first << "\"";
        MoveLeft();
        EXPECT_EQ(105 + depth.second, CurrentTiming.HSyncStart) << depth.first;
        EXPECT_EQ(105 + depth.second + 16, CurrentTiming.HSyncEnd) << depth.first;
        EXPECT_EQ(105 + depth.second, Horizontal()) << depth.first;
        MoveRight();
        MoveRight();
        EXPECT_EQ(105 - depth.second, CurrentTiming.HSyncStart) << depth.first;
        EXPECT_EQ((105 - depth.second + 16) & 0x1F, Register(0x05) & 0x1F) << depth.first;
    }
}

TEST_F(SyncPositionTest, MovesStopAtTheBlankingLimits)
{
    // 800x600 at 8 bits: display end 99, total 127, width 16; vertical display
    // end 599, total 626, width 4.
    Mode(800, 600, "8");
    Snapshot();
    const CrtcTiming snapshot = CurrentTiming;
    const struct { void (*move)(); const char* name; bool vertical; int start; bool allowed; } cases[] = {
        {MoveLeft, "MoveLeft to end at the total", false, 110, true},
        {MoveLeft, "MoveLeft past the total", false, 111, false},
        {MoveRight, "MoveRight to end before the total", false, 111, true},
        {MoveRight, "MoveRight to end at the total", false, 112, false},
        {MoveRight, "MoveRight onto the display end", false, 100, false},
        {MoveDown, "MoveDown onto the display end", true, 600, false},
        {MoveDown, "MoveDown above the display end", true, 601, true},
        {MoveUp, "MoveUp onto the display end", true, 598, true},
        {MoveUp, "MoveUp to end at the total", true, 621, true},
        {MoveUp, "MoveUp past the total", true, 622, false},
    };
    for (const auto& c : cases) {
        CurrentTiming = snapshot;
        if (c.vertical)
            CurrentTiming.VSyncStart = (WORD)c.start;
        else
            CurrentTiming.HSyncStart = (WORD)c.start;
        if (!c.allowed) {
            ExpectRefused(c.move, c.name);
            continue;
        }
        c.move();
        int moved = c.vertical ? CurrentTiming.VSyncStart : CurrentTiming.HSyncStart;
        EXPECT_NE(c.start, moved) << c.name;
        EXPECT_EQ(moved, c.vertical ? Vertical() : Horizontal()) << c.name;
    }
}

TEST_F(SyncPositionTest, HighStartBitsReachTheOverflowRegisters)
{
    Mode(800, 600, "16");
    Snapshot();
    SetRegister(0x07, 0x74);   // vertical start bit 8 set, bit 9 clear
    SetRegister(0x5E, 0x50);   // bit 10 set
    SetRegister(0x05, 0xF2);
    PortLog().clear();
    CurrentTiming.HSyncStart = 256;
    CurrentTiming.HSyncEnd = 45;
    CurrentTiming.VSyncStart = 512;
    CurrentTiming.VSyncEnd = 5;
    ProgramSyncPosition(TRUE);
    EXPECT_EQ("CR11:2D CR38:48 CR39:A5 CR5D:11 CR04:00 CR05:ED CR5E:40 CR07:F4 CR07:F0 CR10:00 CR11:25 CR11:A5",
              DataWrites());
    EXPECT_EQ(0xF0, Register(0x07));   // bit 2 cleared, bit 7 set, the rest kept
    EXPECT_EQ(0x40, Register(0x5E));
    EXPECT_EQ(0x11, Register(0x5D));   // bit 4 set, the total's bit 8 kept

    CurrentTiming.VSyncStart = 0x4FF;
    CurrentTiming.HSyncStart = 0xFF;
    ProgramSyncPosition(TRUE);
    EXPECT_EQ(0xFF, Register(0x10));
    EXPECT_EQ(0x70, Register(0x07));
    EXPECT_EQ(0x50, Register(0x5E));
    EXPECT_EQ(0x01, Register(0x5D));
    EXPECT_EQ(0x4FF, Vertical());
}

TEST_F(SyncPositionTest, RestoreBringsBackTheSnapshotPosition)
{
    Mode(800, 600, "16");
    Snapshot();
    const CrtcTiming snapshot = CurrentTiming;
    MoveLeft();
    MoveLeft();
    MoveLeft();
    MoveUp();
    MoveUp();
    ASSERT_EQ(216, CurrentTiming.HSyncStart);
    ASSERT_EQ(0x5B, Register(0x10));
    ProgramSyncPosition(FALSE);
    EXPECT_EQ(0xD2, Register(0x04));
    EXPECT_EQ(0x12, Register(0x05) & 0x1F);
    EXPECT_EQ(0x59, Register(0x10));
    EXPECT_EQ(0xF0, Register(0x07));
    EXPECT_EQ(0x0D, Register(0x11) & 0x0F);
    EXPECT_EQ(0x80, Register(0x11) & 0x80);
    EXPECT_EQ(0, memcmp(&snapshot, &CurrentTiming, sizeof snapshot));
    MoveLeft();
    EXPECT_EQ(212, CurrentTiming.HSyncStart);
}

TEST_F(SyncPositionTest, MoveAfterAModeRequestStartsFromTheNewSnapshot)
{
    Mode(800, 600, "16");
    Snapshot();
    MoveLeft();
    MoveLeft();
    ASSERT_EQ(214, CurrentTiming.HSyncStart);
    strcpy(PendingRefreshText, "75");
    ApplyRefreshRate();   // the driver reprograms the timing: sync start CCh
    ASSERT_EQ(0xCC, Register(0x04));
    Snapshot();
    EXPECT_EQ(204, SnapshotTiming.HSyncStart);
    MoveLeft();
    EXPECT_EQ(206, CurrentTiming.HSyncStart);
    EXPECT_EQ(0xCE, Register(0x04));
    ProgramSyncPosition(FALSE);
    EXPECT_EQ(0xCC, Register(0x04));
    PendingRefreshText[0] = '\0';
}

} // namespace
