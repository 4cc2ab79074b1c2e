#include "tests/support/Robot.h"
#include <gtest/gtest.h>
#include "common/BoxReading.h"
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
// Boxes given a click, until they end, and boxes of other processes waiting
// for a step: the window, its entry in Boxes and the button clicked.
struct BoxEntry {
    HWND box;
    size_t seen;
    int control;
};
std::vector<BoxEntry> Clicked;
std::deque<BoxEntry> Waiting;
std::mutex Guard;
volatile bool StopWatching;
HANDLE Watcher;

// Whether a button shows itself; the box may not be on the screen yet.
bool Shown(HWND button)
{
    return (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE) != 0;
}

// The buttons of a box, for a failure message.
std::string Buttons(HWND box)
{
    std::string all;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Button") == 0)
            all += "[" + std::to_string(GetDlgCtrlID(child)) + " " + boxes::WindowText(child) +
                   (Shown(child) ? "" : " hidden") + (IsWindowEnabled(child) ? "" : " disabled") + "]";
    }
    return all.empty() ? "none" : all;
}

// A person can click only a button the box shows enabled: a step for any
// other fails the test and leaves the box alone. True when a click was made.
bool Act(HWND box, const Step& step)
{
    if (step.kind == Kind::Click) {
        HWND button = GetDlgItem(box, step.value);
        if (!button || !Shown(button) || !IsWindowEnabled(button)) {
            ADD_FAILURE() << "the box \"" << boxes::WindowText(box) << "\" has no enabled button " << step.value
                          << "; its buttons: " << Buttons(box);
            return false;
        }
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(step.value, BN_CLICKED), (LPARAM)button);
        return true;
    }
    if (step.kind == Kind::Key) {
        HWND focus = GetFocus();
        HWND target = focus && (focus == box || IsChild(box, focus)) ? focus : box;
        PostMessageA(target, WM_KEYDOWN, step.value, 1);
        PostMessageA(target, WM_KEYUP, step.value, 0xC0000001);
    }
    return false;
}

// Records a box; returns its entry in Boxes.
size_t Record(HWND box)
{
    SeenBox seen;
    seen.caption = boxes::WindowText(box);
    seen.text = boxes::Message(box);
    seen.icon = boxes::Icon(box);
    seen.className = "#32770";
    Boxes.push_back(seen);
    return Boxes.size() - 1;
}

// Gives a recorded box the next step of the script.
void GiveNextStep(HWND box, size_t seen)
{
    Step step = Script.front();
    Script.pop_front();
    if (Act(box, step))
        Clicked.push_back({box, seen, step.value});
}

// A box that ends after a click has returned that button. Boxes of other
// processes end out of sight: gone means ended.
void RecordEnds(HWND destroyed)
{
    for (size_t i = 0; i < Clicked.size();) {
        if (Clicked[i].box == destroyed || !IsWindow(Clicked[i].box)) {
            Boxes[Clicked[i].seen].answer = Clicked[i].control;
            Clicked.erase(Clicked.begin() + i);
        } else {
            ++i;
        }
    }
}

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        // HCBT_ACTIVATE can come twice for one box: act once.
        if (boxes::IsDialog(box) && box != LastBox && !Excluded.count(box)) {
            LastBox = box;
            size_t seen = Record(box);
            if (!Script.empty())
                GiveNextStep(box, seen);
        }
    } else if (code == HCBT_DESTROYWND) {
        RecordEnds((HWND)wParam);
    }
    return CallNextHookEx(Hook, code, wParam, lParam);
}

BOOL CALLBACK FindNewBox(HWND window, LPARAM)
{
    if (boxes::IsDialog(window) && IsWindowVisible(window) && !Known.count(window) && !Excluded.count(window)) {
        Known.insert(window);
        Waiting.push_back({window, Record(window), 0});
    }
    return TRUE;
}

// Boxes of other processes take the steps in the order they came; a box with
// no step left waits for the next one.
void AnswerWaitingBoxes()
{
    while (!Waiting.empty() && !Script.empty()) {
        BoxEntry waiting = Waiting.front();
        Waiting.pop_front();
        if (IsWindow(waiting.box))
            GiveNextStep(waiting.box, waiting.seen);
    }
}

DWORD WINAPI WatchProc(void*)
{
    while (!StopWatching) {
        {
            std::lock_guard<std::mutex> lock(Guard);
            EnumWindows(FindNewBox, 0);
            AnswerWaitingBoxes();
            RecordEnds(nullptr);
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
    Clicked.clear();
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
    Clicked.clear();
    Waiting.clear();
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
    RecordEnds(nullptr);
}

void Exclude(HWND window) { std::lock_guard<std::mutex> lock(Guard); Excluded.insert(window); }
void Answer(int controlId) { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Click, controlId}); }
void Press(int virtualKey) { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Key, virtualKey}); }
void Ignore() { std::lock_guard<std::mutex> lock(Guard); Script.push_back({Kind::Ignore, 0}); }
size_t Pending() { std::lock_guard<std::mutex> lock(Guard); return Script.size(); }
std::vector<SeenBox> Seen() { std::lock_guard<std::mutex> lock(Guard); return Boxes; }
void Clear()
{
    std::lock_guard<std::mutex> lock(Guard);
    Boxes.clear();
    Clicked.clear();
    Waiting.clear();
}

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
