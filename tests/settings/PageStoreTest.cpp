// Loading and storing the page's own settings through the registry.
#include "tests/settings/SettingsTest.h"

namespace {

using machine::ProductPath;

class PageStoreTest : public SettingsTest {
protected:
    void Load()
    {
        ReadDisplaySettings();
        LoadPageState();
    }
    void ExpectRates(const char* rate)
    {
        EXPECT_STREQ(rate, SavedRefreshText);
        EXPECT_STREQ(rate, AppliedRefreshText);
        EXPECT_STREQ(rate, PendingRefreshText);
    }
    std::string ProductValue(const char* name) { return machine::Text(HKEY_LOCAL_MACHINE, ProductPath, name); }
};

TEST_F(PageStoreTest, ReadsTheModeAndTheMonitorOfTheMachine)
{
    machine::WriteExampleMachine("Default");
    ReadDisplaySettings();
    EXPECT_STREQ("16", CurrentBitsPerPixel);
    EXPECT_STREQ("800,600", CurrentResolution);
    EXPECT_STREQ("0000", MonitorKey);
    EXPECT_STREQ("1024,768", MonitorMaxResolution);
    EXPECT_STREQ("Multi-Frequency Monitor 17\"", MonitorDescription);
    EXPECT_EQ(3, MonitorModeKind);
    EXPECT_EQ(100, MonitorMaxRefresh);
}

TEST_F(PageStoreTest, MonitorWithoutModesKeyHasTheAssumedLimit)
{
    machine::WriteExampleMachine("Default");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, std::string(machine::MonitorClassPath) + "\\0000\\MODES");
    MonitorMaxRefresh = 100;
    MonitorModeKind = 3;
    ReadDisplaySettings();
    EXPECT_EQ(90, MonitorMaxRefresh);
    EXPECT_EQ(0, MonitorModeKind);
}

TEST_F(PageStoreTest, MonitorKeyIsTheLastComponentOfTheDriverValue)
{
    const std::pair<const char*, const char*> cases[] = {
        {"Monitor\\0000", "0000"},
        {"Monitor\\0000\\", "0000"},
        {"Monitor\\0002\\\\", "0002"},
        {"0003", "0003"},
        {"\\Monitor\\0004", "0004"},
    };
    for (const auto& c : cases) {
        machine::RemoveAll();
        ClearPageState();
        machine::WriteDisplaySettings("800,600", "16");
        machine::WriteMonitor(c.first, c.second, "Monitor " + std::string(c.second), "1024,768", "31.5,60.0,+,+");
        ReadDisplaySettings();
        EXPECT_STREQ(c.second, MonitorKey) << "Driver " << c.first;
        EXPECT_EQ("Monitor " + std::string(c.second), std::string(MonitorDescription)) << "Driver " << c.first;
        EXPECT_EQ(60, MonitorMaxRefresh) << "Driver " << c.first;
    }
}

TEST_F(PageStoreTest, DriverWithoutComponentMeansNoMonitor)
{
    for (const char* driver : std::initializer_list<const char*>{"", "\\\\", nullptr}) {
        machine::RemoveAll();
        ClearPageState();
        machine::WriteExampleMachine("Default");
        // The monitor class key itself holds values that must not be taken.
        machine::SetText(HKEY_LOCAL_MACHINE, machine::MonitorClassPath, "DriverDesc", "Class");
        machine::SetText(HKEY_LOCAL_MACHINE, machine::MonitorClassPath, "MaxResolution", "1024,768");
        if (driver)
            machine::SetText(HKEY_LOCAL_MACHINE, "Enum\\Monitor\\Default_Monitor\\0001", "Driver", driver);
        else
            machine::DeleteValue(HKEY_LOCAL_MACHINE, "Enum\\Monitor\\Default_Monitor\\0001", "Driver");
        ReadDisplaySettings();
        std::string which = driver ? std::string("Driver \"") + driver + "\"" : "no Driver";
        EXPECT_STREQ("", MonitorKey) << which;
        EXPECT_STREQ("", MonitorDescription) << which;
        EXPECT_STREQ("", MonitorMaxResolution) << which;
        EXPECT_EQ(90, MonitorMaxRefresh) << which;
        EXPECT_EQ(0, MonitorModeKind) << which;
    }
}

