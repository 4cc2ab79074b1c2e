#include "host/BoxReading.h"

namespace boxes {

std::string WindowText(HWND window)
{
    char text[1024] = {};
    if (window)
        GetWindowTextA(window, text, sizeof text);
    return text;
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

} // namespace boxes
