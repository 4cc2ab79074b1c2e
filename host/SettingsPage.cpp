// The control panel's own pages: three labelled placeholders and a working
// Settings page. Settings changes the colour depth and the desktop area of the
// virtual board, writing the Windows 95 display settings first (the refresh
// page's hook compares them on WM_DISPLAYCHANGE), and changes the monitor type
// from a modal dialog owned by the sheet, whose closing re-enables the sheet.
#include "host/Host.h"
#include "host/HostResource.h"
#include "common/MachineRegistry.h"
#include "board/VirtualBoard.h"
#include <commctrl.h>
#include <stdio.h>

namespace {

struct ColourDepth {
    int bitsPerPixel;
    const char* name;
};
const ColourDepth Depths[] = {
    {4, "16 Color"}, {8, "256 Color"}, {16, "High Color (16 bit)"}, {32, "True Color (32 bit)"},
};

struct DesktopArea {
    int width, height;
};
const DesktopArea Areas[] = { {640, 480}, {800, 600}, {1024, 768}, {1280, 1024} };

// Monitor types as the monitor INF files of Windows 95 describe them: the
// highest resolution and the mode line for it ("Mode1"); null for a monitor
// without a mode description.
struct MonitorType {
    const char* description;
    const char* maxResolution;
    const char* modeLine;
};
const MonitorType Monitors[] = {
    {"Multi-Frequency Monitor 17\"", "1024,768", "30.0-64.0,50.0-100.0,+,+"},
    {"Super VGA 800x600", "800,600", "31.5-37.9,50.0-72.0,+,+"},
    {"Super VGA 1024x768", "1024,768", "31.5-48.5,50.0-70.0,+,+"},
    {"Super VGA 1280x1024", "1280,1024", "30.0-82.0,50.0-90.0,+,+"},
    {"Standard VGA 640x480", "640,480", "31.5,60.0,+,+"},
    {"Unknown Monitor", "1024,768", nullptr},
};

INT_PTR CALLBACK PlaceholderProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// The monitor's class key: its instance named by the last component of the
// enumerator's "Driver" value, as the refresh page finds it.
std::string MonitorKeyPath()
{
    std::string driver = machine::Text(HKEY_LOCAL_MACHINE, machine::MonitorEnumPath, "Driver");
    while (!driver.empty() && driver.back() == '\\')
        driver.pop_back();
    size_t slash = driver.find_last_of('\\');
    std::string key = slash == std::string::npos ? driver : driver.substr(slash + 1);
    if (key.empty()) {
        key = "0000";
        machine::WriteText(HKEY_LOCAL_MACHINE, machine::MonitorEnumPath, "Driver", "Monitor\\0000");
    }
    return std::string(machine::MonitorClassPath) + "\\" + key;
}

void DeleteModes(const std::string& monitorPath)
{
    std::string modesPath = monitorPath + "\\MODES";
    HKEY modes;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, modesPath.c_str(), 0, KEY_ALL_ACCESS, &modes) == ERROR_SUCCESS) {
        char child[256];
        while (RegEnumKeyA(modes, 0, child, sizeof child) == ERROR_SUCCESS)
            if (RegDeleteKeyA(modes, child) != ERROR_SUCCESS)
                break;
        RegCloseKey(modes);
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, modesPath.c_str());
}

void WriteMonitorType(const MonitorType& monitor)
{
    std::string path = MonitorKeyPath();
    DeleteModes(path);
    if (monitor.modeLine)
        machine::WriteText(HKEY_LOCAL_MACHINE, (path + "\\MODES\\" + monitor.maxResolution).c_str(), "Mode1",
                         monitor.modeLine);
    machine::WriteText(HKEY_LOCAL_MACHINE, path.c_str(), "MaxResolution", monitor.maxResolution);
    machine::WriteText(HKEY_LOCAL_MACHINE, path.c_str(), "DriverDesc", monitor.description);
    Say("host: monitor type is now %s (up to %s, %s)", monitor.description, monitor.maxResolution,
        monitor.modeLine ? monitor.modeLine : "no mode description");
}

