// The monitor's mode line and the refresh table.
#include "tests/settings/SettingsTest.h"

namespace {

class MonitorModesTest : public SettingsTest {
protected:
    void ReadModeLine(const char* line)
    {
        machine::RemoveAll();
        machine::WriteMonitor("Monitor\\0000", "0000", "Monitor", "1024,768", line);
        strcpy(MonitorKey, "0000");
        strcpy(MonitorMaxResolution, "1024,768");
        ReadMonitorModes();
    }
    void ReadTable(const char* value)
    {
        machine::SetText(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V", value);
        strcpy(CurrentResolution, "800,600");
        ReadRefreshTable();
    }
    std::string List()
    {
        std::string list;
        for (int i = 0; i < RefreshCount; ++i)
            list += (i ? " " : "") + std::to_string(RefreshList[i]);
        return list;
    }
};

TEST_F(MonitorModesTest, ModeLineGivesItsKindAndItsLastVerticalRate)
{
    const struct { const char* line; int kind; int rate; } cases[] = {
        {"30.0-64.0,50.0-100.0,+,+", 3, 100},
        {"31.5,60.0,+,+", 1, 60},
        {"31.5,50.0-90.0,+,+", 2, 90},
        {"31.5-48.5,60.0,+,+", 2, 60},
        {"31.5,59.94,+,+", 1, 59},
        // Fewer numbers than the dashes call for: the last number there.
        {"31.5,60.0,-,-", 3, 60},
        // Tokens longer than a number may be are cut to 7 characters.
        {"31.5,12345678901234567890,+,+", 1, 1234567},
        {"30.0-64.0,50.0-85.000000000000000001,+,+", 3, 85},
        {"", 1, 0},
    };
    for (const auto& c : cases) {
        ReadModeLine(c.line);
        EXPECT_EQ(c.kind, MonitorModeKind) << c.line;
        EXPECT_EQ(c.rate, MonitorMaxRefresh) << c.line;
    }
}

// Ranges with negative polarities are not read: the limit is unknown, never
// the one of the monitor read before.
TEST_F(MonitorModesTest, ThreeOrMoreDashesGiveAnUnknownLimit)
{
    for (const char* line : {"31.5,50.0-90.0,-,-", "30.0-64.0,50.0-100.0,-,+", "30.0-64.0,50.0-100.0,-,-"}) {
        MonitorModeKind = 2;
        MonitorMaxRefresh = 77;
        ReadModeLine(line);
        EXPECT_EQ(0, MonitorModeKind) << line;
        EXPECT_EQ(0, MonitorMaxRefresh) << line;
    }
}

TEST_F(MonitorModesTest, MonitorWithoutModeLineForItsMaximum)
{
    ReadModeLine(nullptr);   // no MODES key
    EXPECT_EQ(0, MonitorModeKind);
    EXPECT_EQ(90, MonitorMaxRefresh);

    // A MODES key without "Mode1" tells no limit.
    machine::CreateKey(HKEY_LOCAL_MACHINE, std::string(machine::MonitorClassPath) + "\\0000\\MODES\\1024,768");
    ReadMonitorModes();
    EXPECT_EQ(0, MonitorModeKind);
    EXPECT_EQ(0, MonitorMaxRefresh);
}

TEST_F(MonitorModesTest, ModeLineFillingItsWholeBufferIsParsedWithinIt)
{
    std::string line = "31.5,50.0-90.0,+,+";
    line.resize(120, '+');   // 120 bytes, no NUL
    machine::WriteMonitor("Monitor\\0000", "0000", "Monitor", "1024,768", nullptr);
    SetUnterminated(std::string(machine::MonitorClassPath) + "\\0000\\MODES\\1024,768", "Mode1", line);
    strcpy(MonitorKey, "0000");
    strcpy(MonitorMaxResolution, "1024,768");
    ReadMonitorModes();
    EXPECT_EQ(2, MonitorModeKind);
    EXPECT_EQ(90, MonitorMaxRefresh);
}

TEST_F(MonitorModesTest, TableValueListsTheRatesInOrder)
{
    ReadTable("60 72 75 85");
    EXPECT_EQ("60 72 75 85", List());
    ReadTable("60");
    EXPECT_EQ("60", List());
    ReadTable("56 60 70 72 75 85 100");
    EXPECT_EQ("56 60 70 72 75 85 100", List());
}

TEST_F(MonitorModesTest, TrailingSpaceCountsAnEntryThatKeepsItsValue)
{
    ReadTable("60 72 ");
    EXPECT_EQ("60 72 0", List());
    ReadTable("56 60 70 72");
    ReadTable("60 72 ");
    EXPECT_EQ("60 72 70", List());
}

TEST_F(MonitorModesTest, UnusableTableIsASingleSixtyHertzEntry)
{
    const char* values[] = {
        "60 72 75 85 100 110 120 130",   // eight rates
        "60 72 75 85       ",            // seven spaces
        "",
        "fast",
        " 0 72",
    };
    for (const char* value : values) {
        ReadTable("56 60 70 72");
        ReadTable(value);
        EXPECT_EQ("60", List()) << "\"" << value << "\"";
    }

    ReadTable("56 60 70 72");
    machine::DeleteValue(HKEY_LOCAL_MACHINE, machine::TablePath, "800,600V");
    ReadRefreshTable();
    EXPECT_EQ("60", List()) << "no value";

    ReadTable("56 60 70 72");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, machine::TablePath);
    ReadRefreshTable();
    EXPECT_EQ("60", List()) << "no key";
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, machine::TablePath));
}

} // namespace