TEST_F(PageStoreTest, FirstRunReadsOnlyTheStateAndTheTable)
{
    machine::WriteExampleMachine("First");
    machine::SetText(HKEY_LOCAL_MACHINE, ProductPath, "OrgMonitor", "Old monitor");
    machine::SetText(HKEY_LOCAL_MACHINE, ProductPath, "OrgResolution", "640,480");
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "First", "85");
    Load();
    EXPECT_EQ(1, FirstRunFlag);
    EXPECT_STREQ("First", PolicyName);
    EXPECT_STREQ("", StoredMonitor);
    EXPECT_STREQ("", StoredResolution);
    ExpectRates("");
    EXPECT_EQ(0, ModeRequests());
    ASSERT_EQ(5, RefreshCount);
    EXPECT_EQ(56, RefreshList[0]);
    EXPECT_EQ(85, RefreshList[4]);
}

TEST_F(PageStoreTest, StateIsComparedWithItsCase)
{
    machine::WriteExampleMachine("first");
    machine::SetText(HKEY_LOCAL_MACHINE, ProductPath, "OrgMonitor", "Old monitor");
    machine::SetText(HKEY_LOCAL_MACHINE, ProductPath, "OrgResolution", "640,480");
    Load();
    EXPECT_EQ(0, FirstRunFlag);
    EXPECT_STREQ("first", PolicyName);
    EXPECT_STREQ("Old monitor", StoredMonitor);
    EXPECT_STREQ("640,480", StoredResolution);
}

TEST_F(PageStoreTest, StoredRateIsTakenWithoutAModeChange)
{
    machine::WriteExampleMachine("Optimize");
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Optimize", "75");
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Default", "60");
    Load();
    EXPECT_EQ(0, FirstRunFlag);
    EXPECT_STREQ("Optimize", PolicyName);
    ExpectRates("75");
    EXPECT_EQ(0, ModeRequests());
    EXPECT_EQ(5, RefreshCount);
}

