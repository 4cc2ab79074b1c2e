// Ratelle.dll loaded and driven as the Display control panel drives it:
// class object, factory, extension object, Initialize, AddPages into a real
// property sheet, release, and the unload check. The library's own trace lines
// are captured from the debugger output.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <prsht.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "board/VirtualBoard.h"
#include "common/BoxReading.h"
#include "resources/resource.h"
#include "tests/server/DebugOutput.h"
#include "tests/support/Registry.h"
#include "tests/support/Robot.h"

namespace {

const CLSID RefreshPageClass = {
    0x87b9bd00, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};

typedef HRESULT(STDAPICALLTYPE* GetClassObjectFunction)(REFCLSID, REFIID, void**);
typedef HRESULT(STDAPICALLTYPE* CanUnloadNowFunction)();

// The add-page callback of the host: keeps every page it is offered.
BOOL CALLBACK KeepPage(HPROPSHEETPAGE page, LPARAM parameter)
{
    ((std::vector<HPROPSHEETPAGE>*)parameter)->push_back(page);
    return TRUE;
}

// A host that has no room for the page.
BOOL CALLBACK RefusePage(HPROPSHEETPAGE, LPARAM parameter)
{
    ++*(int*)parameter;
    return FALSE;
}

// The data object a host hands to Initialize. It counts its references and
// answers the file-list request as told; a medium it hands out holds a
// reference on it until the medium is released.
class FakeDataObject : public IDataObject {
public:
    LONG references = 1;
    bool offersFiles = true;
    int requests = 0;
    FORMATETC lastFormat = {};

    STDMETHODIMP QueryInterface(REFIID id, void** out) override
    {
        if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDataObject)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
    STDMETHODIMP_(ULONG) Release() override { return --references; }
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override
    {
        ++requests;
        lastFormat = *format;
        if (!offersFiles)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = GlobalAlloc(GMEM_MOVEABLE, 64);
        medium->pUnkForRelease = this;   // the receiver's ReleaseStgMedium releases us
        AddRef();
        return S_OK;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

std::string Hex(HRESULT result)
{
    char text[16];
    wsprintfA(text, "0x%08lX", (unsigned long)result);
    return text;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += "  [" + line + "]\n";
    return all;
}

class ServerTest : public RegistryTest {
protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        machine::WriteExampleMachine("Default");
        VirtualBoardReset(800, 600, 16);
        robot::Start();
        ASSERT_TRUE(trace.Start());
        module = LoadLibraryA("Ratelle.dll");
        ASSERT_NE(nullptr, module) << "error " << GetLastError();
        getClassObject = (GetClassObjectFunction)GetProcAddress(module, "DllGetClassObject");
        canUnloadNow = (CanUnloadNowFunction)GetProcAddress(module, "DllCanUnloadNow");
        ASSERT_NE(nullptr, getClassObject);
        ASSERT_NE(nullptr, canUnloadNow);
    }

    void TearDown() override
    {
        if (sheet && IsWindow(sheet))
            DestroyWindow(sheet);
        if (module)
            FreeLibrary(module);
        trace.Stop();
        robot::Stop();
        RegistryTest::TearDown();
    }

    // The trace lines written since the last call, without their CR LF. The
    // test framework writes its failure reports to the debugger output too;
    // those texts do not end in CR LF and are left out (a trace line that
    // lost its CR LF then shows as missing).
    std::vector<std::string> TakeTrace()
    {
        std::vector<std::string> lines;
        for (const std::string& raw : trace.Take()) {
            if (raw.size() >= 2 && raw.compare(raw.size() - 2, 2, "\r\n") == 0)
                lines.push_back(raw.substr(0, raw.size() - 2));
        }
        return lines;
    }

    IClassFactory* GetFactory()
    {
        IClassFactory* factory = nullptr;
        HRESULT result = getClassObject(RefreshPageClass, IID_IClassFactory, (void**)&factory);
        EXPECT_EQ(S_OK, result) << Hex(result);
        return factory;
    }

    // The object as the host creates it: factory, CreateInstance, factory released.
    IShellExtInit* CreateExtension()
    {
        IClassFactory* factory = GetFactory();
        IShellExtInit* extension = nullptr;
        if (factory) {
            HRESULT result = factory->CreateInstance(nullptr, IID_IShellExtInit, (void**)&extension);
            EXPECT_EQ(S_OK, result) << Hex(result);
            factory->Release();
        }
        return extension;
    }

    IShellPropSheetExt* PropSheetExt(IShellExtInit* extension)
    {
        IShellPropSheetExt* sheetExt = nullptr;
        HRESULT result = extension->QueryInterface(IID_IShellPropSheetExt, (void**)&sheetExt);
        EXPECT_EQ(S_OK, result) << Hex(result);
        return sheetExt;
    }

    // AddPages with the host's collecting callback; the object is released after.
    std::vector<HPROPSHEETPAGE> AddPages(IShellExtInit* extension)
    {
        std::vector<HPROPSHEETPAGE> pages;
        IShellPropSheetExt* sheetExt = PropSheetExt(extension);
        if (sheetExt) {
            HRESULT result = sheetExt->AddPages(KeepPage, (LPARAM)&pages);
            EXPECT_EQ(S_OK, result) << Hex(result);
            sheetExt->Release();
        }
        return pages;
    }

    void OpenSheet(std::vector<HPROPSHEETPAGE>& pages)
    {
        PROPSHEETHEADERA header = {};
        header.dwSize = sizeof header;
        header.dwFlags = PSH_MODELESS;
        header.pszCaption = "Display Properties";
        header.nPages = (UINT)pages.size();
        header.phpage = pages.data();
        sheet = (HWND)PropertySheetA(&header);
        ASSERT_NE(nullptr, sheet);
        robot::Pump(50);
    }

    HWND CurrentPage() { return (HWND)SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0); }