std::string MonitorLimits(const std::string& path)
{
    std::string max = machine::Text(HKEY_LOCAL_MACHINE, path.c_str(), "MaxResolution");
    std::string mode = machine::Text(HKEY_LOCAL_MACHINE, (path + "\\MODES\\" + max).c_str(), "Mode1");
    return "Up to " + (max.empty() ? std::string("?") : max) + (mode.empty() ? "" : ", " + mode);
}

void ShowMonitorDetails(HWND dialog)
{
    int index = (int)SendDlgItemMessageA(dialog, IDC_MONITOR_LIST, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= (int)(sizeof Monitors / sizeof Monitors[0]))
        return;
    const MonitorType& m = Monitors[index];
    std::string text = std::string("Up to ") + m.maxResolution + ", " + (m.modeLine ? m.modeLine : "no mode description");
    SetDlgItemTextA(dialog, IDC_MONITOR_DETAILS, text.c_str());
}

INT_PTR CALLBACK MonitorTypeProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        std::string current = machine::Text(HKEY_LOCAL_MACHINE, MonitorKeyPath().c_str(), "DriverDesc");
        HWND list = GetDlgItem(dialog, IDC_MONITOR_LIST);
        int selected = 0;
        for (int i = 0; i < (int)(sizeof Monitors / sizeof Monitors[0]); ++i) {
            SendMessageA(list, LB_ADDSTRING, 0, (LPARAM)Monitors[i].description);
            if (current == Monitors[i].description)
                selected = i;
        }
        SendMessageA(list, LB_SETCURSEL, selected, 0);
        ShowMonitorDetails(dialog);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_MONITOR_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            ShowMonitorDetails(dialog);
        } else if (LOWORD(wParam) == IDOK) {
            int index = (int)SendDlgItemMessageA(dialog, IDC_MONITOR_LIST, LB_GETCURSEL, 0, 0);
            // The keys are rewritten before the dialog ends: ending it enables the
            // sheet again, and that is when the refresh page looks at them.
            if (index >= 0 && index < (int)(sizeof Monitors / sizeof Monitors[0]))
                WriteMonitorType(Monitors[index]);
            EndDialog(dialog, IDOK);
        } else if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
        }
        return TRUE;
    }
    return FALSE;
}

void ShowMonitor(HWND page)
{
    std::string path = MonitorKeyPath();
    std::string description = machine::Text(HKEY_LOCAL_MACHINE, path.c_str(), "DriverDesc");
    SetDlgItemTextA(page, IDC_MONITOR_NAME, description.empty() ? "(unknown)" : description.c_str());
    SetDlgItemTextA(page, IDC_MONITOR_LIMITS, MonitorLimits(path).c_str());
}

void ShowBoardMode(HWND page)
{
    VirtualBoardState board;
    VirtualBoardRead(&board);
    char text[128];
    snprintf(text, sizeof text, "%ld by %ld pixels, %ld bits per pixel, %ld Hz", board.width, board.height,
             board.bitsPerPixel, board.refresh);
    SetDlgItemTextA(page, IDC_BOARD_MODE, text);
}

int SelectedData(HWND page, int control)
{
    HWND combo = GetDlgItem(page, control);
    int index = (int)SendMessageA(combo, CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : (int)SendMessageA(combo, CB_GETITEMDATA, index, 0);
}

// The desktop areas the board drives at the chosen depth; keeps the area
// chosen if it is among them, else takes the largest.
void FillDesktopAreas(HWND page, int bitsPerPixel, int keepWidth)
{
    HWND combo = GetDlgItem(page, IDC_DESKTOP_AREA);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    int selected = -1;
    for (int i = 0; i < (int)(sizeof Areas / sizeof Areas[0]); ++i) {
        if (!VirtualModeSupported(Areas[i].width, Areas[i].height, bitsPerPixel, 60))
            continue;
        char text[64];
        snprintf(text, sizeof text, "%d by %d pixels", Areas[i].width, Areas[i].height);
        int index = (int)SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)text);
        SendMessageA(combo, CB_SETITEMDATA, index, i);
        if (selected < 0 || Areas[i].width <= keepWidth)
            selected = index;
    }
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
}

