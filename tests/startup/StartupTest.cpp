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
        EXPECT_EQ(0, RunProgram("\"" + ProgramFolder() + "\\Glimrate.exe\"", nullptr, 15000)) << what;
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
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "First");
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", "85");
    KeepsBootRate("State First");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "Advance");
    for (const char* rate : {"85Hz", " 85", "+85", "-85", "", "eighty", "085085", "90", "0"}) {
        machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", rate);
        KeepsBootRate(std::string("stored \"") + rate + "\"");
    }
    machine::SetText(HKEY_LOCAL_MACHINE, Selection, "Advance", "85");
    machine::WriteMonitor("Monitor\\0000", "0000", "Office Monitor 15\"", "1024,768", "31.5-48.5,50.0-75.0,+,+");
    KeepsBootRate("85 beyond a monitor of up to 75 Hz");
    machine::DeleteValue(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V");
    KeepsBootRate("no table for 800,600");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvel");
    KeepsBootRate("no package keys");
}

} // namespace
