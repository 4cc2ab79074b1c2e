// The refresh-rate page hosted in a real modeless property sheet, exactly as
// AddPages hands it over: the state loaded from the registry fixture, the
// display watch hook installed for this thread, the virtual board underneath.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <string>
#include <vector>
#include "board/VirtualBoard.h"
#include "tests/support/Registry.h"

namespace page_test {

// The sheet's own buttons.
enum { SheetApplyButton = 0x3021 };

// Zero page state, as a freshly loaded library has it.
void ResetPageState();

std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int control);
bool Enabled(HWND dialog, int control);

// The status tree's lines and item data, top level, in order.
struct TreeLine {
    std::string text;
    LPARAM data;
    bool topLevel;
};
std::vector<TreeLine> TreeLines(HWND tree);

VirtualBoardState Board();

// CR register of the virtual board.
BYTE Register(BYTE index);

// Selection value path of a depth and resolution.
std::string SelectionKey(const std::string& depth, const std::string& resolution);

// Stores a rate under the policy at 16 bits per pixel and 800,600.
void StoreRate(const std::string& policy, const std::string& rate);

// The language message Msg<n> as installed.
std::string Msg(int n);

// Drags the rate track bar's thumb past its right end and releases it, as the
// mouse does.
void DragThumbToEnd(HWND page);

// A press and a release of the left button on a control's middle.
void PressAndRelease(HWND dialog, int control);

// Alt+key typed as a user types it; this thread's messages run until a
// window of the thread has had the hot key it gave. False when none came.
bool TypeAltKey(BYTE key);

// Real mouse input at a point of the screen. The input is queued at once;
// its messages are run up to a release, nothing after it: the cursor put back
// after a drag step queues a move behind it, and a move without the button
// ends a drag by itself.
void Mouse(POINT at, DWORD buttons);
// The middle of a window on the screen.
POINT CentreOf(HWND window);
// The mouse over the middle of a control, its left button pressed and
// released there: what a disabled control never sees.
void ClickWithMouse(HWND control);

// What the Settings page does: the new resolution goes to the registry, then
// the mode is requested, which broadcasts WM_DISPLAYCHANGE.
void ChangeResolution(int width, int height, int refresh);

// Ratelle.dll's page added as the control panel adds it (class object,
// factory, object, Initialize without data, AddPages) and shown in a modeless
// sheet of its own, which the robot leaves alone. Null unless one page came.
HWND OpenRatelleSheet(HMODULE ratelle);

class PageTest : public RegistryTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Loads the state as AddPages does and shows the page in a new sheet,
    // after pagesBefore empty pages (the control panel has four).
    void OpenSheet(int pagesBefore = 0);
    // Presses a button of the sheet (PSBTN_OK, PSBTN_CANCEL) and destroys it.
    void CloseSheet(int button);

    // Clicks a page button as the mouse does (BN_CLICKED to the page).
    void Click(int control);
    // A click with the mouse on the track bar's channel at position's place
    // (beside the thumb: the control pages towards it).
    void ClickTrackbarBeside(int position);
    // Drags the thumb with the mouse to the far right end and releases it.
    void DragThumbToEnd() { page_test::DragThumbToEnd(page); }
    // A key press on the track bar (line steps).
    void PressOnTrackbar(int virtualKey);

    HWND sheet = nullptr;
    HWND page = nullptr;
};

} // namespace page_test