    // Cancel as the user does; the host then destroys the sheet with its pages.
    void CloseSheet()
    {
        SendMessageA(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        robot::Pump(20);
        EXPECT_EQ(nullptr, CurrentPage());
        DestroyWindow(sheet);
        sheet = nullptr;
    }

    bool Unloadable() { return canUnloadNow() == S_OK; }

    void Unload()
    {
        ASSERT_TRUE(FreeLibrary(module));
        module = nullptr;
    }

    DebugOutput trace;
    HMODULE module = nullptr;
    GetClassObjectFunction getClassObject = nullptr;
    CanUnloadNowFunction canUnloadNow = nullptr;
    HWND sheet = nullptr;
};

// The request of a host from load to unload, with the library's trace.
TEST_F(ServerTest, HostsThePageUntilTheSheetIsGone)
{
    EXPECT_TRUE(Unloadable());

    IClassFactory* factory = GetFactory();
    ASSERT_NE(nullptr, factory);
    IShellExtInit* extension = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IShellExtInit, (void**)&extension));
    factory->Release();
    EXPECT_EQ(S_OK, extension->Initialize(nullptr, nullptr, nullptr));
    IShellPropSheetExt* sheetExt = PropSheetExt(extension);
    ASSERT_NE(nullptr, sheetExt);
    std::vector<HPROPSHEETPAGE> pages;
    EXPECT_EQ(S_OK, sheetExt->AddPages(KeepPage, (LPARAM)&pages));
    ASSERT_EQ(1u, pages.size());
    EXPECT_EQ(1u, extension->Release());
    EXPECT_EQ(0u, sheetExt->Release());

    // Factory and object are gone; the page alone keeps the library.
    EXPECT_FALSE(Unloadable());

    OpenSheet(pages);
    HWND page = CurrentPage();
    ASSERT_NE(nullptr, page);
    EXPECT_EQ("Glimora", boxes::SheetTabTitle(sheet, 0));
    // AddPages loaded the monitor's limits before the page came up.
    char limit[64] = "";
    GetDlgItemTextA(page, IDC_MAX_RESOLUTION, limit, sizeof limit);
    EXPECT_STREQ("1024,768", limit);
    EXPECT_FALSE(Unloadable());

    // Keeps the sheet on the screen for a screenshot.
    if (const char* hold = getenv("GLIMORA_HOLD_SHEET_MS"))
        robot::Pump((DWORD)atoi(hold));

