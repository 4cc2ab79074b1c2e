// The page's dialog procedure: set-up and enabling by policy, the policy,
// Test and arrow buttons, the rate track bar, the drag pad, the Alt hot keys,
// context help and the sheet's Apply and Cancel.
#include "page/Page.h"
#include <prsht.h>
#include "crtc/Crtc.h"
#include "dib/Dib.h"
#include "resources/resource.h"
#include "runtime/Text.h"
#include "server/Module.h"
#include "settings/Settings.h"

HWND PageWindow;
HWND MaxRefreshLabel;
HWND MaxResolutionLabel;
HWND PositionPad;
int DragActive;
POINT DragOrigin;
RECT DragArea;

const char HelpFileName[] = "Glimhelp.hlp";
const char LogoFileName[] = "Glimlogo.bmp";

namespace {

struct HotKey {
    int id;
    UINT virtualKey;
};

// Registered in this order; the moves share the arrow buttons' identifiers.
const HotKey HotKeys[] = {
    { HOTKEY_RESTORE, VK_HOME },
    { IDC_LEFT, VK_LEFT },
    { IDC_RIGHT, VK_RIGHT },
    { IDC_UP, VK_UP },
    { IDC_DOWN, VK_DOWN },
};

struct ArrowFace {
    int control;
    int bitmap;
};

const ArrowFace ArrowFaces[] = {
    { IDC_UP, IDB_ARROW_UP },
    { IDC_DOWN, IDB_ARROW_DOWN },
    { IDC_LEFT, IDB_ARROW_LEFT },
    { IDC_RIGHT, IDB_ARROW_RIGHT },
};

struct HelpTopic {
    int control;
    DWORD context;
};

const HelpTopic HelpTopics[] = {
    { IDC_UP, 0 }, { IDC_DOWN, 1 }, { IDC_LEFT, 2 }, { IDC_RIGHT, 3 },
    { IDC_STATUS_TREE, 4 }, { IDC_MAX_RESOLUTION_TEXT, 5 }, { IDC_MAX_RESOLUTION, 6 },
    { IDC_MAX_REFRESH_TEXT, 7 }, { IDC_MAX_REFRESH, 8 }, { IDC_DEFAULT, 9 },
    { IDC_ADVANCE, 10 }, { IDC_OPTIMIZE, 11 }, { IDC_TEST, 12 },
    { IDC_RATE_TRACKBAR, 13 }, { IDC_RATE_LABEL, 14 }, { IDC_MOVES_NOTE, 15 },
};

void EnableControl(HWND page, int control, BOOL enable)
{
    EnableWindow(GetDlgItem(page, control), enable);
}

// The sheet enables its Apply button for the page it shows.
void MarkPageChanged(HWND page)
{
    HWND sheet = GetParent(page);
    HWND current = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    SendMessageA(sheet, PSM_CHANGED, (WPARAM)current, 0);
}

void ShowMonitorLimits()
{
    if (MonitorMaxRefresh == 0) {
        SetWindowTextA(MaxRefreshLabel, "Unknown");
        TextCopy(PolicyName, TextCapacity, PolicyAdvance);
    } else {
        char rate[TextCapacity];
        IntToText(rate, sizeof rate, MonitorMaxRefresh);
        SetWindowTextA(MaxRefreshLabel, rate);
    }
    SetWindowTextA(MaxResolutionLabel, MonitorMaxResolution);
}

// At set-up only the active policy's controls are touched; the rest keep
// the template's state.
void EnableByPolicy(HWND page)
{
    if (TextEqual(PolicyName, PolicyAdvance)) {
        EnableControl(page, IDC_ADVANCE, FALSE);
        EnableControl(page, IDC_TEST, TRUE);
        EnableControl(page, IDC_ADVANCE_FRAME, TRUE);
        SyncRateTrackbar();
    } else if (TextEqual(PolicyName, PolicyOptimize)) {
        EnableControl(page, IDC_OPTIMIZE, FALSE);
        EnableWindow(RateTrackbar, FALSE);
        EnableControl(page, IDC_ADVANCE_FRAME, FALSE);
        SyncRateTrackbar();
    } else {
        EnableControl(page, IDC_DEFAULT, FALSE);
        EnableWindow(RateTrackbar, FALSE);
        EnableControl(page, IDC_ADVANCE_FRAME, FALSE);
        SyncRateTrackbar();
        // In 16 colours the policy cannot be changed.
        if (TextEqual(CurrentBitsPerPixel, "4")) {
            EnableControl(page, IDC_OPTIMIZE, FALSE);
            EnableControl(page, IDC_ADVANCE_FRAME, FALSE);
            EnableControl(page, IDC_DEFAULT, FALSE);
            EnableControl(page, IDC_ADVANCE, FALSE);
        }
    }
}

void SetArrowFaces(HWND page)
{
    for (const ArrowFace& face : ArrowFaces) {
        HWND button = GetDlgItem(page, face.control);
        if (button)
            SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP,
                         (LPARAM)LoadBitmapA(ModuleInstance, MAKEINTRESOURCEA(face.bitmap)));
    }
}

