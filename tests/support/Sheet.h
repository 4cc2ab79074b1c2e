// A modeless property sheet of one page, made from a template in memory: the
// sheet of some other program, open beside the code under test.
#pragma once
#include <windows.h>

namespace sheets {

HWND OpenOnePage(const char* caption, const DLGTEMPLATE* page, DLGPROC pageProc);

} // namespace sheets
