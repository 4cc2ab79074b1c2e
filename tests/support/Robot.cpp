#include "tests/support/Robot.h"
#include "host/BoxReading.h"
#include <deque>
#include <mutex>
#include <set>

namespace robot {
namespace {

enum class Kind { Click, Key, Ignore };
struct Step {
    Kind kind;
    int value;
};

HHOOK Hook;
std::deque<Step> Script;
std::vector<SeenBox> Boxes;
HWND LastBox;
std::set<HWND> Known;
std::set<HWND> Excluded;
std::mutex Guard;
volatile bool StopWatching;
HANDLE Watcher;

void Act(HWND box, const Step& step);

// Records a box and gives it the next answer of the script.
void Handle(HWND box)
{
    SeenBox seen;
    seen.caption = boxes::WindowText(box);
    seen.text = boxes::Message(box);
    seen.icon = boxes::Icon(box);
    seen.className = "#32770";
    seen.shownAt = GetTickCount();
    if (!Script.empty()) {
        Step step = Script.front();
        Script.pop_front();
        if (step.kind == Kind::Click)
            seen.answer = step.value;
        Act(box, step);
    }
    Boxes.push_back(seen);
}

void Act(HWND box, const Step& step)
{
    if (step.kind == Kind::Click) {
        HWND button = GetDlgItem(box, step.value);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(step.value, BN_CLICKED), (LPARAM)button);
    } else if (step.kind == Kind::Key) {
        HWND focus = GetFocus();
        HWND target = focus && (focus == box || IsChild(box, focus)) ? focus : box;
        PostMessageA(target, WM_KEYDOWN, step.value, 1);
        PostMessageA(target, WM_KEYUP, step.value, 0xC0000001);
    }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char cls[32] = {};
        GetClassNameA(box, cls, sizeof cls);
        // HCBT_ACTIVATE can come twice for one box: act once.
        if (lstrcmpA(cls, "#32770") == 0 && box != LastBox && !Excluded.count(box)) {
            LastBox = box;
            Handle(box);
        }
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

BOOL CALLBACK FindNewBox(HWND window, LPARAM)
{
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window) && !Known.count(window)
        && !Excluded.count(window)) {
        Known.insert(window);
        Handle(window);
    }
    return TRUE;
}

DWORD WINAPI WatchProc(void*)
{
    while (!StopWatching) {
        {
            std::lock_guard<std::mutex> lock(Guard);
            EnumWindows(FindNewBox, 0);
        }
        Sleep(20);
    }
    return 0;
}

} // namespace

void Start()
{
    Stop();
    Script.clear();
    Boxes.clear();
    Excluded.clear();
    LastBox = nullptr;
    Hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

void Stop()
{
    if (Hook)
        UnhookWindowsHookEx(Hook);
    Hook = nullptr;
}

// A lambda cannot be a stdcall callback on i686.
BOOL CALLBACK NoteKnownWindow(HWND window, LPARAM)
{
    Known.insert(window);
    return TRUE;
}

void StartWatching()
{
    StopWatchingBoxes();
    Script.clear();
    Boxes.clear();
    Known.clear();
    // Boxes already open belong to somebody else.
    EnumWindows(NoteKnownWindow, 0);
    StopWatching = false;
    Watcher = CreateThread(nullptr, 0, WatchProc, nullptr, 0, nullptr);
}

void StopWatchingBoxes()
{
    if (!Watcher)
        return;
    StopWatching = true;
    WaitForSingleObject(Watcher, INFINITE);
    CloseHandle(Watcher);
    Watcher = nullptr;
}

void Exclude(HWND window) { std::lock_guard<std::mutex> lock(Guard); Excluded.insert(window); }
void Answer(int controlId) { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Click, controlId}); }
void Press(int virtualKey) { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Key, virtualKey}); }
void Ignore() { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Ignore, 0}); }
size_t Pending() { std::lock_guard<std::mutex> lock(Guard); return Script.size(); }
std::vector<SeenBox> Seen() { std::lock_guard<std::mutex> lock(Guard); return Boxes; }
void Clear() { std::lock_guard<std::mutex> lock(Guard); Boxes.clear(); }

void Pump(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() - start < milliseconds);
}

void Click(HWND dialog, int controlId)
{
    HWND control = GetDlgItem(dialog, controlId);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), (LPARAM)control);
}

} // namespace robot
