#include "common/Process.h"

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

// Runs a command line, returns its exit code (-1 when it did not start or end
// in time) and what it printed. The output goes through a file, not a pipe: a
// Wine helper process that inherits a pipe's write end keeps it open long
// after the program itself has ended.
int RunProgram(const std::string& commandLine, std::string* output, DWORD timeout)
{
    char folder[MAX_PATH], path[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, "run", 0, path);
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE file = output ? CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                       CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr)
                         : INVALID_HANDLE_VALUE;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (file != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = file;
        startup.hStdError = file;
    }
    PROCESS_INFORMATION process = {};
    std::string command = commandLine;
    DWORD code = (DWORD)-1;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, file != INVALID_HANDLE_VALUE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, timeout) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (output) {
        output->clear();
        HANDLE in = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                nullptr);
        char buffer[4096];
        DWORD got;
        while (in != INVALID_HANDLE_VALUE && ReadFile(in, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output->append(buffer, got);
        if (in != INVALID_HANDLE_VALUE)
            CloseHandle(in);
    }
    DeleteFileA(path);
    return (int)code;
}
