// Glimrate.exe run as Windows runs it at start-up, on the example machine
// (800,600 at 16 bits per pixel, table 56 60 72 75 85, monitor up to 100 Hz)
// with the board at its boot rate, 60 Hz.
#include <gtest/gtest.h>
#include <string>
#include "board/VirtualBoard.h"
#include "common/Process.h"
#include "tests/support/Registry.h"

namespace {

const std::string Selection = std::string(machine::SelectionPath) + "\\16\\800,600";

class StartupStep : public RegistryTest {
protected:
    void SetUp() override { RegistryTest::SetUp(); machine::WriteExampleMachine("Advance"); }
    void TearDown() override { RegistryTest::TearDown(); VirtualBoardReset(800, 600, 16); }
    // The board after the step ran on it at its boot rate; it ends at once, with 0.
    VirtualBoardState RunAtBoot(const std::string& what)
    {
        VirtualBoardReset(800, 600, 16);
        EXPECT_EQ(0, RunProgram("\"" + ProgramFolder() + "\\Glimrate.exe\"")) << what;
        VirtualBoardState board;
        VirtualBoardRead(&board);
        return board;
    }
    void KeepsBootRate(const std::string& what)
    {
        VirtualBoardState board = RunAtBoot(what);
        EXPECT_EQ(0, board.modeRequests) << what << ": asked for " << board.lastRefresh << " Hz";
    }
};

TEST_F(StartupStep, PutsTheAcceptedRateBackWithThePagesRequest)
{
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", "85");
    VirtualBoardState board = RunAtBoot("85 stored");
    EXPECT_EQ(1, board.modeRequests);
    EXPECT_EQ(85, board.refresh);
    EXPECT_EQ("800x600@85", std::to_string(board.lastWidth) + "x" + std::to_string(board.lastHeight) + "@" +
                                std::to_string(board.lastRefresh));
}

TEST_F(StartupStep, NothingStoredOrADamagedStoreKeepsTheBootRate)
{
    KeepsBootRate("no Selection value");
    // A first run has no rate: not even a value named as the state.
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "First");
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", "85");
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "First", "85");
    KeepsBootRate("State First");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "Advance");
    for (const char* rate : {"85Hz", "85x", "85 ", " 85", "+85", "-85", "", "eighty", "085085", "90", "0"}) {
        machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", rate);
        KeepsBootRate(std::string("stored \"") + rate + "\"");
    }
    // Only a string is a stored rate.
    for (DWORD type : {REG_BINARY, REG_MULTI_SZ, REG_EXPAND_SZ}) {
        machine::SetBytes(HKEY_LOCAL_MACHINE, Selection, "Advance", "85\0", 4, type);
        KeepsBootRate("85 stored as type " + std::to_string(type));
    }
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", "85");
    machine::DeleteValue(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V");
    KeepsBootRate("no table for 800,600");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvel");
    KeepsBootRate("no package keys");
}

// Nobody confirms a rate at start-up: it goes only within the monitor's known
// limit, the last number of the mode line's second field whatever the
// polarities after it; with no mode key the page's 90 Hz, with a mode key
// that holds no mode line none.
TEST_F(StartupStep, AppliesTheRateOnlyWithinTheMonitorsKnownLimit)
{
    const struct {
        const char* modeLine;
        int rate;
        int requests;
    } monitors[] = {
        {"50.0-75.0,-,-", 85, 0},              // no vertical rate: no known limit
        {"31.5-48.5,75.0,-,-", 85, 0},         // up to 75 Hz
        {"31.5,70.0,-,+", 85, 0},              // fixed at 70 Hz
        {"31.5-48.5,50.0-75.0,+,+", 85, 0},
        {"30.0-64.0,50.0-100.0,-,-", 85, 1},   // up to 100 Hz
        {"30.0-64.0,50.0-85.0,+,-", 85, 1},    // up to 85 Hz
        {"31.5-48.5,60,+,+", 56, 1},           // up to 60 Hz, not the scan range's 48
        {"31.5-48.5,60,+,+", 72, 0},
        {"", 85, 0},                           // a mode key without Mode1
        {nullptr, 85, 1},
    };
    std::string modes = std::string(machine::MonitorClassPath) + "\\0000\\MODES";
    for (const auto& monitor : monitors) {
        std::string what = monitor.modeLine ? std::string("Mode1 ") + monitor.modeLine : "no mode key";
        machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", std::to_string(monitor.rate));
        machine::DeleteTree(HKEY_LOCAL_MACHINE, modes);
        bool lineless = monitor.modeLine && !*monitor.modeLine;
        machine::WriteMonitor("Monitor\\0000", "0000", "Monitor", "1024,768", lineless ? nullptr : monitor.modeLine);
        if (lineless) {
            what = "a mode key without Mode1";
            machine::CreateKey(HKEY_LOCAL_MACHINE, modes + "\\1024,768");
        }
        VirtualBoardState board = RunAtBoot(what);
        EXPECT_EQ(monitor.requests, board.modeRequests) << what << ": asked for " << board.lastRefresh << " Hz";
        EXPECT_EQ(monitor.requests ? monitor.rate : 60, board.refresh) << what;
    }
}

} // namespace
