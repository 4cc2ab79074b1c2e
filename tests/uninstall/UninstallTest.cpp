// Purvix.exe: the removal pass on its own, then the program run for real
// with a robot answering its boxes as a user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <string>
#include <vector>
#include "tests/support/Registry.h"
#include "tests/support/Robot.h"
#include "common/Process.h"
#include "common/Screen.h"
#include "tests/support/Sheet.h"
#include "uninstall/Uninstall.h"

namespace {

// The keys the installation leaves under HKEY_LOCAL_MACHINE.
const char* const PackageKeys[] = {
    "System\\CurrentControlSet\\Services\\Class\\Display",
    "SOFTWARE\\Orvel",
    "SOFTWARE\\S3",
    "Enum\\PCI\\VEN_5333&DEV_5631",
    "Enum\\PCI\\VEN_5333&DEV_8811",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RTLPAGE",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\S3_DRIVER",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\PropertySheetHandlers\\RTLPAGE",
};
const char ClassKey[] = "CLSID\\{87b9bd00-c65c-11cd-a259-00dd010e8c28}";
// Neighbours of those keys that belong to somebody else.
const char* const ForeignKeys[] = {
    "SOFTWARE\\Orvelle",
    "Enum\\PCI\\VEN_5333&DEV_8812",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\OTHER_DRIVER",
};
const char ForeignClassKey[] = "CLSID\\{87b9bd00-c65c-11cd-a259-00dd010e8c29}";

const char PackageInf[] = "[Manufacturer]\r\n%S3%=S3\r\n\r\n[S3]\r\n%S3.DeviceDesc%=S3_Trio, PCI\\VEN_5333&DEV_8811\r\n";
const char ForeignInf[] = "[Manufacturer]\r\n%Net%=Net\r\n\r\n[Net]\r\n%Net.DeviceDesc%=Card, PCI\\VEN_10EC&DEV_8139\r\n";

std::string WindowsDirectory()
{
    char folder[MAX_PATH];
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

void WriteText(const std::string& path, const std::string& text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file) << path << " error " << GetLastError();
    DWORD written;
    WriteFile(file, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(file);
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveFile(const std::string& path)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

std::string OemInf(const std::string& windows, int n)
{
    return windows + "\\Inf\\Oem" + std::to_string(n) + ".inf";
}

// "name=present " for each file, to compare a folder's state at once.
std::string Presence(const std::vector<std::string>& paths)
{
    std::string out;
    for (const std::string& path : paths)
        out += path.substr(path.find_last_of('\\') + 1) + (Exists(path) ? "=present " : "=gone ");
    return out;
}

// ---------------------------------------------------------------- removal pieces

// A folder standing in for the Windows directory, with an Inf folder.
class OemFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        windows = std::string(temp) + "purvix-windows";
        CreateDirectoryA(windows.c_str(), nullptr);
        CreateDirectoryA((windows + "\\Inf").c_str(), nullptr);
        Clean();
    }
    void TearDown() override { Clean(); }
    void Clean()
    {
        for (int n = 0; n < 8; ++n)
            RemoveFile(OemInf(windows, n));
    }
    // One file per character: p the package's, f foreign, - none.
    void Lay(const std::string& files)
    {
        for (size_t n = 0; n < files.size(); ++n) {
            if (files[n] != '-')
                WriteText(OemInf(windows, (int)n), files[n] == 'p' ? PackageInf : ForeignInf);
        }
    }
    std::string State(int count)
    {
        std::vector<std::string> paths;
        for (int n = 0; n < count; ++n)
            paths.push_back(OemInf(windows, n));
        return Presence(paths);
    }
    std::string windows;
};

TEST_F(OemFolder, DeletesThePackagesInfFilesUpToTheFirstGap)
{
    Lay("pf-p");
    DeleteOemInfFiles(windows.c_str());
    EXPECT_EQ("Oem0.inf=gone Oem1.inf=present Oem2.inf=gone Oem3.inf=present ", State(4));

    Clean();
    Lay("ppfp-p");
    DeleteOemInfFiles(windows.c_str());
    EXPECT_EQ("Oem0.inf=gone Oem1.inf=gone Oem2.inf=present Oem3.inf=gone Oem4.inf=gone Oem5.inf=present ",
              State(6));
}

// The platform's list of deletions at the next start of Windows, raw.
std::string PendingDeletions(HKEY key, bool* present)
{
    std::vector<char> list(65536);
    DWORD length = (DWORD)list.size();
    *present = RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, (BYTE*)list.data(), &length) ==
               ERROR_SUCCESS;
    return std::string(list.data(), *present ? length : 0);
}

