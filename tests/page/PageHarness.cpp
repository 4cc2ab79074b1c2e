#include "tests/page/PageHarness.h"
#include <objbase.h>
#include <shlobj.h>
#include <prsht.h>
#include <cstdio>
#include <cstring>
#include "board/Board.h"
#include "crtc/Crtc.h"
#include "page/Page.h"
#include "resources/resource.h"
#include "server/Module.h"
#include "settings/Settings.h"
#include "tests/support/Robot.h"

namespace page_test {

void ResetPageState()
{
    CurrentBitsPerPixel[0] = CurrentResolution[0] = MonitorKey[0] = MonitorMaxResolution[0] = 0;
    MonitorDescription[0] = PolicyName[0] = StoredMonitor[0] = StoredResolution[0] = 0;
    SavedRefreshText[0] = AppliedRefreshText[0] = PendingRefreshText[0] = MessageText[0] = 0;
    FirstRunFlag = RefreshCount = MonitorMaxRefresh = MonitorModeKind = 0;
    std::memset(RefreshList, 0, sizeof RefreshList);
    PageWindow = nullptr;
    DragActive = 0;
    S3ChipFound = FALSE;
    std::memset(&SnapshotTiming, 0, sizeof SnapshotTiming);
    std::memset(&CurrentTiming, 0, sizeof CurrentTiming);
}

std::string WindowText(HWND window)
{
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string ControlText(HWND dialog, int control)
{
    return WindowText(GetDlgItem(dialog, control));
}

bool Enabled(HWND dialog, int control)
{
    return IsWindowEnabled(GetDlgItem(dialog, control)) != FALSE;
}

std::vector<TreeLine> TreeLines(HWND tree)
{
    std::vector<TreeLine> lines;
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
    while (item) {
        char text[256] = {};
        TVITEMA data = {};
        data.mask = TVIF_TEXT | TVIF_PARAM;
        data.hItem = item;
        data.pszText = text;
        data.cchTextMax = sizeof text;
        SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&data);
        HTREEITEM parent = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_PARENT, (LPARAM)item);
        lines.push_back({text, data.lParam, parent == nullptr});
        item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)item);
    }
    return lines;
}

VirtualBoardState Board()
{
    VirtualBoardState state;
    VirtualBoardRead(&state);
    return state;
}

BYTE Register(BYTE index)
{
    return Board().crtc[index];
}

std::string SelectionKey(const std::string& depth, const std::string& resolution)
{
    return std::string(machine::SelectionPath) + "\\" + depth + "\\" + resolution;
}

void StoreRate(const std::string& policy, const std::string& rate)
{
    machine::SetText(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), policy, rate);
}

std::string Msg(int n)
{
    return machine::Text(HKEY_LOCAL_MACHINE, machine::LanguagePath, "Msg" + std::to_string(n));
}

