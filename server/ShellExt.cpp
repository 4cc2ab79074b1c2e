// The property-sheet extension object: it adds the page "Glimora", installs
// the display watch hook for the sheet's thread and loads the page state.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <prsht.h>
#include "page/Page.h"
#include "resources/resource.h"
#include "server/Module.h"
#include "server/ShellExt.h"
#include "settings/Settings.h"

namespace {

const char PageTitle[] = "Glimora";

// True once a page was created on a platform that ignores the page record's
// reference parent (Wine's property sheets do): the library then keeps the
// page's count in ServerRefCount itself, from creation to release.
bool PageCountedHere;

// The page's own callback: it only gives back a count kept here.
UINT CALLBACK RefreshPageCallback(HWND, UINT message, LPPROPSHEETPAGEA)
{
    if (message == PSPCB_RELEASE && PageCountedHere)
        --ServerRefCount;
    return 1;   // PSPCB_CREATE: let the page window be made
}

} // namespace

CShellExt::CShellExt()
    : RefCount(0), DataObject(0)
{
    ++ServerRefCount;
    OutputDebugStringA("CShellExt::CShellExt()\r\n");
}

CShellExt::~CShellExt()
{
    if (DataObject != 0)
        DataObject->Release();
    --ServerRefCount;
}

STDMETHODIMP CShellExt::QueryInterface(REFIID interfaceId, void** out)
{
    if (out == 0)
        return E_POINTER;
    *out = 0;
    if (IsEqualIID(interfaceId, ShellExtInitInterface) || IsEqualIID(interfaceId, UnknownInterface)) {
        OutputDebugStringA("CShellExt::QueryInterface()==>IID_IShellExtInit\r\n");
        *out = static_cast<IShellExtInit*>(this);
    } else if (IsEqualIID(interfaceId, PropSheetExtInterface)) {
        OutputDebugStringA("CShellExt::QueryInterface()==>IShellPropSheetExt\r\n");
        *out = static_cast<IShellPropSheetExt*>(this);
    } else {
        OutputDebugStringA("CShellExt::QueryInterface()==>Unknown Interface!\r\n");
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CShellExt::AddRef()
{
    OutputDebugStringA("CShellExt::AddRef()\r\n");
    return ++RefCount;
}

STDMETHODIMP_(ULONG) CShellExt::Release()
{
    OutputDebugStringA("CShellExt::Release()\r\n");
    if (--RefCount > 0)
        return RefCount;
    delete this;
    return 0;
}

// Only the data object is kept, to decide in AddPages whether the host
// offers files; the folder and the program key mean nothing to the page.
STDMETHODIMP CShellExt::Initialize(PCIDLIST_ABSOLUTE, IDataObject* dataObject, HKEY)
{
    OutputDebugStringA("CShellExt::Initialize()\r\n");
    if (DataObject != 0)
        DataObject->Release();
    DataObject = dataObject;
    if (DataObject != 0)
        DataObject->AddRef();
    return S_OK;
}

// The hook and the state are set up even when no page is made: the sheet's
// other pages may still change the display.
STDMETHODIMP CShellExt::AddPages(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter)
{
    if (OffersPage())
        AddRefreshPage(addPage, parameter);

    // Only one hook at a time: an earlier one whose page was never shown
    // would otherwise stay installed with nobody to remove it.
    if (HookHandle != 0)
        UnhookWindowsHookEx(HookHandle);
    HookHandle = SetWindowsHookExA(WH_CALLWNDPROC, DisplayWatchHook, ModuleInstance, GetCurrentThreadId());

    ReadDisplaySettings();
    LoadPageState();
    return S_OK;
}

// The page is never put in place of one of the host's.
STDMETHODIMP CShellExt::ReplacePage(EXPPS, LPFNADDPROPSHEETPAGE, LPARAM)
{
    return E_FAIL;
}

// Without a data object the page is offered unasked; with one, only when it
// hands out a file list. The list itself is not looked at.
bool CShellExt::OffersPage()
{
    if (DataObject == 0)
        return true;
    FORMATETC format = {CF_HDROP, 0, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(DataObject->GetData(&format, &medium)))
        return false;
    ReleaseStgMedium(&medium);
    return true;
}

// The platform counts the page in ServerRefCount through its reference-parent
// pointer for as long as it exists, so the library stays loaded under it.
void CShellExt::AddRefreshPage(LPFNADDPROPSHEETPAGE addPage, LPARAM parameter)
{
    PROPSHEETPAGEA record = {};
    record.dwSize = PROPSHEETPAGEA_V1_SIZE;
    record.dwFlags = PSP_USEHICON | PSP_USETITLE | PSP_USEREFPARENT | PSP_USECALLBACK;
    record.hInstance = ModuleInstance;
    record.pszTemplate = MAKEINTRESOURCEA(IDD_REFRESH_PAGE);
    record.hIcon = LoadIconA(ModuleInstance, MAKEINTRESOURCEA(IDI_PAGE_TAB));
    record.pszTitle = PageTitle;
    record.pfnDlgProc = RefreshPageProc;
    record.lParam = (LPARAM) static_cast<IShellExtInit*>(this);
    record.pcRefParent = (UINT*)&ServerRefCount;
    record.pfnCallback = RefreshPageCallback;

    LONG countBefore = ServerRefCount;
    HPROPSHEETPAGE page = CreatePropertySheetPageA(&record);
    if (page == 0)
        return;
    PageCountedHere = ServerRefCount == countBefore;
    if (PageCountedHere)
        ++ServerRefCount;
    if (!addPage(page, parameter))
        DestroyPropertySheetPage(page);
}
