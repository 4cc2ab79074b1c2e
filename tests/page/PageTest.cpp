// The page in its sheet: set-up and enabling by policy, the policy buttons,
// the rate track bar, the status tree, context help, the picture moves by
// hot key and drag pad, and the sheet's Apply and Cancel.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>
#include <string>
#include "page/Page.h"
#include "resources/resource.h"
#include "settings/PageState.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Robot.h"

using namespace page_test;

namespace {

struct PolicyRow {
    bool defaultButton, optimizeButton, advanceButton, trackbar, test, frame;
};

std::string Describe(const PolicyRow& r)
{
    return "Default " + std::to_string(r.defaultButton) + ", Optimize " + std::to_string(r.optimizeButton) +
           ", Advance " + std::to_string(r.advanceButton) + ", track bar " + std::to_string(r.trackbar) +
           ", Test " + std::to_string(r.test) + ", frame " + std::to_string(r.frame);
}

PolicyRow Controls(HWND page)
{
    return { Enabled(page, IDC_DEFAULT), Enabled(page, IDC_OPTIMIZE), Enabled(page, IDC_ADVANCE),
             Enabled(page, IDC_RATE_TRACKBAR), Enabled(page, IDC_TEST), Enabled(page, IDC_ADVANCE_FRAME) };
}

#define EXPECT_CONTROLS(expected) EXPECT_EQ(Describe(expected), Describe(Controls(page)))

int TrackbarPosition(HWND page)
{
    return (int)SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_GETPOS, 0, 0);
}

bool ApplyEnabled(HWND sheet)
{
    return IsWindowEnabled(GetDlgItem(sheet, SheetApplyButton)) != FALSE;
}

// Horizontal and vertical sync positions, as "CR04,CR10".
std::string Positions(int hsync, int vsync)
{
    return std::to_string(hsync) + "," + std::to_string(vsync);
}

std::string BoardPositions()
{
    return Positions(Register(0x04), Register(0x10));
}

class RefreshPage : public PageTest {};

TEST_F(RefreshPage, OpensWithTheStoredOptimizePolicy)
{
    machine::WriteExampleMachine("Optimize");
    StoreRate("Optimize", "75");
    OpenSheet();

    EXPECT_CONTROLS((PolicyRow{true, false, true, false, false, false}));
    EXPECT_EQ("100", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_EQ("1024,768", ControlText(page, IDC_MAX_RESOLUTION));
    EXPECT_EQ("75", ControlText(page, IDC_RATE_LABEL));
    EXPECT_EQ(3, TrackbarPosition(page));
    EXPECT_EQ(4, (int)SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_GETRANGEMAX, 0, 0));
    EXPECT_EQ(0, Board().modeRequests) << "a stored rate is taken as in force";
}

TEST_F(RefreshPage, SixteenColoursLockEveryPolicyControl)
{
    machine::WriteExampleMachine("Default");
    machine::WriteDisplaySettings("640,480", "4");
    VirtualBoardReset(640, 480, 4);
    OpenSheet();

    EXPECT_CONTROLS((PolicyRow{false, false, false, false, false, false}));
    EXPECT_EQ("60", ControlText(page, IDC_RATE_LABEL));
    EXPECT_EQ(" Default", std::string(PolicyName));
}

