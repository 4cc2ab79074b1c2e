// The package installed through its INF as Windows 95 would install it, the
// Display Properties stand-in showing the page, the typical request played
// through it, and the uninstaller taking it all away again.
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>
#include "board/VirtualBoard.h"
#include "common/Process.h"
#include "tests/support/Boards.h"
#include "tests/support/Registry.h"
#include "tests/support/Robot.h"
#include <shellapi.h>

namespace {

const char ClassKey[] = "CLSID\\{87b9bd00-c65c-11cd-a259-00dd010e8c28}";
const char HandlerKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\PropertySheetHandlers\\RTLPAGE";
const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RTLPAGE";
const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const PackageFiles[] = {"Ratelle.dll", "Glimlogo.bmp", "OV_Logo.bmp", "Purvix.exe", "Glimhelp.hlp",
                                    "Glimrate.exe"};
const char* const Resolutions[] = {"640,480", "800,600", "1024,768", "1280,1024"};
const char* const Depths[] = {"4", "8", "15", "16", "24", "32"};
const std::string AllPages = "pages: Background | Screen Saver | Appearance | Settings | Glimora";
const std::string OwnPages = "pages: Background | Screen Saver | Appearance | Settings";

std::string PackageFolder()
{
    std::string bin = ProgramFolder();
    return bin.substr(0, bin.find_last_of('\\')) + "\\package";
}

std::string SystemFolder()
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\System";
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = (char)tolower((unsigned char)c);
    return text;
}

std::string StandIn(const std::string& arguments, std::string* output, int* status)
{
    *status = RunProgram("\"" + ProgramFolder() + "\\DisplayProperties.exe\" " + arguments, output);
    std::istringstream lines(*output);
    std::string line;
    while (std::getline(lines, line))
        if (line.compare(0, 6, "pages:") == 0)
            return line.substr(0, line.find_last_not_of("\r\n") + 1);
    return "";
}

// A string of a file's version information as Explorer's Version tab finds
// it: under the language and code page of its first Translation entry.
std::string VersionText(const std::string& file, const char* name)
{
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    WORD* translation = nullptr;
    char* text = nullptr;
    UINT length = 0;
    if (info.empty() || !GetFileVersionInfoA(file.c_str(), 0, (DWORD)info.size(), info.data()) ||
        !VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", (void**)&translation, &length) || length < 4)
        return "";
    char path[64];
    snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0], translation[1], name);
    if (!VerQueryValueA(info.data(), path, (void**)&text, &length))
        return "";
    return text;
}

void RemoveInstallation()
{
    machine::DeleteTree(HKEY_CLASSES_ROOT, ClassKey);
    machine::DeleteTree(HKEY_LOCAL_MACHINE, HandlerKey);
    machine::DeleteTree(HKEY_LOCAL_MACHINE, UninstallKey);
    machine::DeleteValue(HKEY_LOCAL_MACHINE, RunKey, "Glimora");
    for (const char* file : PackageFiles)
        DeleteFileA((SystemFolder() + "\\" + file).c_str());
}

class InstallTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        RemoveInstallation();
        for (const char* file : PackageFiles)
            ASSERT_TRUE(FileExists(PackageFolder() + "\\" + file)) << "the package lacks " << file;
        ASSERT_TRUE(FileExists(PackageFolder() + "\\Glimora.inf"));
        // The example machine, without the package keys: those come from the INF.
        machine::WriteDisplaySettings("800,600", "16");
        machine::WriteMonitor("Monitor\\0000", "0000", "Multi-Frequency Monitor 17\"", "1024,768",
                              "30.0-64.0,50.0-100.0,+,+");
        VirtualBoardReset(800, 600, 16);
    }
    void TearDown() override
    {
        robot::StopWatchingBoxes();
        RemoveInstallation();
        RegistryTest::TearDown();
        // The replays leave the board in another mode; the next program finds the machine's.
        VirtualBoardReset(800, 600, 16);
    }

    void Install()
    {
        std::string inf = PackageFolder() + "\\Glimora.inf";
        ASSERT_EQ(0, RunProgram("rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " + inf));
        ASSERT_TRUE(FileExists(SystemFolder() + "\\Ratelle.dll")) << "nothing was installed from " << inf;
    }
};

