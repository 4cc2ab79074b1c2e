// The removal pass: the installation's registry keys, then its files. What
// can't be deleted now is deleted at the next start of Windows.
#include "uninstall/Uninstall.h"
#include "runtime/Text.h"

namespace {

// Deleted under HKEY_LOCAL_MACHINE, in this order.
const char* const MachineKeys[] = {
    "System\\CurrentControlSet\\Services\\Class\\Display",
    "SOFTWARE\\Orvel",
    "SOFTWARE\\S3",
    "Enum\\PCI\\VEN_5333&DEV_5631",
    "Enum\\PCI\\VEN_5333&DEV_8811",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\RTLPAGE",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\S3_DRIVER",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\"
    "PropertySheetHandlers\\RTLPAGE",
};
// The class registration of Ratelle's page, under HKEY_CLASSES_ROOT.
const char ClassKey[] = "CLSID\\{87b9bd00-c65c-11cd-a259-00dd010e8c28}";
// The start-up step's value; the Run key itself and its other values belong
// to everybody.
const char RunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char RunValue[] = "Glimora";

// Under the Windows directory. The library goes while a closing sheet may
// still hold it; the program's own files go last.
const char LibraryFile[] = "\\System\\Ratelle.dll";
const char* const SystemFiles[] = {
    "\\System\\Glimlogo.bmp", "\\System\\Glimhelp.hlp", "\\System\\Glimhelp.GID", "\\System\\Glimrate.exe",
};
const char* const ProgramFiles[] = {"\\System\\OV_Logo.bmp", "\\System\\Purvix.exe"};

const int WindowsDirectoryCapacity = 80;
const int PathCapacity = 100;
// The walk goes at most this many levels down, one name buffer a level, so
// its stack use is bounded; the installation's keys are a few levels deep.
const int MaxKeyDepth = 32;
const int KeyNameCapacity = 256;   // registry key names have at most 255 characters
const DWORD RetryInterval = 50;    // milliseconds between tries on a held file

// What an INF of the package's display driver names.
const char DriverMark[] = "PCI\\VEN_5333";

// What the pass could not take away now, and what not at all.
int ScheduledCount;
int FailedCount;

// WININIT.INI is read whole into this; a bigger one is not changed.
const int WininitCapacity = 16384;
char WininitText[WininitCapacity];

// Empties the key name of parent from the bottom up.
void DeleteSubKeys(HKEY parent, const char* name, int depth)
{
    if (depth >= MaxKeyDepth)
        return;
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[KeyNameCapacity];
    // A child that can't be deleted is stepped over, so the walk ends.
    DWORD index = 0;
    while (RegEnumKeyA(key, index, child, sizeof child) == ERROR_SUCCESS) {
        DeleteSubKeys(key, child, depth + 1);
        if (RegDeleteKeyA(key, child) != ERROR_SUCCESS)
            ++index;
    }
    RegCloseKey(key);
}

bool KeyExists(HKEY parent, const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// A key that is still there after its deletion counts as a failure.
void RemoveKey(HKEY root, const char* name)
{
    if (DeleteRegistryKey(root, name) != ERROR_SUCCESS && root != 0 && KeyExists(root, name))
        ++FailedCount;
}

void RemoveRunValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    LONG status = RegDeleteValueA(key, RunValue);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        ++FailedCount;
    RegCloseKey(key);
}

// Appends part to the path of *length characters; false when it would be
// cut (a cut path could name somebody else's file).
bool AppendToPath(char* path, int* length, const char* part)
{
    for (; *part != '\0'; ++part) {
        if (*length >= PathCapacity - 1)
            return false;
        path[(*length)++] = *part;
    }
    path[*length] = '\0';
    return true;
}

// path := directory + tail, or false when that doesn't fit.
bool ComposePath(char* path, const char* directory, const char* tail)
{
    int length = 0;
    return AppendToPath(path, &length, directory) && AppendToPath(path, &length, tail);
}

char UpperCase(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// Whether text starts with the ASCII word, in any case.
bool StartsWithWord(const char* text, const char* word)
{
    for (; *word != '\0'; ++text, ++word)
        if (UpperCase(*text) != UpperCase(*word))
            return false;
    return true;
}

bool WindowsDirectory(char* directory)
{
    UINT length = GetWindowsDirectoryA(directory, WindowsDirectoryCapacity);
    // A directory that didn't fit was not stored: no file name can be formed.
    return length != 0 && length < (UINT)WindowsDirectoryCapacity;
}

bool NineXFamily()
{
    return (GetVersion() & 0x80000000) != 0;
}

// Reads the file whole into WininitText, leaving room for a new section
// header; its length, 0 when it is missing, -1 when it can't be read or is
// too big to change safely.
int ReadWininit(const char* iniPath)
{
    HANDLE file = CreateFileA(iniPath, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_NOT_FOUND ? 0 : -1;
    DWORD size = GetFileSize(file, 0);
    DWORD got = 0;
    bool read = size < (DWORD)WininitCapacity - 16 && ReadFile(file, WininitText, size, &got, 0) && got == size;
    CloseHandle(file);
    return read ? (int)size : -1;
}

// Where the new line goes: right after the [rename] header's line, or -1
// when the file has no such section.
int RenameSectionBody(int length)
{
    for (int i = 0; i < length; ++i) {
        bool lineStart = i == 0 || WininitText[i - 1] == '\n';
        if (!lineStart || i + 8 > length || !StartsWithWord(WininitText + i, "[rename]"))
            continue;
        while (i < length && WininitText[i] != '\n')
            ++i;
        return i < length ? i + 1 : length;
    }
    return -1;
}

void RemoveFileUnder(const char* windowsDirectory, const char* tail, DWORD patience)
{
    char path[PathCapacity];
    if (ComposePath(path, windowsDirectory, tail))
        RemovePackageFile(path, patience);
}

// Appends text behind length characters of WininitText (ReadWininit left
// room); the new length.
int AppendText(int length, const char* text)
{
    while (*text != '\0')
        WininitText[length++] = *text++;
    return length;
}

} // namespace

void RemoveRegistration()
{
    HKEY machine = OpenRootKey(HKEY_LOCAL_MACHINE);
    for (const char* key : MachineKeys)
        RemoveKey(machine, key);
    if (machine != 0)
        RegCloseKey(machine);

    HKEY classes = OpenRootKey(HKEY_CLASSES_ROOT);
    RemoveKey(classes, ClassKey);
    if (classes != 0)
        RegCloseKey(classes);

    RemoveRunValue();
}

void RemoveFiles(DWORD releaseWait)
{
    char windows[WindowsDirectoryCapacity];
    if (!WindowsDirectory(windows))
        return;
    RemoveFileUnder(windows, "\\Inf\\S3.inf", 0);
    DeleteOemInfFiles(windows);
    RemoveFileUnder(windows, LibraryFile, releaseWait);
    for (const char* tail : SystemFiles)
        RemoveFileUnder(windows, tail, 0);
}

void RemoveProgramFiles()
{
    char windows[WindowsDirectoryCapacity];
    if (!WindowsDirectory(windows))
        return;
    for (const char* tail : ProgramFiles)
        RemoveFileUnder(windows, tail, 0);
}

bool RestartNeeded()
{
    return ScheduledCount > 0;
}

int RemovalExitCode()
{
    return FailedCount > 0 ? ExitIncomplete : ExitRemoved;
}

HKEY OpenRootKey(HKEY root)
{
    HKEY key = 0;
    if (RegOpenKeyExA(root, 0, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return 0;
    return key;
}

LONG DeleteRegistryKey(HKEY key, const char* subKey)
{
    if (key == 0)
        return ERROR_INVALID_HANDLE;
    DeleteSubKeys(key, subKey, 0);
    return RegDeleteKeyA(key, subKey);
}

FileFate RemovePackageFile(const char* path, DWORD patience)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileGone;
    // The package's own file: read-only doesn't keep it.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
    DWORD start = GetTickCount();
    for (;;) {
        if (DeleteFileA(path) || GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return FileGone;
        if (GetTickCount() - start >= patience)
            break;
        PumpMessagesFor(RetryInterval);
    }
    if (ScheduleDeletion(path)) {
        ++ScheduledCount;
        return FileScheduled;
    }
    ++FailedCount;
    return FileKept;
}

bool ScheduleDeletion(const char* path)
{
    if (!NineXFamily())
        return MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    char windows[WindowsDirectoryCapacity];
    char iniPath[PathCapacity];
    return WindowsDirectory(windows) && ComposePath(iniPath, windows, "\\WININIT.INI")
        && AddWininitDeletion(iniPath, path);
}

bool AddWininitDeletion(const char* iniPath, const char* path)
{
    // WININIT runs before Windows and knows only short names.
    char line[PathCapacity + 8];
    TextCopy(line, sizeof line, "NUL=");
    DWORD shortLength = GetShortPathNameA(path, line + 4, PathCapacity);
    if (shortLength == 0 || shortLength >= (DWORD)PathCapacity)
        return false;
    TextAppend(line, sizeof line, "\r\n");

    int length = ReadWininit(iniPath);
    if (length < 0)
        return false;
    // The line goes right after the section's header; a file without the
    // section gets it at its end, on a line of its own.
    int body = RenameSectionBody(length);
    if (body < 0 || body == length) {
        if (length > 0 && WininitText[length - 1] != '\n')
            length = AppendText(length, "\r\n");
        if (body < 0)
            length = AppendText(length, "[rename]\r\n");
        body = length;
    }
    HANDLE file = CreateFileA(iniPath, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written[3] = {};
    WriteFile(file, WininitText, (DWORD)body, &written[0], 0);
    WriteFile(file, line, (DWORD)TextLength(line), &written[1], 0);
    WriteFile(file, WininitText + body, (DWORD)(length - body), &written[2], 0);
    CloseHandle(file);
    return (int)(written[0] + written[1] + written[2]) == length + TextLength(line);
}

void PumpMessagesFor(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, 0, 0, 0, PM_REMOVE)) {
            // The quit message belongs to the program's own loop.
            if (message.message == WM_QUIT) {
                PostQuitMessage((int)message.wParam);
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds)
            return;
        MsgWaitForMultipleObjects(0, 0, FALSE, milliseconds - passed, QS_ALLINPUT);
    }
}

void DeleteOemInfFiles(const char* windowsDirectory)
{
    // No upper bound: the walk ends at the first missing file.
    for (int n = 0;; ++n) {
        char tail[32];
        TextCopy(tail, sizeof tail, "\\Inf\\Oem");
        TextAppendInt(tail, sizeof tail, n);
        TextAppend(tail, sizeof tail, ".inf");
        char path[PathCapacity];
        if (!ComposePath(path, windowsDirectory, tail))
            return;
        if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            return;
        // Other drivers' INF files stay: their installations still need them.
        if (IsPackageInf(path) && RemovePackageFile(path, 0) == FileKept)
            return;
    }
}
bool IsPackageInf(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const int markLength = sizeof DriverMark - 1;
    int matched = 0;   // characters of the mark matched so far, across reads
    char buffer[512];
    DWORD got = 0;
    while (matched < markLength && ReadFile(file, buffer, sizeof buffer, &got, 0) && got > 0) {
        for (DWORD i = 0; i < got && matched < markLength; ++i) {
            char c = UpperCase(buffer[i]);
            // The mark's first letter occurs nowhere else in it, so a broken
            // match can only restart at the current character.
            if (c == DriverMark[matched])
                ++matched;
            else
                matched = c == DriverMark[0] ? 1 : 0;
        }
    }
    CloseHandle(file);
    return matched == markLength;
}
