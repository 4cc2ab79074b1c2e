// Removal through the platform's own programs: Wine's Add/Remove Programs
// pressed with real X input and Wine's uninstaller, with the Display
// Properties stand-in and other programs' property sheets open. After a
// restart of the prefix nothing of the package remains.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include "board/VirtualBoard.h"
#include "resources/resource.h"
#include "common/Process.h"
#include "tests/support/Registry.h"
#include "tests/support/Robot.h"
#include "common/Screen.h"
#include "tests/support/Sheet.h"

namespace {

const char ClassKey[] = "CLSID\\{87b9bd00-c65c-11cd-a259-00dd010e8c28}";
const char* const MachineKeys[] = {
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\PropertySheetHandlers\\RTLPAGE",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RTLPAGE",
    "Software\\Orvel",
};
const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char* const PackageFiles[] = {"Ratelle.dll", "Glimlogo.bmp", "OV_Logo.bmp",  "Purvix.exe",
                                    "Glimhelp.hlp", "Glimhelp.GID", "Glimrate.exe"};
const char Restart[] = "Restart Windows";
// Where Wine is told which Windows Purvix.exe runs on.
const char PurvixVersionKey[] = "Software\\Wine\\AppDefaults\\Purvix.exe";
// What takes seconds takes this long only when a program hangs: a busy
// machine under emulation stays far below it.
const DWORD HangLimit = 120000;

std::string SystemFile(const std::string& name)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\System\\" + name;
}

std::string WininitPath()
{
    return SystemFile("..\\WININIT.INI");
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Polls done every 20 ms for up to milliseconds, running this thread's
// messages meanwhile only when pump is set (a thread that doesn't is a
// program that does not answer).
bool Await(const std::function<bool()>& done, DWORD milliseconds, bool pump = true)
{
    DWORD start = GetTickCount();
    MSG message;
    while (!done()) {
        if (GetTickCount() - start > milliseconds)
            return false;
        while (pump && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        Sleep(20);
    }
    return true;
}

HANDLE Start(const std::string& commandLine)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "can't start " << commandLine << ": error " << GetLastError();
        return nullptr;
    }
    CloseHandle(process.hThread);
    return process.hProcess;
}

bool Ended(HANDLE process)
{
    return !process || WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
}

void EndProcess(HANDLE* process)
{
    if (*process && !Ended(*process))
        TerminateProcess(*process, 99);
    if (*process)
        CloseHandle(*process);
    *process = nullptr;
}

// Ends the program that owns the window, if there is one.
void EndOwnerOf(HWND window)
{
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE owner = window && id ? OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id) : nullptr;
    EndProcess(&owner);
}

// A click of the X server's mouse, as a person makes it.
void ClickAt(int x, int y)
{
    RunProgram("start.exe /wait /unix /usr/bin/xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
             " click 1");
}

HWND FindChild(HWND parent, const char* className, const char* text = nullptr)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char found[64] = {}, title[64] = {};
        GetClassNameA(child, found, sizeof found);
        GetWindowTextA(child, title, sizeof title);
        if (lstrcmpiA(found, className) == 0 && (!text || std::string(title).find(text) != std::string::npos))
            return child;
        if (HWND deeper = FindChild(child, className, text))
            return deeper;
    }
    return nullptr;
}

// The stand-in's sheet once it shows the Glimora page.
HWND GlimoraSheet()
{
    HWND sheet = FindWindowA("#32770", "Display Properties");
    HWND tree = sheet ? FindChild(sheet, WC_TREEVIEWA) : nullptr;
    return tree && GetDlgCtrlID(tree) == IDC_STATUS_TREE ? sheet : nullptr;
}

// The sheet shown with the whole page, and its thread back in its message
// loop: the page's controls come one after another.
bool GlimoraSheetReady()
{
    HWND sheet = GlimoraSheet();
    DWORD_PTR answer;
    return sheet && IsWindowVisible(sheet) && FindChild(sheet, TRACKBAR_CLASSA) &&
           SendMessageTimeoutA(sheet, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer);
}

// Another program's property sheet, with a change typed and not applied.
bool ForeignApplied;

INT_PTR CALLBACK ForeignPageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 150, 20, page, (HMENU)100,
                        nullptr, nullptr);
        return TRUE;
    }
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == (UINT)PSN_APPLY) {
        ForeignApplied = true;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    return FALSE;
}