TEST_F(OemFolder, TakesReadOnlyFilesAndSchedulesHeldOnes)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager",
                                           0, KEY_ALL_ACCESS, &key));
    bool hadPending;
    std::string before = PendingDeletions(key, &hadPending);
    Lay("ppp");
    SetFileAttributesA(OemInf(windows, 0).c_str(), FILE_ATTRIBUTE_READONLY);
    HANDLE held = CreateFileA(OemInf(windows, 1).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DeleteOemInfFiles(windows.c_str());
    CloseHandle(held);
    EXPECT_EQ("Oem0.inf=gone Oem1.inf=present Oem2.inf=gone ", State(3));

    bool present;
    std::string names = PendingDeletions(key, &present);
    for (char& c : names)
        c = c == '\0' ? '|' : (char)tolower((unsigned char)c);
    EXPECT_NE(std::string::npos, names.find("purvix-windows\\inf\\oem1.inf|")) << names;
    if (hadPending)
        RegSetValueExA(key, "PendingFileRenameOperations", 0, REG_MULTI_SZ, (const BYTE*)before.data(), (DWORD)before.size());
    else
        RegDeleteValueA(key, "PendingFileRenameOperations");
    RegCloseKey(key);
}

TEST_F(OemFolder, NeverDeletesThroughACutPath)
{
    // 99 characters hold the folder but not "\Inf\Oem0.inf" after it.
    std::string deep = windows + "\\" + std::string(96 - windows.size(), 'd');
    ASSERT_EQ(97u, deep.size());
    CreateDirectoryA(deep.c_str(), nullptr);
    CreateDirectoryA((deep + "\\Inf").c_str(), nullptr);
    // What a cut path would name: "...\Inf" + "\Oem" cut short.
    WriteText(deep + "\\I", PackageInf);
    WriteText(OemInf(deep, 0), PackageInf);
    DeleteOemInfFiles(deep.c_str());
    EXPECT_TRUE(Exists(deep + "\\I"));
    EXPECT_TRUE(Exists(OemInf(deep, 0)));
    RemoveFile(deep + "\\I");
    RemoveFile(OemInf(deep, 0));
    RemoveDirectoryA((deep + "\\Inf").c_str());
    RemoveDirectoryA(deep.c_str());
}

TEST_F(OemFolder, RecognisesThePackagesInfByItsChip)
{
    std::string path = windows + "\\Inf\\probe.inf";
    struct Case {
        std::string text;
        bool package;
    };
    std::string filler(506, ';');   // puts the mark across the 512-byte reads
    const Case cases[] = {
        {PackageInf, true},
        {"HardwareID=pci\\ven_5333&dev_8811", true},
        {filler + "PCI\\VEN_5333", true},
        {"PPCI\\VEN_5333", true},
        {"PCI\\PCI\\VEN_5333", true},
        {ForeignInf, false},
        {"PCI\\VEN_533", false},
        {"PCI\\VEN_5334", false},
        {"", false},
    };
    for (const Case& c : cases) {
        WriteText(path, c.text);
        EXPECT_EQ(c.package, IsPackageInf(path.c_str())) << (c.text.size() > 60 ? "..." + c.text.substr(c.text.size() - 40) : c.text);
    }
    RemoveFile(path);
    EXPECT_FALSE(IsPackageInf(path.c_str()));
}