namespace {

// A box nobody answers would hold the test forever: end the program instead.
HANDLE WatchdogDone;
HANDLE Watchdog;

DWORD WINAPI WatchdogProc(void*)
{
    if (WaitForSingleObject(WatchdogDone, 90000) == WAIT_TIMEOUT) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::fprintf(stderr, "\n%s.%s hung for 90 s (a box left open?)\n", test ? test->test_suite_name() : "?",
                     test ? test->name() : "?");
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

} // namespace

void PageTest::SetUp()
{
    WatchdogDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Watchdog = CreateThread(nullptr, 0, WatchdogProc, nullptr, 0, nullptr);
    RegistryTest::SetUp();
    ResetPageState();
    ModuleInstance = GetModuleHandleA(nullptr);
    VirtualBoardReset(800, 600, 16);
    robot::Start();
}

void PageTest::TearDown()
{
    if (sheet && IsWindow(sheet))
        DestroyWindow(sheet);
    sheet = nullptr;
    if (HookHandle)
        UnhookWindowsHookEx(HookHandle);
    HookHandle = nullptr;
    robot::Stop();
    RegistryTest::TearDown();
    SetEvent(WatchdogDone);
    WaitForSingleObject(Watchdog, INFINITE);
    CloseHandle(Watchdog);
    CloseHandle(WatchdogDone);
}

namespace {

// An empty page of the sheet: a dialog template without controls.
struct EmptyTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

INT_PTR CALLBACK EmptyPageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

} // namespace

void PageTest::OpenSheet(int pagesBefore)
{
    ReadDisplaySettings();
    LoadPageState();
    HookHandle = SetWindowsHookExA(WH_CALLWNDPROC, DisplayWatchHook, nullptr, GetCurrentThreadId());

    static EmptyTemplate empty = { { WS_CHILD | WS_DISABLED, 0, 0, 0, 0, 254, 233 }, 0, 0, 0 };
    std::vector<HPROPSHEETPAGE> pages;
    for (int i = 0; i < pagesBefore; ++i) {
        PROPSHEETPAGEA other = {};
        other.dwSize = sizeof other;
        other.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE;
        other.pResource = &empty.dialog;
        other.pszTitle = "Other";
        other.pfnDlgProc = EmptyPageProc;
        pages.push_back(CreatePropertySheetPageA(&other));
    }

    PROPSHEETPAGEA record = {};
    record.dwSize = sizeof record;
    record.dwFlags = PSP_USETITLE;
    record.hInstance = ModuleInstance;
    record.pszTemplate = MAKEINTRESOURCEA(IDD_REFRESH_PAGE);
    record.pszTitle = "Glimora";
    record.pfnDlgProc = RefreshPageProc;
    pages.push_back(CreatePropertySheetPageA(&record));
    ASSERT_NE(nullptr, pages.back());

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Display Properties";
    header.nPages = (UINT)pages.size();
    header.nStartPage = pagesBefore;
    header.phpage = pages.data();
    sheet = (HWND)PropertySheetA(&header);
    ASSERT_NE(nullptr, sheet);
    // The sheet is of dialog class too: the robot answers only the boxes.
    robot::Exclude(sheet);
    robot::Clear();
    SetForegroundWindow(sheet);
    robot::Pump(50);
    page = (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0);
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(page, PageWindow);
}

void PageTest::CloseSheet(int button)
{
    SendMessageA(sheet, PSM_PRESSBUTTON, button, 0);
    robot::Pump(20);
    DestroyWindow(sheet);
    sheet = nullptr;
    page = nullptr;
}

void PageTest::Click(int control)
{
    robot::Click(page, control);
}

void PageTest::ClickTrackbarBeside(int position)
{
    HWND trackbar = GetDlgItem(page, IDC_RATE_TRACKBAR);
    RECT channel;
    SendMessageA(trackbar, TBM_GETCHANNELRECT, 0, (LPARAM)&channel);
    int current = (int)SendMessageA(trackbar, TBM_GETPOS, 0, 0);
    int x = position > current ? channel.right - 1 : channel.left + 1;
    LPARAM at = MAKELPARAM(x, (channel.top + channel.bottom) / 2);
    SendMessageA(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(trackbar, WM_LBUTTONUP, 0, at);
}

void DragThumbToEnd(HWND page)
{
    HWND trackbar = GetDlgItem(page, IDC_RATE_TRACKBAR);
    RECT thumb, client;
    SendMessageA(trackbar, TBM_GETTHUMBRECT, 0, (LPARAM)&thumb);
    GetClientRect(trackbar, &client);
    int y = (thumb.top + thumb.bottom) / 2;
    SendMessageA(trackbar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((thumb.left + thumb.right) / 2, y));
    SendMessageA(trackbar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(client.right + 40, y));
    SendMessageA(trackbar, WM_LBUTTONUP, 0, MAKELPARAM(client.right + 40, y));
}

void PressAndRelease(HWND dialog, int control)
{
    HWND button = GetDlgItem(dialog, control);
    RECT r;
    GetClientRect(button, &r);
    LPARAM middle = MAKELPARAM(r.right / 2, r.bottom / 2);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageA(button, WM_LBUTTONUP, 0, middle);
}

// The minute only stops a test whose key never arrives.
bool TypeAltKey(BYTE key)
{
    keybd_event(VK_MENU, 0, 0, 0);
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY, 0);
    keybd_event(key, 0, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP, 0);
    keybd_event(VK_MENU, 0, KEYEVENTF_KEYUP, 0);
    DWORD start = GetTickCount();
    MSG message = {};
    while (GetTickCount() - start < 60000) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_HOTKEY)
            return true;
    }
    return false;
}

