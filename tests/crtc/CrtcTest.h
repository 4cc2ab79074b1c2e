// Shared set-up of the CRT controller tests: the virtual board in a mode, the
// page state naming it, and a log of the port accesses the code makes.
#pragma once
#include <cstring>
#include <sstream>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "board/Board.h"
#include "board/VirtualBoard.h"
#include "crtc/Crtc.h"
#include "settings/PageState.h"
#include "tests/support/Boards.h"

struct PortAccess {
    WORD port;
    BYTE value;
    bool write;
};

inline std::vector<PortAccess>& PortLog()
{
    static std::vector<PortAccess> log;
    return log;
}

inline void RecordAccess(WORD port, BYTE value, bool write)
{
    PortLog().push_back({port, value, write});
}

// The data-port writes of the log as "CRxx:vv" with the index each went to.
inline std::string DataWrites()
{
    std::ostringstream out;
    int index = -1;
    for (const PortAccess& a : PortLog()) {
        if (a.port == CrtcIndexPort && a.write)
            index = a.value;
        else if (a.port == CrtcDataPort && a.write)
            out << (out.tellp() > 0 ? " " : "") << "CR" << std::hex << std::uppercase << (index >> 4)
                << (index & 15) << ":" << (a.value >> 4) << (a.value & 15);
    }
    return out.str();
}

inline bool IndexWritten(BYTE index)
{
    for (const PortAccess& a : PortLog())
        if (a.port == CrtcIndexPort && a.write && a.value == index)
            return true;
    return false;
}

// Register access of the tests themselves, not logged.
inline BYTE Register(BYTE index)
{
    WatchVirtualPorts(nullptr);
    BoardPortOut(CrtcIndexPort, index);
    BYTE value = BoardPortIn(CrtcDataPort);
    WatchVirtualPorts(RecordAccess);
    return value;
}

inline void SetRegister(BYTE index, BYTE value)
{
    WatchVirtualPorts(nullptr);
    const BYTE unlock[][2] = {{0x38, 0x48}, {0x39, 0xA5}};
    for (const auto& pair : unlock) {
        BoardPortOut(CrtcIndexPort, pair[0]);
        BoardPortOut(CrtcDataPort, pair[1]);
    }
    BoardPortOut(CrtcIndexPort, 0x11);
    BYTE cr11 = BoardPortIn(CrtcDataPort);
    BoardPortOut(CrtcDataPort, cr11 & 0x7F);
    BoardPortOut(CrtcIndexPort, index);
    BoardPortOut(CrtcDataPort, value);
    if (index != 0x11) {
        BoardPortOut(CrtcIndexPort, 0x11);
        BoardPortOut(CrtcDataPort, cr11);
    }
    WatchVirtualPorts(RecordAccess);
}

inline std::string Hex(int value)
{
    std::ostringstream out;
    out << std::hex << std::uppercase << value << "h";
    return out.str();
}

class CrtcTest : public ::testing::Test {
protected:
    // The board and the page state in one mode, the log empty.
    void Mode(int width, int height, const char* bitsPerPixel)
    {
        VirtualBoardReset(width, height, atoi(bitsPerPixel));
        Name(width, height, bitsPerPixel);
    }
    // The page state's idea of the mode only.
    void Name(int width, int height, const char* bitsPerPixel)
    {
        std::string resolution = std::to_string(width) + "," + std::to_string(height);
        strcpy(CurrentResolution, resolution.c_str());
        strcpy(CurrentBitsPerPixel, bitsPerPixel);
        PortLog().clear();
    }
    void Snapshot()
    {
        UpdateBytesPerPixel();
        TakeTimingSnapshot();
    }
    void SetUp() override
    {
        memset(&SnapshotTiming, 0, sizeof SnapshotTiming);
        memset(&CurrentTiming, 0, sizeof CurrentTiming);
        BytesPerPixel = 0;
        // An S3 the registry does not name, identified as the page does first.
        boards::RemoveDevices();
        VirtualBoardReset(640, 480, 8);
        IdentifyChip();
        PortLog().clear();
        WatchVirtualPorts(RecordAccess);
    }
    void TearDown() override
    {
        WatchVirtualPorts(nullptr);
        CurrentResolution[0] = CurrentBitsPerPixel[0] = '\0';
    }
};