TEST(DeleteRegistryKey, TakesTheWholeTreeAndNothingBeside)
{
    machine::SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel\\Glimora\\Refresh\\Selection\\16\\800,600", "Default", "75");
    machine::SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel\\Glimora\\Language", "Msg0", "text");
    machine::SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel\\Other", "", "x");
    machine::SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvelle\\Keep", "", "x");
    HKEY root = OpenRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_NE(nullptr, root);
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegistryKey(root, "SOFTWARE\\Orvel"));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel"));
    EXPECT_TRUE(machine::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvelle\\Keep"));
    EXPECT_NE(ERROR_SUCCESS, DeleteRegistryKey(root, "SOFTWARE\\Orvel"));   // gone already

    // As deep as the registry lets keys nest: 512 levels below the root.
    machine::CreateKeyChain(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel", 510);
    EXPECT_EQ(ERROR_SUCCESS, DeleteRegistryKey(root, "SOFTWARE\\Orvel"));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel"));
    RegCloseKey(root);
    machine::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvel");
    machine::DeleteTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Orvelle");
}

// ---------------------------------------------------------------- the program

// A property sheet and another dialog of this thread, open while Purvix runs.
struct DialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

bool SheetApplied;
int PlainDialogPresses;

INT_PTR CALLBACK PageProc(HWND page, UINT message, WPARAM, LPARAM lParam)
{
    if (message == WM_NOTIFY && ((NMHDR*)lParam)->code == (UINT)PSN_APPLY) {
        SheetApplied = true;
        SetWindowLongPtrA(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK PlainProc(HWND, UINT message, WPARAM, LPARAM)
{
    if (message == PSM_PRESSBUTTON)
        ++PlainDialogPresses;
    return message == WM_INITDIALOG;
}

struct OpenDialogs {
    DialogTemplate pageTemplate = {{WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 150, 80}, 0, 0, 0};
    DialogTemplate plainTemplate = {{WS_POPUP | WS_VISIBLE | WS_CAPTION, 0, 0, 600, 500, 100, 40}, 0, 0, 0};
    HWND sheet = nullptr;
    HWND plain = nullptr;

    OpenDialogs()
    {
        SheetApplied = false;
        PlainDialogPresses = 0;
        sheet = sheets::OpenOnePage("Display Properties", &pageTemplate.header, PageProc);
        // Opened last, the plain dialog is the first of the class Purvix finds.
        plain = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &plainTemplate.header, nullptr, PlainProc, 0);
    }
    ~OpenDialogs()
    {
        DestroyWindow(plain);
        DestroyWindow(sheet);
    }
};

struct Box {
    int id;
    std::string text;
    RECT place;   // client coordinates of the main window
    LONG style;
};

// One look at the progress: the bar's position and which boxes are ticked.
struct Sample {
    int position;
    std::vector<bool> checked;
};

// Everything seen of one run of Purvix.exe.
struct PurvixRun {
    DWORD exitCode = 0xDEAD;
    bool windowSeen = false;
    std::string title, className;
    RECT windowRect = {}, clientRect = {};
    LONG style = 0;
    std::vector<Box> boxes;
    RECT barPlace = {};
    std::vector<Sample> samples;
    bool clickedBox = false;
    DWORD fullAfter = 0;   // milliseconds from the start to the bar seen full
    std::vector<robot::SeenBox> seen;
};

RECT PlaceInClient(HWND child, HWND parent)
{
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, (POINT*)&r, 2);
    return r;
}

std::string Describe(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

bool Ask(HWND window, UINT message, WPARAM wParam, LRESULT* result)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 2000, &answer))
        return false;
    *result = (LRESULT)answer;
    return true;
}

void ReadLayout(HWND main, PurvixRun* run)
{
    char text[256] = {};
    GetWindowTextA(main, text, sizeof text);
    run->title = text;
    GetClassNameA(main, text, sizeof text);
    run->className = text;
    GetWindowRect(main, &run->windowRect);
    GetClientRect(main, &run->clientRect);
    run->style = GetWindowLongA(main, GWL_STYLE);
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        GetClassNameA(child, text, sizeof text);
        if (lstrcmpiA(text, "Button") == 0) {
            Box box;
            box.id = GetDlgCtrlID(child);
            GetWindowTextA(child, text, sizeof text);
            box.text = text;
            box.place = PlaceInClient(child, main);
            box.style = GetWindowLongA(child, GWL_STYLE);
            run->boxes.push_back(box);
        }
    }
}

HWND FindChild(HWND main, const char* className)
{
    return FindWindowExA(main, nullptr, className, nullptr);
}

std::vector<HWND> BoxWindows(HWND main)
{
    std::vector<HWND> boxes(4, nullptr);
    for (HWND child = nullptr; (child = FindWindowExA(main, child, "Button", nullptr)) != nullptr;) {
        int id = GetDlgCtrlID(child);
        if (id >= 0 && id < 4)
            boxes[id] = child;
    }
    return boxes;
}

