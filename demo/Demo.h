// The demo's replay: requests played through the stand-in's sheet as a person
// would make them, every step checked. What its parts share.
#pragma once
#include <windows.h>

// A verdict: one line each, counted for the exit code.
void Check(bool ok, const char* format, ...);
// Prints "name: P checks passed, F failed"; returns the process exit code,
// 0 when at least one check was made and none failed.
int Verdict(const char* name);
// The window as the screen shows it, saved as directory/name (PNG), checked
// to have come; nothing without a directory.
void TakeScreenshot(HWND window, const char* directory, const char* name);

// The picture moved from the keyboard and followed on the board monitor view.
void MoveThePictureOnTheMonitor(HWND sheet, const char* screenshotDir);

// The typical request played through the page titled startTitle; returns the
// process exit code.
int RunReplay(const char* startTitle, const char* screenshotDir);
// A desktop area and a monitor type changed on the Settings page, followed by
// the extension page, whose moves must be off (the board's chip takes none)
// or on; returns the process exit code.
int RunSettingsReplay(const char* startTitle, bool movesOff);
// The extension page opened and closed with Cancel: its status lines, its
// labels and the board, checked to agree; returns the process exit code.
int RunStatusCheck(const char* startTitle);
