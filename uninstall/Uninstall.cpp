// Purvix.exe: asks, removes the registration, closes an open Display
// properties sheet that shows the Glimora page, removes the files, then shows
// the removal steps being ticked off under a progress bar that fills in four
// seconds.
#include "uninstall/Uninstall.h"
#include <commctrl.h>
#include "dib/Dib.h"
#include "runtime/Text.h"
#include "resources/resource.h"

namespace {

const int StepCount = 4;
const char* const StepNames[StepCount] = {
    "Update Registry File",
    "Update Ini Files",
    "Delete Files",
    "Delete Program Group",
};

HINSTANCE ProgramInstance;      // recorded after the removal pass
HWND StepBoxes[StepCount];      // the check boxes, in step order
HWND ProgressBar;

const char WindowClassName[] = "Orvel Uninstall";
const int BoxWidth = 200;
const int BoxHeight = 25;
const int ProgressSteps = 20;        // range 0 to 20, step 1
const DWORD StepInterval = 200;      // milliseconds
// How long a sheet asked to close gets to let go of Ratelle.dll.
const DWORD SheetReleaseWait = 4000;

// The final message, cut after its first line when no restart is needed.
const char FinalText[] = "Finish Uninstall Program !\n\nRestart Windows to finish.";
const int FinishLength = 26;

void RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSA windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = UninstallWndProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_UNINSTALL));
    windowClass.hCursor = LoadCursorA(0, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    windowClass.lpszMenuName = 0;
    windowClass.lpszClassName = WindowClassName;
    RegisterClassA(&windowClass);
}

void RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The Glimora page, known by its own controls whatever the language.
const int GlimoraControls[] = {IDC_STATUS_TREE, IDC_RATE_TRACKBAR, IDC_POSITION_PAD};

bool IsGlimoraPage(HWND page)
{
    for (int id : GlimoraControls)
        if (GetDlgItem(page, id) == 0)
            return false;
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    if (MessageBoxA(0, "Do you really want to Uninstall the VGA driver?", "Uninstall Driver", MB_OKCANCEL) != IDOK)
        return ExitCancelled;   // nothing was removed
    RemoveInstallation(RegistrationPass);
    ProgramInstance = instance;
    if (previous == 0)
        RegisterWindowClass(instance);
    HWND window = CreateWindowExA(0, WindowClassName, "Uninstall Program", WS_DLGFRAME | WS_SYSMENU,
                                  100, 50, 450, 350, 0, 0, instance, 0);
    if (window != 0) {
        ShowWindow(window, showCommand);
        UpdateWindow(window);
    }
    // The sheet's page keeps Ratelle.dll loaded until the sheet has closed.
    RemoveInstallation(FilePass, PressDialogOk() > 0 ? SheetReleaseWait : 0);
    if (window != 0)
        RunProgress(window);
    // The logo stays on show until the bar is full.
    RemoveInstallation(ProgramFilePass);
    char text[sizeof FinalText];
    TextCopy(text, RestartNeeded() ? sizeof text : FinishLength + 1, FinalText);
    if (MessageBoxA(0, text, "Finished", MB_OK) == IDOK)
        PostQuitMessage(0);
    if (window != 0)
        RunMessageLoop();
    return RemovalExitCode();
}

LRESULT CALLBACK UninstallWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        InitCommonControls();
        CreateStepBoxes(window);
        return 0;
    case WM_PAINT:
        PaintLogo(window, "OV_Logo.bmp", 5, 8, 38, 62);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Plain check boxes: a click changes nothing, only the progress ticks them.
void CreateStepBoxes(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    for (int i = 0; i < StepCount; ++i) {
        int x = width / 2;
        int y = height * (i + 1) / (StepCount + 4);
        StepBoxes[i] = CreateWindowExA(0, "BUTTON", StepNames[i], WS_CHILD | WS_VISIBLE | BS_CHECKBOX, x, y,
                                       BoxWidth, BoxHeight, window, (HMENU)(INT_PTR)i, ProgramInstance, 0);
    }
}

// Only a property sheet that holds the Glimora page is asked, and by a posted
// message: a sheet that is busy or hung (Add/Remove Programs waits for this
// program to end) must not hold the removal up. A sheet's pages are dialogs
// among its children; a page not yet shown has no window, and then the
// library waits for the next start of Windows.
int PressDialogOk()
{
    int asked = 0;
    for (HWND sheet = 0; (sheet = FindWindowExA(0, sheet, "#32770", 0)) != 0;) {
        for (HWND page = 0; (page = FindWindowExA(sheet, page, "#32770", 0)) != 0;) {
            if (IsGlimoraPage(page) && PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0)) {
                ++asked;
                break;
            }
        }
    }
    return asked;
}

void RunProgress(HWND window)
{
    InitCommonControls();
    ProgressBar = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 20, 250, 385, 30, window,
                                  (HMENU)1, ProgramInstance, 0);
    SendMessageA(ProgressBar, PBM_SETPOS, 0, 0);
    SendMessageA(ProgressBar, PBM_SETRANGE, 0, MAKELPARAM(0, ProgressSteps));
    SendMessageA(ProgressBar, PBM_SETSTEP, 1, 0);

    // Counted as well as read from the bar: without a bar the loop still ends.
    int box = 0;
    for (int step = 0; step < ProgressSteps; ++step) {
        PauseAnsweringSentMessages(StepInterval);
        LRESULT before = SendMessageA(ProgressBar, PBM_STEPIT, 0, 0);
        if (before > 0 && before % StepCount == 0 && box < StepCount) {
            SendMessageA(StepBoxes[box], BM_SETCHECK, BST_CHECKED, 0);
            ++box;
        }
        if (before >= ProgressSteps - 1)
            break;
    }
}