TEST_F(PageStoreTest, MissingRateAppliesTheFirstTableRateWhileLoading)
{
    // The value of the policy is missing in one case, the whole key in the other.
    for (bool keyMissing : {false, true}) {
        machine::RemoveAll();
        ClearPageState();
        VirtualBoardRead(&boardBefore);
        machine::WriteExampleMachine("Advance");
        machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Default", "75");
        if (keyMissing)
            machine::DeleteTree(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"));
        Load();
        ExpectRates("56");
        EXPECT_EQ(1, ModeRequests()) << "key missing " << keyMissing;
        VirtualBoardState board = Board();
        EXPECT_EQ(800, board.lastWidth);
        EXPECT_EQ(600, board.lastHeight);
        EXPECT_EQ(56, board.lastRefresh);
        EXPECT_EQ(5, RefreshCount);
        EXPECT_FALSE(keyMissing && machine::KeyExists(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600")));
    }
}

TEST_F(PageStoreTest, SixteenColourModeRunsAtSixtyUnderTheBlankDefault)
{
    // The table offers other rates at 640,480: in 16 colours it is not read.
    for (bool stored : {true, false}) {
        machine::RemoveAll();
        ClearPageState();
        VirtualBoardReset(640, 480, 4);
        VirtualBoardRead(&boardBefore);
        machine::WriteExampleMachine("Default");
        machine::WriteDisplaySettings("640,480", "4");
        machine::SetText(HKEY_LOCAL_MACHINE, machine::TablePath, "640,480V", "72 75 85");
        if (stored)
            machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("4", "640,480"), "Default", "60");
        RefreshList[1] = 99;
        Load();
        std::string which = stored ? "stored rate" : "no stored rate";
        EXPECT_STREQ(" Default", PolicyName) << which;
        EXPECT_EQ(1, RefreshCount) << which;
        EXPECT_EQ(60, RefreshList[0]) << which;
        EXPECT_EQ(99, RefreshList[1]) << which;
        ExpectRates("60");
        // Without a stored rate the one rate of the mode is applied.
        EXPECT_EQ(stored ? 0 : 1, ModeRequests()) << which;
        if (!stored)
            EXPECT_EQ(60, Board().lastRefresh);
    }
    SavePageState();
    EXPECT_EQ(Stored("60"), RawValue(SelectionPath("4", "640,480"), " Default"));
    EXPECT_EQ(Stored(" Default"), RawValue(ProductPath, "State"));
}

TEST_F(PageStoreTest, FirstRunRecordsMonitorAndResolutionAndAppliesTheFirstRate)
{
    machine::WriteExampleMachine("First");
    Load();
    RecordInitialSettings();
    EXPECT_STREQ("Default", PolicyName);
    EXPECT_STREQ("Multi-Frequency Monitor 17\"", StoredMonitor);
    EXPECT_STREQ("800,600", StoredResolution);
    ExpectRates("56");
    EXPECT_EQ(1, ModeRequests());
    EXPECT_EQ(56, Board().lastRefresh);
    EXPECT_EQ(Stored("Multi-Frequency Monitor 17\""), RawValue(ProductPath, "OrgMonitor"));
    EXPECT_EQ(Stored("800,600"), RawValue(ProductPath, "OrgResolution"));
    EXPECT_EQ(Stored("Default"), RawValue(ProductPath, "State"));
    // No rate is stored before the first save.
    EXPECT_EQ("<no value>", RawValue(SelectionPath("16", "800,600"), "Default"));
}

TEST_F(PageStoreTest, LongMonitorDescriptionIsStoredCutToEndInItsFortyBytes)
{
    std::string name45 = "Orvel UltraScan 1795 Multi-Frequency Monitor!";
    std::string name39 = name45.substr(0, 39);
    ASSERT_EQ(45u, name45.size());
    for (const std::string& name : {name39, name45}) {
        machine::RemoveAll();
        ClearPageState();
        machine::WriteExampleMachine("First");
        machine::WriteMonitor("Monitor\\0000", "0000", name, "1024,768", "31.5,60.0,+,+");
        Load();
        RecordInitialSettings();
        std::string raw = RawValue(ProductPath, "OrgMonitor");
        EXPECT_EQ(name39 + '\0', raw) << name.size() << " characters";
        ClearPageState();
        Load();
        EXPECT_EQ(name39, std::string(StoredMonitor)) << name.size() << " characters";
        EXPECT_EQ(name, std::string(MonitorDescription));
    }
    // Earlier versions stored the first 40 bytes without a NUL: still read.
    SetUnterminated(ProductPath, "OrgMonitor", name45.substr(0, 40));
    ClearPageState();
    Load();
    EXPECT_EQ(name45.substr(0, 40), std::string(StoredMonitor));
}

TEST_F(PageStoreTest, SaveStoresTheAppliedRateUnderThePolicy)
{
    machine::WriteExampleMachine("Default");
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Default", "60");
    Load();
    strcpy(PolicyName, "Advance");
    strcpy(AppliedRefreshText, "85");
    strcpy(PendingRefreshText, "72");   // under test, never stored
    for (int round = 0; round < 2; ++round) {
        SavePageState();
        EXPECT_STREQ("85", SavedRefreshText);
        EXPECT_EQ(Stored("85"), RawValue(SelectionPath("16", "800,600"), "Advance")) << "round " << round;
        EXPECT_EQ("60", machine::Text(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Default"));
        EXPECT_EQ(Stored("Advance"), RawValue(ProductPath, "State"));
        EXPECT_EQ(Stored("Multi-Frequency Monitor 17\""), RawValue(ProductPath, "OrgMonitor"));
        EXPECT_EQ(Stored("800,600"), RawValue(ProductPath, "OrgResolution"));
    }
}

TEST_F(PageStoreTest, SaveCreatesNoKey)
{
    machine::WriteExampleMachine("Default");
    Load();
    strcpy(AppliedRefreshText, "75");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"));
    SavePageState();
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600")));
    EXPECT_EQ(Stored("Default"), RawValue(ProductPath, "State"));

    machine::DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Orvel");
    SavePageState();
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, ProductPath));
}

TEST_F(PageStoreTest, MissingProductKeyKeepsWhatWasLoaded)
{
    machine::WriteExampleMachine("Optimize");
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionPath("16", "800,600"), "Optimize", "72");
    Load();
    machine::DeleteTree(HKEY_LOCAL_MACHINE, ProductPath);
    Load();
    EXPECT_STREQ("Optimize", PolicyName);
    EXPECT_EQ(0, FirstRunFlag);
    // The Selection key went with the product key: the first rate is used.
    ExpectRates("60");   // the table is gone too: its one fallback rate
    EXPECT_EQ(1, RefreshCount);
}

} // namespace
