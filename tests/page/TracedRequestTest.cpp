// The typical request from beginning to end, with Ratelle.dll loaded and its
// page added as the control panel does: Advance, the track bar to 85, Test,
// OK, Yes, and the sheet's OK. Seen only through windows, registry and board.
#include <windows.h>
#include <prsht.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "resources/resource.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Robot.h"
#include "common/Screen.h"

using namespace page_test;

namespace {

class TracedRequest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        VirtualBoardReset(800, 600, 16);
        robot::Start();
        module = LoadLibraryA("Ratelle.dll");
        ASSERT_NE(nullptr, module) << "error " << GetLastError();
    }
    void TearDown() override
    {
        if (sheet && IsWindow(sheet))
            DestroyWindow(sheet);
        if (module)
            FreeLibrary(module);
        robot::Stop();
        RegistryTest::TearDown();
    }

    HMODULE module = nullptr;
    HWND sheet = nullptr;
};

// Saves the sheet as the user sees it (page-in-sheet.bmp in the build folder,
// a PNG for the eye) and checks that the pictures are on the page: the logo
// file painted at 47/6/47/34 % of the client area, the arrow faces, the pad.
void ExpectPageDrawn(HWND sheet, HWND page)
{
    RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    robot::Pump(100);
    RECT window;
    GetWindowRect(sheet, &window);
    screen::Shot shot = screen::Save(window, screen::BuildFolderFile("page-in-sheet.bmp"));
    ASSERT_GT(shot.width, 0);

    RECT client;
    GetClientRect(page, &client);
    POINT origin = {0, 0};
    MapWindowPoints(page, nullptr, &origin, 1);
    int left = origin.x - window.left, top = origin.y - window.top;
    int logoLeft = left + client.right * 47 / 100, logoTop = top + client.bottom * 6 / 100;
    int logoRight = logoLeft + client.right * 47 / 100, logoBottom = logoTop + client.bottom * 34 / 100;
    EXPECT_GT(shot.Colours(logoLeft, logoTop, logoRight, logoBottom), 8u) << "the logo is not painted";
    // Beside the logo the page is plain.
    EXPECT_EQ(1u, shot.Colours(logoRight + 3, logoTop, client.right + left - 2, logoTop + 20));

    for (int control : {IDC_LEFT, IDC_RIGHT, IDC_UP, IDC_DOWN, IDC_POSITION_PAD, IDC_LOGO}) {
        RECT r;
        GetWindowRect(GetDlgItem(page, control), &r);
        OffsetRect(&r, -window.left, -window.top);
        EXPECT_GT(shot.Colours(r.left + 2, r.top + 2, r.right - 2, r.bottom - 2), 2u)
            << "control " << control << " shows no picture";
    }
}

TEST_F(TracedRequest, AdvanceTrackBarTestYesAndOkStoreEightyFive)
{
    machine::WriteExampleMachine("First");
    sheet = OpenRatelleSheet(module);
    ASSERT_NE(nullptr, sheet) << "no page added, or no sheet";
    HWND page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(56, Board().refresh) << "first run: the first table rate";
    ExpectPageDrawn(sheet, page);

    robot::Click(page, IDC_ADVANCE);
    EXPECT_TRUE(Enabled(page, IDC_TEST));

    DragThumbToEnd(page);
    EXPECT_EQ("85", ControlText(page, IDC_RATE_LABEL));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet, SheetApplyButton)));

    robot::Answer(IDOK);
    robot::Answer(IDC_KEEP);
    robot::Answer(IDOK);
    robot::Click(page, IDC_TEST);
    auto seen = robot::Seen();
    ASSERT_EQ(3u, seen.size());
    EXPECT_EQ(Msg(3) + "56" + Msg(4) + "85" + Msg(5), seen[0].text);
    EXPECT_EQ("Monitor Settings", seen[1].caption);
    EXPECT_EQ(Msg(2), seen[2].text);
    EXPECT_EQ(85, Board().refresh);
    auto lines = TreeLines(GetDlgItem(page, IDC_STATUS_TREE));
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Refresh = 85 Hz", lines[3].text);
    EXPECT_EQ("", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance"))
        << "nothing stored before the sheet applies";

    // The switch to 85 Hz retook the timing snapshot: the restore goes there.
    BYTE hsyncAt85 = Register(0x04);
    SendMessageA(page, WM_HOTKEY, IDC_LEFT, 0);
    SendMessageA(page, WM_HOTKEY, HOTKEY_RESTORE, 0);
    EXPECT_EQ(hsyncAt85, Register(0x04));

    SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
    EXPECT_EQ("Advance", machine::Text(HKEY_LOCAL_MACHINE, machine::ProductPath, "State"));
    EXPECT_EQ("85", machine::Text(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance"));
    EXPECT_EQ(85, Board().refresh);
    EXPECT_EQ(800, Board().width);
    DestroyWindow(sheet);
    sheet = nullptr;
}

} // namespace