struct ForeignSheet {
    struct {
        DLGTEMPLATE header;
        WORD menu, windowClass, title;
    } page = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 180, 80}, 0, 0, 0};
    HWND sheet = nullptr;

    ForeignSheet()
    {
        ForeignApplied = false;
        sheet = sheets::OpenOnePage("Mouse Properties", &page.header, ForeignPageProc);
        HWND page = PropSheet_GetCurrentPageHwnd(sheet);
        SetDlgItemTextA(page, 100, "typed, not applied");
        PropSheet_Changed(sheet, page);
    }
    ~ForeignSheet() { DestroyWindow(sheet); }

    std::string State()
    {
        if (!IsWindow(sheet))
            return "closed";
        char text[64] = {};
        GetDlgItemTextA(PropSheet_GetCurrentPageHwnd(sheet), 100, text, sizeof text);
        return std::string(text) + (IsWindowEnabled(GetDlgItem(sheet, 0x3021)) ? ", Apply lit" : ", Apply dark") +
               (ForeignApplied ? ", applied" : "");
    }
};
const char ForeignUntouched[] = "typed, not applied, Apply lit";

// The package installed through its INF, with the help's .GID beside the
// help file, a Run value of another program beside its own, and the Display
// Properties stand-in open on the Glimora page.
class Removal : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string inf = ProgramFolder() + "\\..\\package\\Glimora.inf";
        ASSERT_EQ(0, RunProgram("rundll32.exe setupapi,InstallHinfSection DefaultInstall 132 " + inf));
        ASSERT_TRUE(Exists(SystemFile("Ratelle.dll"))) << "nothing was installed from " << inf;
        ASSERT_NE("", machine::Text(HKEY_LOCAL_MACHINE, RunKey, "Glimora"));
        // What WinHelp writes beside the help file once it has been opened.
        HANDLE gid = CreateFileA(SystemFile("Glimhelp.GID").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_HIDDEN, nullptr);
        CloseHandle(gid);
        machine::SetText(HKEY_LOCAL_MACHINE, RunKey, "OtherTool", "C:\\Other\\tool.exe");
        machine::WriteDisplaySettings("800,600", "16");
        machine::WriteMonitor("Monitor\\0000", "0000", "Multi-Frequency Monitor 17\"", "1024,768",
                              "30.0-64.0,50.0-100.0,+,+");
        VirtualBoardReset(800, 600, 16);

        standIn = Start("\"" + ProgramFolder() + "\\DisplayProperties.exe\" --page Glimora");
        ASSERT_TRUE(Await(GlimoraSheetReady, HangLimit)) << "the stand-in shows no Glimora page";
    }
    void TearDown() override
    {
        robot::StopWatchingBoxes();
        EndProcess(&standIn);
        // A Purvix that hangs must not outlive the test.
        EndOwnerOf(FindWindowA("Orvel Uninstall", nullptr));
        for (const char* key : MachineKeys)
            machine::DeleteTree(HKEY_LOCAL_MACHINE, key);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ClassKey);
        machine::DeleteValue(HKEY_LOCAL_MACHINE, RunKey, "Glimora");
        machine::DeleteValue(HKEY_LOCAL_MACHINE, RunKey, "OtherTool");
        machine::DeleteTree(HKEY_CURRENT_USER, PurvixVersionKey);
        // Deletions left for a restart that did not come must not meet a later installation.
        DeleteFileA(WininitPath().c_str());
        machine::RemoveAll();
        for (const char* name : PackageFiles) {
            SetFileAttributesA(SystemFile(name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(SystemFile(name).c_str());
        }
        VirtualBoardReset(800, 600, 16);
    }

    // What is left of the package, by name; "" when nothing.
    static std::string Leftovers()
    {
        std::string left;
        for (const char* name : PackageFiles)
            if (Exists(SystemFile(name)))
                left += std::string(name) + " ";
        for (const char* key : MachineKeys)
            if (machine::KeyExists(HKEY_LOCAL_MACHINE, key))
                left += std::string(key) + " ";
        if (machine::KeyExists(HKEY_CLASSES_ROOT, ClassKey))
            left += "HKCR\\CLSID ";
        std::string text;
        if (machine::GetText(HKEY_LOCAL_MACHINE, RunKey, "Glimora", &text))
            left += "Run\\Glimora ";
        return left;
    }

    // Restarts the prefix as Windows restarts: pending deletions run.
    static void RestartPrefix() { ASSERT_EQ(0, RunProgram("wineboot.exe -r")); }

    static std::string OtherRunValue() { return machine::Text(HKEY_LOCAL_MACHINE, RunKey, "OtherTool"); }

    HANDLE standIn = nullptr;
};

std::string Captions(const std::vector<robot::SeenBox>& boxes)
{
    std::string out;
    for (const robot::SeenBox& box : boxes)
        out += "[" + box.caption + "] ";
    return out;
}

bool SeenFinished()
{
    std::vector<robot::SeenBox> seen = robot::Seen();
    return !seen.empty() && seen.back().caption == "Finished";
}

