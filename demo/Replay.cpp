// The typical refresh-rate request, played through the extension page as a
// person would: open the sheet at the page, press Advance, drag the track bar
// to 85, press Test, answer OK, keep the rate with Yes, acknowledge the note,
// move the picture with Alt+arrows and watch it on the board monitor view,
// press the sheet's OK. Each step prints what the page shows, the registry
// values and the board's mode, and checks them against what the request must
// give; the boxes are answered by a CBT hook on the sheet's thread.
//
// A second scenario changes the desktop area and the monitor type on the
// Settings page and checks that the extension page follows, its moves on, or
// off with the page saying why on a board whose chip takes none; a third opens the
// page, checks that it shows the rate the board runs, and cancels.
#include "demo/Demo.h"
#include "host/Host.h"
#include "host/HostResource.h"
#include "common/BoxReading.h"
#include "common/MachineRegistry.h"
#include "board/VirtualBoard.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <stdio.h>
#include <deque>
#include <set>
#include <vector>

namespace {

using machine::DisplayPath;
using machine::MonitorEnumPath;
using machine::ProductPath;
using machine::TablePath;
using machine::LanguagePath;
const char* const OwnPages[] = {"Background", "Screen Saver", "Appearance", "Settings"};
const int TargetRate = 85;
const DWORD ReplayTimeLimit = 120000;
const int ApplyButton = 0x3021;   // the sheet's Apply button

std::string Message(int n)
{
    char name[8];
    snprintf(name, sizeof name, "Msg%d", n);
    return machine::Text(HKEY_LOCAL_MACHINE, LanguagePath, name);
}

std::string SelectionKey(const std::string& depth, const std::string& resolution)
{
    return std::string(machine::SelectionPath) + "\\" + depth + "\\" + resolution;
}

VirtualBoardState Board()
{
    VirtualBoardState board;
    VirtualBoardRead(&board);
    return board;
}

void SayBoard()
{
    VirtualBoardState b = Board();
    Say("  board: %ld x %ld, %ld bits per pixel, %ld Hz (mode requests %ld, the last %ldx%ld at %ld Hz)", b.width,
        b.height, b.bitsPerPixel, b.refresh, b.modeRequests, b.lastWidth, b.lastHeight, b.lastRefresh);
}

// A value as the page wrote it: its text and its stored length.
std::string StoredValue(const std::string& path, const char* name)
{
    DWORD size = 0;
    std::string text = machine::Text(HKEY_LOCAL_MACHINE, path.c_str(), name, &size);
    if (size == 0)
        return "(none)";
    char suffix[32];
    snprintf(suffix, sizeof suffix, "\" (%lu bytes)", (unsigned long)size);
    return "\"" + text + suffix;
}

void SayRegistry(const std::string& depth, const std::string& resolution)
{
    Say("  registry: State %s, OrgResolution %s", StoredValue(ProductPath, "State").c_str(),
        StoredValue(ProductPath, "OrgResolution").c_str());
    std::string key = SelectionKey(depth, resolution);
    Say("  registry: Selection\\%s\\%s: Default %s, Optimize %s, Advance %s", depth.c_str(), resolution.c_str(),
        StoredValue(key, "Default").c_str(), StoredValue(key, "Optimize").c_str(),
        StoredValue(key, "Advance").c_str());
}

std::vector<std::string> StatusLines(HWND page)
{
    std::vector<std::string> lines;
    HWND tree = GetDlgItem(page, IDC_STATUS_TREE);
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    while (item && lines.size() < 16) {
        char text[128] = {};
        TVITEMA data = {};
        data.mask = TVIF_TEXT;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&data);
        lines.push_back(text);
        item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
    }
    return lines;
}

std::string ControlText(HWND page, int control)
{
    char text[128] = {};
    GetDlgItemTextA(page, control, text, sizeof text);
    return text;
}

bool Enabled(HWND page, int control)
{
    return IsWindowEnabled(GetDlgItem(page, control)) != FALSE;
}