    CloseSheet();
    EXPECT_TRUE(Unloadable());
    Unload();

    std::vector<std::string> expected = {
        "In DLLCanUnloadNow",
        "In DllGetClassObject",
        "CShellExtClassFactory::CShellExtClassFactory()",
        "CShellExtClassFactory::QueryInterface()",
        "CShellExtClassFactory::CreateInstance()",
        "CShellExt::CShellExt()",
        "CShellExt::QueryInterface()==>IID_IShellExtInit",
        "CShellExt::AddRef()",
        "CShellExt::Initialize()",
        "CShellExt::QueryInterface()==>IShellPropSheetExt",
        "CShellExt::AddRef()",
        "CShellExt::Release()",
        "CShellExt::Release()",
        "In DLLCanUnloadNow",
        "In DLLCanUnloadNow",
        "In DLLCanUnloadNow",
        "In DLLMain, DLL_PROCESS_DETACH",
    };
    std::vector<std::string> seen = TakeTrace();
    EXPECT_EQ(expected, seen) << Joined(seen);
}

// A lambda cannot be a stdcall callback on i686.
BOOL CALLBACK CountWindow(HWND, LPARAM counted)
{
    ++*(int*)counted;
    return TRUE;
}

int ThreadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&count);
    return count;
}

// Twenty pages shown and closed in one host: what each page made (its arrow
// faces, the image list of its status icons) goes with it, and no window
// stays behind.
TEST_F(ServerTest, ClosedPagesLeaveNoObjectsBehind)
{
    int windowsBefore = ThreadWindows();
    for (int cycle = 0; cycle < 20; ++cycle) {
        IShellExtInit* extension = CreateExtension();
        ASSERT_NE(nullptr, extension);
        std::vector<HPROPSHEETPAGE> pages = AddPages(extension);
        extension->Release();
        OpenSheet(pages);
        HWND page = CurrentPage();
        std::vector<HGDIOBJ> made;
        for (int arrow : {IDC_UP, IDC_DOWN, IDC_LEFT, IDC_RIGHT})
            made.push_back((HGDIOBJ)SendDlgItemMessageA(page, arrow, BM_GETIMAGE, IMAGE_BITMAP, 0));
        auto icons = (HIMAGELIST)SendDlgItemMessageA(page, IDC_STATUS_TREE, TVM_GETIMAGELIST, TVSIL_NORMAL, 0);
        IMAGEINFO images = {};
        ASSERT_TRUE(ImageList_GetImageInfo(icons, 0, &images));
        made.push_back(images.hbmImage);
        made.push_back(images.hbmMask);
        for (size_t i = 0; i < made.size(); ++i)
            ASSERT_EQ(DWORD(OBJ_BITMAP), GetObjectType(made[i])) << "object " << i;
        CloseSheet();
        for (size_t i = 0; i < made.size(); ++i)
            EXPECT_EQ(0u, GetObjectType(made[i])) << "cycle " << cycle << ": object " << i << " outlived its page";
        if (HasFailure())
            break;
    }
    EXPECT_EQ(windowsBefore, ThreadWindows());
}

TEST_F(ServerTest, ClassObjectOnlyForItsClassAndFactoryInterfaces)
{
    const CLSID otherClass = {0x87b9bd01, 0xc65c, 0x11cd, {0xa2, 0x59, 0x00, 0xdd, 0x01, 0x0e, 0x8c, 0x28}};
    void* out = (void*)1;
    EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(otherClass, IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(std::vector<std::string>{"In DllGetClassObject"}, TakeTrace());

    // A factory asked for an interface it lacks is not left behind, counted.
    out = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, getClassObject(RefreshPageClass, IID_IShellExtInit, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_TRUE(Unloadable());
    // Nowhere to put the factory: none is made.
    EXPECT_EQ(E_POINTER, getClassObject(RefreshPageClass, IID_IClassFactory, nullptr));
    EXPECT_TRUE(Unloadable());

    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, getClassObject(RefreshPageClass, IID_IUnknown, (void**)&unknown));
    EXPECT_EQ(E_POINTER, unknown->QueryInterface(IID_IClassFactory, nullptr));
    IClassFactory* factory = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IClassFactory, (void**)&factory));
    EXPECT_EQ((void*)unknown, (void*)factory);
    EXPECT_EQ(3u, factory->AddRef());
    EXPECT_EQ(2u, unknown->Release());
    EXPECT_EQ(S_OK, factory->LockServer(TRUE));
    EXPECT_EQ(S_OK, factory->LockServer(FALSE));
    EXPECT_EQ(1u, factory->Release());
    EXPECT_FALSE(Unloadable());
    EXPECT_EQ(0u, factory->Release());
    EXPECT_TRUE(Unloadable());
}

