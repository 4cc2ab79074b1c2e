#include "board/Board.h"
#include "board/VirtualBoard.h"

namespace {

enum { Undecided = -1, Virtual = 0, Real = 1 };
int Target = Undecided;

// Real hardware only on the Windows 9x family, where a user program may use
// the port instructions; Wine also reports itself as 9x when asked to.
int ChooseTarget()
{
    bool windows9x = (GetVersion() & 0x80000000u) != 0;
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    bool wine = ntdll != 0 && GetProcAddress(ntdll, "wine_get_version") != 0;
#if defined(__i386__)
    return windows9x && !wine ? Real : Virtual;
#else
    (void)windows9x;
    (void)wine;
    return Virtual;
#endif
}

bool UseReal()
{
    if (Target == Undecided)
        Target = ChooseTarget();
    return Target == Real;
}

#if defined(__i386__)
BYTE HardwareIn(WORD port)
{
    BYTE value;
    __asm__ __volatile__("inb %w1, %b0" : "=a"(value) : "Nd"(port));
    return value;
}

void HardwareOut(WORD port, BYTE value)
{
    __asm__ __volatile__("outb %b0, %w1" : : "a"(value), "Nd"(port));
}
#else
BYTE HardwareIn(WORD) { return 0xFF; }
void HardwareOut(WORD, BYTE) {}
#endif

void HardwareScreenSize(int* width, int* height)
{
    HWND window = GetActiveWindow();
    HDC dc = GetDC(window);
    *width = GetDeviceCaps(dc, HORZRES);
    *height = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(window, dc);
}

LONG HardwareRequestMode(int width, int height, int refresh)
{
    DEVMODEA request;
    ZeroMemory(&request, sizeof request);
    request.dmSize = 148;   // the Windows 95 DEVMODEA, through dmReserved2
    request.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    request.dmPelsWidth = (DWORD)width;
    request.dmPelsHeight = (DWORD)height;
    request.dmDisplayFrequency = (DWORD)refresh;
    return ChangeDisplaySettingsA(&request, 0);
}

} // namespace

BYTE BoardPortIn(WORD port)
{
    return UseReal() ? HardwareIn(port) : VirtualPortIn(port);
}

void BoardPortOut(WORD port, BYTE value)
{
    if (UseReal())
        HardwareOut(port, value);
    else
        VirtualPortOut(port, value);
}

void BoardScreenSize(int* width, int* height)
{
    if (UseReal())
        HardwareScreenSize(width, height);
    else
        VirtualScreenSize(width, height);
}

LONG BoardRequestMode(int width, int height, int refresh)
{
    if (UseReal())
        return HardwareRequestMode(width, height, refresh);
    return VirtualRequestMode(width, height, 0, refresh);
}
