#include "tests/support/Sheet.h"
#include <commctrl.h>

namespace sheets {

HWND OpenOnePage(const char* caption, const DLGTEMPLATE* page, DLGPROC pageProc)
{
    InitCommonControls();
    PROPSHEETPAGEA sheetPage = {};
    sheetPage.dwSize = sizeof sheetPage;
    sheetPage.dwFlags = PSP_DLGINDIRECT;
    sheetPage.hInstance = GetModuleHandleA(nullptr);
    sheetPage.pResource = page;
    sheetPage.pfnDlgProc = pageProc;
    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.pszCaption = caption;
    header.nPages = 1;
    header.ppsp = &sheetPage;
    return (HWND)PropertySheetA(&header);
}

} // namespace sheets
