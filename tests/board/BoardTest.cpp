// The virtual S3 board as code sees it through the hardware seam.
#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include "board/Board.h"
#include "board/BoardMonitor.h"
#include "board/VirtualBoard.h"
#include "common/Process.h"
#include "common/Screen.h"
#include "tests/support/Boards.h"
#include "tests/support/Registry.h"
#include "tests/support/Robot.h"

namespace {

BYTE Read(BYTE index)
{
    BoardPortOut(0x3D4, index);
    return BoardPortIn(0x3D5);
}

void Write(BYTE index, BYTE value)
{
    BoardPortOut(0x3D4, index);
    BoardPortOut(0x3D5, value);
}

// Runs BoardReport.exe (beside this program) and returns what it printed.
std::string RunBoardReport(const std::string& arguments)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string command = path;
    command = "\"" + command.substr(0, command.find_last_of('\\')) + "\\BoardReport.exe\" " + arguments;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    CreatePipe(&readEnd, &writeEnd, &inherit, 0);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process = {};
    std::string output;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(writeEnd);
        char buffer[4096];
        DWORD got;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(process.hProcess, INFINITE);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        CloseHandle(writeEnd);
    }
    CloseHandle(readEnd);
    return output;
}

std::string Line(const std::string& output, const std::string& name)
{
    size_t at = output.find(name + "=");
    if (at == std::string::npos)
        return "";
    size_t end = output.find_first_of("\r\n", at);
    return output.substr(at + name.size() + 1, end - at - name.size() - 1);
}

class BoardTest : public ::testing::Test {
protected:
    void SetUp() override { VirtualBoardReset(640, 480, 8); }
    void TearDown() override { VirtualBoardReset(640, 480, 8); }
};

VirtualBoardState Board()
{
    VirtualBoardState state;
    VirtualBoardRead(&state);
    return state;
}

TEST_F(BoardTest, IndexPortReadsBackTheLatchedSevenBitIndex)
{
    BoardPortOut(0x3D4, 0x11);
    EXPECT_EQ(0x11, BoardPortIn(0x3D4));
    BoardPortOut(0x3D4, 0x91);   // Trio64 latches 7 bits: 91h aliases 11h
    EXPECT_EQ(0x11, BoardPortIn(0x3D4));
}

// Written at 3C2h, read back at 3CCh; bits 3:2 pick the dot clock.
TEST_F(BoardTest, MiscellaneousOutputRegisterSelectsTheClock)
{
    EXPECT_EQ(0xEF, BoardPortIn(0x3CC)) << "the driver's programmed clock, both syncs negative";
    BoardPortOut(0x3C2, 0x67);
    EXPECT_EQ(0x67, BoardPortIn(0x3CC));
    VirtualBoardState state;
    VirtualBoardRead(&state);
    EXPECT_EQ(28322, VirtualDotClock(state)) << "the VGA's second fixed clock";
    VirtualBoardReset(640, 480, 4);
    EXPECT_EQ(0xE3, BoardPortIn(0x3CC)) << "mode 12h: the BIOS's 25 MHz clock";
}

TEST_F(BoardTest, Cr11BitSevenProtectsCr00ToCr07)
{
    VirtualBoardReset(640, 480, 4);   // mode 12h leaves CR11 = 8Ch
    ASSERT_EQ(0x8C, Read(0x11));
    for (BYTE index = 0; index <= 6; ++index) {
        BYTE before = Read(index);
        Write(index, (BYTE)~before);
        EXPECT_EQ(before, Read(index)) << "CR0" << int(index);
    }
    // CR07 keeps all but bit 4 (line compare bit 8).
    Write(0x07, 0xD1);
    EXPECT_EQ(0x3E | 0x10, Read(0x07));
    Write(0x07, 0x00);
    EXPECT_EQ(0x2E, Read(0x07));
    // CR11 itself stays writable; with bit 7 clear the registers take writes.
    Write(0x11, 0x0C);
    Write(0x04, 0x55);
    Write(0x07, 0xC1);
    EXPECT_EQ(0x55, Read(0x04));
    EXPECT_EQ(0xC1, Read(0x07));
}

TEST_F(BoardTest, S3ExtendedRegistersNeedTheirLocksOpened)
{
    Write(0x39, 0x00);
    Write(0x5D, 0x13);
    Write(0x5E, 0x51);
    EXPECT_EQ(0x00, Read(0x5D));
    EXPECT_EQ(0x40, Read(0x5E));
    Write(0x39, 0xA0 | 0x1F);   // only bits 7:5 matter
    Write(0x5D, 0x13);
    EXPECT_EQ(0x13, Read(0x5D));
    Write(0x39, 0xA5);
    Write(0x5E, 0x51);
    EXPECT_EQ(0x51, Read(0x5E));

    Write(0x38, 0x00);
    Write(0x31, 0x8D);
    EXPECT_EQ(0x00, Read(0x31));
    Write(0x38, 0x48);
    Write(0x31, 0x8D);
    EXPECT_EQ(0x8D, Read(0x31));
}