void SayPage(HWND page)
{
    std::string lines;
    for (const std::string& line : StatusLines(page))
        lines += (lines.empty() ? "" : " | ") + line;
    Say("  status: %s", lines.c_str());
    Say("  page: rate label \"%s\", Max. Resolution \"%s\", Max. Refresh \"%s\"", ControlText(page, IDC_RATE_LABEL).c_str(),
        ControlText(page, IDC_MAX_RESOLUTION).c_str(), ControlText(page, IDC_MAX_REFRESH).c_str());
    Say("  page: Default %s, Optimize %s, Advance %s, Test %s, track bar %s", Enabled(page, IDC_DEFAULT) ? "on" : "off",
        Enabled(page, IDC_OPTIMIZE) ? "on" : "off", Enabled(page, IDC_ADVANCE) ? "on" : "off",
        Enabled(page, IDC_TEST) ? "on" : "off", Enabled(page, IDC_RATE_TRACKBAR) ? "on" : "off");
}

// The rate of the status tree's last line, "Refresh = N Hz"; -1 without one.
int StatusRate(HWND page)
{
    std::vector<std::string> lines = StatusLines(page);
    int rate = -1;
    if (lines.size() == 4)
        sscanf(lines[3].c_str(), "Refresh = %d Hz", &rate);
    return rate;
}

void Click(HWND page, int control)
{
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(control, BN_CLICKED), (LPARAM)GetDlgItem(page, control));
}

// --- The boxes of a step, answered as they come -------------------------------

struct ExpectedBox {
    const char* role;
    std::string caption;
    std::string text;       // empty: not compared
    std::string icon;       // empty: not compared
    int answer;
    void (*onShow)(HWND box);
};

std::deque<ExpectedBox> Expected;
std::set<HWND> Answered;
HWND Sheet;
HHOOK BoxHook;

std::string OneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r')
            c = ' ';
    return text;
}

void AnswerBox(HWND box)
{
    std::string caption = boxes::WindowText(box);
    std::string text = boxes::Message(box);
    std::string icon = boxes::Icon(box);
    if (Expected.empty()) {
        Say("  box \"%s\" (%s): \"%s\"", caption.c_str(), icon.c_str(), OneLine(text).c_str());
        Check(false, "no box was expected here; answered Cancel");
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    ExpectedBox expected = Expected.front();
    Expected.pop_front();
    Say("  box \"%s\" (%s): \"%s\"", caption.c_str(), icon.c_str(), OneLine(text).c_str());
    Check(caption == expected.caption, "the %s has the caption \"%s\"", expected.role, expected.caption.c_str());
    if (!expected.text.empty())
        Check(text == expected.text, "the %s reads \"%s\"", expected.role, expected.text.c_str());
    if (!expected.icon.empty())
        Check(icon == expected.icon, "the %s shows the %s icon", expected.role, expected.icon.c_str());
    if (expected.onShow)
        expected.onShow(box);
    Say("  answer: %s", expected.answer == IDOK ? "OK" : expected.answer == IDC_KEEP ? "Yes" : "Cancel");
    HWND button = GetDlgItem(box, expected.answer);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(expected.answer, BN_CLICKED), (LPARAM)button);
}

LRESULT CALLBACK BoxHookProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        // Activation can come twice for one box: answer it once.
        if (boxes::IsDialog(box) && box != Sheet && !Answered.count(box)) {
            Answered.insert(box);
            AnswerBox(box);
        }
    }
    return CallNextHookEx(BoxHook, code, wParam, lParam);
}

// Clicks a control of a page of the sheet and answers the boxes that come as
// Expected lists them; true when all of them came.
bool ClickAndAnswer(HWND sheet, HWND page, int control)
{
    Sheet = sheet;
    BoxHook = SetWindowsHookExA(WH_CBT, BoxHookProc, nullptr, GetCurrentThreadId());
    Click(page, control);
    PumpSheet(sheet, 300);
    UnhookWindowsHookEx(BoxHook);
    bool all = Expected.empty();
    Expected.clear();
    return all;
}

// --- The request, step by step --------------------------------------------------

struct Machine {
    std::string resolution, depth, monitor, state;
    std::vector<int> rates;
    int appliedRate = -1;
    LONG readsBeforeSwitch = 0;
};
Machine M;

