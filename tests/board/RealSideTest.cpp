// The path a Windows 95 PC takes through the hardware seam, run here: the
// build's Ratelle.dll and Glimrate.exe (on i686 the shipping ones) in the
// surroundings of Windows 95, with this program doing what the system does
// for them there.
//
// - Wine tells them that they run on Windows 95: the AppDefaults version of
//   their program, which Wine reads as a process starts (this program names
//   itself there and runs again, main at the end).
// - Wine's own marker is hidden from the binary alone: its import of
//   GetProcAddress finds no wine_get_version.
// - Its port instructions fault here, as on the NT family; they are served
//   from the virtual board and stepped past, as Windows 9x traps them for a
//   driver. An instruction the trap cannot decode ends the program, a port
//   the board does not serve fails the test.
// - Its ChangeDisplaySettingsA and GetDeviceCaps are caught at its imports:
//   the request is read as a display driver receives it and handed to the
//   board, the screen's size is the board's.
//
// Ratelle.dll is loaded here, as the control panel loads it, and a vectored
// handler traps its ports. Glimrate.exe runs as Windows runs it, a process of
// its own at its own base, with this program as its debugger (RunGlimrate).
//
// One table of the page's uses plays on both sides, the virtual one (Wine's
// marker seen) and the real one, and after every use the board must hold the
// same registers and counts on both. The x86_64 build has no real side: there
// every surroundings must give the virtual one.
#include <windows.h>
#include <prsht.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>
#include "board/VirtualBoard.h"
#include "common/Process.h"
#include "resources/resource.h"
#include "tests/page/PageHarness.h"
#include "tests/support/Boards.h"
#include "tests/support/ImportPatch.h"
#include "tests/support/Robot.h"

using namespace page_test;

namespace {

#if defined(__i386__)
const bool RealSideBuilt = true;
#else
const bool RealSideBuilt = false;
#endif

// What the port trap served since it was last cleared.
struct Trapped {
    long reads = 0, writes = 0;
    std::string unserved;   // "out 0D4h,in 0D5h": each port the board does not serve, once
};
Trapped Ports;

#ifdef _WIN64
#define CONTEXT_IP(c) (c).Rip
#define CONTEXT_SP(c) (c).Rsp
#define CONTEXT_AX(c) (c).Rax
#define CONTEXT_DX(c) (c).Rdx
#else
#define CONTEXT_IP(c) (c).Eip
#define CONTEXT_SP(c) (c).Esp
#define CONTEXT_AX(c) (c).Eax
#define CONTEXT_DX(c) (c).Edx
#endif

[[noreturn]] void EndUndecodable(const BYTE* code)
{
    std::fprintf(stderr, "\nthe port trap cannot decode the privileged instruction at %p: %02X %02X %02X %02X\n",
                 (const void*)code, code[0], code[1], code[2], code[3]);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) {
    }
}

void NoteUnserved(bool out, WORD port)
{
    char text[16];
    std::snprintf(text, sizeof text, "%s %03Xh", out ? "out" : "in", port);
    if (("," + Ports.unserved + ",").find(std::string(",") + text + ",") == std::string::npos)
        Ports.unserved += Ports.unserved.empty() ? text : std::string(",") + text;
}