// Add/Remove Programs: the entry chosen and Modify/Remove pressed with the
// mouse. The stand-in closes and lets go of the library, which goes at once;
// the foreign sheet keeps its pending change; Add/Remove Programs answers.
TEST_F(Removal, FromAddRemoveProgramsClosesOnlyTheDisplaySheet)
{
    ForeignSheet foreign;
    ASSERT_EQ(ForeignUntouched, foreign.State());
    HANDLE control = Start("control.exe appwiz.cpl");
    HWND programs = nullptr, list = nullptr;
    ASSERT_TRUE(Await(
        [&] {
            programs = FindWindowA("#32770", "Add/Remove Programs");
            list = programs ? FindChild(programs, WC_LISTVIEWA) : nullptr;
            return list && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0;
        },
        HangLimit));
    robot::StartWatching();
    robot::Answer(IDOK);
    robot::Answer(IDOK);

    // The entry is the list's only one: its row lies under the header.
    RECT header, button;
    GetWindowRect(FindChild(list, WC_HEADERA), &header);
    ClickAt(header.left + 40, header.bottom + 8);
    HWND remove = nullptr;
    ASSERT_TRUE(Await([&] { return (remove = FindChild(programs, "Button", "Modify/Remove")) && IsWindowEnabled(remove); }, HangLimit));
    GetWindowRect(remove, &button);
    ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);

    EXPECT_TRUE(Await(SeenFinished, HangLimit)) << Captions(robot::Seen());
    EXPECT_TRUE(Await([] { return !FindWindowA("Orvel Uninstall", nullptr); }, HangLimit));
    EXPECT_TRUE(Ended(standIn)) << "the Display Properties stand-in is still open";
    EXPECT_EQ("Purvix.exe ", Leftovers()) << "before the restart";
    EXPECT_EQ(ForeignUntouched, foreign.State());
    // It waits for the uninstaller's process to end and reads its list again
    // before it answers: seconds under emulation.
    DWORD_PTR answer;
    EXPECT_TRUE(Await([&] { return SendMessageTimeoutA(programs, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0; },
                      HangLimit))
        << "Add/Remove Programs does not answer";

    PostMessageA(programs, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    if (!Await([&] { return !IsWindow(programs); }, 5000))
        EndOwnerOf(programs);
    EndProcess(&control);
    RestartPrefix();
    EXPECT_EQ("", Leftovers()) << "after the restart";
    EXPECT_EQ("C:\\Other\\tool.exe", OtherRunValue());
}

std::string FileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WininitText()
{
    return FileText(WininitPath());
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ShortPath(const std::string& path)
{
    char shortPath[MAX_PATH] = {};
    GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    return shortPath;
}

// Wine's uninstaller on a Windows 95, with the stand-in hung while it holds
// the library and a foreign sheet that never answers: Purvix waits on
// neither, has WININIT delete the library and itself at the next start, and
// says that a restart finishes the removal.
TEST_F(Removal, ByTheUninstallerOnWindows95BesideSheetsThatNeverAnswer)
{
    machine::SetText(HKEY_CURRENT_USER, PurvixVersionKey, "Version", "win95");
    // Another program's section whose name only looks like the one WININIT reads.
    const std::string other = "{rename}\r\nNUL=C:\\OTHER\\KEEP.TXT\r\n";
    WriteText(WininitPath(), other);
    ForeignSheet foreign;
    HWND standInSheet = GlimoraSheet();
    DWORD standInThreadId = GetWindowThreadProcessId(standInSheet, nullptr);
    HANDLE standInThread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, standInThreadId);
    ASSERT_NE(nullptr, standInThread);
    ASSERT_NE((DWORD)-1, SuspendThread(standInThread));
    robot::StartWatching();
    robot::Answer(IDOK);
    robot::Ignore();   // the final box, looked at first

    // From here this thread runs no messages: its sheet does not answer.
    DWORD start = GetTickCount();
    HANDLE uninstaller = Start("uninstaller.exe --remove RTLPAGE");
    HWND finalBox = nullptr;
    bool shown = Await([&] { return SeenFinished() && (finalBox = FindWindowA("#32770", "Finished")); }, HangLimit, false);
    DWORD took = GetTickCount() - start;
    ASSERT_TRUE(shown) << Captions(robot::Seen());
    std::printf("the final box came %lu ms after the uninstaller started\n", (unsigned long)took);
    // Purvix finished while neither sheet could answer, so it waited on
    // neither: the stand-in's thread is suspended still, its sheet open, and
    // the foreign sheet (this thread's, which ran no message) unpressed.
    EXPECT_TRUE(IsWindow(standInSheet)) << "the stand-in's sheet closed";
    EXPECT_EQ(1u, SuspendThread(standInThread)) << "the stand-in's thread was let run";
    ResumeThread(standInThread);
    EXPECT_EQ(ForeignUntouched, foreign.State());
    EXPECT_NE(std::string::npos, robot::Seen().back().text.find(Restart)) << robot::Seen().back().text;
    // Saved once the text is drawn: more than the background below the caption.
    RECT box;
    GetWindowRect(finalBox, &box);
    screen::Shot shot;
    EXPECT_TRUE(Await(
        [&] {
            shot = screen::Save(box, screen::BuildFolderFile("uninstall-restart.bmp"));
            return shot.Colours(4, 30, shot.width - 4, shot.height - 4) > 2;
        },
        HangLimit, false));
    DWORD purvixId = 0;
    GetWindowThreadProcessId(finalBox, &purvixId);
    HANDLE purvix = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, purvixId);
    PostMessageA(finalBox, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(Await([&] { return Ended(purvix); }, HangLimit, false));
    DWORD code = 99;
    GetExitCodeProcess(purvix, &code);
    EXPECT_EQ(0u, code);
    CloseHandle(purvix);
    EXPECT_TRUE(Await([&] { return Ended(uninstaller); }, HangLimit, false));
    EndProcess(&uninstaller);

    std::string wininit = WininitText();
    EXPECT_EQ(other + "\r\n[rename]\r\n", wininit.substr(0, other.size() + 12));
    for (const char* name : {"Ratelle.dll", "Purvix.exe"})
        EXPECT_NE(std::string::npos, wininit.find("NUL=" + ShortPath(SystemFile(name)) + "\r\n")) << wininit;
    // The stand-in finds the press waiting when it runs again.
    ResumeThread(standInThread);
    CloseHandle(standInThread);

    EXPECT_TRUE(Await([&] { return Ended(standIn); }, HangLimit));
    RestartPrefix();
    EXPECT_EQ("", Leftovers()) << "after the restart";
    EXPECT_EQ("C:\\Other\\tool.exe", OtherRunValue());
}

// The package's key, however deep its sub-keys go, goes whole.
TEST_F(Removal, TakesKeysOfAnyDepth)
{
    machine::CreateKeyChain(HKEY_LOCAL_MACHINE, "Software\\Orvel", 100);
    robot::StartWatching();
    robot::Answer(IDOK);
    robot::Answer(IDOK);
    EXPECT_EQ(0, RunProgram(machine::Text(HKEY_LOCAL_MACHINE, MachineKeys[1], "UninstallString")));
    EXPECT_EQ("[Uninstall Driver] [Finished] ", Captions(robot::Seen()));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "Software\\Orvel"));
    RestartPrefix();   // the running program's file waits for it
}

