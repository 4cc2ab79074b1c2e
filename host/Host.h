// The Display Properties stand-in: what its parts share.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <string>

extern HINSTANCE HostInstance;

// Trace lines and the host's own lines go to standard output in the order
// they happen: the extensions' debugger output (OutputDebugStringA) is caught
// the way a debug monitor catches it, through the system-wide DBWIN buffer.
void StartTraceCapture();
void StopTraceCapture();
void Say(const char* format, ...);

// The sheet: the four pages of the Display control panel followed by the
// pages of every registered property-sheet handler.
enum { MaxSheetPages = 16 };
struct SheetPages {
    HPROPSHEETPAGE pages[MaxSheetPages];
    int count;
    int ownCount;          // the host's own pages, first in the sheet
};
void CollectPages(SheetPages* sheet);
void FillSheetHeader(PROPSHEETHEADERA* header, SheetPages* sheet, int startPage, bool modeless);
// Lets the handlers' libraries go once their pages are gone (their last trace lines).
void ReleaseHandlerLibraries();
// The titles on the sheet's tabs, in order.
int SheetTabCount(HWND sheet);
std::string SheetTabTitle(HWND sheet, int index);
// Index of the tab titled title, or -1.
int FindSheetTab(HWND sheet, const char* title);
// Runs a modeless sheet's messages until it closes or milliseconds pass;
// true when it closed.
bool PumpSheet(HWND sheet, DWORD milliseconds);

// Own pages.
HPROPSHEETPAGE CreatePlaceholderPage(int templateId, const char* title);
HPROPSHEETPAGE CreateSettingsPage();

// Registry helpers of the host (it plays the operating system, so it may create keys).
std::string ReadMachineText(HKEY root, const char* path, const char* name, DWORD* size = nullptr);
void WriteMachineText(HKEY root, const char* path, const char* name, const char* text);

// The replay's verdicts: one line each, counted for the exit code.
void Check(bool ok, const char* format, ...);
// A Unix command that writes directory/name (a Unix folder); waits for the
// file and returns its size, 0 when it did not come.
DWORD RunUnixCommandFor(const char* command, const char* directory, const char* name);
std::string UnixFileAsWindowsSees(const char* directory, const char* name);
// The window as the screen shows it, saved as directory/name (PNG).
void TakeScreenshot(HWND window, const char* directory, const char* name);
// The picture moved from the keyboard and followed on the board monitor view.
void MoveThePictureOnTheMonitor(HWND sheet, const char* screenshotDir);

// The replay of the typical request; returns the process exit code.
int RunReplay(const char* startTitle, const char* screenshotDir);
// A desktop area and a monitor type changed on the Settings page, followed by
// the extension page; returns the process exit code.
int RunSettingsReplay(const char* startTitle);
// The extension page opened and closed with Cancel: its status lines, its
// labels and the board, checked to agree; returns the process exit code.
int RunStatusCheck(const char* startTitle);