// An in or out served from the virtual board, the thread stepped past it:
// byte, word (66h) or double word wide, at a port in DX or in the
// instruction.
LONG CALLBACK TrapPortInstruction(EXCEPTION_POINTERS* pointers)
{
    if (pointers->ExceptionRecord->ExceptionCode != EXCEPTION_PRIV_INSTRUCTION)
        return EXCEPTION_CONTINUE_SEARCH;
    CONTEXT& context = *pointers->ContextRecord;
    const BYTE* code = (const BYTE*)CONTEXT_IP(context);
    int length = code[0] == 0x66 ? 1 : 0;
    BYTE opcode = code[length++];
    // E4-E7 with an immediate port, EC-EF with DX; bit 1 out, bit 0 wide.
    if ((opcode & 0xF4) != 0xE4)
        EndUndecodable(code);
    int width = (opcode & 1) == 0 ? 1 : length == 2 ? 2 : 4;
    WORD port = (opcode & 8) ? (WORD)CONTEXT_DX(context) : code[length++];
    bool out = (opcode & 2) != 0;
    ULONG_PTR ax = CONTEXT_AX(context);
    for (int i = 0; i < width; ++i) {
        WORD at = (WORD)(port + i);
        if (!VirtualPortServed(at, out))
            NoteUnserved(out, at);
        int shift = 8 * i;
        if (out) {
            ++Ports.writes;
            VirtualPortOut(at, (BYTE)(ax >> shift));
        } else {
            ++Ports.reads;
            ax = (ax & ~((ULONG_PTR)0xFF << shift)) | (ULONG_PTR)VirtualPortIn(at) << shift;
        }
    }
    CONTEXT_AX(context) = ax;
    CONTEXT_IP(context) += length;
    return EXCEPTION_CONTINUE_EXECUTION;
}

// The mode requests caught since last cleared, each as a display driver reads
// it ("800x600@85"), with whatever a driver would not expect after it.
std::string Requests;

LONG ReceiveModeRequest(const DEVMODEA& request, DWORD flags)
{
    const DWORD expectedFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    std::string seen = std::to_string(request.dmPelsWidth) + "x" + std::to_string(request.dmPelsHeight) + "@" +
                       std::to_string(request.dmDisplayFrequency);
    char odd[160] = "";
    if (request.dmSize != 148 || request.dmDriverExtra != 0 || request.dmFields != expectedFields ||
        request.dmBitsPerPel != 0 || flags != 0)
        std::snprintf(odd, sizeof odd, " (dmSize %u, dmDriverExtra %u, dmFields 0x%lX, dmBitsPerPel %lu, flags %lu)",
                      request.dmSize, request.dmDriverExtra, request.dmFields, request.dmBitsPerPel, flags);
    Requests += (Requests.empty() ? "" : ", ") + seen + odd;
    int depth = (request.dmFields & DM_BITSPERPEL) ? (int)request.dmBitsPerPel : 0;
    return VirtualRequestMode(request.dmPelsWidth, request.dmPelsHeight, depth, request.dmDisplayFrequency);
}

// HORZRES and VERTRES: the board's mode.
bool AnswerScreenSize(int index, int* answer)
{
    int width, height;
    VirtualScreenSize(&width, &height);
    *answer = index == HORZRES ? width : height;
    return index == HORZRES || index == VERTRES;
}

bool IsWineMarker(LPCSTR name)
{
    return HIWORD((ULONG_PTR)name) != 0 && lstrcmpA(name, "wine_get_version") == 0;
}

const DWORD WindowsNt4Version = 0x05650004;   // 4.0, build 1381, high bit clear

// The same, in place of the imports of a binary loaded here.
LONG WINAPI CatchModeRequest(DEVMODEA* request, DWORD flags)
{
    return ReceiveModeRequest(*request, flags);
}

int WINAPI CatchDeviceCaps(HDC dc, int index)
{
    int answer;
    return AnswerScreenSize(index, &answer) ? answer : GetDeviceCaps(dc, index);
}

FARPROC WINAPI LookUpWithoutWine(HMODULE module, LPCSTR name)
{
    if (!IsWineMarker(name))
        return GetProcAddress(module, name);
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}

DWORD WINAPI AnswerWindowsNt4()
{
    return WindowsNt4Version;
}

// What a loaded binary finds around it. The Windows version is the one Wine
// gives this program (Windows 95) unless it answers NT 4.0.
struct Surroundings {
    const char* name;
    bool windowsNt;
    bool wineMarker;
    // Only the 9x family without Wine's marker may use the ports.
    bool Real() const { return RealSideBuilt && !windowsNt && !wineMarker; }
};
const Surroundings UnderWine = {"Windows 95 under Wine", false, true};
const Surroundings Windows95 = {"Windows 95", false, false};

// The imports caught in a binary: its display calls always, the lookup of
// Wine's marker and the version as the surroundings make them; each with the
// stand-in that takes its place in a binary loaded here and the count of its
// stdcall arguments.
struct Catch {
    const char* dll;
    const char* function;
    void* standIn;
    int arguments;
};

