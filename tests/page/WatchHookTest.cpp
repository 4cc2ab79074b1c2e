// Changes made on the sheet's other pages reach the page through the display
// watch hook: a new resolution (WM_DISPLAYCHANGE) and a new monitor (the
// WM_ENABLE of the sheet when the monitor dialog closes).
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>
#include <string>
#include "page/Page.h"
#include "resources/resource.h"
#include "settings/PageState.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Robot.h"

using namespace page_test;

namespace {

std::string Stored(const std::string& name)
{
    return machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, name);
}

// The monitor dialog disables the sheet while it is open and enables it again
// when it closes.
void CloseMonitorDialog(HWND sheet)
{
    EnableWindow(sheet, FALSE);
    EnableWindow(sheet, TRUE);
}

class DisplayWatch : public PageTest {};

// Another program's hook on the sheet's thread, installed before the page's.
HWND Watched;
int SeenByEarlierHook;

LRESULT CALLBACK EarlierHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION && ((const CWPSTRUCT*)lParam)->hwnd == Watched)
        ++SeenByEarlierHook;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(DisplayWatch, HookInstalledBeforeThePageSeesEveryMessage)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    HHOOK earlier = SetWindowsHookExA(WH_CALLWNDPROC, EarlierHook, nullptr, GetCurrentThreadId());
    OpenSheet();
    Watched = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SeenByEarlierHook = 0;
    for (int i = 0; i < 998; ++i)
        SendMessageA(Watched, WM_USER + 1, i, 0);
    SendMessageA(Watched, WM_ENABLE, TRUE, 0);
    SendMessageA(Watched, WM_DISPLAYCHANGE, 16, MAKELPARAM(800, 600));
    int seen = SeenByEarlierHook;
    DestroyWindow(Watched);
    UnhookWindowsHookEx(earlier);
    EXPECT_EQ(1000, seen) << "the page's hook must hand every message on";
}

TEST_F(DisplayWatch, NewResolutionInAdvanceAppliesAndStoresTheDefaultRate)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "85");
    VirtualRequestMode(800, 600, 0, 85);
    OpenSheet(4);
    int requests = Board().modeRequests;

    ChangeResolution(1024, 768, 75);
    EXPECT_EQ(3, (int)SendMessageA(sheet, PSM_HWNDTOINDEX,
                                   (WPARAM)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0))
        << "the sheet shows its Settings page";

    EXPECT_EQ("Default", std::string(PolicyName));
    VirtualBoardState board = Board();
    EXPECT_EQ(requests + 2, board.modeRequests) << "the Settings page's request and the page's own";
    EXPECT_EQ(1024, board.lastWidth);
    EXPECT_EQ(60, board.lastRefresh) << "first rate of the 1024,768 table";
    EXPECT_EQ("Default", Stored("State"));
    EXPECT_EQ("1024,768", Stored("OrgResolution"));
    EXPECT_EQ("60", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "1024,768"), "Default"));

    EXPECT_FALSE(Enabled(page, IDC_DEFAULT));
    EXPECT_FALSE(Enabled(page, IDC_RATE_TRACKBAR));
    EXPECT_FALSE(Enabled(page, IDC_ADVANCE_FRAME));
    EXPECT_FALSE(Enabled(page, IDC_ADVANCE)) << "the hook enables nothing";
    EXPECT_TRUE(Enabled(page, IDC_TEST)) << "the hook enables nothing, nor disables Test";

    auto lines = TreeLines(GetDlgItem(page, IDC_STATUS_TREE));
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Resolution = 1024,768", lines[1].text);
    EXPECT_EQ("Refresh = 60 Hz", lines[3].text);
    EXPECT_EQ("60", ControlText(page, IDC_RATE_LABEL));
    EXPECT_EQ(3, (int)SendDlgItemMessageA(page, IDC_RATE_TRACKBAR, TBM_GETRANGEMAX, 0, 0));
}

TEST_F(DisplayWatch, SameResolutionOnlyRetakesTheSnapshotAndEndsADrag)
{
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    OpenSheet();
    SendMessageA(page, WM_HOTKEY, IDC_LEFT, 0);
    RECT pad;
    GetWindowRect(GetDlgItem(page, IDC_POSITION_PAD), &pad);
    MapWindowPoints(nullptr, page, (POINT*)&pad, 2);
    POINT press = { (pad.left + pad.right) / 2, (pad.top + pad.bottom) / 2 };
    SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));

    ChangeResolution(800, 600, 72);   // a rate changed elsewhere: new timings
    BYTE hsyncAt72 = Register(0x04);
    BYTE vsyncAt72 = Register(0x10);

    SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(press.x - 30, press.y - 10));
    EXPECT_EQ(hsyncAt72, Register(0x04)) << "the drag ended with the display change";
    EXPECT_EQ(vsyncAt72, Register(0x10));

    SendMessageA(page, WM_HOTKEY, IDC_LEFT, 0);
    SendMessageA(page, WM_HOTKEY, HOTKEY_RESTORE, 0);
    EXPECT_EQ(hsyncAt72, Register(0x04)) << "the restore goes to the new snapshot";

    EXPECT_EQ("Advance", std::string(PolicyName));
    EXPECT_EQ("", Stored("OrgResolution")) << "nothing stored";
    EXPECT_EQ(1, Board().modeRequests) << "the page switched nothing";
}

