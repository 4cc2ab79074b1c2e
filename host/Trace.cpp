// Catches OutputDebugStringA of every process of the machine the way a debug
// monitor does: the writer waits for DBWIN_BUFFER_READY, puts its process id
// and text into the DBWIN_BUFFER mapping and sets DBWIN_DATA_READY.
//
// The host's own lines take the same "buffer ready" token before they print,
// so a trace line always appears before whatever the host says after the
// call that produced it.
#include "host/Host.h"
#include <stdarg.h>
#include <stdio.h>

namespace {

struct DebugBuffer {
    DWORD processId;
    char text[4096 - sizeof(DWORD)];
};

HANDLE BufferReady;
HANDLE DataReady;
HANDLE Mapping;
DebugBuffer* Buffer;
HANDLE Monitor;
volatile LONG Stopping;

void PrintTrace(const char* text)
{
    char line[sizeof Buffer->text];
    lstrcpynA(line, text, sizeof line);
    int length = lstrlenA(line);
    // Every trace line of the page ends with CR LF; show one that doesn't.
    bool ended = length >= 2 && line[length - 2] == '\r' && line[length - 1] == '\n';
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == '\n'))
        line[--length] = '\0';
    printf("    trace: %s%s\n", line, ended ? "" : "   (no CR LF at its end)");
    fflush(stdout);
}

DWORD WINAPI MonitorProc(void*)
{
    SetEvent(BufferReady);
    while (!Stopping) {
        if (WaitForSingleObject(DataReady, 100) != WAIT_OBJECT_0)
            continue;
        PrintTrace(Buffer->text);
        SetEvent(BufferReady);
    }
    return 0;
}

} // namespace

void StartTraceCapture()
{
    Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(DebugBuffer),
                                 "DBWIN_BUFFER");
    if (!Mapping)
        return;
    Buffer = (DebugBuffer*)MapViewOfFile(Mapping, FILE_MAP_READ, 0, 0, sizeof(DebugBuffer));
    BufferReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY");
    DataReady = CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY");
    if (!Buffer || !BufferReady || !DataReady)
        return;
    Monitor = CreateThread(nullptr, 0, MonitorProc, nullptr, 0, nullptr);
}

void StopTraceCapture()
{
    if (!Monitor)
        return;
    // Lines written just before are printed first.
    if (WaitForSingleObject(BufferReady, 500) == WAIT_OBJECT_0)
        SetEvent(BufferReady);
    InterlockedExchange(&Stopping, 1);
    WaitForSingleObject(Monitor, 2000);
    CloseHandle(Monitor);
    Monitor = nullptr;
}

void Say(const char* format, ...)
{
    bool token = Monitor && WaitForSingleObject(BufferReady, 1000) == WAIT_OBJECT_0;
    va_list arguments;
    va_start(arguments, format);
    vprintf(format, arguments);
    va_end(arguments);
    fputc('\n', stdout);
    fflush(stdout);
    if (token)
        SetEvent(BufferReady);
}
