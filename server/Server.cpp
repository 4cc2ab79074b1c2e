#include <windows.h>
#include <objbase.h>
#include "server/Module.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        ModuleInstance = instance;
    return TRUE;
}

STDAPI DllCanUnloadNow(void)
{
    return ServerRefCount == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID, REFIID, LPVOID* out)
{
    *out = 0;
    return CLASS_E_CLASSNOTAVAILABLE;
}
