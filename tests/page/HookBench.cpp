// What the shipped library's display watch hook does per message of the
// sheet's thread, counted in calls: Ratelle.dll is loaded, its AddPages
// installs the hook, and every function the library imports is counted
// through its import address table. Time is only printed: Wine's hook chain
// costs far more than a call, and swings far more.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <gtest/gtest.h>
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
// jumps on to the real function (x86_64; r11 is free at a call).
class ImportCounter {
public:
    explicit ImportCounter(HMODULE module)
    {
        ForEachImport(module, [&](const char*, const char* name, void** slot) {
            imports_.push_back({name, slot, *slot});
        });
        counts_.assign(imports_.size(), 0);
        stubs_ = (BYTE*)VirtualAlloc(nullptr, imports_.size() * 32, MEM_COMMIT, PAGE_EXECUTE_READWRITE);
        for (size_t i = 0; i < imports_.size(); ++i) {
            BYTE stub[] = {0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0,   // mov r11, counter
                           0xF0, 0x49, 0xFF, 0x03,               // lock inc qword [r11]
                           0x49, 0xBB, 0, 0, 0, 0, 0, 0, 0, 0,   // mov r11, function
                           0x41, 0xFF, 0xE3};                    // jmp r11
            long long* counter = &counts_[i];
            memcpy(stub + 2, &counter, 8);
            memcpy(stub + 16, &imports_[i].function, 8);
            memcpy(stubs_ + i * 32, stub, sizeof stub);
            StoreImport(imports_[i].slot, stubs_ + i * 32);
        }
    }
    ~ImportCounter()
    {
        for (const Import& import : imports_)
            StoreImport(import.slot, import.function);
        VirtualFree(stubs_, 0, MEM_RELEASE);
    }

    CallCounts Counts() const
    {
        CallCounts counts;
        for (size_t i = 0; i < imports_.size(); ++i) {
            if (counts_[i] != 0)
                counts[imports_[i].name] += counts_[i];
        }
        return counts;
    }

private:
    struct Import {
        std::string name;
        void** slot;
        void* function;
    };
    std::vector<Import> imports_;
    std::vector<long long> counts_;
    BYTE* stubs_ = nullptr;
};

// The host has no room for the page: the hook is installed all the same.
BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM)
{
    return FALSE;
}

const CLSID RefreshPageClass = {
    0x87b9bd00, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};

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
        auto getClassObject = (HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**))GetProcAddress(
            module, "DllGetClassObject");
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
        DestroyWindow(window);
        if (module)
            FreeLibrary(module);   // takes the hook of the page never shown with it
        RegistryTest::TearDown();
    }

    double NanosecondsPerMessage()
    {
        const int messages = 5000;
        LARGE_INTEGER frequency, start, end;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < messages; ++i)
            SendMessageA(window, WM_USER + 1, i, 0);
        QueryPerformanceCounter(&end);
        return (double)(end.QuadPart - start.QuadPart) * 1e9 / (double)frequency.QuadPart / messages;
    }

    // What the library called while count messages went to the window.
    CallCounts CallsFor(UINT message, WPARAM wParam, LPARAM lParam, int count)
    {
        ImportCounter counter(module);
        for (int i = 0; i < count; ++i)
            SendMessageA(window, message, wParam, lParam);
        return counter.Counts();
    }

    HWND window = nullptr;
    HMODULE module = nullptr;
    double unhooked = 0;
};

TEST_F(HookCost, UnwatchedMessagesCostOnlyTheHandOn)
{
    EXPECT_EQ((CallCounts{{"CallNextHookEx", 1000}}), CallsFor(WM_USER + 1, 0, 0, 1000));
    double hooked = NanosecondsPerMessage();
    std::printf("per unwatched message: no hook %.0f ns, Ratelle's hook %.0f ns (%.1fx)\n", unhooked, hooked,
                hooked / unhooked);
}

// The monitor check reads the description and the highest resolution from
// one opened key, the resolution check one value (the timing snapshot after
// it reads the board's registers, which calls nothing). With nothing changed
// that is all.
TEST_F(HookCost, WatchedMessagesCostTheirRegistryChecks)
{
    const struct {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        int reads;
    } watched[] = {{WM_ENABLE, TRUE, 0, 2}, {WM_DISPLAYCHANGE, 16, MAKELPARAM(800, 600), 1}};
    for (const auto& check : watched) {
        EXPECT_EQ((CallCounts{{"CallNextHookEx", 10}, {"RegCloseKey", 10}, {"RegOpenKeyExA", 10},
                              {"RegQueryValueExA", check.reads * 10}}),
                  CallsFor(check.message, check.wParam, check.lParam, 10))
            << "10 of message " << check.message;
    }
}

} // namespace