std::vector<Catch> CatchesFor(const Surroundings& surroundings)
{
    std::vector<Catch> catches = {{"user32.dll", "ChangeDisplaySettingsA", (void*)CatchModeRequest, 2},
                                  {"gdi32.dll", "GetDeviceCaps", (void*)CatchDeviceCaps, 2}};
    if (!surroundings.wineMarker)
        catches.push_back({"kernel32.dll", "GetProcAddress", (void*)LookUpWithoutWine, 2});
    if (surroundings.windowsNt)
        catches.push_back({"kernel32.dll", "GetVersion", (void*)AnswerWindowsNt4, 0});
    return catches;
}

// A binary loaded here, its imports pointed at the stand-ins for the
// object's lifetime.
class Surround {
public:
    Surround(HMODULE module, const Surroundings& surroundings)
    {
        for (const Catch& c : CatchesFor(surroundings)) {
            patches_.emplace_back(new ImportPatch(c.dll, c.function, c.standIn, module));
            if (!patches_.back()->Applied())
                missing += std::string(" ") + c.function;
        }
    }
    // The imports that were not there to patch.
    std::string missing;

private:
    std::vector<std::unique_ptr<ImportPatch>> patches_;
};

// Wine gives a program the Windows version that its AppDefaults key names,
// read when its process starts: Windows 95 for the program of that path, for
// the object's lifetime.
class Windows95Program {
public:
    explicit Windows95Program(const std::string& path)
        : key_(std::string("Software\\Wine\\AppDefaults\\") + path.substr(path.find_last_of('\\') + 1))
    {
        machine::WriteText(HKEY_CURRENT_USER, key_, "Version", "win95");
    }
    ~Windows95Program() { machine::DeleteTree(HKEY_CURRENT_USER, key_); }

private:
    std::string key_;
};

// The board as tests compare it: mode, registers sixteen a line, counters and
// the last request.
std::string Describe(const VirtualBoardState& b)
{
    char line[160];
    std::snprintf(line, sizeof line, "mode %ldx%ldx%ld at %ld Hz, misc %02X, index %02X\n", b.width, b.height,
                  b.bitsPerPixel, b.refresh, b.miscOutput, b.index);
    std::string text = line;
    for (int row = 0; row < VirtualRegisterCount; row += 16) {
        std::snprintf(line, sizeof line, "CR%02X:", row);
        text += line;
        for (int i = row; i < row + 16; ++i) {
            std::snprintf(line, sizeof line, " %02X", b.crtc[i]);
            text += line;
        }
        text += "\n";
    }
    std::snprintf(line, sizeof line, "%ld port reads, %ld writes, %ld mode requests, the last %ldx%ldx%ld@%ld: %ld\n",
                  b.portReads, b.portWrites, b.modeRequests, b.lastWidth, b.lastHeight, b.lastBitsPerPixel,
                  b.lastRefresh, b.lastResult);
    return text + line;
}

// How the binary reached the board: what the trap served and the import
// caught. On the real side every port access the board counted is a trap.
std::string PathTaken(long reads, long writes, const std::string& requests)
{
    return std::to_string(reads) + " port reads and " + std::to_string(writes) + " writes trapped; requests caught: " +
           (requests.empty() ? "none" : requests);
}

std::string PathExpected(const Surroundings& surroundings, const VirtualBoardState& board, const char* requests)
{
    if (!surroundings.Real())
        return PathTaken(0, 0, "");
    return PathTaken(board.portReads, board.portWrites, requests);
}

// One use of the page, played in the sheet where the one before it ended.
struct Use {
    const char* name;
    void (*play)(HWND page);
    const char* requests;   // as a display driver receives them on the real side
};

void TestRate(HWND page, int confirmation)
{
    DragThumbToEnd(page);   // 85
    robot::Answer(IDOK);
    robot::Answer(confirmation);
    robot::Answer(IDOK);
    PressAndRelease(page, IDC_TEST);
}