// A consistent look: the bar did not move while the boxes were read.
bool TakeSample(HWND bar, const std::vector<HWND>& boxes, Sample* sample)
{
    LRESULT before, after, check;
    if (!Ask(bar, PBM_GETPOS, 0, &before))
        return false;
    sample->checked.clear();
    for (HWND box : boxes) {
        if (!Ask(box, BM_GETCHECK, 0, &check))
            return false;
        sample->checked.push_back(check == BST_CHECKED);
    }
    if (!Ask(bar, PBM_GETPOS, 0, &after) || after != before)
        return false;
    sample->position = (int)before;
    return true;
}

std::string ScreenshotPath()
{
    return screen::BuildFolderFile("uninstall-progress.bmp");
}

// The shot of the main window, read in the window's client coordinates.
struct Screenshot {
    POINT clientOrigin = {};   // of the main window within the shot
    screen::Shot shot;
    bool Taken() const { return !shot.pixels.empty(); }
    COLORREF At(int clientX, int clientY) const { return shot.At(clientOrigin.x + clientX, clientOrigin.y + clientY); }
    // Distinct colours in a client rectangle.
    size_t Colours(int left, int top, int right, int bottom) const
    {
        return shot.Colours(clientOrigin.x + left, clientOrigin.y + top, clientOrigin.x + right,
                            clientOrigin.y + bottom);
    }
};
Screenshot Shot;

// Runs Purvix.exe, answering its question by the script already given, and
// watches its window until the program ends. The closing message is
// acknowledged once the bar has been seen full, as a person would. Only a
// program that hangs takes two minutes, however busy the machine.
PurvixRun RunPurvix(bool takeScreenshot = false)
{
    PurvixRun run;
    std::string command = "\"" + ProgramFolder() + "\\Purvix.exe\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, ProgramFolder().c_str(), &startup,
                        &process)) {
        ADD_FAILURE() << "can't start " << command << ": error " << GetLastError();
        return run;
    }
    HWND main = nullptr, bar = nullptr;
    std::vector<HWND> boxes;
    int shotAt = 0;   // the bar's position when the shot was taken
    DWORD start = GetTickCount();
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 10, QS_ALLINPUT) != WAIT_OBJECT_0) {
        // Purvix sends its OK press to the sheet of this thread.
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (GetTickCount() - start > 120000) {
            ADD_FAILURE() << "Purvix.exe still running after two minutes";
            TerminateProcess(process.hProcess, 99);
            break;
        }
        if (!main) {
            main = FindWindowA("Orvel Uninstall", nullptr);
            if (!main)
                continue;
            run.windowSeen = true;
        }
        // The bar comes last: with it the window is complete.
        if (!bar) {
            bar = FindChild(main, PROGRESS_CLASSA);
            if (!bar)
                continue;
            run.barPlace = PlaceInClient(bar, main);
            ReadLayout(main, &run);
            boxes = BoxWindows(main);
        }
        Sample sample;
        if (!IsWindow(bar) || !TakeSample(bar, boxes, &sample))
            continue;
        run.samples.push_back(sample);
        if (sample.position == 20 && !run.fullAfter && run.clickedBox) {
            run.fullAfter = GetTickCount() - start;
            robot::Answer(IDOK);
        }
        // A click on the last box, whenever it comes, changes nothing the
        // samples after it see: before it is due the box stays clear.
        if (!run.clickedBox) {
            LRESULT ignored;
            run.clickedBox = Ask(boxes[3], BM_CLICK, 0, &ignored);
        }
        // Any shot mid-way will do; it is taken again until the bar is half full.
        if (takeScreenshot && sample.position > 0 && sample.position < 20 && shotAt < 10) {
            shotAt = sample.position;
            RECT r;
            GetWindowRect(main, &r);
            POINT origin = {0, 0};
            ClientToScreen(main, &origin);
            Shot.clientOrigin = {origin.x - r.left, origin.y - r.top};
            Shot.shot = screen::Save(r, ScreenshotPath());
        }
    }
    WaitForSingleObject(process.hProcess, 120000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    robot::StopWatchingBoxes();
    run.seen = robot::Seen();
    return run;
}

// A run whose question is answered OK.
PurvixRun RunConfirmed(bool takeScreenshot = false)
{
    robot::StartWatching();
    robot::Answer(IDOK);
    return RunPurvix(takeScreenshot);
}