void DescribeMachine()
{
    Say("== The machine");
    M.resolution = machine::Text(HKEY_LOCAL_MACHINE, DisplayPath, "Resolution");
    M.depth = machine::Text(HKEY_LOCAL_MACHINE, DisplayPath, "BitsPerPixel");
    std::string driver = machine::Text(HKEY_LOCAL_MACHINE, MonitorEnumPath, "Driver");
    std::string monitorKey =
        std::string(machine::MonitorClassPath) + "\\" + driver.substr(driver.find_last_of('\\') + 1);
    M.monitor = machine::Text(HKEY_LOCAL_MACHINE, monitorKey.c_str(), "DriverDesc");
    std::string maxResolution = machine::Text(HKEY_LOCAL_MACHINE, monitorKey.c_str(), "MaxResolution");
    std::string mode = machine::Text(HKEY_LOCAL_MACHINE, (monitorKey + "\\MODES\\" + maxResolution).c_str(), "Mode1");
    M.state = machine::Text(HKEY_LOCAL_MACHINE, ProductPath, "State");
    std::string table = machine::Text(HKEY_LOCAL_MACHINE, TablePath, (M.resolution + "V").c_str());
    M.rates = machine::Rates(table);
    Say("  display settings: %s at %s bits per pixel", M.resolution.c_str(), M.depth.c_str());
    Say("  monitor: %s, up to %s, Mode1 %s", M.monitor.c_str(), maxResolution.c_str(), mode.c_str());
    Say("  package: State \"%s\", refresh table for %s: %s", M.state.c_str(), M.resolution.c_str(), table.c_str());
    SayBoard();
    Check(!M.rates.empty(), "the refresh table has rates for %s", M.resolution.c_str());
}

int TrackPosition(int rate)
{
    for (size_t i = 0; i < M.rates.size(); ++i)
        if (M.rates[i] == rate)
            return (int)i;
    return -1;
}

HWND OpenSheet(SheetPages* pages, const char* title)
{
    Say("== [1] Open Display Properties at the %s page", title);
    CollectPages(pages);
    PROPSHEETHEADERA header;
    FillSheetHeader(&header, pages, pages->ownCount, true);
    HWND sheet = (HWND)PropertySheetA(&header);
    if (!sheet) {
        Check(false, "the sheet opens");
        return nullptr;
    }
    PumpSheet(sheet, 500);
    std::string tabs;
    for (int i = 0; i < boxes::SheetTabCount(sheet); ++i)
        tabs += (i ? " | " : "") + boxes::SheetTabTitle(sheet, i);
    Say("  tabs: %s", tabs.c_str());
    std::string expected;
    for (const char* own : OwnPages)
        expected += std::string(expected.empty() ? "" : " | ") + own;
    expected += std::string(" | ") + title;
    Check(tabs.compare(0, expected.size(), expected) == 0, "the tabs begin %s", expected.c_str());
    int index = boxes::FindSheetTab(sheet, title);
    Check(index >= 0, "the sheet has the %s page", title);
    if (index >= 0)
        PropSheet_SetCurSel(sheet, nullptr, index);
    PumpSheet(sheet, 300);
    return sheet;
}

void ShowOpenedPage(HWND page)
{
    SayPage(page);
    SayRegistry(M.depth, M.resolution);
    SayBoard();
    M.appliedRate = StatusRate(page);
    VirtualBoardState b = Board();
    Check(b.refresh == M.appliedRate, "the board runs at the rate the page shows (%d Hz)", M.appliedRate);
    if (M.state == "First") {
        Check(M.appliedRate == M.rates[0], "a first run applies the table's first rate, %d Hz", M.rates[0]);
        Check(machine::Text(HKEY_LOCAL_MACHINE, ProductPath, "State") == "Default",
              "the first run recorded \"Default\" as State");
    }
    Check(M.appliedRate != TargetRate, "the page does not run at %d Hz already", TargetRate);
}

void PressAdvance(HWND page)
{
    Say("== [2] Press Advance");
    Click(page, IDC_ADVANCE);
    SayPage(page);
    Check(!Enabled(page, IDC_ADVANCE) && Enabled(page, IDC_TEST) && Enabled(page, IDC_RATE_TRACKBAR),
          "Advance is now the active policy: its button off, Test and the track bar on");
}

