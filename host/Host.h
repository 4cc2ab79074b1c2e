// The Display Properties stand-in: what its parts share. The demo's replay
// drives the same sheet in its own program.
#pragma once
#include <windows.h>
#include <prsht.h>
#include <string>

// A program built with the stand-in starts with this (trace capture, COM, the
// common controls) and ends with EndStandIn. The stand-in's dialogs are
// resources of that program.
void StartStandIn();
void EndStandIn();

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
// Runs a modeless sheet's messages until it closes or milliseconds pass;
// true when it closed.
bool PumpSheet(HWND sheet, DWORD milliseconds);

// Own pages.
HPROPSHEETPAGE CreatePlaceholderPage(int templateId, const char* title);
HPROPSHEETPAGE CreateSettingsPage();