// The question answered OK, the final message with no restart asked for.
const char ConfirmedAndFinished[] = "[Uninstall Driver: Do you really want to Uninstall the VGA driver? -> 1]"
                                    "[Finished: Finish Uninstall Program ! -> 1]";

std::string Captions(const PurvixRun& run)
{
    std::string out;
    for (const robot::SeenBox& box : run.seen)
        out += "[" + box.caption + ": " + box.text + " -> " + std::to_string(box.answer) + "]";
    return out;
}

// The installation as Purvix finds it: its keys (each with a sub-key and a
// value), its files, and the neighbours that are not its own.
class Installation : public ::testing::Test {
protected:
    void SetUp() override
    {
        windows = WindowsDirectory();
        // The 64-bit prefix has no System folder; Windows 95 has one.
        CreateDirectoryA((windows + "\\System").c_str(), nullptr);
        CreateDirectoryA((windows + "\\Inf").c_str(), nullptr);
        RemoveEverything();
        HKEY classes = HKEY_CLASSES_ROOT;
        for (const char* key : PackageKeys)
            machine::SetText(HKEY_LOCAL_MACHINE, std::string(key) + "\\0000\\Deeper", "Value", "package");
        machine::SetText(classes, std::string(ClassKey) + "\\InprocServer32", "", "C:\\WINDOWS\\SYSTEM\\Ratelle.dll");
        for (const char* key : ForeignKeys)
            machine::SetText(HKEY_LOCAL_MACHINE, key, "Value", "foreign");
        machine::SetText(classes, std::string(ForeignClassKey) + "\\InprocServer32", "", "other.dll");
        WriteText(windows + "\\Inf\\S3.inf", PackageInf);
        WriteText(OemInf(windows, 0), PackageInf);
        WriteText(OemInf(windows, 1), ForeignInf);
        WriteText(OemInf(windows, 3), PackageInf);
        WriteText(windows + "\\System\\Ratelle.dll", "MZ");
        WriteText(windows + "\\System\\Glimlogo.bmp", "BM");
        WriteText(windows + "\\System\\Other.dll", "MZ");
    }
    void TearDown() override { RemoveEverything(); }

    void RemoveEverything()
    {
        for (const char* key : PackageKeys)
            machine::DeleteTree(HKEY_LOCAL_MACHINE, key);
        for (const char* key : ForeignKeys)
            machine::DeleteTree(HKEY_LOCAL_MACHINE, key);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ClassKey);
        machine::DeleteTree(HKEY_CLASSES_ROOT, ForeignClassKey);
        for (int n = 0; n < 16; ++n)
            RemoveFile(OemInf(windows, n));
        for (const char* name : {"\\Inf\\S3.inf", "\\System\\Ratelle.dll", "\\System\\Glimlogo.bmp", "\\System\\Other.dll"})
            RemoveFile(windows + name);
    }

    std::string Files()
    {
        return Presence({windows + "\\Inf\\S3.inf", OemInf(windows, 0), OemInf(windows, 1), OemInf(windows, 2),
                         OemInf(windows, 3), windows + "\\System\\Ratelle.dll", windows + "\\System\\Glimlogo.bmp",
                         windows + "\\System\\Other.dll"});
    }

    std::string Keys()
    {
        std::string out;
        for (const char* key : PackageKeys)
            out += machine::KeyExists(HKEY_LOCAL_MACHINE, key) ? "P" : "-";
        out += machine::KeyExists(HKEY_CLASSES_ROOT, ClassKey) ? "P" : "-";
        out += " ";
        for (const char* key : ForeignKeys)
            out += machine::KeyExists(HKEY_LOCAL_MACHINE, key) ? "F" : "-";
        out += machine::KeyExists(HKEY_CLASSES_ROOT, ForeignClassKey) ? "F" : "-";
        return out;
    }

    std::string windows;
};

const char AllFiles[] =
    "S3.inf=present Oem0.inf=present Oem1.inf=present Oem2.inf=gone Oem3.inf=present Ratelle.dll=present "
    "Glimlogo.bmp=present Other.dll=present ";
const char RemovedFiles[] =
    "S3.inf=gone Oem0.inf=gone Oem1.inf=present Oem2.inf=gone Oem3.inf=present Ratelle.dll=gone "
    "Glimlogo.bmp=gone Other.dll=present ";

