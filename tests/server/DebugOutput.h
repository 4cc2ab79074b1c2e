// Captures what this process writes with OutputDebugStringA, through the
// system's debug-output buffer (the mapping "DBWIN_BUFFER" and its two
// events), as a debug monitor does. Lines of other processes are dropped.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

class DebugOutput {
public:
    ~DebugOutput();
    bool Start();
    void Stop();
    // Every text written since the last call, whole and in order.
    std::vector<std::string> Take();

private:
    static DWORD WINAPI Listen(void* self);

    HANDLE mapping = nullptr;
    const BYTE* buffer = nullptr;
    HANDLE bufferReady = nullptr;
    HANDLE dataReady = nullptr;
    HANDLE thread = nullptr;
    HANDLE running = nullptr;
    volatile LONG stopping = 0;
    CRITICAL_SECTION lock;
    bool lockReady = false;
    std::vector<std::string> texts;
};
