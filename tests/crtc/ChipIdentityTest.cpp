// The chip found before any register is written: the registry of present
// devices first, then the chip, left as found; and on any chip but an S3 with
// the overflow registers, the snapshot and the moves reach no port at all.
#include "tests/crtc/CrtcTest.h"
#include "tests/support/Boards.h"

namespace {

const char Trio64V2Key[] = "PCI\\VEN_5333&DEV_8901&SUBSYS_00000000&REV_16\\BUS_00&DEV_0D&FUNC_00";
const char NetworkCardKey[] = "PCI\\VEN_10EC&DEV_8029&SUBSYS_00000000&REV_00\\BUS_00&DEV_0B&FUNC_00";

struct Device {
    const char* key;
    const char* deviceClass;
    bool present;
};

struct Case {
    const char* what;
    int chip;
    Device devices[2];
    bool found;    // the page takes it for an S3 with the overflow registers
    bool probed;   // it reads the chip
};

const Case Cases[] = {
    {"a Trio64 the registry does not name", VirtualTrio64, {}, true, true},
    {"a Trio64 the registry names", VirtualTrio64, {{boards::S3Trio64Key, "Display", true}}, true, true},
    {"a Trio64 beside another vendor's network card", VirtualTrio64,
     {{boards::S3Trio64Key, "Display", true}, {NetworkCardKey, "Net", true}}, true, true},
    {"a Trio64 at the ports, the registry naming a Trio64V2 (a second board)", VirtualTrio64,
     {{Trio64V2Key, "Display", true}}, false, true},
    {"a Trio64 beside another vendor's display adapter", VirtualTrio64,
     {{boards::S3Trio64Key, "Display", true}, {boards::TridentKey, "Display", true}}, false, false},
    {"a TGUI the registry names, an S3 key left behind", VirtualTgui9440,
     {{boards::TridentKey, "Display", true}, {boards::S3Trio64Key, "Display", false}}, false, false},
    {"a TGUI the registry does not name (VLB)", VirtualTgui9440, {}, false, true},
    {"a six-bit chip Windows detected (ISA)", VirtualSixBit, {{boards::LegacyVgaKey, "Display", true}}, false, true},
};

class ChipIdentity : public CrtcTest {
protected:
    void TearDown() override
    {
        boards::RemoveDevices();
        CrtcTest::TearDown();
    }
};

std::string TwoHex(int value)
{
    char text[4];
    snprintf(text, sizeof text, "%02X", value);
    return text;
}

VirtualBoardState Board()
{
    VirtualBoardState b;
    VirtualBoardRead(&b);
    return b;
}

TEST_F(ChipIdentity, RegistryFirstThenTheChipLeftAsFound)
{
    for (const Case& c : Cases) {
        boards::RemoveDevices();
        int node = 0;
        for (const Device& device : c.devices)
            if (device.key)
                boards::WriteDevice(node++ ? "00000B02" : "00000B01", device.key, device.deviceClass, device.present);
        VirtualBoardReset(800, 600, 16, c.chip);
        Name(800, 600, "16");
        WatchVirtualPorts(nullptr);
        BoardPortOut(CrtcIndexPort, 0x13);   // the index some program left
        WatchVirtualPorts(RecordAccess);
        const VirtualBoardState found = Board();

        IdentifyChip();
        EXPECT_EQ(c.found, S3ChipFound != FALSE) << c.what;
        // Only the S3 lock is written: opened, and put back as found.
        EXPECT_EQ(c.probed ? "CR38:48 CR38:" + TwoHex(found.crtc[0x38]) : "", DataWrites()) << c.what;
        EXPECT_EQ(c.probed, !PortLog().empty()) << c.what << ": the registry alone decides a foreign adapter";
        VirtualBoardState after = Board();
        EXPECT_EQ("", boards::Changes(found.crtc, after.crtc)) << c.what;
        EXPECT_EQ(found.index, after.index) << c.what << ": the index";
        EXPECT_EQ("", boards::Harm(after)) << c.what;

        // Wherever the chip is not taken for an S3, the page's register work
        // reaches no port.
        PortLog().clear();
        UpdateBytesPerPixel();
        TakeTimingSnapshot();
        ProgramSyncPosition(FALSE);
        MoveLeft();
        MoveUp();
        EXPECT_EQ(c.found, !PortLog().empty()) << c.what << ": " << DataWrites();
        if (!c.found)
            EXPECT_EQ("", boards::Changes(found.crtc, Board().crtc)) << c.what;
    }
}

} // namespace
