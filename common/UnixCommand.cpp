#include "common/UnixCommand.h"

std::string UnixFileAsWindowsSees(const char* directory, const char* name)
{
    std::string path = std::string("Z:") + directory + "/" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// Wine starts a Unix program without waiting for it, so the command writes
// to a temporary name and the file appears, whole, under its own name, which
// this waits for (a minute at most: only a command that never writes it
// should reach that, however busy the machine).
DWORD RunUnixCommandFor(const char* command, const char* directory, const char* name)
{
    // A result of an earlier run goes first.
    std::string path = UnixFileAsWindowsSees(directory, name);
    DeleteFileA(path.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (CreateProcessA(nullptr, (char*)command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    DWORD size = 0;
    for (int wait = 0; wait < 600 && size == 0; ++wait) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            size = GetFileSize(file, nullptr);
            CloseHandle(file);
        } else {
            Sleep(100);
        }
    }
    return size;
}
