// Glimrate.exe run as Windows runs it at start-up, on the example machine
// (800,600 at 16 bits per pixel, table 56 60 72 75 85, monitor up to 100 Hz)
// with the board at its boot rate, 60 Hz.
#include <gtest/gtest.h>
#include <string>
#include "board/VirtualBoard.h"
#include "tests/support/Process.h"
#include "tests/support/Registry.h"

namespace {

const DWORD AtOnce = 15000;   // ms; it has nothing to wait for

class StartupStep : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        machine::WriteExampleMachine("Advance");
        VirtualBoardReset(800, 600, 16);
    }
    void TearDown() override
    {
        RegistryTest::TearDown();
        VirtualBoardReset(800, 600, 16);
    }
    void StoreAdvance(const std::string& rate)
    {
        machine::SetText(HKEY_LOCAL_MACHINE, std::string(machine::SelectionPath) + "\\16\\800,600", "Advance", rate);
    }
    // Runs the step on a board at its boot rate; the board afterwards.
    VirtualBoardState RunAtBoot(const std::string& what)
    {
        VirtualBoardReset(800, 600, 16);
        EXPECT_EQ(0, RunProgram("\"" + ProgramFolder() + "\\Glimrate.exe\"", nullptr, AtOnce)) << what;
        VirtualBoardState board;
        VirtualBoardRead(&board);
        return board;
    }
    void ExpectBootRateKept(const std::string& what)
    {
        VirtualBoardState board = RunAtBoot(what);
        EXPECT_EQ(0, board.modeRequests) << what << ": asked for " << board.lastRefresh << " Hz";
        EXPECT_EQ(60, board.refresh) << what;
    }
};

TEST_F(StartupStep, PutsTheAcceptedRateBackWithThePagesRequest)
{
    StoreAdvance("85");
    VirtualBoardState board = RunAtBoot("85 stored under Advance");
    EXPECT_EQ(1, board.modeRequests);
    EXPECT_EQ(85, board.refresh);
    EXPECT_EQ(800, board.lastWidth);
    EXPECT_EQ(600, board.lastHeight);

    // Each depth and resolution and each policy has its own rate.
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "Optimize");
    machine::SetText(HKEY_LOCAL_MACHINE, std::string(machine::SelectionPath) + "\\16\\800,600", "Optimize", "72");
    EXPECT_EQ(72, RunAtBoot("72 under Optimize").refresh);
}

TEST_F(StartupStep, NothingStoredKeepsTheBootRate)
{
    ExpectBootRateKept("no Selection value");
    StoreAdvance("85");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "First");
    ExpectBootRateKept("State First, the page never shown");
    machine::SetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "State", "Default");
    ExpectBootRateKept("85 stored under Advance, the policy Default");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvel");
    ExpectBootRateKept("no package keys");
}

TEST_F(StartupStep, DamagedStoreKeepsTheBootRate)
{
    for (const char* rate : {"85Hz", " 85", "+85", "-85", "", "eighty", "085085", "90", "0"}) {
        StoreAdvance(rate);
        ExpectBootRateKept(std::string("stored \"") + rate + "\"");
    }
    StoreAdvance("85");
    machine::WriteMonitor("Monitor\\0000", "0000", "Office Monitor 15\"", "1024,768", "31.5-48.5,50.0-75.0,+,+");
    ExpectBootRateKept("85 beyond a monitor of up to 75 Hz");
    machine::WriteExampleMachine("Advance");
    machine::DeleteValue(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V");
    ExpectBootRateKept("85 with no table for 800,600");
}

} // namespace