TEST_F(RefreshPage, UnknownMonitorLimitOpensInAdvance)
{
    machine::WriteExampleMachine("Optimize");
    // Four dashes: a mode line the page cannot read leaves the limit unknown.
    machine::WriteMonitor("Monitor\\0000", "0000", "Fixed Monitor", "1024,768", "30.0-64.0,50.0-100.0,-,-");
    StoreRate("Optimize", "72");
    OpenSheet();

    EXPECT_EQ("Unknown", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_EQ("Advance", std::string(PolicyName));
    EXPECT_CONTROLS((PolicyRow{true, true, false, true, true, true}));
}

TEST_F(RefreshPage, PolicyButtonsActLikeRadioButtons)
{
    machine::WriteExampleMachine("Default");
    StoreRate("Default", "56");
    OpenSheet();
    EXPECT_CONTROLS((PolicyRow{false, true, true, false, false, false}));

    Click(IDC_ADVANCE);
    EXPECT_CONTROLS((PolicyRow{true, true, false, true, true, true}));
    EXPECT_FALSE(ApplyEnabled(sheet)) << "choosing Advance alone is no change of the page";

    for (int i = 0; i < 5; ++i)
        robot::Answer(IDCANCEL);
    Click(IDC_OPTIMIZE);
    EXPECT_EQ(5u, robot::Seen().size()) << "every allowed rate offered";
    EXPECT_CONTROLS((PolicyRow{true, false, true, false, false, false}));
    EXPECT_TRUE(ApplyEnabled(sheet));

    Click(IDC_DEFAULT);
    EXPECT_CONTROLS((PolicyRow{false, true, true, false, false, false}));
    EXPECT_EQ("Default", std::string(PolicyName));
    EXPECT_EQ(0, Board().modeRequests) << "the first table rate was in force already";
}

TEST_F(RefreshPage, MonitorWithoutModesKeepsOptimizeDisabled)
{
    machine::WriteExampleMachine("Advance");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, std::string(machine::MonitorClassPath) + "\\0000\\MODES");
    StoreRate("Advance", "60");
    OpenSheet();
    EXPECT_EQ("90", ControlText(page, IDC_MAX_REFRESH));
    // At set-up the template's state stands; the policy buttons then follow
    // the monitor: Default disables Optimize, Advance after it leaves it so.
    ASSERT_TRUE(Enabled(page, IDC_OPTIMIZE)) << "as the template has it";
    Click(IDC_DEFAULT);
    EXPECT_FALSE(Enabled(page, IDC_OPTIMIZE)) << "after Default";
    Click(IDC_ADVANCE);
    EXPECT_FALSE(Enabled(page, IDC_OPTIMIZE)) << "after Advance";
    EXPECT_TRUE(Enabled(page, IDC_DEFAULT));
}

TEST_F(RefreshPage, TrackBarSelectsOnlyOnPageStepsAndThumbRelease)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    ASSERT_EQ(1, TrackbarPosition(page));

    PressOnTrackbar(VK_RIGHT);
    EXPECT_EQ(2, TrackbarPosition(page)) << "the key moved the thumb";
    EXPECT_EQ("60", std::string(PendingRefreshText));
    EXPECT_EQ("60", ControlText(page, IDC_RATE_LABEL));
    EXPECT_FALSE(ApplyEnabled(sheet));

    ClickTrackbarBeside(4);   // pages one step to the right
    EXPECT_EQ(3, TrackbarPosition(page));
    EXPECT_EQ("75", std::string(PendingRefreshText));
    EXPECT_EQ("75", ControlText(page, IDC_RATE_LABEL));
    EXPECT_TRUE(ApplyEnabled(sheet));

    ClickTrackbarBeside(0);
    EXPECT_EQ("72", ControlText(page, IDC_RATE_LABEL));

    DragThumbToEnd();
    EXPECT_EQ("85", std::string(PendingRefreshText));
    EXPECT_EQ("85", ControlText(page, IDC_RATE_LABEL));
    EXPECT_EQ("60", std::string(AppliedRefreshText));
    EXPECT_EQ(0, Board().modeRequests) << "moving the track bar never switches the display";
}

TEST_F(RefreshPage, StatusTreeHoldsFourLinesThroughRebuilds)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "75");
    OpenSheet();
    HWND tree = GetDlgItem(page, IDC_STATUS_TREE);
    for (int round = 0; round < 3; ++round) {
        auto lines = TreeLines(tree);
        ASSERT_EQ(4u, lines.size()) << "round " << round;
        const char* texts[] = { "Multi-Frequency Monitor 17\"", "Resolution = 800,600",
                                "Color = 16 BitsPerPixel", "Refresh = 75 Hz" };
        for (int n = 0; n < 4; ++n) {
            EXPECT_EQ(texts[n], lines[n].text);
            EXPECT_EQ(n, (int)lines[n].data);
            EXPECT_TRUE(lines[n].topLevel);
        }
        RebuildStatusTree();
    }
}

TEST_F(RefreshPage, StatusLinesAreCutToTheirRoom)
{
    machine::WriteExampleMachine("Advance");
    std::string description(70, 'M');
    machine::WriteMonitor("Monitor\\0000", "0000", description, "1024,768", "30.0-64.0,50.0-100.0,+,+");
    machine::WriteDisplaySettings("800,600", "1" + std::string(34, '6'));
    OpenSheet();
    auto lines = TreeLines(GetDlgItem(page, IDC_STATUS_TREE));
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ(description.substr(0, 39), lines[0].text);
    EXPECT_EQ(39u, lines[2].text.size()) << lines[2].text;
    EXPECT_EQ("Color = 1" + std::string(30, '6'), lines[2].text);
}