TEST_F(BoardTest, UnsupportedModeIsRefusedWithNothingChanged)
{
    VirtualBoardReset(800, 600, 16);
    VirtualBoardState before;
    VirtualBoardRead(&before);
    EXPECT_EQ(DISP_CHANGE_BADMODE, BoardRequestMode(800, 600, 100));
    EXPECT_EQ(DISP_CHANGE_BADMODE, BoardRequestMode(1280, 1024, 60));   // beyond the 16-bit clock
    EXPECT_EQ(DISP_CHANGE_BADMODE, BoardRequestMode(1000, 700, 60));
    VirtualBoardState after;
    VirtualBoardRead(&after);
    EXPECT_EQ(0, memcmp(before.crtc, after.crtc, sizeof before.crtc));
    EXPECT_EQ(before.refresh, after.refresh);
    EXPECT_EQ(before.width, after.width);
    EXPECT_EQ(before.modeRequests + 3, after.modeRequests);
    EXPECT_EQ(DISP_CHANGE_BADMODE, after.lastResult);
}

TEST_F(BoardTest, DefaultRateRequestMeansSixtyHertz)
{
    EXPECT_EQ(DISP_CHANGE_SUCCESSFUL, BoardRequestMode(800, 600, 0));
    VirtualBoardState state;
    VirtualBoardRead(&state);
    EXPECT_EQ(60, state.refresh);
}

TEST_F(BoardTest, CountsPortAccesses)
{
    VirtualBoardState before, after;
    VirtualBoardRead(&before);
    Read(0x11);
    VirtualBoardRead(&after);
    EXPECT_EQ(before.portWrites + 1, after.portWrites);
    EXPECT_EQ(before.portReads + 1, after.portReads);
}

// A top-level window on a thread of its own records the WM_DISPLAYCHANGE it gets.
struct Listener {
    HWND window = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    volatile LONG changes = 0;
    volatile WPARAM depth = 0;
    volatile LPARAM size = 0;
};
Listener* TheListener;

LRESULT CALLBACK ListenerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE) {
        TheListener->depth = wParam;
        TheListener->size = lParam;
        InterlockedIncrement(&TheListener->changes);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI ListenerThread(void*)
{
    WNDCLASSA cls = {};
    cls.lpfnWndProc = ListenerProc;
    cls.lpszClassName = "BoardTestListener";
    RegisterClassA(&cls);
    TheListener->window = CreateWindowA("BoardTestListener", "listener", WS_OVERLAPPED, 0, 0, 10, 10,
                                        nullptr, nullptr, nullptr, nullptr);
    SetEvent(TheListener->ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    DestroyWindow(TheListener->window);
    return 0;
}

TEST_F(BoardTest, AcceptedRequestSendsDisplayChangeToOtherThreads)
{
    Listener listener;
    TheListener = &listener;
    DWORD threadId;
    HANDLE thread = CreateThread(nullptr, 0, ListenerThread, nullptr, 0, &threadId);
    // The bounds only stop a test whose listener never comes: a busy machine
    // may take its time, and a sent message still arrives after the sender
    // stopped waiting for it.
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.ready, 60000));
    VirtualBoardReset(800, 600, 16);
    ASSERT_EQ(DISP_CHANGE_SUCCESSFUL, BoardRequestMode(1024, 768, 70));
    for (int waited = 0; listener.changes == 0 && waited < 60000; waited += 10)
        Sleep(10);
    EXPECT_EQ(1, listener.changes);
    EXPECT_EQ(16u, listener.depth);
    EXPECT_EQ(1024, LOWORD(listener.size));
    EXPECT_EQ(768, HIWORD(listener.size));
    // A refused request sends nothing.
    BoardRequestMode(1024, 768, 100);
    EXPECT_EQ(1, listener.changes);
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread, 60000);
    CloseHandle(thread);
}