// The buttons do not own their faces: each page made its own four bitmaps.
void DeleteArrowFaces(HWND page)
{
    for (const ArrowFace& face : ArrowFaces) {
        HWND button = GetDlgItem(page, face.control);
        if (button)
            DeleteObject((HGDIOBJ)SendMessageA(button, BM_SETIMAGE, IMAGE_BITMAP, 0));
    }
}

void TakeDragArea(HWND page)
{
    PositionPad = GetDlgItem(page, IDC_POSITION_PAD);
    GetWindowRect(PositionPad, &DragArea);
    MapWindowPoints(0, page, (POINT*)&DragArea, 2);
}

void RegisterHotKeys(HWND page)
{
    for (const HotKey& key : HotKeys)
        RegisterHotKey(page, key.id, MOD_ALT, key.virtualKey);
}

// The moves only where the chip takes them. Elsewhere the arrows and the pad
// are off, the Alt keys stay free for other programs, and the note beside
// the arrows says why.
void OfferMoves(HWND page)
{
    if (S3ChipFound) {
        RegisterHotKeys(page);
        return;
    }
    for (const ArrowFace& face : ArrowFaces)
        EnableControl(page, face.control, FALSE);
    EnableWindow(PositionPad, FALSE);
    ShowWindow(GetDlgItem(page, IDC_MOVES_NOTE), SW_SHOW);
}

void OnInitDialog(HWND page)
{
    if (FirstRunFlag == 1)
        RecordInitialSettings();
    IdentifyChip();
    InitRefreshPage(page);
    UpdateBytesPerPixel();
    TakeTimingSnapshot();
    DragActive = 0;
    PageWindow = page;
}

// WinHelp stays running for as long as a window it served has not quit it.
void OnDestroy(HWND page)
{
    WinHelpA(page, HelpFileName, HELP_QUIT, 0);
    DeleteArrowFaces(page);
    ReleaseStatusControls();
    UnhookWindowsHookEx(HookHandle);
    HookHandle = 0;
    PageWindow = 0;
    ForgetChip();
}

void ChooseAdvance(HWND page)
{
    EnableControl(page, IDC_ADVANCE, FALSE);
    EnableWindow(RateTrackbar, TRUE);
    EnableControl(page, IDC_TEST, TRUE);
    EnableControl(page, IDC_DEFAULT, TRUE);
    EnableControl(page, IDC_OPTIMIZE, MonitorModeKind != 0);
    TextCopy(PolicyName, TextCapacity, PolicyAdvance);
    EnableControl(page, IDC_ADVANCE_FRAME, TRUE);
    SyncRateTrackbar();
}

void ChooseDefault(HWND page)
{
    EnableControl(page, IDC_DEFAULT, FALSE);
    EnableWindow(RateTrackbar, FALSE);
    EnableControl(page, IDC_ADVANCE, TRUE);
    EnableControl(page, IDC_OPTIMIZE, MonitorModeKind != 0);
    EnableControl(page, IDC_TEST, FALSE);
    EnableControl(page, IDC_ADVANCE_FRAME, FALSE);
    TextCopy(PolicyName, TextCapacity, PolicyDefault);
    MarkPageChanged(page);
    ApplyDefaultPolicy();
}

void ChooseOptimize(HWND page)
{
    EnableControl(page, IDC_OPTIMIZE, FALSE);
    EnableWindow(RateTrackbar, FALSE);
    EnableControl(page, IDC_ADVANCE, TRUE);
    EnableControl(page, IDC_DEFAULT, TRUE);
    EnableControl(page, IDC_TEST, FALSE);
    TextCopy(PolicyName, TextCapacity, PolicyOptimize);
    EnableControl(page, IDC_ADVANCE_FRAME, FALSE);
    MarkPageChanged(page);
    RunOptimizeSearch();
    RebuildStatusTree();
}

void OnCommand(HWND page, int control, int code)
{
    if (code != BN_CLICKED)
        return;
    switch (control) {
    case IDC_ADVANCE: ChooseAdvance(page); break;
    case IDC_DEFAULT: ChooseDefault(page); break;
    case IDC_OPTIMIZE: ChooseOptimize(page); break;
    case IDC_TEST: TestPendingRate(page); RebuildStatusTree(); break;
    case IDC_LEFT: MoveLeft(); break;
    case IDC_RIGHT: MoveRight(); break;
    case IDC_UP: MoveUp(); break;
    case IDC_DOWN: MoveDown(); break;
    }
}

// Only a click beside the thumb or a release of the dragged thumb selects a
// rate; the arrow keys' line steps do not.
void OnTrackbarScroll(HWND page, int code)
{
    if (code != TB_PAGEUP && code != TB_PAGEDOWN && code != TB_THUMBPOSITION)
        return;
    LRESULT index = SendMessageA(RateTrackbar, TBM_GETPOS, 0, 0);
    if (index < 0)
        index = 0;
    if (index >= RefreshListCapacity)
        index = RefreshListCapacity - 1;
    IntToText(PendingRefreshText, TextCapacity, RefreshList[index]);
    SetWindowTextA(RateLabel, PendingRefreshText);
    MarkPageChanged(page);
}

