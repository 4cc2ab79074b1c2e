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

// In the System folder. The library comes first: a closing sheet may still
// hold it. The program's own files go last.
const char* const SystemFiles[] = {"Ratelle.dll", "Glimlogo.bmp", "Glimhelp.hlp", "Glimhelp.GID", "Glimrate.exe"};
const char* const ProgramFiles[] = {"OV_Logo.bmp", "Purvix.exe"};

const int WindowsDirectoryCapacity = 80;
const int PathCapacity = 100;
// The walk goes down as far as the registry lets keys nest, one frame of a
// key name and a handle a level: under 200 KB of the 2 MB stack the program
// may grow at the very bottom.
const int MaxKeyDepth = 512;
const int KeyNameCapacity = 256;   // registry key names have at most 255 characters
const DWORD RetryInterval = 50;    // milliseconds between tries on a held file

// What an INF of the package's display driver names.
const char DriverMark[] = "PCI\\VEN_5333";

char WindowsFolder[WindowsDirectoryCapacity];

// What the pass could not take away now, and what not at all.
int ScheduledCount;
int FailedCount;

// WININIT.INI is read whole into this, with room for one more line; a
// bigger one is not changed.
const int WininitCapacity = 16384;
const int WininitRoom = 128;
char WininitText[WininitCapacity + WininitRoom];

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
    if (DeleteRegistryKey(root, name) != ERROR_SUCCESS && KeyExists(root, name))
        ++FailedCount;
}

void RemoveRunValue()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    // Opened for setting values, the key lets its value go.
    RegDeleteValueA(key, RunValue);
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

// path := directory + tail + name, or false when that doesn't fit.
bool ComposePath(char* path, const char* directory, const char* tail, const char* name = "")
{
    int length = 0;
    return AppendToPath(path, &length, directory) && AppendToPath(path, &length, tail)
        && AppendToPath(path, &length, name);
}

char UpperCase(char c)
{
    return c >= 'a' && c <= 'z' ? (char)(c - 'a' + 'A') : c;
}

// A new [rename] section on a line of its own; its pieces also serve as the
// line end alone and as nothing.
const char NewSection[] = "\r\n[rename]\r\n";
const int HeaderLength = 8;   // "[rename]"

// Whether text starts with the section's header, its letters in any case;
// the brackets are the brackets ("{rename}" is no header).
bool StartsWithHeader(const char* text)
{
    for (int i = 0; i < HeaderLength; ++i)
        if (UpperCase(text[i]) != UpperCase(NewSection[2 + i]))
            return false;
    return true;
}

// The Windows directory into WindowsFolder; false when it did not fit (no
// file name can be formed then).
bool ReadWindowsFolder()
{
    UINT length = GetWindowsDirectoryA(WindowsFolder, WindowsDirectoryCapacity);
    return length != 0 && length < (UINT)WindowsDirectoryCapacity;
}

bool NineXFamily()
{
    return (GetVersion() & 0x80000000) != 0;
}

// Reads the open file whole into WininitText; its length, or -1 when it
// can't be read or is too big to change safely.
int ReadWininit(HANDLE file)
{
    // A file that fills the buffer is too big.
    DWORD got = 0;
    return ReadFile(file, WininitText, WininitCapacity, &got, 0) && got < (DWORD)WininitCapacity ? (int)got : -1;
}

// Puts text into WininitText at position, moving what follows; the new
// length. ReadWininit left room for it.
int InsertText(int length, int position, const char* text)
{
    int count = TextLength(text);
    for (int i = length; i-- > position;)
        WininitText[i + count] = WininitText[i];
    for (int i = 0; i < count; ++i)
        WininitText[position + i] = text[i];
    return length + count;
}

// Makes count bytes of text the file's end from offset on; true when all
// were written.
bool WriteTail(HANDLE file, int offset, const char* text, int count)
{
    DWORD written = 0;
    return SetFilePointer(file, offset, 0, FILE_BEGIN) == (DWORD)offset
        && WriteFile(file, text, (DWORD)count, &written, 0) && written == (DWORD)count && SetEndOfFile(file);
}

