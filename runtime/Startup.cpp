// The start-up code of the deliverables in place of the compiler's runtime.
//
// Windows 95 may lack MSVCRT.DLL and the newer kernel32 functions that the
// MinGW runtime imports, so Ratelle.dll and Purvix.exe bring their own entry
// points and the few functions GCC emits calls to. Nothing here runs static
// constructors: the deliverables have none.
#include <windows.h>
#include <new>

extern "C" {

void* memset(void* destination, int value, size_t count)
{
    unsigned char* bytes = (unsigned char*)destination;
    while (count-- > 0)
        *bytes++ = (unsigned char)value;
    return destination;
}

void* memcpy(void* destination, const void* source, size_t count)
{
    unsigned char* to = (unsigned char*)destination;
    const unsigned char* from = (const unsigned char*)source;
    while (count-- > 0)
        *to++ = *from++;
    return destination;
}

void* memmove(void* destination, const void* source, size_t count)
{
    unsigned char* to = (unsigned char*)destination;
    const unsigned char* from = (const unsigned char*)source;
    if (to < from) {
        while (count-- > 0)
            *to++ = *from++;
    } else {
        while (count-- > 0)
            to[count] = from[count];
    }
    return destination;
}

int memcmp(const void* a, const void* b, size_t count)
{
    const unsigned char* x = (const unsigned char*)a;
    const unsigned char* y = (const unsigned char*)b;
    for (size_t i = 0; i < count; ++i) {
        if (x[i] != y[i])
            return x[i] < y[i] ? -1 : 1;
    }
    return 0;
}

// Called only if a pure virtual function is reached through a half-built object.
void __cxa_pure_virtual(void)
{
    ExitProcess(255);
}

} // extern "C"

// Allocation of the COM objects; a failure answers null, never throws.
void* operator new(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return HeapAlloc(GetProcessHeap(), 0, size);
}

void operator delete(void* block) noexcept
{
    if (block != 0)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete(void* block, size_t) noexcept
{
    operator delete(block);
}
