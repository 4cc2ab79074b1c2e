#include "tests/server/DebugOutput.h"

namespace {

const char Marker[] = "-- end of the traces so far --";

} // namespace

DebugOutput::~DebugOutput()
{
    Stop();
    if (lockReady)
        DeleteCriticalSection(&lock);
}

bool DebugOutput::Start()
{
    if (!lockReady) {
        InitializeCriticalSection(&lock);
        lockReady = true;
    }
    texts.clear();
    stopping = 0;
    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    if (mapping)
        buffer = (const BYTE*)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096);
    bufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    dataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    if (!buffer || !bufferReady || !dataReady)
        return false;
    // The listener must be running before the first trace: a trace written
    // under the loader lock (DllMain) would otherwise wait for a thread that
    // cannot start until the lock is free.
    running = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, Listen, this, 0, nullptr);
    if (!thread)
        return false;
    WaitForSingleObject(running, 60000);
    return true;
}

void DebugOutput::Stop()
{
    if (thread) {
        InterlockedExchange(&stopping, 1);
        SetEvent(dataReady);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        thread = nullptr;
    }
    if (buffer)
        UnmapViewOfFile(buffer);
    buffer = nullptr;
    for (HANDLE* handle : {&mapping, &bufferReady, &dataReady, &running}) {
        if (*handle)
            CloseHandle(*handle);
        *handle = nullptr;
    }
}

// A writer waits for the buffer to be free before it writes, so once our own
// marker has gone through, everything written before it has been read. The
// wait for it only stops a listener that hangs, however busy the machine.
std::vector<std::string> DebugOutput::Take()
{
    OutputDebugStringA(Marker);
    std::vector<std::string> taken;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
        EnterCriticalSection(&lock);
        bool arrived = !texts.empty() && texts.back() == Marker;
        if (arrived) {
            texts.pop_back();
            taken.swap(texts);
        }
        LeaveCriticalSection(&lock);
        if (arrived)
            break;
        Sleep(2);
    }
    return taken;
}

DWORD WINAPI DebugOutput::Listen(void* self)
{
    DebugOutput* output = (DebugOutput*)self;
    DWORD process = GetCurrentProcessId();
    SetEvent(output->running);
    for (;;) {
        SetEvent(output->bufferReady);
        WaitForSingleObject(output->dataReady, INFINITE);
        if (output->stopping)
            return 0;
        DWORD writer = *(const DWORD*)output->buffer;
        if (writer != process)
            continue;
        const char* text = (const char*)output->buffer + sizeof(DWORD);
        std::string line(text, strnlen(text, 4096 - sizeof(DWORD)));
        EnterCriticalSection(&output->lock);
        output->texts.push_back(line);
        LeaveCriticalSection(&output->lock);
    }
}