// On the example machine: 800x600 at 16 bits per pixel, table 56 60 72 75 85,
// a monitor up to 100 Hz.
const Use Uses[] = {
    {"open the page on a first run", [](HWND) {}, "800x600@56"},
    {"Advance, 85 on the track bar, Test, No",
     [](HWND page) {
         PressAndRelease(page, IDC_ADVANCE);
         TestRate(page, IDC_REVERT);
     },
     "800x600@85, 800x600@56"},
    {"85 on the track bar, Test, Yes", [](HWND page) { TestRate(page, IDC_KEEP); }, "800x600@85"},
    {"Optimize: 85 declined, 75 kept",
     [](HWND page) {
         robot::Answer(IDOK);         // 85?
         robot::Answer(IDC_REVERT);
         robot::Answer(IDOK);         // 75?
         robot::Answer(IDC_KEEP);
         robot::Answer(IDOK);
         PressAndRelease(page, IDC_OPTIMIZE);
     },
     "800x600@85, 800x600@60, 800x600@75"},
    {"the arrow buttons",
     [](HWND page) {
         for (int arrow : {IDC_LEFT, IDC_LEFT, IDC_UP, IDC_RIGHT, IDC_DOWN, IDC_DOWN})
             PressAndRelease(page, arrow);
     },
     ""},
    {"a drag on the pad",
     [](HWND page) {
         RECT pad;
         GetWindowRect(GetDlgItem(page, IDC_POSITION_PAD), &pad);
         MapWindowPoints(nullptr, page, (POINT*)&pad, 2);
         int x = (pad.left + pad.right) / 2, y = (pad.top + pad.bottom) / 2;
         SendMessageA(page, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
         SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 30, y - 10));
         SendMessageA(page, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x - 30, y + 20));
         SendMessageA(page, WM_LBUTTONUP, 0, MAKELPARAM(x - 30, y + 20));
     },
     ""},
    {"the five hot keys typed",
     [](HWND) {
         for (BYTE key : {VK_LEFT, VK_UP, VK_HOME, VK_RIGHT, VK_DOWN})
             EXPECT_TRUE(TypeAltKey(key)) << "key " << (int)key << " reached no window as a hot key";
     },
     ""},
    {"Alt+Home after the arrows",
     [](HWND page) {
         PressAndRelease(page, IDC_LEFT);
         PressAndRelease(page, IDC_UP);
         EXPECT_TRUE(TypeAltKey(VK_HOME)) << "Alt+Home reached no window as a hot key";
     },
     ""},
    {"1024x768 chosen on the Settings page", [](HWND) { ChangeResolution(1024, 768, 75); }, "1024x768@60"},
};

// What one use left behind.
struct Outcome {
    std::string board;
    std::string path;
    std::string expectedPath;
    std::string unserved;
};