// The Unix path of a Windows path, as Wine maps it.
std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * ToUnix)(const WCHAR*);
    ToUnix toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32"), "wine_get_unix_file_name");
    std::wstring wide(path.begin(), path.end());
    char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    std::string found = unix ? unix : "";
    HeapFree(GetProcessHeap(), 0, unix);
    return found;
}

// A Windows 95 whose WININIT.INI lies on a full disk, another installer's
// pending renames at its end: Purvix can't schedule the deletion of its
// running self. The file keeps every byte, and the program tells what it did:
// exit code 2 and no restart asked for.
TEST_F(Removal, OnAFullDiskLeavesWininitAsItWas)
{
    std::string disk = ProgramFolder() + "\\..\\tiny-disk";
    if (!Exists(disk))
        GTEST_SKIP() << "no tiny file system: " << FileText(disk + ".skipped");
    // Six bytes short of the file system's one page: a line added finds room
    // for its first bytes, then the disk full.
    const std::string rename = "[rename]\r\nC:\\OTHER\\TOOL.DLL=C:\\OTHER\\TOOL.NEW\r\nNUL=C:\\OTHER\\SETUP.TMP\r\n";
    const std::string held = "[Other]\r\n;" + std::string(4078 - rename.size(), '-') + "\r\n" + rename;
    ASSERT_EQ(4090u, held.size());
    WriteText(disk + "\\WININIT.INI", held);
    // A Unix program started from Wine is not waited for.
    ASSERT_EQ(0, RunProgram("start.exe /wait /unix /bin/ln -s " + UnixPath(disk + "\\WININIT.INI") + " " +
                            UnixPath(WininitPath())));
    ASSERT_TRUE(Await([&] { return WininitText() == held; }, HangLimit)) << "no link to the full disk";

    machine::SetText(HKEY_CURRENT_USER, PurvixVersionKey, "Version", "win95");
    robot::StartWatching();
    robot::Answer(IDOK);
    robot::Answer(IDOK);
    EXPECT_EQ(2, RunProgram(machine::Text(HKEY_LOCAL_MACHINE, MachineKeys[1], "UninstallString")));
    EXPECT_EQ(held, WininitText());
    std::vector<robot::SeenBox> seen = robot::Seen();
    ASSERT_EQ("[Uninstall Driver] [Finished] ", Captions(seen));
    EXPECT_EQ(std::string::npos, seen.back().text.find(Restart)) << seen.back().text;
}

} // namespace