TEST_F(InstallTest, PutsFilesAndRegistrationWhereTheUninstallerLooks)
{
    Install();
    for (const char* file : PackageFiles)
        EXPECT_TRUE(FileExists(SystemFolder() + "\\" + file)) << file << " in " << SystemFolder();
    // Full paths, into <Windows>\System: the uninstaller deletes from there.
    std::string server = machine::Text(HKEY_CLASSES_ROOT, std::string(ClassKey) + "\\InprocServer32", "");
    EXPECT_EQ(Lower(SystemFolder() + "\\Ratelle.dll"), Lower(server));
    EXPECT_EQ("Apartment", machine::Text(HKEY_CLASSES_ROOT, std::string(ClassKey) + "\\InprocServer32", "ThreadingModel"));
    EXPECT_EQ("{87b9bd00-c65c-11cd-a259-00dd010e8c28}", machine::Text(HKEY_LOCAL_MACHINE, HandlerKey, ""));
    EXPECT_NE("", machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayName"));
    EXPECT_EQ(Lower(SystemFolder() + "\\Purvix.exe"),
              Lower(machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString")));
    // Windows runs the start-up step by its full path when it starts.
    EXPECT_EQ(Lower(SystemFolder() + "\\Glimrate.exe"), Lower(machine::Text(HKEY_LOCAL_MACHINE, RunKey, "Glimora")));
    EXPECT_EQ("First", machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, "State"));
    // The page opens Selection keys but never creates them.
    for (const char* depth : Depths)
        for (const char* resolution : Resolutions)
            EXPECT_TRUE(machine::KeyExists(HKEY_LOCAL_MACHINE,
                                           std::string(machine::SelectionPath) + "\\" + depth + "\\" + resolution))
                << depth << "\\" << resolution;
}

// Later Windows versions show the entry with its maker, version and icon; they
// are the ones the installed page's own file carries.
TEST_F(InstallTest, UninstallEntryShowsMakerVersionAndIcon)
{
    Install();
    std::string server = SystemFolder() + "\\Ratelle.dll";
    std::string maker = VersionText(server, "CompanyName");
    std::string version = VersionText(server, "FileVersion");
    ASSERT_NE("", maker) << server << " carries no version information";
    EXPECT_EQ(maker, machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "Publisher"));
    EXPECT_EQ(version, machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayVersion"));

    // "file,index", the index counting the file's icons from 0.
    std::string icon = machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "DisplayIcon");
    size_t comma = icon.rfind(',');
    EXPECT_EQ(Lower(server + ","), Lower(icon.substr(0, comma + 1))) << icon;
    HICON shown = ExtractIconA(GetModuleHandleA(nullptr), server.c_str(), atoi(icon.c_str() + comma + 1));
    EXPECT_TRUE(shown != nullptr && shown != (HICON)1) << "no icon at " << icon;
}

// Every rate offered is one the board can drive, ascending (the Optimize
// search stops at the first rate above the monitor's limit), at most 7.
TEST_F(InstallTest, RefreshTableOffersOnlyModesTheBoardDrives)
{
    Install();
    for (const char* resolution : Resolutions) {
        std::string table = machine::Text(HKEY_LOCAL_MACHINE, machine::TablePath, std::string(resolution) + "V");
        std::vector<int> rates = machine::Rates(table);
        int width = 0, height = 0;
        sscanf(resolution, "%d,%d", &width, &height);
        EXPECT_GE(rates.size(), 1u) << resolution;
        EXPECT_LE(rates.size(), 7u) << resolution << ": " << table;
        EXPECT_EQ(std::string::npos, table.find("  ")) << "single spaces only: " << table;
        for (size_t i = 0; i < rates.size(); ++i) {
            EXPECT_TRUE(VirtualModeSupported(width, height, 8, rates[i])) << resolution << " at " << rates[i];
            if (i > 0)
                EXPECT_LT(rates[i - 1], rates[i]) << resolution << ": " << table;
        }
    }
}

// The page cuts the pieces of its boxes to fixed room: Msg0 and Msg3 to 51
// characters, Msg4 to 11, the question to 103 and the offer to 255.
TEST_F(InstallTest, MessagesFitThePagesRoom)
{
    Install();
    std::vector<std::string> msg;
    for (int n = 0; n < 8; ++n) {
        msg.push_back(machine::Text(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg" + std::to_string(n)));
        EXPECT_NE("", msg.back()) << "Msg" << n;
    }
    EXPECT_LE(msg[0].size(), 51u) << msg[0];
    EXPECT_LE(msg[3].size(), 51u) << msg[3];
    EXPECT_LE(msg[4].size(), 11u) << msg[4];
    EXPECT_LE((msg[3] + "100" + msg[4] + "100" + msg[5]).size(), 103u);
    EXPECT_LE((msg[0] + "100" + msg[1]).size(), 255u);
    // The rates stand between the pieces: the spaces around them come with the texts.
    EXPECT_EQ(' ', msg[3].back());
    EXPECT_EQ(' ', msg[4].front());
    EXPECT_EQ(' ', msg[5].front());
}

TEST_F(InstallTest, StandInShowsThePageAfterSettingsUntilUninstalled)
{
    Install();
    std::string output;
    int status = 0;
    EXPECT_EQ(AllPages, StandIn("--list", &output, &status)) << output;
    EXPECT_EQ(0, status) << output;

    // Add/Remove Programs runs the entry's command; the user confirms and
    // acknowledges the closing message.
    std::string uninstall = machine::Text(HKEY_LOCAL_MACHINE, UninstallKey, "UninstallString");
    ASSERT_NE("", uninstall);
    robot::StartWatching();
    robot::Answer(IDOK);
    robot::Answer(IDOK);
    EXPECT_EQ(0, RunProgram(uninstall));
    robot::StopWatchingBoxes();
    std::vector<robot::SeenBox> boxes = robot::Seen();
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ("Uninstall Driver", boxes[0].caption);
    EXPECT_EQ("Finished", boxes[1].caption);

    EXPECT_FALSE(machine::KeyExists(HKEY_CLASSES_ROOT, ClassKey));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, HandlerKey));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, UninstallKey));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Orvel"));
    EXPECT_FALSE(FileExists(SystemFolder() + "\\Ratelle.dll"));
    EXPECT_FALSE(FileExists(SystemFolder() + "\\Glimlogo.bmp"));

    EXPECT_EQ(OwnPages, StandIn("--list", &output, &status)) << output;
    EXPECT_EQ(0, status) << output;
}