TEST_F(Installation, CancelLeavesEverythingInPlace)
{
    ASSERT_EQ(AllFiles, Files());
    ASSERT_EQ("PPPPPPPPP FFFF", Keys());
    robot::StartWatching();
    robot::Answer(IDCANCEL);
    PurvixRun run = RunPurvix();
    EXPECT_EQ("[Uninstall Driver: Do you really want to Uninstall the VGA driver? -> 2]", Captions(run));
    EXPECT_EQ(1u, run.exitCode);
    EXPECT_FALSE(run.windowSeen);
    EXPECT_EQ(AllFiles, Files());
    EXPECT_EQ("PPPPPPPPP FFFF", Keys());
}

TEST_F(Installation, OkRemovesThePackageAndShowsTheSteps)
{
    OpenDialogs dialogs;
    ASSERT_NE(nullptr, dialogs.sheet);
    ASSERT_NE(nullptr, dialogs.plain);
    PurvixRun run = RunConfirmed(true);

    EXPECT_EQ(ConfirmedAndFinished, Captions(run));
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(RemovedFiles, Files());
    EXPECT_EQ("--------- FFFF", Keys());

    // Neither is the Display properties sheet with the Glimora page.
    EXPECT_FALSE(SheetApplied);
    EXPECT_EQ(0, PlainDialogPresses);

    // The window.
    ASSERT_TRUE(run.windowSeen);
    EXPECT_EQ("Uninstall Program", run.title);
    EXPECT_EQ("Orvel Uninstall", run.className);
    EXPECT_EQ("100,50 450x350", Describe(run.windowRect));
    EXPECT_EQ(WS_DLGFRAME | WS_SYSMENU, run.style & (WS_DLGFRAME | WS_SYSMENU | WS_THICKFRAME | WS_MAXIMIZEBOX));

    // The four boxes: at half the client width, at 1/8 .. 4/8 of its height.
    int width = run.clientRect.right, height = run.clientRect.bottom;
    const char* names[] = {"Update Registry File", "Update Ini Files", "Delete Files", "Delete Program Group"};
    std::string expected, actual;
    for (int i = 0; i < 4; ++i) {
        RECT place = {width / 2, height * (i + 1) / 8, width / 2 + 200, height * (i + 1) / 8 + 25};
        expected += std::to_string(i) + " " + names[i] + " " + Describe(place) + " checkbox; ";
    }
    for (const Box& box : run.boxes) {
        bool plain = (box.style & BS_TYPEMASK) == BS_CHECKBOX && (box.style & (WS_CHILD | WS_VISIBLE)) == (WS_CHILD | WS_VISIBLE);
        actual += std::to_string(box.id) + " " + box.text + " " + Describe(box.place) + (plain ? " checkbox; " : " other; ");
    }
    EXPECT_EQ(expected, actual) << "client " << width << "x" << height;
    EXPECT_EQ("20,250 385x30", Describe(run.barPlace));

    // The samples come as this process gets to take them, so their order
    // counts, not every position: the bar runs forward to its end, ticking
    // the boxes in order as it passes 4, 8, 12 and 16; the click on the last
    // box changed nothing. Its 20 steps come at least 200 ms apart, so it is
    // full no sooner than four seconds after the start: a lower bound, which
    // a busy machine only makes longer.
    EXPECT_TRUE(run.clickedBox);
    ASSERT_FALSE(run.samples.empty());
    std::vector<int> order;   // the positions as they came, each once
    std::string seen;
    for (const Sample& sample : run.samples) {
        if (order.empty() || order.back() != sample.position) {
            order.push_back(sample.position);
            seen += " " + std::to_string(sample.position);
        }
        for (int k = 0; k < 4; ++k) {
            // After the step from p the bar stands at p + 1.
            bool due = sample.position >= 4 * (k + 1) + 1;
            ASSERT_EQ(due, (bool)sample.checked[k]) << "box " << k << " at bar position " << sample.position;
        }
    }
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end())) << "positions as they came:" << seen;
    EXPECT_EQ(20, order.back()) << "positions as they came:" << seen;
    EXPECT_LE(4000u, run.fullAfter) << "positions as they came:" << seen;

    // The screen mid-progress: the logo on the left, plain grey between it
    // and the boxes, the bar half full.
    ASSERT_TRUE(Shot.Taken());
    const COLORREF grey = RGB(192, 192, 192);
    int logoLeft = width * 5 / 100, logoTop = height * 8 / 100;
    EXPECT_GT(Shot.Colours(logoLeft, logoTop, logoLeft + width * 38 / 100, logoTop + height * 62 / 100), 20u);
    EXPECT_EQ(1u, Shot.Colours(logoLeft + width * 38 / 100 + 2, logoTop, width / 2 - 2, logoTop + 100));
    EXPECT_EQ(grey, Shot.At(width / 2 - 4, logoTop + 50));
    EXPECT_NE(Shot.At(30, 265), Shot.At(395, 265)) << "the bar is empty or full";
}

