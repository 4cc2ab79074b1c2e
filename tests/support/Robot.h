// UI robot: answers message boxes and dialogs of the current thread by
// script, as a user would, through a WH_CBT hook, and records each box.
//
//   robot::Start();
//   robot::Answer(IDOK);            // the next box: click OK
//   robot::Answer(1054);            // the one after: click control 1054
//   robot::Press(VK_RETURN);        // then: press Enter
//   robot::Ignore();                // then: leave it alone
//   ... run the code that shows the boxes ...
//   EXPECT_EQ(robot::Seen().size(), 2u);
//   robot::Stop();
//
// A box that comes when the script is empty is left alone (and recorded). A
// click on a button the box lacks or shows disabled fails the test.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace robot {

struct SeenBox {
    std::string caption;
    std::string text;      // the message text (control 0xFFFF), or the static text of a dialog
    std::string icon;      // "warning", "information", "error", "question" or ""
    std::string className;
    int answer = 0;        // the button whose click ended the box; 0 when it did not end on a click
};

void Start();
void Stop();

// For boxes of other processes (Purvix.exe, say): a thread that looks for new
// top-level dialog-class windows every 20 ms and answers them by the script;
// a box that comes when the script is empty waits for the next step.
void StartWatching();
void StopWatchingBoxes();

// A window the robot neither answers nor records, such as a property sheet
// (also of dialog class) that the test drives itself. Cleared by Start.
void Exclude(HWND window);

void Answer(int controlId);
void Press(int virtualKey);
void Ignore();
// Script entries not yet used.
size_t Pending();
std::vector<SeenBox> Seen();
void Clear();

// Pumps the thread's messages for about milliseconds.
void Pump(DWORD milliseconds);

// Clicks a control as the mouse does: BN_CLICKED to its parent (buttons), or
// the given WM_HSCROLL code (track bars).
void Click(HWND dialog, int controlId);

} // namespace robot