TEST_F(BoardTest, AnotherProcessSeesTheSameRegisters)
{
    Write(0x39, 0xA5);
    Write(0x5D, 0x15);
    std::string printed = RunBoardReport("");
    EXPECT_EQ("15", Line(printed, "CR5D")) << printed;
    EXPECT_EQ("A5", Line(printed, "CR39")) << printed;
    EXPECT_EQ("640", Line(printed, "width"));

    ASSERT_EQ("", RunBoardReport("reset 640,480 4"));
    EXPECT_EQ(0x54, Read(0x04));
    EXPECT_EQ(0xEA, Read(0x10));
    EXPECT_EQ(0x8C, Read(0x11));
    printed = RunBoardReport("");
    EXPECT_EQ("54", Line(printed, "CR04")) << printed;
    EXPECT_EQ("EA", Line(printed, "CR10"));
    EXPECT_EQ("8C", Line(printed, "CR11"));
    EXPECT_EQ("4", Line(printed, "bpp"));
    EXPECT_EQ("60", Line(printed, "refresh"));
}

// A locked S3 answers FFh for its chip identity, as public emulators model
// it; either lock opens it. The identity registers take no writes.
TEST_F(BoardTest, S3ChipIdentityAnswersWithALockOpen)
{
    Write(0x38, 0x00);
    Write(0x39, 0x00);
    EXPECT_EQ(0xFF, Read(0x30)) << "both locks closed";
    char identity[16];
    snprintf(identity, sizeof identity, "%02X %02X %02X", Read(0x2D), Read(0x2E), Read(0x2F));
    EXPECT_EQ("88 11 00", std::string(identity)) << "CR2D to CR2F need no lock";
    Write(0x38, 0x48);
    EXPECT_EQ(0xE1, Read(0x30)) << "CR38 opened";
    Write(0x30, 0x00);
    Write(0x2E, 0x00);
    EXPECT_EQ(0xE1, Read(0x30)) << "identity written";
    EXPECT_EQ(0x11, Read(0x2E)) << "identity written";
    Write(0x38, 0x00);
    Write(0x39, 0xA0);
    EXPECT_EQ(0xE1, Read(0x30)) << "CR39 opened";
}

// Other chips as chosen at reset: the index bits they take, registers the S3
// locks would guard taken at once, and what a wrong write harms.
TEST_F(BoardTest, OtherChipsTakeTheirIndexBitsAndShowWhatWrongWritesHarm)
{
    const struct {
        int chip;
        BYTE index, latched;          // an index written and as read back
        BYTE harmful, value;          // a write that harms, and the value it puts
        const char* harm;
    } chips[] = {
        {VirtualTgui9440, 0xDD, 0xDD, 0x38, 0x48, "The pixel bus CR38 is 48h, not 04h."},
        {VirtualSixBit, 0x5D, 0x1D, 0x5D, 0x10, "The display start CR1D is 10h, not 00h."},
        {VirtualSixBit, 0x5E, 0x1E, 0x5E, 0x10, "The interlace CR1E is 10h, not 00h."},
    };
    for (const auto& c : chips) {
        VirtualBoardReset(800, 600, 16, c.chip);
        std::string chip = VirtualChipName(c.chip);
        BoardPortOut(0x3D4, c.index);
        EXPECT_EQ(c.latched, BoardPortIn(0x3D4)) << chip;
        EXPECT_EQ(0x00, Read(0x30)) << chip << ": no S3 identity";
        EXPECT_EQ("", boards::Harm(Board())) << chip;
        BYTE found = Read(c.harmful);
        Write(c.harmful, c.value);
        VirtualBoardState harmed = Board();
        EXPECT_EQ(c.harm, boards::Harm(harmed)) << chip;
        char text[8];
        EXPECT_TRUE(VirtualBoardHarm(harmed, text, sizeof text)) << chip << ": the picture is garbled";
        Write(c.harmful, found);
        EXPECT_EQ("", boards::Harm(Board())) << chip << ": put back";
    }
    // Memory-mapped I/O on harms the TGUI's bus, not its picture.
    VirtualBoardReset(800, 600, 16, VirtualTgui9440);
    Write(0x39, 0xA5);
    VirtualBoardState state = Board();
    char text[128];
    EXPECT_FALSE(VirtualBoardHarm(state, text, sizeof text));
    EXPECT_EQ("CR39 A5h turned memory-mapped I/O on.", std::string(text));
}