// The second run, on a machine that has no Run key either, makes none.
TEST_F(Installation, ASecondRunFindsNothingAndCompletes)
{
    PurvixRun first = RunConfirmed();
    EXPECT_EQ(0u, first.exitCode);

    const char runKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    HKEY run;
    DWORD values = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, runKey, 0, KEY_READ, &run));
    RegQueryInfoKeyA(run, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(run);
    ASSERT_EQ(0u, values) << "the Run key holds values of others";
    machine::DeleteTree(HKEY_LOCAL_MACHINE, runKey);
    PurvixRun second = RunConfirmed();
    EXPECT_EQ(ConfirmedAndFinished, Captions(second));
    EXPECT_EQ(0u, second.exitCode);
    EXPECT_EQ(4u, second.boxes.size());
    EXPECT_EQ(RemovedFiles, Files());
    EXPECT_EQ("--------- FFFF", Keys());
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, runKey));
    machine::CreateKey(HKEY_LOCAL_MACHINE, runKey);
}

// Sets the access list of a key under HKEY_LOCAL_MACHINE; null lets everybody do everything.
void SetAccessList(const std::string& path, PACL list)
{
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, WRITE_DAC, &key)) << path;
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor)) << path;
    RegCloseKey(key);
}

// A key everybody may read and nothing more, for as long as it lives.
struct LockedKey {
    std::string path;
    explicit LockedKey(const std::string& key) : path(key)
    {
        BYTE everyone[SECURITY_MAX_SID_SIZE], list[256];
        DWORD size = sizeof everyone;
        CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
        InitializeAcl((PACL)list, sizeof list, ACL_REVISION);
        AddAccessAllowedAce((PACL)list, ACL_REVISION, KEY_READ | WRITE_DAC, everyone);
        SetAccessList(path, (PACL)list);
    }
    ~LockedKey() { SetAccessList(path, nullptr); }
};

// A package key that stays: its sub-key that nobody may change is stepped
// over (its neighbour goes) and keeps the key. The rest goes all the same;
// the exit code, 2, says the removal is incomplete, and no restart is asked
// for, since none would finish it.
TEST_F(Installation, AKeyThatStaysMakesExitCodeTwo)
{
    machine::SetText(HKEY_LOCAL_MACHINE, "SOFTWARE\\S3\\0001\\Deeper", "Value", "package");
    LockedKey locked("SOFTWARE\\S3\\0000");
    PurvixRun run = RunConfirmed();
    EXPECT_EQ(ConfirmedAndFinished, Captions(run));
    EXPECT_EQ(2u, run.exitCode);
    EXPECT_EQ("--P------ FFFF", Keys());
    EXPECT_TRUE(machine::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\S3\\0000\\Deeper"));
    EXPECT_FALSE(machine::KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\S3\\0001"));
    EXPECT_EQ(RemovedFiles, Files());
}

TEST(PurvixIcon, Is32By32With16Colours)
{
    std::string path = ProgramFolder() + "\\Purvix.exe";
    HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, program) << path;
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(102), (LPCSTR)RT_GROUP_ICON);
    ASSERT_NE(nullptr, found);
    const BYTE* group = (const BYTE*)LockResource(LoadResource(program, found));
    // A group header of three WORDs, then one 14-byte entry per image.
    WORD count = *(const WORD*)(group + 4);
    ASSERT_EQ(1, count);
    const BYTE* entry = group + 6;
    EXPECT_EQ("32x32 16 colours", std::to_string(entry[0]) + "x" + std::to_string(entry[1]) + " " +
                                      std::to_string(entry[2]) + " colours");
    FreeLibrary(program);
}

} // namespace