void OnNotify(HWND page, const NMHDR* header)
{
    if (header->code == (UINT)PSN_APPLY) {
        SavePageState();
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
    } else if (header->code == (UINT)PSN_QUERYCANCEL) {
        if (!TextEqual(SavedRefreshText, AppliedRefreshText)) {
            TextCopy(PendingRefreshText, TextCapacity, SavedRefreshText);
            TextCopy(AppliedRefreshText, TextCapacity, SavedRefreshText);
            ApplyRefreshRate();
        }
        SetWindowLongPtrA(page, DWLP_MSGRESULT, FALSE);
    }
}

void ShowContextHelp(HWND page, const HELPINFO* help)
{
    for (const HelpTopic& topic : HelpTopics) {
        if (topic.control == help->iCtrlId) {
            WinHelpA(page, HelpFileName, HELP_CONTEXTPOPUP, topic.context);
            return;
        }
    }
}

bool InsideDragArea(int x, int y)
{
    return DragArea.left <= x && x <= DragArea.right && DragArea.top <= y && y <= DragArea.bottom;
}

// The page holds the mouse during a drag, so that the release reaches it
// wherever it happens (over an arrow button, outside the sheet).
void EndDrag(HWND page)
{
    DragActive = 0;
    if (GetCapture() == page)
        ReleaseCapture();
}

// A pad that is off starts no drag: the page gets the press all the same.
void BeginDrag(HWND page, int x, int y)
{
    EndDrag(page);
    if (IsWindowEnabled(PositionPad) && InsideDragArea(x, y)) {
        DragActive = 1;
        DragOrigin.x = x;
        DragOrigin.y = y;
        SetCapture(page);
    }
}

void PutCursorBack(HWND page)
{
    POINT origin = DragOrigin;
    MapWindowPoints(page, 0, &origin, 1);
    SetCursorPos(origin.x, origin.y);
}

// Like a joystick: at most one step per axis for each move, however far the
// mouse went, and the cursor goes back to the press point. A move without the
// left button down ends the drag: its release went elsewhere.
void ContinueDrag(HWND page, int x, int y, WPARAM buttons)
{
    if ((buttons & MK_LBUTTON) == 0)
        EndDrag(page);
    if (!DragActive || (x == DragOrigin.x && y == DragOrigin.y))
        return;
    if (x < DragOrigin.x) {
        MoveLeft();
        PutCursorBack(page);
    } else if (x > DragOrigin.x) {
        MoveRight();
        PutCursorBack(page);
    }
    if (y > DragOrigin.y) {
        MoveDown();
        PutCursorBack(page);
    } else if (y < DragOrigin.y) {
        MoveUp();
        PutCursorBack(page);
    }
}

void OnHotKey(int id)
{
    switch (id) {
    case HOTKEY_RESTORE: ProgramSyncPosition(FALSE); break;
    case IDC_LEFT: MoveLeft(); break;
    case IDC_RIGHT: MoveRight(); break;
    case IDC_UP: MoveUp(); break;
    case IDC_DOWN: MoveDown(); break;
    }
}

// Mouse coordinates are signed words: left of or above the page is negative.
int MouseX(LPARAM lParam) { return (short)LOWORD(lParam); }
int MouseY(LPARAM lParam) { return (short)HIWORD(lParam); }

} // namespace

void InitRefreshPage(HWND page)
{
    InitCommonControls();
    InitStatusControls(page);
    MaxRefreshLabel = GetDlgItem(page, IDC_MAX_REFRESH);
    MaxResolutionLabel = GetDlgItem(page, IDC_MAX_RESOLUTION);
    ShowMonitorLimits();
    EnableByPolicy(page);
    SetArrowFaces(page);
    TakeDragArea(page);
    OfferMoves(page);
}

INT_PTR CALLBACK RefreshPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(page); return TRUE;
    case WM_PAINT: PaintLogo(page, LogoFileName, 47, 6, 47, 34); return FALSE;
    case WM_DESTROY: OnDestroy(page); return TRUE;
    case WM_NOTIFY: OnNotify(page, (const NMHDR*)lParam); return TRUE;
    case WM_HELP: ShowContextHelp(page, (const HELPINFO*)lParam); return TRUE;
    case WM_COMMAND: OnCommand(page, LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_HSCROLL: OnTrackbarScroll(page, LOWORD(wParam)); return TRUE;
    case WM_LBUTTONDOWN: BeginDrag(page, MouseX(lParam), MouseY(lParam)); return TRUE;
    case WM_MOUSEMOVE: ContinueDrag(page, MouseX(lParam), MouseY(lParam), wParam); return TRUE;
    case WM_LBUTTONUP: EndDrag(page); return TRUE;
    case WM_CAPTURECHANGED: DragActive = 0; return TRUE;
    case WM_HOTKEY: OnHotKey((int)wParam); return TRUE;
    }
    return FALSE;
}