class RealSide : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        trap_ = AddVectoredExceptionHandler(1, TrapPortInstruction);
        robot::Start();
    }
    void TearDown() override
    {
        robot::Stop();
        RemoveVectoredExceptionHandler(trap_);
        RegistryTest::TearDown();
    }

    // The example machine with the package, the board (the S3 unless a row
    // of the table of boards is chosen) fresh in its mode, nothing trapped or
    // caught yet.
    void FreshMachine(const std::string& state)
    {
        machine::RemoveAll();
        machine::WriteExampleMachine(state);
        if (board_)
            boards::Install(*board_, 800, 600, 16);
        else
            VirtualBoardReset(800, 600, 16);
        Ports = Trapped();
        Requests.clear();
    }

    Outcome Note(const Surroundings& surroundings, const char* requests)
    {
        VirtualBoardState board = Board();
        Outcome seen = {Describe(board), PathTaken(Ports.reads, Ports.writes, Requests),
                        PathExpected(surroundings, board, requests), Ports.unserved};
        return seen;
    }

    // Ratelle.dll loaded afresh (its side not chosen yet) in the surroundings,
    // its page opened on a first run and the uses played in turn up to count;
    // then the sheet's OK, and the library unloaded.
    std::vector<Outcome> PlayUses(const Surroundings& surroundings, size_t count)
    {
        std::vector<Outcome> outcomes;
        FreshMachine("First");
        HMODULE ratelle = LoadLibraryA("Ratelle.dll");
        EXPECT_NE(nullptr, ratelle) << "error " << GetLastError();
        if (!ratelle)
            return outcomes;
        auto surround = std::make_unique<Surround>(ratelle, surroundings);
        EXPECT_EQ("", surround->missing) << "imports of Ratelle.dll not found";
        HWND sheet = OpenRatelleSheet(ratelle);
        EXPECT_NE(nullptr, sheet) << surroundings.name << ": no page added, or no sheet";
        HWND page = sheet ? (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0) : nullptr;
        for (size_t i = 0; page && i < count; ++i) {
            SCOPED_TRACE(std::string(surroundings.name) + ", " + Uses[i].name);
            Uses[i].play(page);
            robot::Pump(20);
            outcomes.push_back(Note(surroundings, Uses[i].requests));
            Requests.clear();
        }
        if (sheet) {
            SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
            robot::Pump(20);
            DestroyWindow(sheet);
        }
        surround.reset();
        FreeLibrary(ratelle);
        EXPECT_EQ(nullptr, GetModuleHandleA("Ratelle.dll")) << "Ratelle.dll stayed loaded: its next load would not choose";
        return outcomes;
    }

    // The first count uses played on the virtual side and on the real one,
    // the board after each the same on both.
    void PlayOnBothSides(size_t count)
    {
        std::vector<Outcome> virtualSide = PlayUses(UnderWine, count);
        std::vector<Outcome> realSide = PlayUses(Windows95, count);
        ASSERT_EQ(count, virtualSide.size());
        ASSERT_EQ(count, realSide.size());
        for (size_t i = 0; i < count && !HasFailure(); ++i) {
            SCOPED_TRACE(Uses[i].name);
            EXPECT_EQ(virtualSide[i].expectedPath, virtualSide[i].path) << UnderWine.name;
            EXPECT_EQ(realSide[i].expectedPath, realSide[i].path) << Windows95.name;
            EXPECT_EQ("", realSide[i].unserved) << "ports the board does not serve";
            EXPECT_EQ(virtualSide[i].board, realSide[i].board) << "the board: virtual side, then real side";
        }
    }

    const boards::Board* board_ = nullptr;   // the row of the table of boards, or the S3

private:
    void* trap_ = nullptr;
};

TEST_F(RealSide, EveryUseOfThePageEndsTheBoardAsTheVirtualSideDoes)
{
    PlayOnBothSides(sizeof Uses / sizeof Uses[0]);
}

// On the first board of the table whose chip takes no moves and which the
// page reads (the identity check is the same code on every such chip), the
// shipping page's own port instructions, too, reach it only for that check
// while the page opens, tries rates and has its arrows and pad pressed (the
// hot keys are not the page's there).
TEST_F(RealSide, ABoardThatTakesNoMovesSeesOnlyTheIdentityCheckOnEitherSide)
{
    const size_t throughTheDrag = 6;
    for (const boards::Board& row : boards::TakingNoMoves()) {
        if (!row.probed)
            continue;
        SCOPED_TRACE(row.name);
        board_ = &row;
        FreshMachine("First");
        const VirtualBoardState found = Board();
        PlayOnBothSides(throughTheDrag);
        boards::ExpectUntouched(row, found);
        break;
    }
    board_ = nullptr;
}

// The side is chosen once, at the first call: each row loads the library
// afresh and opens the page on a first run, which requests a mode and reads
// the registers.
TEST_F(RealSide, OnlyTheNineXFamilyWithoutWinesMarkerTakesThePorts)
{
    const Surroundings rows[] = {
        UnderWine,
        Windows95,
        {"Windows NT 4.0 under Wine", true, true},
        {"Windows NT 4.0", true, false},
    };
    for (const Surroundings& surroundings : rows) {
        std::vector<Outcome> opened = PlayUses(surroundings, 1);
        ASSERT_EQ(1u, opened.size()) << surroundings.name;
        EXPECT_EQ(opened[0].expectedPath, opened[0].path) << surroundings.name;
        EXPECT_EQ(56, Board().refresh) << surroundings.name << ": the first table rate";
    }
}