void DragTrackBar(HWND sheet, HWND page)
{
    Say("== [3] Drag the track bar to %d", TargetRate);
    int position = TrackPosition(TargetRate);
    Check(position >= 0, "%d Hz is in the refresh table (position %d)", TargetRate, position);
    LONG requests = Board().modeRequests;
    HWND trackbar = GetDlgItem(page, IDC_RATE_TRACKBAR);
    // Releasing the thumb: the position, then TB_THUMBPOSITION as the mouse gives it.
    SendMessageA(trackbar, TBM_SETPOS, TRUE, position);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), (LPARAM)trackbar);
    PumpSheet(sheet, 200);
    SayPage(page);
    SayBoard();
    char target[16];
    snprintf(target, sizeof target, "%d", TargetRate);
    Check(ControlText(page, IDC_RATE_LABEL) == target, "the rate label shows %d", TargetRate);
    Check(IsWindowEnabled(GetDlgItem(sheet, ApplyButton)) != FALSE, "the sheet's Apply button is enabled");
    Check(Board().modeRequests == requests, "moving the track bar did not switch the display");
}

void AtQuestion(HWND)
{
    M.readsBeforeSwitch = Board().portReads;
    Check(Board().refresh == M.appliedRate, "the display still runs at %d Hz while the question is open",
          M.appliedRate);
}

void AtConfirmation(HWND)
{
    VirtualBoardState b = Board();
    SayBoard();
    Check(b.refresh == TargetRate && b.lastRefresh == TargetRate && b.lastWidth == b.width &&
              b.lastHeight == b.height,
          "the display was switched to the current size at %d Hz before the confirmation", TargetRate);
    Check(b.portReads > M.readsBeforeSwitch,
          "the page read the CRT controller again after the switch (port reads %ld -> %ld)", M.readsBeforeSwitch,
          b.portReads);
}

void PressTest(HWND sheet, HWND page)
{
    Say("== [4] Press Test, answer OK, keep the rate with Yes");
    char applied[16], target[16];
    snprintf(applied, sizeof applied, "%d", M.appliedRate);
    snprintf(target, sizeof target, "%d", TargetRate);
    Expected.clear();
    Expected.push_back({"question", "Glimora", Message(3) + applied + Message(4) + target + Message(5), "warning",
                        IDOK, AtQuestion});
    Expected.push_back({"confirmation", "Monitor Settings", "", "", IDC_KEEP, AtConfirmation});
    Expected.push_back({"note", "Glimora", Message(2), "information", IDOK, nullptr});
    Check(ClickAndAnswer(sheet, page, IDC_TEST), "the question, the confirmation and the note all came");
    SayPage(page);
    SayRegistry(M.depth, M.resolution);
    SayBoard();
    Check(StatusRate(page) == TargetRate, "the status tree shows Refresh = %d Hz", TargetRate);
    Check(Board().refresh == TargetRate, "the display runs at %d Hz", TargetRate);
    DWORD size = 0;
    machine::Text(HKEY_LOCAL_MACHINE, SelectionKey(M.depth, M.resolution).c_str(), "Advance", &size);
    Check(size == 0, "nothing is stored before the sheet applies");
}

void PressSheetOk(HWND sheet)
{
    Say("== [6] Press the sheet's OK");
    PropSheet_PressButton(sheet, PSBTN_OK);
    bool closed = PumpSheet(sheet, 60000);
    Check(closed, "the sheet closed");
    SayRegistry(M.depth, M.resolution);
    SayBoard();
    DWORD stateSize = 0, rateSize = 0;
    std::string state = machine::Text(HKEY_LOCAL_MACHINE, ProductPath, "State", &stateSize);
    std::string rate = machine::Text(HKEY_LOCAL_MACHINE, SelectionKey(M.depth, M.resolution).c_str(), "Advance",
                                       &rateSize);
    Check(state == "Advance" && stateSize == 40, "State is \"Advance\", 40 bytes");
    char target[16];
    snprintf(target, sizeof target, "%d", TargetRate);
    Check(rate == target && rateSize == 40, "Selection\\%s\\%s holds Advance = \"%d\", 40 bytes", M.depth.c_str(),
          M.resolution.c_str(), TargetRate);
    Check(Board().refresh == TargetRate, "the display stays at %d Hz", TargetRate);
}

