// What the display watch hook costs every message of the sheet's thread that
// it does not watch, next to a hook procedure that does nothing at all. Both
// are measured in one run, through the platform's hook chain, in short
// batches taken in pairs. Under Wine the chain's cost swings by a factor of
// two or more with the moment and with a batch's place in the pair, so each
// hook goes first in every other pair and the pairs' ratios are averaged
// geometrically, which cancels both. Fails when the watch hook costs more than
// 1.5 times the empty one.
#include <windows.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>
#include "page/Page.h"

namespace {

const int MessagesPerBatch = 100;
const int Batches = 400;

LRESULT CALLBACK EmptyHook(int, WPARAM, LPARAM)
{
    return 0;
}

// Nanoseconds per sent, unwatched message for one batch with the given hook
// installed (none for 0).
double BatchCost(HWND window, HOOKPROC hook)
{
    HHOOK handle = hook ? SetWindowsHookExA(WH_CALLWNDPROC, hook, nullptr, GetCurrentThreadId()) : nullptr;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < MessagesPerBatch; ++i)
        SendMessageA(window, WM_USER + 1, i, 0);
    QueryPerformanceCounter(&end);
    if (handle)
        UnhookWindowsHookEx(handle);
    return (double)(end.QuadPart - start.QuadPart) * 1e9 / (double)frequency.QuadPart / MessagesPerBatch;
}

double Median(std::vector<double> costs)
{
    std::sort(costs.begin(), costs.end());
    return costs[costs.size() / 2];
}

} // namespace

int main()
{
    HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    std::vector<double> none, empty, watch;
    for (int batch = 0; batch < Batches; ++batch) {
        none.push_back(BatchCost(window, nullptr));
        // Either hook goes first in turn, so neither gains from the order.
        if (batch % 2 == 0) {
            empty.push_back(BatchCost(window, EmptyHook));
            watch.push_back(BatchCost(window, DisplayWatchHook));
        } else {
            watch.push_back(BatchCost(window, DisplayWatchHook));
            empty.push_back(BatchCost(window, EmptyHook));
        }
    }
    DestroyWindow(window);
    double logSum = 0;
    for (int batch = 0; batch < Batches; ++batch)
        logSum += std::log(watch[batch] / empty[batch]);
    double ratio = std::exp(logSum / Batches);
    std::printf("per unwatched message (median of %d batches of %d): no hook %.0f ns, empty hook %.0f ns, "
                "display watch hook %.0f ns\n", Batches, MessagesPerBatch, Median(none), Median(empty), Median(watch));
    std::printf("display watch hook / empty hook = %.3f (geometric mean of the pairs; at most 1.5)\n", ratio);
    return ratio <= 1.5 ? 0 : 1;
}