// Stands in for the help viewer: WinHelpA hands its request to the window of
// this class.
struct HelpRequest {
    UINT command = 0;
    LONG data = -1;
    std::string file;
    int count = 0;
};
HelpRequest LastHelp;

LRESULT CALLBACK HelpViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const COPYDATASTRUCT* copy = (const COPYDATASTRUCT*)lParam;
        struct Block { WORD size, command; LONG data, reserved; WORD ofsFilename, ofsData; };
        const Block* block = (const Block*)copy->lpData;
        LastHelp.command = block->command;
        LastHelp.data = block->data;
        LastHelp.file = block->ofsFilename ? (const char*)block + block->ofsFilename : "";
        ++LastHelp.count;
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// F1 or "What's This?" over a control.
void RequestHelp(HWND page, int control)
{
    HELPINFO info = {};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.iCtrlId = control;
    info.hItemHandle = GetDlgItem(page, control);
    SendMessageA(page, WM_HELP, 0, (LPARAM)&info);
}

TEST_F(RefreshPage, ContextHelpPopsUpTheControlsTopicAndQuitsWithThePage)
{
    machine::WriteExampleMachine("Advance");
    OpenSheet();
    WNDCLASSA cls = {};
    cls.lpfnWndProc = HelpViewerProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "MS_WINHELP";
    RegisterClassA(&cls);
    HWND viewer = CreateWindowA("MS_WINHELP", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, cls.hInstance, nullptr);
    ASSERT_NE(nullptr, viewer);

    const int topics[][2] = { {1064, 0}, {1065, 1}, {1062, 2}, {1063, 3}, {1056, 4}, {1043, 5}, {1045, 6},
                              {1044, 7}, {1046, 8}, {1036, 9}, {1034, 10}, {1037, 11}, {1041, 12},
                              {1057, 13}, {1048, 14} };
    for (const auto& topic : topics) {
        LastHelp = HelpRequest();
        RequestHelp(page, topic[0]);
        EXPECT_EQ(1, LastHelp.count) << "control " << topic[0];
        EXPECT_EQ((UINT)HELP_CONTEXTPOPUP, LastHelp.command) << "control " << topic[0];
        EXPECT_EQ(topic[1], LastHelp.data) << "control " << topic[0];
        EXPECT_EQ("Glimhelp.hlp", LastHelp.file);
    }
    LastHelp = HelpRequest();
    RequestHelp(page, IDC_SETTINGS_FRAME);
    RequestHelp(page, IDC_BANNER);
    EXPECT_EQ(0, LastHelp.count) << "frames and pictures have no topic";
    CloseSheet(PSBTN_OK);
    EXPECT_EQ(1, LastHelp.count);
    EXPECT_EQ((UINT)HELP_QUIT, LastHelp.command) << "the page's last request";
    EXPECT_EQ("Glimhelp.hlp", LastHelp.file);
    DestroyWindow(viewer);
    UnregisterClassA("MS_WINHELP", cls.hInstance);
}

// A damaged help file where the viewer looks first (the current folder): F1
// leaves the page answering, and the viewer it started goes with the page.
TEST_F(RefreshPage, DamagedHelpFileLeavesThePageWorkingAndNoViewerBehind)
{
    const char damaged[] = "?_\3\0 cut short";  // a help file's magic, then nothing of use
    HANDLE file = CreateFileA("Glimhelp.hlp", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, damaged, sizeof damaged, &written, nullptr);
    CloseHandle(file);
    machine::WriteExampleMachine("Advance");
    OpenSheet();
    RequestHelp(page, IDC_TEST);
    Click(IDC_DEFAULT);
    EXPECT_FALSE(Enabled(page, IDC_DEFAULT)) << "the page did not answer its Default button";
    CloseSheet(PSBTN_CANCEL);
    bool gone = false;   // a minute only for a viewer that stays, however busy the machine
    for (int i = 0; i < 600 && !gone; ++i) {
        robot::Pump(100);
        gone = !FindWindowA("MS_WINHELP", nullptr);
    }
    EXPECT_TRUE(gone) << "a help viewer is still running after the page closed";
    if (HWND left = FindWindowA("MS_WINHELP", nullptr))
        PostMessageA(left, WM_CLOSE, 0, 0);
    DeleteFileA("Glimhelp.hlp");
}

