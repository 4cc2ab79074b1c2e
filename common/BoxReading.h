// Reading a message box or dialog as a person reads it: its caption, its
// message and the icon beside it; and the tabs of a property sheet. The
// demo's replay and the tests' robot both answer boxes by what they show.
#pragma once
#include <windows.h>
#include <string>

namespace boxes {

std::string WindowText(HWND window);

// Whether the window is of the dialog class, as message boxes, dialogs and
// property sheets are.
bool IsDialog(HWND window);

// The message of a box (control 0xFFFF), or the first static text of a dialog.
std::string Message(HWND box);

// "warning", "information", "error", "question", "other", or "" for none.
std::string Icon(HWND box);

// The titles on a property sheet's tabs, in order.
int SheetTabCount(HWND sheet);
std::string SheetTabTitle(HWND sheet, int index);
// Index of the tab titled title, or -1.
int FindSheetTab(HWND sheet, const char* title);

} // namespace boxes