// Glimrate.exe runs as its own process, as Windows runs it, under this
// program as its debugger: it is a program without relocations, fixed at
// 0x400000, where this program's own stack lies, and Wine binds no imports of
// a program loaded as a library. Once the loader has bound them (its
// breakpoint), the caught ones are pointed at addresses where nothing is
// mapped: a call stops there, and the debugger answers it as the system
// would, or lets it go on into the real function.
ULONG_PTR TrapAddress(size_t catchIndex)
{
    return 0x1000 + 0x10 * catchIndex;
}

// The n-th argument of the call that just stopped at its callee.
ULONG_PTR CallArgument(HANDLE process, const CONTEXT& context, int n)
{
#ifdef _WIN64
    (void)process;
    const DWORD64 registers[] = {context.Rcx, context.Rdx, context.R8, context.R9};
    return registers[n];
#else
    DWORD value = 0;
    ReadProcessMemory(process, (const BYTE*)context.Esp + 4 * (n + 1), &value, sizeof value, nullptr);
    return value;
#endif
}

// Back to the caller with value, the arguments popped as stdcall does.
void ReturnFromCall(HANDLE process, CONTEXT& context, ULONG_PTR value, int arguments)
{
    ULONG_PTR caller = 0;
    ReadProcessMemory(process, (const void*)CONTEXT_SP(context), &caller, sizeof caller, nullptr);
    CONTEXT_IP(context) = caller;
    CONTEXT_AX(context) = value;
#ifdef _WIN64
    (void)arguments;
    context.Rsp += 8;
#else
    context.Esp += 4 * (1 + arguments);
#endif
}

// The system's answer to a caught call; false when the real function answers.
bool AnswerCall(HANDLE process, const CONTEXT& context, const Catch& caught, ULONG_PTR* answer)
{
    std::string function = caught.function;
    if (function == "ChangeDisplaySettingsA") {
        DEVMODEA request = {};
        ReadProcessMemory(process, (const void*)CallArgument(process, context, 0), &request, 148, nullptr);
        *answer = (ULONG_PTR)ReceiveModeRequest(request, (DWORD)CallArgument(process, context, 1));
        return true;
    }
    if (function == "GetDeviceCaps") {
        int size = 0;
        bool known = AnswerScreenSize((int)CallArgument(process, context, 1), &size);
        *answer = (ULONG_PTR)size;
        return known;
    }
    if (function == "GetProcAddress") {
        char name[32] = "";
        ULONG_PTR at = CallArgument(process, context, 1);
        if (HIWORD(at) != 0)
            ReadProcessMemory(process, (const void*)at, name, sizeof name - 1, nullptr);
        *answer = 0;
        return HIWORD(at) != 0 && IsWineMarker(name);
    }
    *answer = WindowsNt4Version;
    return true;
}

