// The message hook of the sheet's thread: the sheet's other pages change the
// monitor type (a modal dialog whose closing re-enables the sheet, WM_ENABLE)
// and the resolution (WM_DISPLAYCHANGE) without telling this page.
#include "page/Page.h"
#include <prsht.h>
#include "crtc/Crtc.h"
#include "resources/resource.h"
#include "runtime/Text.h"
#include "settings/Settings.h"

HHOOK HookHandle;

namespace {

enum {
    SettingsPageIndex = 3,       // the sheet's Settings page, where the change was made
    MonitorPathCapacity = 160
};

// The sheet is the page's parent. (The parent of the active window is the
// sheet only while a dialog it owns is active; with the sheet itself active
// it is the sheet's owner, which must not get a sheet message.)
void ShowSettingsPage()
{
    SendMessageA(GetParent(PageWindow), PSM_SETCURSEL, SettingsPageIndex, 0);
}

void EnablePageControl(int control, BOOL enable)
{
    EnableWindow(GetDlgItem(PageWindow, control), enable);
}

// Only the controls named here change; the others keep their state.
void UpdatePolicyControls()
{
    if (TextEqual(PolicyName, PolicyAdvance)) {
        EnablePageControl(IDC_ADVANCE, FALSE);
        EnablePageControl(IDC_TEST, TRUE);
        EnablePageControl(IDC_ADVANCE_FRAME, TRUE);
        return;
    }
    EnablePageControl(TextEqual(PolicyName, PolicyOptimize) ? IDC_OPTIMIZE : IDC_DEFAULT, FALSE);
    EnableWindow(RateTrackbar, FALSE);
    EnablePageControl(IDC_ADVANCE_FRAME, FALSE);
}

// Both labels are the new monitor's, its refresh limit known or not.
void ShowNewMonitorLimits()
{
    SetWindowTextA(MaxResolutionLabel, MonitorMaxResolution);
    if (MonitorMaxRefresh == 0) {
        SetWindowTextA(MaxRefreshLabel, "Unknown");
        if (TextEqual(PolicyName, PolicyOptimize))
            TextCopy(PolicyName, TextCapacity, PolicyAdvance);
        return;
    }
    char rate[TextCapacity];
    IntToText(rate, sizeof rate, MonitorMaxRefresh);
    SetWindowTextA(MaxRefreshLabel, rate);
}

void CheckMonitorChange()
{
    char path[MonitorPathCapacity];
    TextCopy(path, sizeof path, MonitorClassKey);
    TextAppend(path, sizeof path, MonitorKey);
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    char description[DescriptionCapacity] = "";
    bool described = ReadRegistryText(key, "DriverDesc", description, sizeof description);
    ReadRegistryText(key, "MaxResolution", MonitorMaxResolution, TextCapacity);
    RegCloseKey(key);
    if (!described || TextEqual(description, MonitorDescription))
        return;

    TextCopy(MonitorDescription, DescriptionCapacity, description);
    ReadMonitorModes();
    ShowSettingsPage();
    ShowNewMonitorLimits();
    SavePageState();
    UpdatePolicyControls();
    SyncRateTrackbar();
    RebuildStatusTree();
}

void CheckResolutionChange()
{
    char resolution[TextCapacity] = "";
    if (ReadRegistryValue(DisplaySettingsKey, "Resolution", resolution, sizeof resolution)
        && !TextEqual(resolution, CurrentResolution)) {
        TextCopy(CurrentResolution, TextCapacity, resolution);
        TextCopy(PolicyName, TextCapacity, PolicyDefault);
        ReadRefreshTable();
        ShowSettingsPage();
        SendMessageA(StatusTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
        // Switches the mode: the hook runs again inside, finding no change.
        ApplyDefaultPolicy();
        SavePageState();
        UpdatePolicyControls();
        SyncRateTrackbar();
        RebuildStatusTree();
    }
    // The driver has programmed new timings: they are the new snapshot.
    UpdateBytesPerPixel();
    TakeTimingSnapshot();
    DragActive = 0;
}

} // namespace

// Runs for every message sent on the sheet's thread. Every message goes on to
// the next hook of the thread first (other programs' hooks must see them
// all, and in the order they were sent); beyond that, anything but the two
// watched messages costs no more than the comparison.
LRESULT CALLBACK DisplayWatchHook(int code, WPARAM wParam, LPARAM lParam)
{
    LRESULT next = CallNextHookEx(HookHandle, code, wParam, lParam);
    if (code != HC_ACTION)
        return next;
    UINT message = ((const CWPSTRUCT*)lParam)->message;
    if (message == WM_ENABLE)
        CheckMonitorChange();
    else if (message == WM_DISPLAYCHANGE)
        CheckResolutionChange();
    return next;
}