TEST_F(RefreshPage, HotKeysMoveAndRestoreThePicture)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    BYTE hsync = Register(0x04), vsync = Register(0x10);

    SendMessageA(page, WM_HOTKEY, IDC_LEFT, MAKELPARAM(MOD_ALT, VK_LEFT));
    EXPECT_EQ(hsync + 2, Register(0x04)) << "16 bits per pixel: two units a step";
    SendMessageA(page, WM_HOTKEY, IDC_LEFT, MAKELPARAM(MOD_ALT, VK_LEFT));
    SendMessageA(page, WM_HOTKEY, IDC_RIGHT, MAKELPARAM(MOD_ALT, VK_RIGHT));
    EXPECT_EQ(hsync + 2, Register(0x04));
    SendMessageA(page, WM_HOTKEY, IDC_UP, MAKELPARAM(MOD_ALT, VK_UP));
    SendMessageA(page, WM_HOTKEY, IDC_UP, MAKELPARAM(MOD_ALT, VK_UP));
    SendMessageA(page, WM_HOTKEY, IDC_DOWN, MAKELPARAM(MOD_ALT, VK_DOWN));
    EXPECT_EQ(vsync + 1, Register(0x10));
    SendMessageA(page, WM_HOTKEY, 999, 0);
    EXPECT_EQ(hsync + 2, Register(0x04));

    SendMessageA(page, WM_HOTKEY, HOTKEY_RESTORE, MAKELPARAM(MOD_ALT, VK_HOME));
    EXPECT_EQ(hsync, Register(0x04));
    EXPECT_EQ(vsync, Register(0x10));
    EXPECT_EQ(0, Board().modeRequests);
}

// Each of the five typed once, each moving the picture its own way from
// where the one before left it (16 bits per pixel: two units a step).
TEST_F(RefreshPage, EachHotKeyTypedMovesThePictureItsWay)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    int h = Register(0x04), v = Register(0x10);
    const struct { BYTE key; const char* name; int hsync, vsync; } typed[] = {
        {VK_LEFT, "Alt+Left", h + 2, v}, {VK_UP, "Alt+Up", h + 2, v + 1}, {VK_HOME, "Alt+Home", h, v},
        {VK_RIGHT, "Alt+Right", h - 2, v}, {VK_DOWN, "Alt+Down", h - 2, v - 1},
    };
    for (const auto& step : typed) {
        ASSERT_TRUE(TypeAltKey(step.key)) << step.name << " reached no window as a hot key";
        EXPECT_EQ(Positions(step.hsync, step.vsync), BoardPositions())
            << "CR04,CR10 after " << step.name << ", from " << h << "," << v;
    }
}

TEST_F(RefreshPage, DragPadMovesOneStepPerAxisAndReturnsTheCursor)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    RECT pad;
    GetWindowRect(GetDlgItem(page, IDC_POSITION_PAD), &pad);
    MapWindowPoints(nullptr, page, (POINT*)&pad, 2);
    POINT press = { (pad.left + pad.right) / 2, (pad.top + pad.bottom) / 2 };
    BYTE hsync = Register(0x04), vsync = Register(0x10);

    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x - 30, press.y - 10));
    EXPECT_EQ(hsync + 2, Register(0x04)) << "exactly one MoveLeft";
    EXPECT_EQ(vsync + 1, Register(0x10)) << "exactly one MoveUp";
    POINT expected = press, cursor;
    ClientToScreen(page, &expected);
    GetCursorPos(&cursor);
    EXPECT_EQ(expected.x, cursor.x);
    EXPECT_EQ(expected.y, cursor.y);

    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    EXPECT_EQ(0, DragActive) << "the release ends the drag";
    EXPECT_EQ(nullptr, GetCapture()) << "the release lets the mouse go";
    SendMessageA(page, WM_MOUSEMOVE, 0, MAKELPARAM(press.x + 30, press.y + 10));
    EXPECT_EQ(hsync + 2, Register(0x04)) << "the drag ended with the release";

    // A press outside the pad starts no drag.
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pad.right + 5, press.y));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pad.right + 40, press.y));
    EXPECT_EQ(hsync + 2, Register(0x04));
    EXPECT_EQ(vsync + 1, Register(0x10));
    SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(pad.right + 40, press.y));

    // Right, then down, one axis at a time, the mouse where the move says:
    // one step each way, and each time the cursor goes back to the press.
    auto drag = [&](int dx, int dy) {
        POINT at = { press.x + dx, press.y + dy };
        ClientToScreen(page, &at);
        SetCursorPos(at.x, at.y);
        SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x + dx, press.y + dy));
        GetCursorPos(&cursor);
        return BoardPositions() + " cursor " + Positions(cursor.x, cursor.y);
    };
    std::string back = " cursor " + Positions(expected.x, expected.y);
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    EXPECT_EQ(Positions(hsync, vsync + 1) + back, drag(30, 0)) << "CR04,CR10 after right";
    EXPECT_EQ(Positions(hsync, vsync) + back, drag(0, 10)) << "CR04,CR10 after down";
}

