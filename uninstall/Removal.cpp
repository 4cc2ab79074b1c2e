// The removal pass: the installation's registry keys, then its files.
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

const int WindowsDirectoryCapacity = 80;
const int PathCapacity = 100;
// The walk goes at most this many levels down, one name buffer a level, so
// its stack use is bounded; the installation's keys are a few levels deep.
const int MaxKeyDepth = 32;
const int KeyNameCapacity = 256;   // registry key names have at most 255 characters

// What an INF of the package's display driver names.
const char DriverMark[] = "PCI\\VEN_5333";

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

void DeleteFileUnder(const char* windowsDirectory, const char* tail)
{
    char path[PathCapacity];
    if (ComposePath(path, windowsDirectory, tail))
        DeleteInstalledFile(path);
}

void DeleteInstalledFiles()
{
    char windowsDirectory[WindowsDirectoryCapacity];
    UINT length = GetWindowsDirectoryA(windowsDirectory, WindowsDirectoryCapacity);
    // A directory that didn't fit was not stored: no file name can be formed.
    if (length == 0 || length >= (UINT)WindowsDirectoryCapacity)
        return;
    DeleteFileUnder(windowsDirectory, "\\Inf\\S3.inf");
    DeleteOemInfFiles(windowsDirectory);
    DeleteFileUnder(windowsDirectory, "\\System\\Ratelle.dll");
    DeleteFileUnder(windowsDirectory, "\\System\\Glimlogo.bmp");
}

} // namespace

void RemoveInstallation()
{
    HKEY machine = OpenRootKey(HKEY_LOCAL_MACHINE);
    for (const char* key : MachineKeys)
        DeleteRegistryKey(machine, key);
    if (machine != 0)
        RegCloseKey(machine);

    HKEY classes = OpenRootKey(HKEY_CLASSES_ROOT);
    DeleteRegistryKey(classes, ClassKey);
    if (classes != 0)
        RegCloseKey(classes);

    DeleteInstalledFiles();
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

int DeleteInstalledFile(const char* path)
{
    if (DeleteFileA(path))
        return 0;
    return GetLastError() == 0 ? 0 : -1;
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
        if (IsPackageInf(path) && DeleteInstalledFile(path) != 0)
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
