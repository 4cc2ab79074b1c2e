// Processor faults reach the program as the exceptions Windows raises for
// them, with the faulting address and the kind of access. Under the 32-bit
// Wine this rests on wine32's trap-number shim: without it every fault came
// as an illegal instruction, and guard pages did not work.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

DWORD Code;
ULONG_PTR Access;
ULONG_PTR Address;
volatile int Zero = 0;
volatile int Sink;
DWORD FaultingThread;

// Notes the exception of the faulting thread and ends that thread there.
// Others (a failure's debug output, say) pass on.
LONG CALLBACK Note(EXCEPTION_POINTERS* pointers)
{
    if (GetCurrentThreadId() != FaultingThread)
        return EXCEPTION_CONTINUE_SEARCH;
    const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
    Code = record->ExceptionCode;
    Access = record->NumberParameters >= 2 ? record->ExceptionInformation[0] : ~ULONG_PTR(0);
    Address = record->NumberParameters >= 2 ? record->ExceptionInformation[1] : 0;
    ExitThread(0);
}

char* GuardPage;

DWORD WINAPI WriteLow(void*) { *reinterpret_cast<volatile int*>(0x10) = 1; return 0; }
DWORD WINAPI ReadLow(void*) { Sink = *reinterpret_cast<volatile int*>(0x20); return 0; }
DWORD WINAPI DivideByZero(void*) { Sink = 7 / Zero; return 0; }
DWORD WINAPI Breakpoint(void*) { DebugBreak(); return 0; }
DWORD WINAPI InvalidOpcode(void*) { __builtin_trap(); }
DWORD WINAPI TouchGuardPage(void*) { Sink = GuardPage[8]; return 0; }

struct Fault {
    const char* name;
    LPTHREAD_START_ROUTINE cause;
    DWORD code;
    ULONG_PTR access;  // ~0: not given
    ULONG_PTR address;
};

TEST(Faults, ComeAsTheirOwnExceptions)
{
    GuardPage = static_cast<char*>(VirtualAlloc(nullptr, 4096, MEM_COMMIT, PAGE_READWRITE | PAGE_GUARD));
    ASSERT_NE(nullptr, GuardPage);
    const Fault faults[] = {
        {"write to 0x10", WriteLow, EXCEPTION_ACCESS_VIOLATION, 1, 0x10},
        {"read from 0x20", ReadLow, EXCEPTION_ACCESS_VIOLATION, 0, 0x20},
        {"integer division by zero", DivideByZero, EXCEPTION_INT_DIVIDE_BY_ZERO, ~ULONG_PTR(0), 0},
        {"breakpoint", Breakpoint, EXCEPTION_BREAKPOINT, ~ULONG_PTR(0), 0},
        {"invalid opcode", InvalidOpcode, EXCEPTION_ILLEGAL_INSTRUCTION, ~ULONG_PTR(0), 0},
        {"guard page", TouchGuardPage, STATUS_GUARD_PAGE_VIOLATION, 0, reinterpret_cast<ULONG_PTR>(GuardPage + 8)},
    };
    void* handler = AddVectoredExceptionHandler(1, Note);
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        Code = 0;
        Access = Address = 0;
        HANDLE thread = CreateThread(nullptr, 0, fault.cause, nullptr, CREATE_SUSPENDED, &FaultingThread);
        ResumeThread(thread);
        ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 60000));
        CloseHandle(thread);
        EXPECT_EQ(fault.code, Code) << std::hex << "exception 0x" << Code;
        if (fault.access != ~ULONG_PTR(0)) {
            EXPECT_EQ(fault.access, Access) << "0 read, 1 write";
            EXPECT_EQ(fault.address, Address) << std::hex << "at 0x" << Address;
        }
    }
    RemoveVectoredExceptionHandler(handler);
    // The guard is gone after its first touch.
    MEMORY_BASIC_INFORMATION page = {};
    VirtualQuery(GuardPage, &page, sizeof page);
    EXPECT_EQ(DWORD(PAGE_READWRITE), page.Protect) << std::hex << "protection 0x" << page.Protect;
    VirtualFree(GuardPage, 0, MEM_RELEASE);
}

}  // namespace