void Mouse(POINT at, DWORD buttons)
{
    int x = MulDiv(at.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    int y = MulDiv(at.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons, x, y, 0, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.message == WM_LBUTTONUP)
            break;
    }
}

POINT CentreOf(HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    return { (r.left + r.right) / 2, (r.top + r.bottom) / 2 };
}

void ClickWithMouse(HWND control)
{
    POINT at = CentreOf(control);
    Mouse(at, 0);
    Mouse(at, MOUSEEVENTF_LEFTDOWN);
    Mouse(at, MOUSEEVENTF_LEFTUP);
}

void ChangeResolution(int width, int height, int refresh)
{
    machine::WriteDisplaySettings(std::to_string(width) + "," + std::to_string(height), "16");
    VirtualRequestMode(width, height, 0, refresh);
}

namespace {

const CLSID RefreshPageClass = {
    0x87b9bd00, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};

BOOL CALLBACK KeepPage(HPROPSHEETPAGE page, LPARAM parameter)
{
    ((std::vector<HPROPSHEETPAGE>*)parameter)->push_back(page);
    return TRUE;
}

std::vector<HPROPSHEETPAGE> AddRatellePages(HMODULE ratelle)
{
    std::vector<HPROPSHEETPAGE> pages;
    typedef HRESULT(STDAPICALLTYPE * GetClassObjectFunction)(REFCLSID, REFIID, void**);
    auto getClassObject = (GetClassObjectFunction)GetProcAddress(ratelle, "DllGetClassObject");
    IClassFactory* factory = nullptr;
    if (!getClassObject || getClassObject(RefreshPageClass, IID_IClassFactory, (void**)&factory) != S_OK)
        return pages;
    IShellExtInit* extension = nullptr;
    factory->CreateInstance(nullptr, IID_IShellExtInit, (void**)&extension);
    factory->Release();
    if (!extension)
        return pages;
    extension->Initialize(nullptr, nullptr, nullptr);
    IShellPropSheetExt* sheetExt = nullptr;
    extension->QueryInterface(IID_IShellPropSheetExt, (void**)&sheetExt);
    if (sheetExt) {
        sheetExt->AddPages(KeepPage, (LPARAM)&pages);
        sheetExt->Release();
    }
    extension->Release();
    return pages;
}

} // namespace

HWND OpenRatelleSheet(HMODULE ratelle)
{
    std::vector<HPROPSHEETPAGE> pages = AddRatellePages(ratelle);
    if (pages.size() != 1)
        return nullptr;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_MODELESS;
    header.pszCaption = "Display Properties";
    header.nPages = 1;
    header.phpage = pages.data();
    HWND sheet = (HWND)PropertySheetA(&header);
    if (sheet) {
        robot::Exclude(sheet);
        robot::Clear();
        robot::Pump(50);
    }
    return sheet;
}

void PageTest::PressOnTrackbar(int virtualKey)
{
    HWND trackbar = GetDlgItem(page, IDC_RATE_TRACKBAR);
    SendMessageA(trackbar, WM_KEYDOWN, virtualKey, 1);
    SendMessageA(trackbar, WM_KEYUP, virtualKey, 0xC0000001);
}

} // namespace page_test
