// Reading a message box or dialog as a person reads it: its caption, its
// message and the icon beside it. The stand-in's replay and the tests' robot
// both answer boxes by what they show.
#pragma once
#include <windows.h>
#include <string>

namespace boxes {

std::string WindowText(HWND window);

// The message of a box (control 0xFFFF), or the first static text of a dialog.
std::string Message(HWND box);

// "warning", "information", "error", "question", "other", or "" for none.
std::string Icon(HWND box);

} // namespace boxes
