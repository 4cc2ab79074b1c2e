// Moving the picture and putting it back, on the virtual board.
#include "tests/crtc/CrtcTest.h"
#include "board/RasterGeometry.h"
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

// --- The pulses wherever the page is opened ----------------------------------

// The bits a move may change: the sync starts and ends with their overflow
// bits (CR04, CR05 bits 4:0, CR5D bit 4; CR10, CR11 bits 3:0, CR07 bits 2
// and 7, CR5E bit 4).
BYTE SyncBits(int index)
{
    switch (index) {
    case 0x04: case 0x10: return 0xFF;
    case 0x05: return 0x1F;
    case 0x11: return 0x0F;
    case 0x07: return 0x84;
    case 0x5D: case 0x5E: return 0x10;
    }
    return 0;
}

VirtualBoardState Board()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    return b;
}

// The raster the board sends, as a monitor sees it.
RasterGeometry Raster(const VirtualBoardState& b)
{
    RasterGeometry g;
    DecodeRaster(b.crtc, b.miscOutput, b.bitsPerPixel, VirtualDotClock(b), &g);
    return g;
}

// What is wrong with the pulses the board sends now against the driver's
// timing, "" when nothing. In the board's own timings the blanking runs from
// the display's end to the total; mode 12h's BIOS blanking is narrower and
// the pulse may leave it (into black border).
std::string PulseFault(const VirtualBoardState& now, const VirtualBoardState& driver)
{
    const RasterGeometry g = Raster(now), d = Raster(driver);
    std::string fault;
    for (int i = 0; i < VirtualRegisterCount; ++i)
        if ((now.crtc[i] ^ driver.crtc[i]) & ~SyncBits(i))
            fault += "register " + Hex(i) + " changed; ";
    if (g.hSyncEnd - g.hSyncStart != d.hSyncEnd - d.hSyncStart || g.vSyncEnd - g.vSyncStart != d.vSyncEnd - d.vSyncStart)
        fault += "a pulse lost the driver's width; ";
    if (g.hSyncStart < g.hDisplay || g.vSyncStart < g.vDisplay)
        fault += "a pulse starts in the displayed area; ";
    if (g.hSyncEnd > g.hTotal || g.vSyncEnd > g.vTotal)
        fault += "a pulse ends past the total; ";
    if (now.bitsPerPixel != 4 && (g.hSyncStart < g.hBlankStart || g.hSyncEnd > g.hBlankEnd ||
                                  g.vSyncStart < g.vBlankStart || g.vSyncEnd > g.vBlankEnd))
        fault += "a pulse leaves the blanking; ";
    if (fault.empty())
        return fault;
    char raster[200];
    snprintf(raster, sizeof raster, "h display %d blank %d-%d sync %d-%d total %d; v display %d blank %d-%d sync %d-%d "
             "total %d", g.hDisplay, g.hBlankStart, g.hBlankEnd, g.hSyncStart, g.hSyncEnd, g.hTotal, g.vDisplay,
             g.vBlankStart, g.vBlankEnd, g.vSyncStart, g.vSyncEnd, g.vTotal);
    return fault + raster;
}

// The page opened on a mode as the driver sets it (the snapshot of its
// opening), its moves between the limits, and the page closed and opened
// again at every position on the way and walked on to the limit from there.
class PulseLimits : public CrtcTest {
protected:
    void OpenPageIn(int width, int height, int depth, int refresh)
    {
        VirtualBoardReset(640, 480, depth);
        if (depth != 4)
            ASSERT_EQ(DISP_CHANGE_SUCCESSFUL, BoardRequestMode(width, height, refresh));
        Name(width, height, std::to_string(depth).c_str());
        mode = std::to_string(width) + "x" + std::to_string(height) + "x" + std::to_string(depth) + "@" +
               std::to_string(refresh);
        Snapshot();
        driver = opened = Board();
        faults = 0;
    }
    // One move; false when the page refused it or it broke the pulses. A
    // mode stops at its first fault.
    bool Step(void (*move)(), const char* name)
    {
        if (faults > 0)
            return false;
        VirtualBoardState before = Board();
        move();
        VirtualBoardState after = Board();
        std::string fault = PulseFault(after, driver);
        if (!fault.empty()) {
            ADD_FAILURE() << mode << ", " << name << " from where the page opened at sync " << Raster(opened).hSyncStart
                          << ", " << Raster(opened).vSyncStart << ": " << fault;
            ++faults;
        }
        return fault.empty() && memcmp(before.crtc, after.crtc, sizeof before.crtc) != 0;
    }
    int Walk(void (*move)(), const char* name)
    {
        int moves = 0;
        while (moves < 1000 && Step(move, name))
            ++moves;
        return moves;
    }
    // From the far limit to the near one: at each position the page is
    // reopened, walks to the near limit, is put back where it opened
    // (Alt+Home) and moves one step on.
    void Sweep(void (*towards)(), void (*away)(), const char* name)
    {
        Walk(away, "towards the far limit");
        for (int positions = 0; positions < 1000; ++positions) {
            Snapshot();
            opened = Board();
            if (Walk(towards, name) == 0)
                return;
            ProgramSyncPosition(FALSE);
            EXPECT_EQ(0, memcmp(Board().crtc, opened.crtc, sizeof opened.crtc)) << mode << ": Alt+Home after " << name;
            Step(towards, name);
        }
    }
    // Both ways on both axes.
    void SweepBetweenTheLimits(int width, int height, int depth, int refresh)
    {
        OpenPageIn(width, height, depth, refresh);
        Sweep(MoveLeft, MoveRight, "MoveLeft");
        Sweep(MoveRight, MoveLeft, "MoveRight");
        Sweep(MoveUp, MoveDown, "MoveUp");
        Sweep(MoveDown, MoveUp, "MoveDown");
    }

    std::string mode;
    VirtualBoardState driver = {};   // as the driver left it, the page opened on it
    VirtualBoardState opened = {};   // where the page was last opened
    int faults = 0;
};

// Every mode the board offers, at every depth (1280x1024 at 8 bits only),
// and mode 12h.
TEST_F(PulseLimits, PulsesStayInTheLineWhereverThePageIsOpened)
{
    const struct { int width, height; int rates[5]; } standards[] = {
        {640, 480, {60, 72, 75, 85}}, {800, 600, {56, 60, 72, 75, 85}}, {1024, 768, {60, 70, 75, 85}},
        {1280, 1024, {60, 75}},
    };
    WatchVirtualPorts(nullptr);
    for (int depth : {8, 15, 16, 32})
        for (const auto& standard : standards)
            for (int rate : standard.rates)
                if (rate != 0 && (standard.width < 1280 || depth == 8))
                    SweepBetweenTheLimits(standard.width, standard.height, depth, rate);
    SweepBetweenTheLimits(640, 480, 4, 60);
}

} // namespace
