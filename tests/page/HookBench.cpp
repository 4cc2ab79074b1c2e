// What the shipped library's display watch hook does for each message of the
// sheet's thread. Ratelle.dll is loaded and its AddPages installs the hook as
// for the control panel; then every function the library imports is counted
// as it is called, through its import address table. A message the hook does
// not watch may cost one call, the hand-on to the next hook; a watched one
// with nothing changed costs the registry reads that check it. Time is only
// printed: Wine's hook chain costs far more, and swings far more, than a call.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>
#include "board/VirtualBoard.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Registry.h"

namespace {

typedef std::map<std::string, long long> CallCounts;

// Every import of a module sent through a stub that counts the call and
// jumps on to the real function (x86_64: r11 is free at a call).
class ImportCounter {
public:
    explicit ImportCounter(HMODULE module)
    {
        ForEachImport(module, [&](const char*, const char* name, void**) { names_.push_back(name); });
        counts_.assign(names_.size(), 0);
        stubs_ = (BYTE*)VirtualAlloc(nullptr, names_.size() * StubSize, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
        size_t i = 0;
        ForEachImport(module, [&](const char*, const char*, void** slot) {
            BYTE* stub = stubs_ + i * StubSize;
            WriteStub(stub, &counts_[i], *slot);
            slots_.push_back({slot, *slot});
            StoreImport(slot, stub);
            ++i;
        });
    }
    ~ImportCounter()
    {
        for (auto& slot : slots_)
            StoreImport(slot.first, slot.second);
        VirtualFree(stubs_, 0, MEM_RELEASE);
    }

    CallCounts Take()
    {
        CallCounts taken;
        for (size_t i = 0; i < names_.size(); ++i) {
            if (counts_[i] != 0)
                taken[names_[i]] += counts_[i];
            counts_[i] = 0;
        }
        return taken;
    }

private:
    enum { StubSize = 32 };

    static void WriteStub(BYTE* stub, long long* counter, void* target)
    {
        const BYTE code[] = {
            0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0,   // mov r11, counter
            0xF0, 0x49, 0xFF, 0x03,               // lock inc qword [r11]
            0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0,   // mov r11, target
            0x41, 0xFF, 0xE3,                     // jmp r11
        };
        memcpy(stub, code, sizeof code);
        memcpy(stub + 2, &counter, 8);
        memcpy(stub + 16, &target, 8);
    }

    std::vector<std::string> names_;
    std::vector<long long> counts_;
    std::vector<std::pair<void**, void*>> slots_;
    BYTE* stubs_ = nullptr;
};

std::string Listed(const CallCounts& counts)
{
    std::string list;
    for (const auto& count : counts)
        list += " " + count.first + " x" + std::to_string(count.second);
    return list.empty() ? " none" : list;
}

// The host has no room for the page: the hook is installed all the same.
BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM)
{
    return FALSE;
}

const CLSID RefreshPageClass = {
    0x87b9bd00, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);

class HookCost : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        machine::WriteExampleMachine("Default");
        VirtualBoardReset(800, 600, 16);
        window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        unhooked = NanosecondsPerMessage();
        module = LoadLibraryA("Ratelle.dll");
        ASSERT_NE(nullptr, module) << "error " << GetLastError();
        auto getClassObject = (GetClassObjectFunction)GetProcAddress(module, "DllGetClassObject");
        IClassFactory* factory = nullptr;
        ASSERT_EQ(S_OK, getClassObject(RefreshPageClass, IID_IClassFactory, (void**)&factory));
        IShellPropSheetExt* extension = nullptr;
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellPropSheetExt, (void**)&extension));
        factory->Release();
        ASSERT_EQ(S_OK, extension->AddPages(RefusePage, 0));
        extension->Release();
    }

    void TearDown() override
    {
        if (window)
            DestroyWindow(window);
        // The hook of a page never shown goes with the library.
        if (module)
            FreeLibrary(module);
        RegistryTest::TearDown();
    }

    // Median over batches of unwatched messages sent to the window.
    double NanosecondsPerMessage()
    {
        const int batches = 60, messages = 100;
        std::vector<double> costs;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        for (int batch = 0; batch < batches; ++batch) {
            QueryPerformanceCounter(&start);
            for (int i = 0; i < messages; ++i)
                SendMessageA(window, WM_USER + 1, i, 0);
            QueryPerformanceCounter(&end);
            costs.push_back((double)(end.QuadPart - start.QuadPart) * 1e9 / (double)frequency.QuadPart / messages);
        }
        std::sort(costs.begin(), costs.end());
        return costs[costs.size() / 2];
    }

    // What the library called while count messages went to the window.
    CallCounts CallsFor(UINT message, WPARAM wParam, LPARAM lParam, int count)
    {
        ImportCounter counter(module);
        for (int i = 0; i < count; ++i)
            SendMessageA(window, message, wParam, lParam);
        return counter.Take();
    }

    HWND window = nullptr;
    HMODULE module = nullptr;
    double unhooked = 0;
};

TEST_F(HookCost, UnwatchedMessagesCostOnlyTheHandOn)
{
    const int messages = 1000;
    CallCounts calls = CallsFor(WM_USER + 1, 0, 0, messages);
    EXPECT_EQ((CallCounts{{"CallNextHookEx", messages}}), calls)
        << "Ratelle.dll called for " << messages << " unwatched messages:" << Listed(calls);
    for (UINT other : {(UINT)WM_SETTEXT, (UINT)WM_ACTIVATE, (UINT)WM_SHOWWINDOW, (UINT)WM_SETTINGCHANGE}) {
        calls = CallsFor(other, 0, 0, 1);
        EXPECT_EQ((CallCounts{{"CallNextHookEx", 1}}), calls) << "message " << other << ":" << Listed(calls);
    }

    double hooked = NanosecondsPerMessage();
    std::printf("per unwatched message (median of batches): no hook %.0f ns, Ratelle's hook %.0f ns (%.2fx)\n",
                unhooked, hooked, hooked / unhooked);
}

// The monitor check reads the description and the highest resolution from
// one opened key, the resolution check one value; the timing snapshot after
// it reads the board's registers, which calls nothing. With nothing changed
// that is all.
TEST_F(HookCost, WatchedMessagesCostTheirRegistryChecks)
{
    const int messages = 10;
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int reads;
    } watched[] = {
        {WM_ENABLE, TRUE, 0, 2},
        {WM_DISPLAYCHANGE, 16, MAKELPARAM(800, 600), 1},
    };
    for (const auto& check : watched) {
        CallCounts calls = CallsFor(check.message, check.wParam, check.lParam, messages);
        EXPECT_EQ((CallCounts{{"CallNextHookEx", messages}, {"RegCloseKey", messages},
                              {"RegOpenKeyExA", messages}, {"RegQueryValueExA", check.reads * messages}}), calls)
            << "Ratelle.dll called for " << messages << " of message " << check.message << ":" << Listed(calls);
    }
}

} // namespace