TEST_F(DisplayWatch, SameMonitorChangesNothing)
{
    machine::WriteExampleMachine("Optimize");
    StoreRate("Optimize", "75");
    OpenSheet();
    CloseMonitorDialog(sheet);
    EXPECT_EQ("", Stored("OrgMonitor")) << "nothing stored";
    EXPECT_EQ("100", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_FALSE(Enabled(page, IDC_OPTIMIZE));
    EXPECT_TRUE(Enabled(page, IDC_ADVANCE));
}

TEST_F(DisplayWatch, NewMonitorShowsItsLimitsAndIsStored)
{
    machine::WriteExampleMachine("Optimize");
    StoreRate("Optimize", "75");
    OpenSheet(4);
    machine::WriteMonitor("Monitor\\0000", "0000", "Office Monitor 15\"", "1280,1024", "31.5,50.0-90.0,+,+");
    CloseMonitorDialog(sheet);
    EXPECT_EQ(3, (int)SendMessageA(sheet, PSM_HWNDTOINDEX,
                                   (WPARAM)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0))
        << "the sheet shows its Settings page";

    EXPECT_EQ("90", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_EQ("1280,1024", ControlText(page, IDC_MAX_RESOLUTION));
    EXPECT_EQ("Office Monitor 15\"", Stored("OrgMonitor"));
    EXPECT_EQ("Optimize", Stored("State"));
    auto lines = TreeLines(GetDlgItem(page, IDC_STATUS_TREE));
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Office Monitor 15\"", lines[0].text);
}

TEST_F(DisplayWatch, NewMonitorWithoutKnownLimitTurnsOptimizeIntoAdvance)
{
    machine::WriteExampleMachine("Optimize");
    StoreRate("Optimize", "75");
    OpenSheet();
    ASSERT_FALSE(Enabled(page, IDC_RATE_TRACKBAR));
    // The mode key of the new monitor holds no mode line.
    machine::WriteMonitor("Monitor\\0000", "0000", "Unknown Monitor", "1024,768", "31.5,60.0,+,+");
    machine::DeleteValue(HKEY_LOCAL_MACHINE, std::string(machine::MonitorClassPath) + "\\0000\\MODES\\1024,768",
                         "Mode1");
    CloseMonitorDialog(sheet);

    EXPECT_EQ("Unknown", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_EQ("Advance", std::string(PolicyName));
    EXPECT_EQ("Advance", Stored("State"));
    EXPECT_EQ("75", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance"));
    EXPECT_FALSE(Enabled(page, IDC_ADVANCE));
    EXPECT_TRUE(Enabled(page, IDC_TEST));
    EXPECT_TRUE(Enabled(page, IDC_ADVANCE_FRAME));
    EXPECT_FALSE(Enabled(page, IDC_RATE_TRACKBAR)) << "the hook leaves the track bar as it was";
}

// Ranges with negative polarities (four dashes) are not read: the limits
// shown and offered are unknown, not those of the monitor before.
TEST_F(DisplayWatch, NewMonitorWithUnreadModeLineShowsUnknownLimits)
{
    machine::WriteExampleMachine("Default");
    StoreRate("Default", "56");
    OpenSheet();
    ASSERT_EQ("100", ControlText(page, IDC_MAX_REFRESH));
    machine::WriteMonitor("Monitor\\0000", "0000", "Office Monitor 15\"", "1280,1024", "31.5-64.0,50.0-75.0,-,-");
    CloseMonitorDialog(sheet);

    EXPECT_EQ("Unknown", ControlText(page, IDC_MAX_REFRESH));
    EXPECT_EQ("1280,1024", ControlText(page, IDC_MAX_RESOLUTION));
    for (int i = 0; i < 5; ++i)
        robot::Answer(IDCANCEL);
    Click(IDC_OPTIMIZE);
    EXPECT_EQ(0u, robot::Seen().size()) << "offered " << (robot::Seen().empty() ? "" : robot::Seen()[0].text);
    EXPECT_EQ(0, Board().modeRequests);
}

} // namespace
