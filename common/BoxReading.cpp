#include "common/BoxReading.h"
#include <commctrl.h>

namespace boxes {

std::string WindowText(HWND window)
{
    char text[1024] = {};
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
}

bool IsDialog(HWND window)
{
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof cls);
    return lstrcmpA(cls, "#32770") == 0;
}

std::string Message(HWND box)
{
    HWND message = GetDlgItem(box, 0xFFFF);
    if (message)
        return WindowText(message);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextLengthA(child) > 0)
            return WindowText(child);
    }
    return "";
}

std::string Icon(HWND box)
{
    // Windows numbers a message box's icon 0x14, Wine 0x440.
    HWND icon = GetDlgItem(box, 0x14);
    if (!icon)
        icon = GetDlgItem(box, 0x440);
    HICON shown = icon ? (HICON)SendMessageA(icon, STM_GETICON, 0, 0) : nullptr;
    if (!shown)
        return "";
    if (shown == LoadIconA(nullptr, IDI_EXCLAMATION))
        return "warning";
    if (shown == LoadIconA(nullptr, IDI_ASTERISK))
        return "information";
    if (shown == LoadIconA(nullptr, IDI_HAND))
        return "error";
    if (shown == LoadIconA(nullptr, IDI_QUESTION))
        return "question";
    return "other";
}

int SheetTabCount(HWND sheet)
{
    return (int)SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMCOUNT, 0, 0);
}

std::string SheetTabTitle(HWND sheet, int index)
{
    char title[128] = {};
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof title;
    SendMessageA(PropSheet_GetTabControl(sheet), TCM_GETITEMA, index, (LPARAM)&item);
    return title;
}

int FindSheetTab(HWND sheet, const char* title)
{
    int count = SheetTabCount(sheet);
    for (int i = 0; i < count; ++i)
        if (SheetTabTitle(sheet, i) == title)
            return i;
    return -1;
}

} // namespace boxes