void InitSettingsPage(HWND page)
{
    VirtualBoardState board;
    VirtualBoardRead(&board);
    HWND combo = GetDlgItem(page, IDC_COLOR_PALETTE);
    for (const ColourDepth& depth : Depths) {
        int index = (int)SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM)depth.name);
        SendMessageA(combo, CB_SETITEMDATA, index, depth.bitsPerPixel);
        if (depth.bitsPerPixel == board.bitsPerPixel)
            SendMessageA(combo, CB_SETCURSEL, index, 0);
    }
    FillDesktopAreas(page, board.bitsPerPixel, board.width);
    ShowMonitor(page);
    ShowBoardMode(page);
}

// Apply: the settings are written first, then the mode is requested, so the
// WM_DISPLAYCHANGE that the request sends finds them already changed.
void ApplySettings(HWND page)
{
    int depth = SelectedData(page, IDC_COLOR_PALETTE);
    int area = SelectedData(page, IDC_DESKTOP_AREA);
    if (depth < 0 || area < 0)
        return;
    const DesktopArea& size = Areas[area];
    VirtualBoardState board;
    VirtualBoardRead(&board);
    if (board.width == size.width && board.height == size.height && board.bitsPerPixel == depth)
        return;
    char resolution[32], bits[16];
    snprintf(resolution, sizeof resolution, "%d,%d", size.width, size.height);
    snprintf(bits, sizeof bits, "%d", depth);
    machine::WriteText(HKEY_LOCAL_MACHINE, machine::DisplayPath, "Resolution", resolution);
    machine::WriteText(HKEY_LOCAL_MACHINE, machine::DisplayPath, "BitsPerPixel", bits);
    LONG result = VirtualRequestMode(size.width, size.height, depth, 60);
    Say("host: settings %s at %s bits per pixel written, mode request %s", resolution, bits,
        result == DISP_CHANGE_SUCCESSFUL ? "accepted" : "refused");
    ShowBoardMode(page);
}

void OnSettingsCommand(HWND page, int control, int code)
{
    if (control == IDC_CHANGE_MONITOR && code == BN_CLICKED) {
        // Owned by the sheet: the dialog disables it while open and enables it
        // again when it ends.
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_MONITOR_TYPE), GetParent(page),
                        MonitorTypeProc, 0);
        ShowMonitor(page);
    } else if (control == IDC_COLOR_PALETTE && code == CBN_SELCHANGE) {
        int area = SelectedData(page, IDC_DESKTOP_AREA);
        FillDesktopAreas(page, SelectedData(page, IDC_COLOR_PALETTE), area < 0 ? 0 : Areas[area].width);
        PropSheet_Changed(GetParent(page), page);
    } else if (control == IDC_DESKTOP_AREA && code == CBN_SELCHANGE) {
        PropSheet_Changed(GetParent(page), page);
    }
}

INT_PTR CALLBACK SettingsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        InitSettingsPage(page);
        return TRUE;
    case WM_COMMAND:
        OnSettingsCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        NMHDR* header = (NMHDR*)lParam;
        if (header->code == PSN_APPLY) {
            ApplySettings(page);
            SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        if (header->code == PSN_SETACTIVE) {
            ShowMonitor(page);
            ShowBoardMode(page);
        }
        return FALSE;
    }
    }
    return FALSE;
}

HPROPSHEETPAGE CreatePage(int templateId, const char* title, DLGPROC procedure)
{
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleA(nullptr);
    page.pszTemplate = MAKEINTRESOURCEA(templateId);
    page.pszTitle = title;
    page.pfnDlgProc = procedure;
    return CreatePropertySheetPageA(&page);
}

} // namespace

HPROPSHEETPAGE CreatePlaceholderPage(int templateId, const char* title)
{
    return CreatePage(templateId, title, PlaceholderProc);
}

HPROPSHEETPAGE CreateSettingsPage()
{
    return CreatePage(IDD_SETTINGS, "Settings", SettingsPageProc);
}