TEST_F(ServerTest, FactoryCreatesNothingItCannotHandOut)
{
    IClassFactory* factory = GetFactory();
    ASSERT_NE(nullptr, factory);
    TakeTrace();

    FakeDataObject outer;   // any unknown will do as an aggregating outer object
    void* out = (void*)1;
    EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IUnknown, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(std::vector<std::string>{"CShellExtClassFactory::CreateInstance()"}, TakeTrace());

    out = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, factory->CreateInstance(nullptr, IID_IDataObject, &out));
    EXPECT_EQ(nullptr, out);
    std::vector<std::string> expected = {
        "CShellExtClassFactory::CreateInstance()",
        "CShellExt::CShellExt()",
        "CShellExt::QueryInterface()==>Unknown Interface!",
    };
    std::vector<std::string> seen = TakeTrace();
    EXPECT_EQ(expected, seen) << Joined(seen);

    EXPECT_EQ(E_POINTER, factory->CreateInstance(nullptr, IID_IShellExtInit, nullptr));
    factory->Release();
    EXPECT_TRUE(Unloadable()) << "an object made for no out-pointer is left behind";
}

TEST_F(ServerTest, ObjectHasOneIdentityAndOneCount)
{
    IClassFactory* factory = GetFactory();
    ASSERT_NE(nullptr, factory);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IUnknown, (void**)&unknown));
    factory->Release();
    TakeTrace();

    IShellExtInit* init = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IShellExtInit, (void**)&init));
    EXPECT_EQ((void*)unknown, (void*)init);
    IShellPropSheetExt* sheetExt = nullptr;
    ASSERT_EQ(S_OK, unknown->QueryInterface(IID_IShellPropSheetExt, (void**)&sheetExt));
    EXPECT_NE((void*)unknown, (void*)sheetExt);
    IUnknown* again = nullptr;
    ASSERT_EQ(S_OK, sheetExt->QueryInterface(IID_IUnknown, (void**)&again));
    EXPECT_EQ(unknown, again);
    std::vector<std::string> expected = {
        "CShellExt::QueryInterface()==>IID_IShellExtInit",
        "CShellExt::AddRef()",
        "CShellExt::QueryInterface()==>IShellPropSheetExt",
        "CShellExt::AddRef()",
        "CShellExt::QueryInterface()==>IID_IShellExtInit",
        "CShellExt::AddRef()",
    };
    std::vector<std::string> seen = TakeTrace();
    EXPECT_EQ(expected, seen) << Joined(seen);

    void* out = (void*)1;
    EXPECT_EQ(E_NOINTERFACE, sheetExt->QueryInterface(IID_IClassFactory, &out));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(E_POINTER, sheetExt->QueryInterface(IID_IUnknown, nullptr));
    EXPECT_EQ(E_POINTER, init->QueryInterface(IID_IShellPropSheetExt, nullptr));
    EXPECT_EQ(E_FAIL, sheetExt->ReplacePage(0, KeepPage, 0));

    EXPECT_EQ(5u, sheetExt->AddRef());
    EXPECT_EQ(4u, init->Release());
    EXPECT_EQ(3u, sheetExt->Release());
    EXPECT_EQ(2u, sheetExt->Release());
    EXPECT_EQ(1u, again->Release());
    EXPECT_FALSE(Unloadable());
    EXPECT_EQ(0u, unknown->Release());
    EXPECT_TRUE(Unloadable());
}