// Advance, track bar to 85, Test, OK, Yes, the sheet's OK: the demo's replay checks
// every step itself and fails when one did not come out right.
TEST_F(InstallTest, TypicalRequestPlaysThroughTheInstalledPage)
{
    Install();
    std::string output;
    int status = RunProgram("\"" + ProgramFolder() + "\\Replay.exe\"", &output);
    EXPECT_EQ(0, status) << output;
    EXPECT_NE(std::string::npos, output.find(", 0 failed")) << output;
    VirtualBoardState board;
    VirtualBoardRead(&board);
    EXPECT_EQ(85, board.refresh);
}

// A new desktop area applied on Settings and a new monitor type from its
// modal dialog reach the Glimora page through its hook (the replay checks).
TEST_F(InstallTest, SettingsPageChangesReachTheInstalledPage)
{
    Install();
    std::string output;
    int status = RunProgram("\"" + ProgramFolder() + "\\Replay.exe\" --settings", &output);
    EXPECT_EQ(0, status) << output;
    EXPECT_EQ("1024,768", machine::Text(HKEY_LOCAL_MACHINE, machine::DisplayPath, "Resolution"));
    EXPECT_EQ("Super VGA 800x600",
              machine::Text(HKEY_LOCAL_MACHINE, std::string(machine::MonitorClassPath) + "\\0000", "DriverDesc"));
}

// The same through the installed page on every board of the table whose chip
// takes no moves: the page says so, and all it wrote to the board while the
// resolution and the monitor changed is its identity check (none where the
// registry names another vendor's adapter), which left the registers as the
// driver programs them for the new mode and the picture unharmed.
class InstalledOnABoardTakingNoMoves : public InstallTest, public ::testing::WithParamInterface<boards::Board> {};

TEST_P(InstalledOnABoardTakingNoMoves, SettingsPageChangesWriteNothingToAChipThatTakesNoMoves)
{
    const boards::Board& board = GetParam();
    Install();
    boards::Install(board, 800, 600, 16);
    VirtualBoardState found;
    VirtualBoardRead(&found);
    std::string output;
    std::string replay = "\"" + ProgramFolder() + "\\Replay.exe\" --settings";
    EXPECT_EQ(0, RunProgram(replay + " --moves-off", &output)) << output;
    VirtualBoardState after;
    VirtualBoardRead(&after);
    EXPECT_EQ("1024x768@60", std::to_string(after.width) + "x" + std::to_string(after.height) + "@" +
                                 std::to_string(after.refresh));
    boards::ExpectUntouched(board, found);
}

INSTANTIATE_TEST_SUITE_P(Boards, InstalledOnABoardTakingNoMoves, ::testing::ValuesIn(boards::TakingNoMoves()), boards::Name);

} // namespace