// Runs Glimrate.exe in the surroundings; its exit code, -1 when it could not
// be run or did not end.
DWORD RunGlimrate(const Surroundings& surroundings)
{
    std::string path = ProgramFolder() + "\\Glimrate.exe";
    std::vector<Catch> catches = CatchesFor(surroundings);
    std::vector<ULONG_PTR> slots(catches.size()), originals(catches.size());
    HMODULE file = LoadLibraryExA(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    EXPECT_NE(nullptr, file) << path << ": error " << GetLastError();
    if (!file)
        return (DWORD)-1;
    ForEachImport(file, [&](const char* dll, const char* function, void** slot) {
        for (size_t i = 0; i < catches.size(); ++i) {
            if (lstrcmpiA(dll, catches[i].dll) == 0 && lstrcmpA(function, catches[i].function) == 0)
                slots[i] = (BYTE*)slot - (BYTE*)file;
        }
    });
    FreeLibrary(file);
    for (size_t i = 0; i < catches.size(); ++i) {
        if (slots[i] == 0) {
            ADD_FAILURE() << "Glimrate.exe imports no " << catches[i].function;
            return (DWORD)-1;
        }
    }

    Windows95Program windows95(path);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << path << " did not start: error " << GetLastError();
        return (DWORD)-1;
    }
    BYTE* base = nullptr;
    bool bound = false;
    DWORD code = (DWORD)-1;
    // Its mode request broadcasts WM_DISPLAYCHANGE, which this thread's
    // windows answer between events. Five minutes only stop a hang.
    DWORD start = GetTickCount();
    for (bool running = true; running;) {
        DEBUG_EVENT event;
        if (!WaitForDebugEvent(&event, 50)) {
            robot::Pump(0);
            if (GetTickCount() - start > 300000) {
                ADD_FAILURE() << "Glimrate.exe did not end in five minutes";
                TerminateProcess(process.hProcess, 1);
                break;
            }
            continue;
        }
        DWORD reply = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
            base = (BYTE*)event.u.CreateProcessInfo.lpBaseOfImage;
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT) {
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            code = event.u.ExitProcess.dwExitCode;
            running = false;
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            ULONG_PTR at = (ULONG_PTR)record.ExceptionAddress;
            size_t caught = (at - TrapAddress(0)) / 0x10;
            HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
            CONTEXT context = {};
            context.ContextFlags = CONTEXT_FULL;
            GetThreadContext(thread, &context);
            if (record.ExceptionCode == EXCEPTION_BREAKPOINT && !bound) {
                bound = true;
                for (size_t i = 0; i < catches.size(); ++i) {
                    ULONG_PTR trap = TrapAddress(i);
                    ReadProcessMemory(process.hProcess, base + slots[i], &originals[i], sizeof trap, nullptr);
                    WriteProcessMemory(process.hProcess, base + slots[i], &trap, sizeof trap, nullptr);
                }
            } else if (at >= TrapAddress(0) && caught < catches.size() && at == TrapAddress(caught)) {
                ULONG_PTR answer = 0;
                if (AnswerCall(process.hProcess, context, catches[caught], &answer))
                    ReturnFromCall(process.hProcess, context, answer, catches[caught].arguments);
                else
                    CONTEXT_IP(context) = originals[caught];
                SetThreadContext(thread, &context);
            } else {
                reply = DBG_EXCEPTION_NOT_HANDLED;
            }
            CloseHandle(thread);
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, reply);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

TEST_F(RealSide, GlimratePutsTheKeptRateBackOnEitherSide)
{
    for (const Surroundings& surroundings : {UnderWine, Windows95}) {
        FreshMachine("Advance");
        machine::SetText(HKEY_LOCAL_MACHINE, SelectionKey("16", "800,600"), "Advance", "85");
        EXPECT_EQ(0u, RunGlimrate(surroundings)) << surroundings.name;
        Outcome ran = Note(surroundings, "800x600@85");
        EXPECT_EQ(ran.expectedPath, ran.path) << surroundings.name;
        EXPECT_EQ("800x600@85", std::to_string(Board().lastWidth) + "x" + std::to_string(Board().lastHeight) + "@" +
                                    std::to_string(Board().refresh))
            << surroundings.name << ": the board after the step";
        EXPECT_EQ(1, Board().modeRequests) << surroundings.name;
    }
}

} // namespace

// Unless it runs as Windows 95 already, this program names itself a Windows
// 95 program to Wine and runs again, with the same command line and output.
int main(int argc, char** argv)
{
    const char again[] = "GLIMORA_RAN_AS_WINDOWS95";
    bool nineX = (GetVersion() & 0x80000000u) != 0;
    if (!nineX && GetEnvironmentVariableA(again, nullptr, 0) != 0) {
        std::fprintf(stderr, "Wine did not make this program Windows 95: GetVersion %08lX\n", GetVersion());
        return 1;
    }
    if (nineX) {
        testing::InitGoogleTest(&argc, argv);
        return RUN_ALL_TESTS();
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    Windows95Program windows95(self);
    SetEnvironmentVariableA(again, "1");
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    DWORD code = 1;
    if (CreateProcessA(self, GetCommandLineA(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    } else {
        std::fprintf(stderr, "%s did not start again: error %lu\n", self, GetLastError());
    }
    return (int)code;
}