// --- Changes made on the Settings page ---------------------------------------

const char* const NewMonitor = "Super VGA 800x600";   // up to 800,600 at 72 Hz

void PickNewMonitor(HWND box)
{
    HWND list = GetDlgItem(box, IDC_MONITOR_LIST);
    int index = (int)SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)NewMonitor);
    SendMessageA(list, LB_SETCURSEL, index, 0);
    Say("  picked: %s", NewMonitor);
}

// The item of a combo box whose text begins with text.
void ChooseComboItem(HWND page, int control, const char* text)
{
    HWND combo = GetDlgItem(page, control);
    int index = (int)SendMessageA(combo, CB_FINDSTRING, (WPARAM)-1, (LPARAM)text);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(control, CBN_SELCHANGE), (LPARAM)combo);
}

void ChangeDesktopArea(HWND sheet, HWND settings, HWND page)
{
    Say("== [2] Settings: desktop area 1024 by 768, Apply");
    ChooseComboItem(settings, IDC_DESKTOP_AREA, "1024 by 768");
    Check(IsWindowEnabled(GetDlgItem(sheet, ApplyButton)) != FALSE, "the sheet's Apply button is enabled");
    PropSheet_PressButton(sheet, PSBTN_APPLYNOW);
    PumpSheet(sheet, 300);
    Say("  display settings: %s at %s bits per pixel",
        machine::Text(HKEY_LOCAL_MACHINE, DisplayPath, "Resolution").c_str(),
        machine::Text(HKEY_LOCAL_MACHINE, DisplayPath, "BitsPerPixel").c_str());
    SayPage(page);
    SayRegistry(M.depth, "1024,768");
    SayBoard();
    std::vector<int> rates = machine::Rates(machine::Text(HKEY_LOCAL_MACHINE, TablePath, "1024,768V"));
    int first = rates.empty() ? -1 : rates[0];
    VirtualBoardState b = Board();
    Check(machine::Text(HKEY_LOCAL_MACHINE, DisplayPath, "Resolution") == "1024,768",
          "the display settings say 1024,768");
    Check(b.width == 1024 && b.height == 768, "the board runs at 1024 x 768");
    std::vector<std::string> lines = StatusLines(page);
    Check(lines.size() == 4 && lines[1] == "Resolution = 1024,768", "the Glimora page shows Resolution = 1024,768");
    Check(StatusRate(page) == first && b.refresh == first,
          "the Glimora page took the first rate of the new resolution's table, %d Hz", first);
    char rate[16];
    snprintf(rate, sizeof rate, "%d", first);
    Check(machine::Text(HKEY_LOCAL_MACHINE, SelectionKey(M.depth, "1024,768").c_str(), "Default") == rate &&
              machine::Text(HKEY_LOCAL_MACHINE, ProductPath, "State") == "Default",
          "it stored the Default policy with %d Hz for 1024,768", first);
}

void ChangeMonitor(HWND sheet, HWND settings, HWND page)
{
    Say("== [3] Settings: Change... the monitor to %s", NewMonitor);
    Expected.clear();
    Expected.push_back({"monitor dialog", "Select Device", "", "", IDOK, PickNewMonitor});
    Check(ClickAndAnswer(sheet, settings, IDC_CHANGE_MONITOR), "the monitor dialog came and was answered");
    SayPage(page);
    Say("  registry: OrgMonitor %s", StoredValue(ProductPath, "OrgMonitor").c_str());
    Check(IsWindowEnabled(sheet) != FALSE, "the sheet is enabled again");
    Check(ControlText(page, IDC_MAX_REFRESH) == "72" && ControlText(page, IDC_MAX_RESOLUTION) == "800,600",
          "the Glimora page shows the new monitor's limits, 800,600 and 72 Hz");
    Check(machine::Text(HKEY_LOCAL_MACHINE, ProductPath, "OrgMonitor") == NewMonitor,
          "it stored the new monitor as OrgMonitor");
}

DWORD WINAPI Watchdog(void*)
{
    Sleep(ReplayTimeLimit);
    Say("replay: FAILED, not finished after %lu seconds", (unsigned long)(ReplayTimeLimit / 1000));
    ExitProcess(3);
}