TEST_F(ServerTest, InitializeHoldsOnlyTheLatestDataObject)
{
    IShellExtInit* extension = CreateExtension();
    ASSERT_NE(nullptr, extension);
    FakeDataObject first, second;
    extension->Initialize(nullptr, &first, nullptr);
    EXPECT_EQ(2, first.references);
    extension->Initialize(nullptr, &second, nullptr);
    EXPECT_EQ(1, first.references);
    EXPECT_EQ(2, second.references);
    extension->Initialize(nullptr, nullptr, nullptr);
    EXPECT_EQ(1, second.references);
    extension->Initialize(nullptr, &first, nullptr);
    EXPECT_EQ(2, first.references);
    EXPECT_EQ(0u, extension->Release());
    EXPECT_EQ(1, first.references);
    EXPECT_TRUE(Unloadable());
}

// The page comes only when the host offers files, and the file list it
// hands over is given back.
TEST_F(ServerTest, PageIsMadeWhenTheDataObjectOffersFiles)
{
    FakeDataObject files;
    IShellExtInit* extension = CreateExtension();
    ASSERT_NE(nullptr, extension);
    extension->Initialize(nullptr, &files, nullptr);
    std::vector<HPROPSHEETPAGE> pages = AddPages(extension);
    EXPECT_EQ(1u, pages.size());
    EXPECT_EQ(1, files.requests);
    EXPECT_EQ(CF_HDROP, files.lastFormat.cfFormat);
    EXPECT_EQ(nullptr, files.lastFormat.ptd);
    EXPECT_EQ((DWORD)DVASPECT_CONTENT, files.lastFormat.dwAspect);
    EXPECT_EQ(-1, files.lastFormat.lindex);
    EXPECT_EQ((DWORD)TYMED_HGLOBAL, files.lastFormat.tymed);
    EXPECT_EQ(2, files.references) << "the medium was not released";
    extension->Release();
    EXPECT_EQ(1, files.references);

    // A page that is never shown still keeps the library until destroyed.
    EXPECT_FALSE(Unloadable());
    for (HPROPSHEETPAGE page : pages)
        DestroyPropertySheetPage(page);
    EXPECT_TRUE(Unloadable());
}

// Without a page the state is still loaded and the sheet's thread watched.
TEST_F(ServerTest, WithoutAPageTheStateIsLoadedAndTheDisplayWatched)
{
    FakeDataObject noFiles;
    noFiles.offersFiles = false;
    IShellExtInit* extension = CreateExtension();
    ASSERT_NE(nullptr, extension);
    extension->Initialize(nullptr, &noFiles, nullptr);
    VirtualBoardState before;
    VirtualBoardRead(&before);
    std::vector<HPROPSHEETPAGE> pages = AddPages(extension);
    extension->Release();
    EXPECT_TRUE(pages.empty());
    EXPECT_EQ(1, noFiles.requests);
    EXPECT_TRUE(Unloadable());

    // No rate was stored for 800,600: the first rate of its table was applied.
    VirtualBoardState after;
    VirtualBoardRead(&after);
    EXPECT_EQ(before.modeRequests + 1, after.modeRequests);
    EXPECT_EQ(800, after.lastWidth);

    // A resolution change on this thread reaches the hook, which stores the
    // Default selection of the new resolution: the first rate of its table,
    // here not the 60 Hz every mode falls back to.
    machine::SetText(HKEY_LOCAL_MACHINE, machine::TablePath, "1024,768V", "70 75 85");
    machine::WriteDisplaySettings("1024,768", "16");
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(window, WM_DISPLAYCHANGE, 16, MAKELPARAM(1024, 768));
    DestroyWindow(window);
    std::string selection = std::string(machine::SelectionPath) + "\\16\\1024,768";
    EXPECT_EQ("70", machine::Text(HKEY_LOCAL_MACHINE, selection, "Default"));
}

TEST_F(ServerTest, RefusedPageIsDestroyedAtOnce)
{
    IShellExtInit* extension = CreateExtension();
    ASSERT_NE(nullptr, extension);
    IShellPropSheetExt* sheetExt = PropSheetExt(extension);
    ASSERT_NE(nullptr, sheetExt);
    int offers = 0;
    EXPECT_EQ(S_OK, sheetExt->AddPages(RefusePage, (LPARAM)&offers));
    EXPECT_EQ(1, offers);
    sheetExt->Release();
    extension->Release();
    EXPECT_TRUE(Unloadable());
}

