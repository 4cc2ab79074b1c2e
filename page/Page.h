// The refresh-rate page "Glimora": its dialog procedure, the status tree and
// rate track bar, the policies with the test and confirmation dialogue, and
// the message hook that notices display and monitor changes made elsewhere on
// the sheet.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Module-level state of the page.
extern HWND PageWindow;        // the page, recorded at WM_INITDIALOG for the hook
extern HHOOK HookHandle;       // WH_CALLWNDPROC hook of the sheet's thread, set by AddPages
extern HWND MaxRefreshLabel;   // control 1046
extern HWND MaxResolutionLabel;// control 1045
extern HWND PositionPad;       // control 1073, the drag pad
extern int DragActive;         // 1 while a drag on the pad is in progress
extern POINT DragOrigin;       // page-client point where the drag began
extern RECT DragArea;          // the pad in page-client coordinates, edges inclusive

extern HWND StatusTree;        // tree view 1056
extern HWND RateTrackbar;      // track bar 1057
extern HWND RateLabel;         // static 1048, the selected rate in Hz
extern HIMAGELIST StatusImages;// the status tree's icons
extern UINT_PTR ConfirmTimerId;// timer of the confirmation dialog

extern const char HelpFileName[];   // "Glimhelp.hlp"
extern const char LogoFileName[];   // "Glimlogo.bmp"
extern const char MessageCaption[]; // "Glimora"
extern const char NoChangeText[];   // notice of a Test without a new rate

// Dialog procedure of template 132.
INT_PTR CALLBACK RefreshPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
// The set-up of WM_INITDIALOG: controls, enabling by policy, arrow faces,
// drag area and hot keys.
void InitRefreshPage(HWND page);

// Status tree and rate track bar.
void InitStatusControls(HWND page);
// Takes the image list back from the status tree and destroys it.
void ReleaseStatusControls();
void FillStatusTree(HWND tree);
void RebuildStatusTree();
void SyncRateTrackbar();

// Policies, test and confirmation.
void ApplyDefaultPolicy();
void RunOptimizeSearch();
void TestPendingRate(HWND page);
// Dialog procedure of template 144: 1054 for Yes, 1055 for No or the time-out.
INT_PTR CALLBACK ConfirmRateProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// MessageText := the value "Msg<n>" of the Language key.
void LoadMessageText(int n);

// WH_CALLWNDPROC hook: hands every message on to the next hook, and watches
// WM_ENABLE (monitor change) and WM_DISPLAYCHANGE (resolution change).
LRESULT CALLBACK DisplayWatchHook(int code, WPARAM wParam, LPARAM lParam);