// Opens the sheet at the extension page, runs steps on it and closes it,
// printing release (a step's heading) as it lets the extension go; returns
// the process exit code of the checks made.
int RunOnPage(const char* title, const char* name, void (*steps)(HWND sheet, HWND page), const char* release)
{
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    DescribeMachine();
    SheetPages pages;
    HWND sheet = M.rates.empty() ? nullptr : OpenSheet(&pages, title);
    HWND page = sheet ? PropSheet_GetCurrentPageHwnd(sheet) : nullptr;
    int shown = sheet ? (int)SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETCURSEL, 0, 0) : -1;
    if (page && boxes::SheetTabTitle(sheet, shown) == title)
        steps(sheet, page);
    else
        Check(false, "the %s page is shown", title);
    if (sheet)
        DestroyWindow(sheet);
    if (release)
        Say("%s", release);
    ReleaseHandlerLibraries();
    return Verdict(name);
}

const char* ScreenshotDir;

void TypicalRequest(HWND sheet, HWND page)
{
    ShowOpenedPage(page);
    TakeScreenshot(sheet, ScreenshotDir, "page-before.png");
    PressAdvance(page);
    DragTrackBar(sheet, page);
    PressTest(sheet, page);
    TakeScreenshot(sheet, ScreenshotDir, "page-after.png");
    MoveThePictureOnTheMonitor(sheet, ScreenshotDir);
    PressSheetOk(sheet);
}

bool MovesOff;   // the board's chip takes no moves

// The arrows and the drag pad on, or off and the page saying why.
void CheckMovesOffer(HWND page)
{
    bool arrows = Enabled(page, IDC_LEFT) && Enabled(page, IDC_RIGHT) && Enabled(page, IDC_UP) &&
                  Enabled(page, IDC_DOWN);
    bool pad = Enabled(page, IDC_POSITION_PAD);
    // The note's own flag: the sheet may be showing another page.
    bool shown = (GetWindowLongA(GetDlgItem(page, IDC_MOVES_NOTE), GWL_STYLE) & WS_VISIBLE) != 0;
    std::string note = shown ? ControlText(page, IDC_MOVES_NOTE) : "";
    Say("  page: arrows %s, drag pad %s, note \"%s\"", arrows ? "on" : "off", pad ? "on" : "off", note.c_str());
    if (MovesOff)
        Check(!arrows && !pad && !note.empty(), "the moves are off, and the page says why");
    else
        Check(arrows && pad && note.empty(), "the arrows and the drag pad are on");
}

void ChangeSettings(HWND sheet, HWND page)
{
    SayPage(page);
    CheckMovesOffer(page);
    PropSheet_SetCurSel(sheet, nullptr, 3);
    PumpSheet(sheet, 300);
    HWND settings = PropSheet_GetCurrentPageHwnd(sheet);
    Check(boxes::SheetTabTitle(sheet, 3) == "Settings" && settings != page, "the Settings page is shown");
    ChangeDesktopArea(sheet, settings, page);
    ChangeMonitor(sheet, settings, page);
    CheckMovesOffer(page);
    Say("== [4] Press the sheet's OK");
    PropSheet_PressButton(sheet, PSBTN_OK);
    Check(PumpSheet(sheet, 60000), "the sheet closed");
}

void ShowStatus(HWND sheet, HWND page)
{
    SayPage(page);
    SayBoard();
    int rate = StatusRate(page);
    Check(Board().refresh == rate, "the board runs at the rate the page shows (%d Hz)", rate);
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
    Check(PumpSheet(sheet, 60000), "the sheet closed");
}

} // namespace

int RunReplay(const char* title, const char* screenshotDir)
{
    ScreenshotDir = screenshotDir;
    return RunOnPage(title, "replay", TypicalRequest, "== [7] Release the extension");
}

int RunSettingsReplay(const char* title, bool movesOff)
{
    MovesOff = movesOff;
    return RunOnPage(title, "replay", ChangeSettings, nullptr);
}

int RunStatusCheck(const char* title)
{
    return RunOnPage(title, "status", ShowStatus, nullptr);
}