// Each arrow button pressed and released with the mouse, as a user clicks
// it, moves the picture its own way from where the one before left it (16
// bits per pixel: two units a step).
TEST_F(RefreshPage, EachArrowButtonClickedMovesThePictureItsWay)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    int h = Register(0x04), v = Register(0x10);
    const struct { int button; const char* name; int hsync, vsync; } clicks[] = {
        {IDC_LEFT, "LEFT", h + 2, v}, {IDC_UP, "Up", h + 2, v + 1},
        {IDC_RIGHT, "Right", h, v + 1}, {IDC_DOWN, "Down", h, v},
    };
    for (const auto& click : clicks) {
        ClickWithMouse(GetDlgItem(page, click.button));
        EXPECT_EQ(Positions(click.hsync, click.vsync), BoardPositions())
            << "CR04,CR10 after a click on " << click.name << ", from " << h << "," << v;
    }
    EXPECT_EQ(0, Board().modeRequests);
}

// Real mouse input: a press on the pad, a release over the LEFT arrow button.
TEST_F(RefreshPage, DragReleasedOffThePadEndsAndButtonlessMovesMoveNothing)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    POINT press = CentreOf(GetDlgItem(page, IDC_POSITION_PAD));
    POINT release = CentreOf(GetDlgItem(page, IDC_LEFT));
    Mouse(press, 0);
    Mouse(press, MOUSEEVENTF_LEFTDOWN);
    ASSERT_EQ(1, DragActive) << "the press on the pad starts a drag";
    Mouse(release, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(0, DragActive) << "the release over the arrow button ends the drag";
    EXPECT_EQ(nullptr, GetCapture());
    BYTE hsync = Register(0x04), vsync = Register(0x10);
    for (int step = 1; step <= 3; ++step)
        Mouse({ press.x + 20 * step, press.y + 10 * step }, 0);
    EXPECT_EQ(hsync, Register(0x04)) << "moves without a button";
    EXPECT_EQ(vsync, Register(0x10)) << "moves without a button";

    // A release the page never saw: the next move, without the button, ends the drag.
    ScreenToClient(page, &press);
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(page, WM_MOUSEMOVE, 0, MAKELPARAM(press.x - 30, press.y - 10));
    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x - 30, press.y - 10));
    EXPECT_EQ(hsync, Register(0x04));
    EXPECT_EQ(vsync, Register(0x10));
    EXPECT_EQ(nullptr, GetCapture());
}

TEST_F(RefreshPage, ApplyStoresPolicyAndAcceptedRate)
{
    machine::WriteExampleMachine("Default");
    StoreRate("Default", "56");
    OpenSheet();
    Click(IDC_ADVANCE);
    DragThumbToEnd();   // 85 chosen but not tried: not stored
    CloseSheet(PSBTN_OK);

    EXPECT_EQ("Advance", machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, "State"));
    EXPECT_EQ("800,600", machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, "OrgResolution"));
    std::string stored;
    DWORD size = 0, type = 0;
    ASSERT_TRUE(machine::GetText(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance", &stored, &size, &type));
    EXPECT_EQ("56", stored);
    EXPECT_EQ(40u, size);
    EXPECT_EQ((DWORD)REG_SZ, type);
}

TEST_F(RefreshPage, CancelReturnsToTheStoredRateOnlyWhenItDiffers)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    CloseSheet(PSBTN_CANCEL);
    EXPECT_EQ(0, Board().modeRequests) << "stored and applied rate agree";

    OpenSheet();
    ClickTrackbarBeside(4);
    robot::Answer(IDOK);
    robot::Answer(IDC_KEEP);
    robot::Answer(IDOK);
    Click(IDC_TEST);
    ASSERT_EQ(72, Board().refresh);
    int requests = Board().modeRequests;
    CloseSheet(PSBTN_CANCEL);
    EXPECT_EQ(requests + 1, Board().modeRequests);
    EXPECT_EQ(60, Board().refresh);
    EXPECT_EQ("60", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance"));
}

} // namespace
