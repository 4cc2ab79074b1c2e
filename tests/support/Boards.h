// The boards the page is tried on, one table for every test that opens it:
// the chip of the virtual board, and the display adapters the registry of
// present devices names. Windows 95 keeps those under HKEY_DYN_DATA, which
// Wine holds too for as long as its server runs (reg.exe and regedit refuse
// that root, so the tests write it themselves), and HKLM\Enum keeps the key
// of every board ever installed.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "board/VirtualBoard.h"

namespace boards {

// Hardware keys as Windows 95 names its devices.
extern const char S3Trio64Key[];    // PCI\VEN_5333&DEV_8811&...
extern const char TridentKey[];     // PCI\VEN_1023&DEV_9440&...
extern const char LegacyVgaKey[];   // an ISA board Windows detected: ROOT\*PNP0900\0000

struct Board {
    const char* name;
    int chip;             // VirtualChip
    const char* present;  // the display adapter's node in the present devices, or none
    const char* stale;    // a display adapter's key left in HKLM\Enum by a board taken out, or none
    bool moves;           // the picture may be moved on it
    bool probed;          // the page reads the chip: the registry names no other vendor's adapter
};

extern const Board Table[4];
// The rows whose chip takes no moves (the S3's scenarios are the tests that
// were there before the table).
std::vector<Board> TakingNoMoves();

// A row as a failed parameterised test prints it.
void PrintTo(const Board& board, std::ostream* out);

// For the names of parameterised tests.
std::string Name(const ::testing::TestParamInfo<Board>& info);

// A fresh board of the row's chip in the mode and its registry entries
// (those of any row before removed).
void Install(const Board& board, int width, int height, int bitsPerPixel);

// A device node under HKEY_DYN_DATA\Config Manager\Enum naming hardwareKey,
// when present, and the device's key HKLM\Enum\<hardwareKey> with its class.
void WriteDevice(const char* node, const char* hardwareKey, const char* deviceClass, bool present);
// Removes every device key WriteDevice wrote.
void RemoveDevices();

// The port writes logged since the write numbered from, "3D4:38 3D5:48 ...";
// "(lost)" stands for writes the log no longer holds.
std::string WritesSince(const VirtualBoardState& board, LONG from);
// The writes of the page's identity check on a board as found: the S3 lock
// opened, the identity selected, the lock and the index put back.
std::string IdentityCheck(BYTE lockFound, BYTE indexFound);
// The registers that differ, "CR38 04h->48h ..."; "" when none.
std::string Changes(const BYTE* before, const BYTE* after);
// What the board's harm is, "" when none.
std::string Harm(const VirtualBoardState& board);

// After a scenario on a board that takes no moves, found as it was before:
// nothing written but the identity check (nothing at all where the registry
// decided), the registers those the driver programs for the mode the board
// runs now, the picture unharmed.
void ExpectUntouched(const Board& board, const VirtualBoardState& found);

} // namespace boards
