// Purvix.exe: asks, removes the installation, closes an open Display
// properties sheet, then shows the removal steps being ticked off under a
// progress bar that fills in four seconds.
#include "uninstall/Uninstall.h"
#include <commctrl.h>
#include "dib/Dib.h"
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

// Waits for milliseconds without taking anything off the queue, but answers
// messages that other programs send meanwhile (a broadcast, a display change
// after the sheet's OK), so that they don't hang on this window.
void PauseAnsweringSentMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds)
            return;
        if (MsgWaitForMultipleObjects(0, 0, FALSE, milliseconds - passed, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
            MSG message;
            PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE);
        }
    }
}

int RunMessageLoop()
{
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return (int)message.wParam;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR, int showCommand)
{
    if (MessageBoxA(0, "Do you really want to Uninstall the VGA driver?", "Uninstall Driver", MB_OKCANCEL) != IDOK)
        return 1;   // nothing was removed
    RemoveInstallation();
    ProgramInstance = instance;
    if (previous == 0)
        RegisterWindowClass(instance);
    HWND window = CreateWindowExA(0, WindowClassName, "Uninstall Program", WS_DLGFRAME | WS_SYSMENU,
                                  100, 50, 450, 350, 0, 0, instance, 0);
    if (window == 0)
        return 0;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    PressDialogOk();
    RunProgress(window);
    return RunMessageLoop();
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

// Only a property sheet (a dialog with a tab control) knows PSM_PRESSBUTTON;
// any other dialog would take it for a message of its own.
void PressDialogOk()
{
    HWND dialog = 0;
    while ((dialog = FindWindowExA(0, dialog, "#32770", 0)) != 0) {
        if (FindWindowExA(dialog, 0, WC_TABCONTROLA, 0) != 0) {
            SendMessageA(dialog, PSM_PRESSBUTTON, PSBTN_OK, 0);
            return;
        }
    }
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
    if (MessageBoxA(0, "Finish Uninstall Program !", "Finished", MB_OK) == IDOK)
        PostQuitMessage(0);
}