// Every chip is timed as the Trio64 is; the others keep the overflow bits of
// CR5D and CR5E in registers of their own, out of the ports' reach.
TEST_F(BoardTest, OtherChipsRunTheSameTimingsWithTheirOwnOverflow)
{
    VirtualBoardReset(1024, 768, 16);   // CR5D 75h, CR5E 40h and a vertical blanking bit
    VirtualBoardState trio64 = Board();
    for (int chip : {VirtualTgui9440, VirtualSixBit}) {
        VirtualBoardReset(1024, 768, 16, chip);
        VirtualBoardState other = Board();
        BYTE timing[VirtualRegisterCount];
        VirtualTimingRegisters(other, timing);
        for (int index : {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x09, 0x10, 0x11, 0x12, 0x15, 0x16,
                          0x5D, 0x5E})
            EXPECT_EQ(trio64.crtc[index], timing[index]) << VirtualChipName(chip) << " CR" << std::hex << index;
        EXPECT_EQ(0x00, Read(0x5D)) << VirtualChipName(chip) << ": CR5D as the port reaches it";
    }
}

// The board logs every port write in its shared state; another process
// prints the log, and puts a fresh board of a chip in a mode.
TEST_F(BoardTest, WriteLogKeepsTheLatestWritesForEveryProcess)
{
    ASSERT_EQ("", RunBoardReport("reset 800,600 16 tgui9440"));
    EXPECT_EQ("tgui9440", Line(RunBoardReport(""), "chip"));
    Write(0x13, 0x5A);
    BoardPortOut(0x3C2, 0xEF);
    std::string printed = RunBoardReport("writes");
    printed.erase(std::remove(printed.begin(), printed.end(), '\r'), printed.end());
    EXPECT_EQ("3D4 13\n3D5 5A CR13\n3C2 EF\n", printed);
    EXPECT_EQ("3D4:13 3D5:5A 3C2:EF", boards::WritesSince(Board(), 0));
    for (int n = 0; n < VirtualWriteLogCapacity; ++n)
        BoardPortOut(0x3D4, (BYTE)n);
    VirtualBoardState state = Board();
    VirtualPortWrite write;
    EXPECT_EQ(VirtualWriteLogCapacity + 3, state.portWrites);
    EXPECT_FALSE(VirtualLoggedWrite(state, 2, &write)) << "pushed out by the later ones";
    ASSERT_TRUE(VirtualLoggedWrite(state, 3, &write));
    EXPECT_EQ(0x3D4, write.port);
    EXPECT_EQ(0x00, write.value);
    std::string refused = RunBoardReport("reset 800,600 16 mach64");
    EXPECT_NE(std::string::npos, refused.find("no chip mach64")) << refused;
}

// What the monitor view shows of the picture: how many of its pixels are the
// picture's colour and how many the noise of a garbled one, once the view has
// shown one or the other (a minute only stops a view that never draws).
std::pair<int, int> PictureAndNoise(HWND view, bool garbled)
{
    std::pair<int, int> seen;
    for (int wait = 0; wait < 600; ++wait) {
        RECT rect;
        GetWindowRect(view, &rect);
        screen::Shot shot = screen::Save(rect, screen::BuildFolderFile("board-monitor-test.bmp"));
        seen = {0, 0};
        for (COLORREF pixel : shot.pixels) {
            seen.first += pixel == MonitorPictureColour;
            seen.second += pixel == MonitorGarbledColour;
        }
        if ((garbled ? seen.second : seen.first) > 0)
            break;
        Sleep(100);
    }
    DeleteFileA(screen::BuildFolderFile("board-monitor-test.bmp").c_str());
    return seen;
}

// The monitor view draws a picture garbled by a wrong pixel bus as noise, and
// the picture again once the bus is put back.
TEST_F(BoardTest, MonitorViewShowsAGarbledPictureAsNoise)
{
    VirtualBoardReset(800, 600, 16, VirtualTgui9440);
    std::string command = "\"" + ProgramFolder() + "\\BoardMonitor.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    HWND view = nullptr;
    for (int wait = 0; wait < 600 && !view; ++wait, Sleep(100))
        view = FindWindowA(BoardMonitorClass, nullptr);
    ASSERT_NE(nullptr, view) << "the view did not open";
    std::pair<int, int> intact = PictureAndNoise(view, false);
    Write(0x38, 0x48);
    std::pair<int, int> garbled = PictureAndNoise(view, true);
    Write(0x38, 0x04);
    std::pair<int, int> mended = PictureAndNoise(view, false);
    PostMessageA(view, WM_CLOSE, 0, 0);
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    EXPECT_TRUE(intact.first > 0 && intact.second == 0) << intact.first << " picture and " << intact.second
                                                        << " noise pixels before";
    EXPECT_TRUE(garbled.first == 0 && garbled.second > 0) << garbled.first << " picture and " << garbled.second
                                                          << " noise pixels with the pixel bus 48h";
    EXPECT_TRUE(mended.first > 0 && mended.second == 0) << mended.first << " picture and " << mended.second
                                                        << " noise pixels with the bus put back";
}

} // namespace
