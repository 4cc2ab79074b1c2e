#include "tests/support/Boards.h"
#include <cstdio>
#include <vector>
#include "tests/support/Registry.h"

namespace boards {

const char S3Trio64Key[] = "PCI\\VEN_5333&DEV_8811&SUBSYS_00000000&REV_00\\BUS_00&DEV_0D&FUNC_00";
const char TridentKey[] = "PCI\\VEN_1023&DEV_9440&SUBSYS_00000000&REV_E3\\BUS_00&DEV_0E&FUNC_00";
const char LegacyVgaKey[] = "ROOT\\*PNP0900\\0000";

const Board Table[4] = {
    {"S3Trio64", VirtualTrio64, S3Trio64Key, nullptr, true, true},
    {"TridentTguiBesideAStaleS3Key", VirtualTgui9440, TridentKey, S3Trio64Key, false, false},
    {"TridentTguiOnVlb", VirtualTgui9440, nullptr, nullptr, false, true},
    {"SixIndexBitsOnIsa", VirtualSixBit, LegacyVgaKey, nullptr, false, true},
};

namespace {

// Wine keeps no nodes of its own there: the tests' are all there is.
const char NodesPath[] = "Config Manager\\Enum";
// The device keys WriteDevice wrote, for RemoveDevices, beside those of the
// table (a test that ended early leaves them to the next).
std::vector<std::string> WrittenKeys;

// A device's key down to its device (the instance is a sub-key of it).
std::string DeviceKey(const std::string& hardwareKey)
{
    return "Enum\\" + hardwareKey.substr(0, hardwareKey.find_last_of('\\'));
}

std::string Hex(int value)
{
    char text[8];
    snprintf(text, sizeof text, "%02X", value);
    return text;
}

} // namespace

std::vector<Board> TakingNoMoves()
{
    std::vector<Board> rows;
    for (const Board& board : Table)
        if (!board.moves)
            rows.push_back(board);
    return rows;
}

void PrintTo(const Board& board, std::ostream* out)
{
    *out << board.name;
}

std::string Name(const ::testing::TestParamInfo<Board>& info)
{
    return info.param.name;
}

void WriteDevice(const char* node, const char* hardwareKey, const char* deviceClass, bool present)
{
    machine::SetText(HKEY_LOCAL_MACHINE, std::string("Enum\\") + hardwareKey, "Class", deviceClass);
    WrittenKeys.push_back(DeviceKey(hardwareKey));
    if (!present)
        return;
    std::string path = std::string(NodesPath) + "\\" + node;
    machine::SetText(HKEY_DYN_DATA, path, "HardWareKey", hardwareKey);
    DWORD none = 0;
    machine::SetBytes(HKEY_DYN_DATA, path, "Problem", &none, sizeof none, REG_BINARY);
}

void RemoveDevices()
{
    machine::DeleteTree(HKEY_DYN_DATA, NodesPath);
    for (const char* key : {S3Trio64Key, TridentKey, LegacyVgaKey})
        WrittenKeys.push_back(DeviceKey(key));
    for (const std::string& key : WrittenKeys)
        machine::DeleteTree(HKEY_LOCAL_MACHINE, key);
    WrittenKeys.clear();
}

void Install(const Board& board, int width, int height, int bitsPerPixel)
{
    RemoveDevices();
    VirtualBoardReset(width, height, bitsPerPixel, board.chip);
    if (board.stale)
        WriteDevice("00000A31", board.stale, "Display", false);
    if (board.present)
        WriteDevice("00000A32", board.present, "Display", true);
}

std::string WritesSince(const VirtualBoardState& board, LONG from)
{
    std::string text;
    for (LONG n = from; n < board.portWrites; ++n) {
        VirtualPortWrite write;
        char one[16] = "(lost)";
        if (VirtualLoggedWrite(board, n, &write))
            snprintf(one, sizeof one, "%X:%02X", write.port, write.value);
        text += (text.empty() ? "" : " ") + std::string(one);
    }
    return text;
}

std::string IdentityCheck(BYTE lockFound, BYTE indexFound)
{
    return "3D4:38 3D5:48 3D4:2D 3D4:2E 3D4:30 3D4:38 3D5:" + Hex(lockFound) + " 3D4:" + Hex(indexFound);
}

std::string Changes(const BYTE* before, const BYTE* after)
{
    std::string text;
    for (int i = 0; i < VirtualRegisterCount; ++i)
        if (before[i] != after[i])
            text += (text.empty() ? "CR" : " CR") + Hex(i) + " " + Hex(before[i]) + "h->" + Hex(after[i]) + "h";
    return text;
}

std::string Harm(const VirtualBoardState& board)
{
    char text[256];
    VirtualBoardHarm(board, text, sizeof text);
    return text;
}

void ExpectUntouched(const Board& board, const VirtualBoardState& found)
{
    VirtualBoardState now;
    VirtualBoardRead(&now);
    EXPECT_EQ(board.probed ? IdentityCheck(found.crtc[0x38], found.index) : "", WritesSince(now, 0))
        << board.name << ": port writes";
    BYTE driver[VirtualRegisterCount];
    VirtualModeRegisters(board.chip, now.width, now.height, now.bitsPerPixel, now.refresh, driver);
    EXPECT_EQ("", Changes(driver, now.crtc)) << board.name << ": registers against the driver's for " << now.width
                                             << "x" << now.height << " at " << now.refresh << " Hz";
    EXPECT_EQ("", Harm(now)) << board.name;
}

} // namespace boards