// Where the new line goes: right after the [rename] header's line, or -1
// when the file has no such section.
int RenameSectionBody(int length)
{
    for (int i = 0; i + HeaderLength <= length; ++i) {
        if ((i == 0 || WininitText[i - 1] == '\n') && StartsWithHeader(WininitText + i)) {
            while (i < length && WininitText[i++] != '\n') {
            }
            return i;
        }
    }
    return -1;
}

// The first file is given patience milliseconds to be let go of.
void RemoveSystemFiles(const char* const* names, int count, DWORD patience)
{
    char path[PathCapacity];
    for (int i = 0; i < count; ++i)
        if (ReadWindowsFolder() && ComposePath(path, WindowsFolder, "\\System\\", names[i]))
            DeleteInstalledFile(path, i == 0 ? patience : 0);
}

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
    char path[PathCapacity];
    if (!ReadWindowsFolder())
        return;
    if (ComposePath(path, WindowsFolder, "\\Inf\\S3.inf"))
        DeleteInstalledFile(path, 0);
    DeleteOemInfFiles(WindowsFolder);
    RemoveSystemFiles(SystemFiles, sizeof SystemFiles / sizeof *SystemFiles, releaseWait);
}

} // namespace

void RemoveInstallation(RemovalPass pass, DWORD releaseWait)
{
    if (pass == RegistrationPass)
        RemoveRegistration();
    else if (pass == FilePass)
        RemoveFiles(releaseWait);
    else
        RemoveSystemFiles(ProgramFiles, sizeof ProgramFiles / sizeof *ProgramFiles, 0);
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

FileFate DeleteInstalledFile(const char* path, DWORD patience)
{
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return FileGone;
    // The package's own file: read-only doesn't keep it.
    SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
    for (DWORD waited = 0; !DeleteFileA(path); waited += RetryInterval) {
        if (waited >= patience) {
            if (ScheduleDeletion(path)) {
                ++ScheduledCount;
                return FileScheduled;
            }
            ++FailedCount;
            return FileKept;
        }
        PauseAnsweringSentMessages(RetryInterval);
    }
    return FileGone;
}

bool ScheduleDeletion(const char* path)
{
    if (!NineXFamily())
        return MoveFileExA(path, 0, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    char iniPath[PathCapacity];
    return ReadWindowsFolder() && ComposePath(iniPath, WindowsFolder, "\\WININIT.INI")
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

    HANDLE file = CreateFileA(iniPath, GENERIC_READ | GENERIC_WRITE, 0, 0, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    int length = ReadWininit(file);
    bool done = false;
    if (length >= 0) {
        // The line goes right after the section's header; a file without the
        // section gets it at its end, after a line end.
        int body = RenameSectionBody(length);
        bool lineOpen = length > 0 && WininitText[length - 1] != '\n';
        const char* before = NewSection + 12;
        if (body < 0)
            before = NewSection;
        else if (body == length && lineOpen)
            before = NewSection + 10;
        if (body < 0)
            body = length;
        int grown = InsertText(InsertText(length, body, line), body, before);
        // The file grows at its end first: a full disk fails there, before
        // anything it held is written over. Then the text from the insertion
        // point on goes into room the file already has. On a failure the old
        // text from there on is put back, and the old end.
        done = WriteTail(file, length, WininitText + length, grown - length)
            && WriteTail(file, body, WininitText + body, grown - body);
        if (!done)
            WriteTail(file, body, WininitText + body + (grown - length), length - body);
    }
    CloseHandle(file);
    return done;
}

void PauseAnsweringSentMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds)
            return;
        if (MsgWaitForMultipleObjects(0, 0, FALSE, milliseconds - passed, QS_SENDMESSAGE) == WAIT_OBJECT_0) {
            MSG message;
            PeekMessageA(&message, 0, 0, 0, PM_NOREMOVE);
        }
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
        if (IsPackageInf(path) && DeleteInstalledFile(path, 0) == FileKept)
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
