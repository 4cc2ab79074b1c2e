// The page on every board of the table. On an S3 with the overflow registers
// every move, typed, clicked or dragged, moves the picture at 34 port
// accesses; on any other chip the page says why the moves are off, leaves the
// Alt keys to other programs, and nothing a person does writes to the CRT
// controller beyond the identity check, which leaves it as it was. The
// refresh rate works on every board.
#include <gtest/gtest.h>
#include <windows.h>
#include <prsht.h>
#include "page/Page.h"
#include "resources/resource.h"
#include "common/Screen.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Boards.h"
#include "tests/support/Robot.h"

using namespace page_test;

namespace {

const char MovesOffText[] = "Moves need an S3 chip.";
const int Arrows[] = {IDC_LEFT, IDC_RIGHT, IDC_UP, IDC_DOWN};
const struct { int id; BYTE key; } AltKeys[] = {
    {HOTKEY_RESTORE, VK_HOME}, {IDC_LEFT, VK_LEFT}, {IDC_RIGHT, VK_RIGHT}, {IDC_UP, VK_UP}, {IDC_DOWN, VK_DOWN},
};

class EveryBoard : public PageTest, public ::testing::WithParamInterface<boards::Board> {
protected:
    void TearDown() override
    {
        PageTest::TearDown();
        VirtualBoardReset(800, 600, 16);
    }
    // The arrows' clicks and the pad's drags with the mouse, the hot keys typed.
    void Press(int step)
    {
        POINT pad = CentreOf(GetDlgItem(page, IDC_POSITION_PAD));
        switch (step) {
        case 0: case 1: case 2: case 3: case 4: TypeAltKey(AltKeys[(step + 1) % 5].key); break;
        case 5: case 6: case 7: case 8: ClickWithMouse(GetDlgItem(page, Arrows[step - 5])); break;
        case 9: Mouse(pad, MOUSEEVENTF_LEFTDOWN); Mouse({pad.x - 30, pad.y - 10}, 0); break;
        case 10: Mouse({pad.x + 30, pad.y + 10}, 0); Mouse(pad, MOUSEEVENTF_LEFTUP); break;
        }
    }
};

// Where each step leaves the picture, from where the page opened (16 bits per
// pixel: two units a horizontal step), and the moves it makes.
const struct { const char* name; int h, v, moves; } Steps[] = {
    {"Alt+Left", 2, 0, 1}, {"Alt+Right", 0, 0, 1}, {"Alt+Up", 0, 1, 1}, {"Alt+Down", 0, 0, 1},
    {"Alt+Home", 0, 0, 1}, {"LEFT clicked", 2, 0, 1}, {"Right clicked", 0, 0, 1}, {"Up clicked", 0, 1, 1},
    {"Down clicked", 0, 0, 1}, {"the pad dragged left and up", 2, 1, 2},
    {"the pad dragged right and down", 0, 0, 2},
};
const int DragStep = 9;

RECT ClientRectOf(HWND page, HWND control)
{
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, page, (POINT*)&rect, 2);
    return rect;
}

// The note fits its room, beside the arrows and clear of every other control
// and of the logo the page paints (47 % of the width on, 6 % of the height
// down, 34 % high); the sheet as seen goes to page-moves-off.bmp in the build
// folder.
void ExpectNoteInItsPlace(HWND sheet, HWND page, HWND note)
{
    RECT place = ClientRectOf(page, note), client;
    GetClientRect(page, &client);
    HDC dc = GetDC(note);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(note, WM_GETFONT, 0, 0));
    RECT text = {0, 0, place.right - place.left, 0};
    DrawTextA(dc, MovesOffText, -1, &text, DT_CALCRECT | DT_WORDBREAK);
    SelectObject(dc, old);
    ReleaseDC(note, dc);
    EXPECT_LE(text.right, place.right - place.left) << "the note's text is cut";
    EXPECT_LE(text.bottom, place.bottom - place.top) << "the note's text is cut";
    RECT logo = {client.right * 47 / 100, client.bottom * 6 / 100, client.right * 94 / 100, client.bottom * 40 / 100};
    RECT overlap;
    EXPECT_FALSE(IntersectRect(&overlap, &place, &logo)) << "the note runs into the painted logo";
    for (HWND other = GetWindow(page, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT)) {
        RECT r = ClientRectOf(page, other);
        if (other != note)
            EXPECT_FALSE(IntersectRect(&overlap, &place, &r)) << "the note covers control " << GetDlgCtrlID(other);
    }
    RECT window;
    GetWindowRect(sheet, &window);
    screen::Save(window, screen::BuildFolderFile("page-moves-off.bmp"));
}

TEST_P(EveryBoard, MovesOnlyOnAnS3AndTheRateEverywhere)
{
    const boards::Board& board = GetParam();
    machine::WriteExampleMachine("Advance");
    StoreRate("Advance", "60");
    boards::Install(board, 800, 600, 16);
    const VirtualBoardState found = Board();
    OpenSheet();

    for (int arrow : Arrows)
        EXPECT_EQ(board.moves, Enabled(page, arrow)) << "arrow " << arrow;
    EXPECT_EQ(board.moves, Enabled(page, IDC_POSITION_PAD)) << "the drag pad";
    HWND note = GetDlgItem(page, IDC_MOVES_NOTE);
    EXPECT_EQ(!board.moves, IsWindowVisible(note) != FALSE) << "the note why the moves are off";
    EXPECT_EQ(MovesOffText, WindowText(note));
    if (!board.moves)
        ExpectNoteInItsPlace(sheet, page, note);
    // The Alt keys are the page's on an S3; elsewhere another program takes them.
    HWND other = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    int held = 0;
    for (const auto& key : AltKeys)
        held += RegisterHotKey(other, key.id, MOD_ALT, key.key) ? 0 : 1;
    EXPECT_EQ(board.moves ? 5 : 0, held) << "Alt keys the page holds";

    const int h = Register(0x04), v = Register(0x10);
    for (int step = 0; step < (int)(sizeof Steps / sizeof Steps[0]); ++step) {
        VirtualBoardState before = Board();
        Press(step);
        VirtualBoardState after = Board();
        int moves = board.moves ? Steps[step].moves : 0;
        EXPECT_EQ(std::to_string(h + (board.moves ? Steps[step].h : 0)) + "," +
                      std::to_string(v + (board.moves ? Steps[step].v : 0)),
                  std::to_string(Register(0x04)) + "," + std::to_string(Register(0x10)))
            << "CR04,CR10 after " << Steps[step].name;
        EXPECT_EQ(34 * moves, after.portReads + after.portWrites - before.portReads - before.portWrites)
            << "port accesses of " << Steps[step].name;
        if (step == DragStep)
            EXPECT_EQ(board.moves, DragActive != 0) << "a drag under way, the button still down";
    }
    for (const auto& key : AltKeys)
        UnregisterHotKey(other, key.id);
    DestroyWindow(other);

    // A new rate tried and kept: the display driver sets it, on every board.
    ClickTrackbarBeside(4);
    robot::Answer(IDOK);
    robot::Answer(IDC_KEEP);
    robot::Answer(IDOK);
    Click(IDC_TEST);
    EXPECT_EQ(72, Board().refresh);
    if (!board.moves)
        boards::ExpectUntouched(board, found);
}

INSTANTIATE_TEST_SUITE_P(Boards, EveryBoard, ::testing::ValuesIn(boards::Table), boards::Name);

} // namespace
