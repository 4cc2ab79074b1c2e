// Entry points of Ratelle.dll and its class factory.
//
// The fixed lines written with OutputDebugStringA trace the host's calls for
// whoever watches the debugger output; nothing depends on them.
#include <windows.h>
#include <objbase.h>
#include <new>
#include "page/Page.h"
#include "server/Module.h"
#include "server/ShellExt.h"

const CLSID CLSID_RefreshPage = {
    0x87b9bd00, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};
const IID UnknownInterface = {0x00000000, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID ClassFactoryInterface = {0x00000001, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID ShellExtInitInterface = {0x000214e8, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID PropSheetExtInterface = {0x000214e9, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};

namespace {

// Selects the allocation that answers null when the heap is exhausted. The
// library carries no C++ runtime, so there is no std::nothrow to name.
const std::nothrow_t NoThrow = std::nothrow_t();

// A new object handed out for the interface asked for. One that refuses the
// interface is nobody's and must not stay counted, so it goes at once.
template <class Object>
HRESULT CreateForInterface(REFIID interfaceId, void** out)
{
    Object* object = new (NoThrow) Object;
    if (object == 0)
        return E_OUTOFMEMORY;
    HRESULT result = object->QueryInterface(interfaceId, out);
    if (FAILED(result))
        delete object;
    return result;
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH) {
        OutputDebugStringA("In DLLMain, DLL_PROCESS_DETACH\r\n");
        // A page that was added but never shown leaves its thread's hook in
        // place; once the library is unmapped that hook would call into
        // nothing. Not needed when the whole process ends (reserved set).
        if (reserved == 0 && HookHandle != 0) {
            UnhookWindowsHookEx(HookHandle);
            HookHandle = 0;
        }
    }
    return TRUE;
}

STDAPI DllCanUnloadNow(void)
{
    OutputDebugStringA("In DLLCanUnloadNow\r\n");
    return ServerRefCount == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID classId, REFIID interfaceId, LPVOID* out)
{
    OutputDebugStringA("In DllGetClassObject\r\n");
    if (out == 0)
        return E_POINTER;
    *out = 0;
    if (!IsEqualCLSID(classId, CLSID_RefreshPage))
        return CLASS_E_CLASSNOTAVAILABLE;

    return CreateForInterface<CShellExtClassFactory>(interfaceId, out);
}

CShellExtClassFactory::CShellExtClassFactory()
    : RefCount(0)
{
    ++ServerRefCount;
    OutputDebugStringA("CShellExtClassFactory::CShellExtClassFactory()\r\n");
}

CShellExtClassFactory::~CShellExtClassFactory()
{
    --ServerRefCount;
}

STDMETHODIMP CShellExtClassFactory::QueryInterface(REFIID interfaceId, void** out)
{
    OutputDebugStringA("CShellExtClassFactory::QueryInterface()\r\n");
    if (out == 0)
        return E_POINTER;
    *out = 0;
    if (!IsEqualIID(interfaceId, UnknownInterface) && !IsEqualIID(interfaceId, ClassFactoryInterface))
        return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::AddRef()
{
    return ++RefCount;
}

STDMETHODIMP_(ULONG) CShellExtClassFactory::Release()
{
    if (--RefCount > 0)
        return RefCount;
    delete this;
    return 0;
}

STDMETHODIMP CShellExtClassFactory::CreateInstance(IUnknown* outer, REFIID interfaceId, void** out)
{
    OutputDebugStringA("CShellExtClassFactory::CreateInstance()\r\n");
    if (out == 0)
        return E_POINTER;
    *out = 0;
    if (outer != 0)
        return CLASS_E_NOAGGREGATION;

    return CreateForInterface<CShellExt>(interfaceId, out);
}

// The library's lifetime rests on ServerRefCount alone, and a factory the
// host holds is already counted there.
STDMETHODIMP CShellExtClassFactory::LockServer(BOOL)
{
    return S_OK;
}
