// Builds the Display properties sheet as the control panel does: its own four
// pages, then every handler registered under the Display key's shell
// extensions, created through COM and asked to add its pages.
#include "host/Host.h"
#include "host/HostResource.h"
#include "common/MachineRegistry.h"
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

namespace {

const char HandlersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Controls Folder\\Display\\shellex\\PropertySheetHandlers";

BOOL CALLBACK AddPageProc(HPROPSHEETPAGE page, LPARAM lParam)
{
    SheetPages* sheet = (SheetPages*)lParam;
    if (sheet->count >= MaxSheetPages)
        return FALSE;
    sheet->pages[sheet->count++] = page;
    return TRUE;
}

// A handler key names its class either by its default value or by its own name.
bool HandlerClass(HKEY handlers, const char* keyName, CLSID* clsid, std::string* text)
{
    *text = machine::Text(handlers, keyName, "");
    if (text->empty() || (*text)[0] != '{')
        *text = keyName;
    WCHAR wide[64];
    if (!MultiByteToWideChar(CP_ACP, 0, text->c_str(), -1, wide, 64))
        return false;
    return SUCCEEDED(CLSIDFromString(wide, clsid));
}

void AddHandlerPages(SheetPages* sheet, const char* keyName, const CLSID& clsid, const std::string& text)
{
    IShellExtInit* init = nullptr;
    HRESULT result = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, (void**)&init);
    if (FAILED(result)) {
        Say("host: handler %s %s could not be created (0x%08lX)", keyName, text.c_str(), (unsigned long)result);
        return;
    }
    init->Initialize(nullptr, nullptr, nullptr);
    IShellPropSheetExt* extension = nullptr;
    result = init->QueryInterface(IID_IShellPropSheetExt, (void**)&extension);
    if (SUCCEEDED(result)) {
        int before = sheet->count;
        extension->AddPages(AddPageProc, (LPARAM)sheet);
        Say("host: handler %s %s added %d page(s)", keyName, text.c_str(), sheet->count - before);
        extension->Release();
    } else {
        Say("host: handler %s %s has no property-sheet interface (0x%08lX)", keyName, text.c_str(),
            (unsigned long)result);
    }
    init->Release();
}

} // namespace

void StartStandIn()
{
    StartTraceCapture();
    CoInitialize(nullptr);
    InitCommonControls();
}

void EndStandIn()
{
    CoUninitialize();
    StopTraceCapture();
}

void CollectPages(SheetPages* sheet)
{
    sheet->count = 0;
    sheet->pages[sheet->count++] = CreatePlaceholderPage(IDD_BACKGROUND, "Background");
    sheet->pages[sheet->count++] = CreatePlaceholderPage(IDD_SCREEN_SAVER, "Screen Saver");
    sheet->pages[sheet->count++] = CreatePlaceholderPage(IDD_APPEARANCE, "Appearance");
    sheet->pages[sheet->count++] = CreateSettingsPage();
    sheet->ownCount = sheet->count;

    HKEY handlers;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, HandlersKey, 0, KEY_READ, &handlers) != ERROR_SUCCESS) {
        Say("host: no property-sheet handlers are registered for Display");
        return;
    }
    char keyName[256];
    for (DWORD index = 0; RegEnumKeyA(handlers, index, keyName, sizeof keyName) == ERROR_SUCCESS; ++index) {
        CLSID clsid;
        std::string text;
        if (HandlerClass(handlers, keyName, &clsid, &text))
            AddHandlerPages(sheet, keyName, clsid, text);
        else
            Say("host: handler %s names no class (%s)", keyName, text.c_str());
    }
    RegCloseKey(handlers);
}

void FillSheetHeader(PROPSHEETHEADERA* header, SheetPages* sheet, int startPage, bool modeless)
{
    ZeroMemory(header, sizeof *header);
    header->dwSize = sizeof *header;
    header->dwFlags = modeless ? PSH_MODELESS : 0;
    header->hwndParent = nullptr;
    header->hInstance = GetModuleHandleA(nullptr);
    header->pszCaption = "Display Properties";
    header->nPages = sheet->count;
    header->nStartPage = startPage >= 0 && startPage < sheet->count ? startPage : 0;
    header->phpage = sheet->pages;
}

void ReleaseHandlerLibraries()
{
    CoFreeUnusedLibraries();
}

bool PumpSheet(HWND sheet, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (!PropSheet_IsDialogMessage(sheet, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
        if (!PropSheet_GetCurrentPageHwnd(sheet))
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}