// The hook of a page that was never shown must not outlive the library. Once
// the library is unloaded such a hook would run code that is gone (Windows)
// or a fresh copy of the library with no page state at all (Wine reloads the
// module for the call), which would switch the display and overwrite the
// stored state with empty texts.
TEST_F(ServerTest, UnloadWithoutShowingThePageLeavesNoHookBehind)
{
    for (int host = 0; host < 2; ++host) {
        IShellExtInit* extension = CreateExtension();
        ASSERT_NE(nullptr, extension);
        std::vector<HPROPSHEETPAGE> pages = AddPages(extension);
        extension->Release();
        for (HPROPSHEETPAGE page : pages)
            DestroyPropertySheetPage(page);
    }
    ASSERT_TRUE(Unloadable());
    Unload();

    VirtualBoardState before;
    VirtualBoardRead(&before);
    HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    SendMessageA(window, WM_DISPLAYCHANGE, 16, MAKELPARAM(800, 600));
    SendMessageA(window, WM_ENABLE, TRUE, 0);
    DestroyWindow(window);
    VirtualBoardState after;
    VirtualBoardRead(&after);
    EXPECT_EQ(before.modeRequests, after.modeRequests);
    std::string stored;
    EXPECT_FALSE(machine::GetText(HKEY_LOCAL_MACHINE, machine::ProductPath, "OrgResolution", &stored))
        << "stored [" << stored << "]";
}

// The art as the page loads it: sizes and 16 colours. The tab's icon is
// shown at 32 by 32; the status icons only at 16 by 16, their stored size.
TEST_F(ServerTest, IconsAndBitmapsHaveTheirSizesAndSixteenColours)
{
    for (int icon = IDI_PAGE_TAB; icon <= IDI_MONITOR_GREEN; ++icon) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(icon), (LPCSTR)RT_GROUP_ICON);
        ASSERT_NE(nullptr, found) << "icon " << icon;
        const BYTE* group = (const BYTE*)LockResource(LoadResource(module, found));
        ASSERT_EQ(1, *(const WORD*)(group + 4)) << "icon " << icon;   // one image
        int size = icon == IDI_PAGE_TAB ? 32 : 16;
        EXPECT_EQ(size, group[6]) << "icon " << icon;
        EXPECT_EQ(size, group[7]) << "icon " << icon;
        EXPECT_EQ(16, group[8]) << "icon " << icon;
        EXPECT_NE(nullptr, LoadIconA(module, MAKEINTRESOURCEA(icon))) << "icon " << icon;
    }
    const struct { int id, width, height; } bitmaps[] = {
        {IDB_MAKER_LOGO, 154, 48}, {IDB_ARROW_UP, 56, 24}, {IDB_ARROW_DOWN, 56, 24},
        {IDB_ARROW_RIGHT, 32, 32}, {IDB_ARROW_LEFT, 32, 32}, {IDB_BANNER, 526, 23},
        {IDB_HAND, 40, 40},
    };
    for (const auto& bitmap : bitmaps) {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(bitmap.id), (LPCSTR)RT_BITMAP);
        ASSERT_NE(nullptr, found) << "bitmap " << bitmap.id;
        const BITMAPINFOHEADER* info = (const BITMAPINFOHEADER*)LockResource(LoadResource(module, found));
        EXPECT_EQ(bitmap.width, info->biWidth) << "bitmap " << bitmap.id;
        EXPECT_EQ(bitmap.height, info->biHeight) << "bitmap " << bitmap.id;
        EXPECT_EQ(4, info->biBitCount) << "bitmap " << bitmap.id;
        // Stored compressed, it must still decode.
        HBITMAP loaded = LoadBitmapA(module, MAKEINTRESOURCEA(bitmap.id));
        BITMAP shape = {};
        EXPECT_EQ((int)sizeof shape, GetObjectA(loaded, sizeof shape, &shape)) << "bitmap " << bitmap.id;
        EXPECT_EQ(bitmap.width, shape.bmWidth) << "bitmap " << bitmap.id;
        DeleteObject(loaded);
    }
}

} // namespace
