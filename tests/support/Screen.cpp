#include "tests/support/Screen.h"
#include <set>

namespace screen {

std::string BuildFolderFile(const std::string& name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    folder = folder.substr(0, folder.find_last_of('\\'));
    return folder + "\\..\\" + name;
}

size_t Shot::Colours(int left, int top, int right, int bottom) const
{
    std::set<COLORREF> colours;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            colours.insert(At(x, y));
    return colours.size();
}

Shot Save(const RECT& rect, const std::string& path)
{
    Shot shot;
    shot.width = rect.right - rect.left;
    shot.height = rect.bottom - rect.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = shot.width;
    info.bmiHeader.biHeight = shot.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC display = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(display);
    HBITMAP section = CreateDIBSection(display, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, shot.width, shot.height, display, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    DWORD rowSize = (shot.width * 3 + 3) & ~3u;
    DWORD imageSize = rowSize * shot.height;
    info.bmiHeader.biSizeImage = imageSize;
    BITMAPFILEHEADER file = {0x4D42, (DWORD)(sizeof file + sizeof info.bmiHeader + imageSize), 0, 0,
                             (DWORD)(sizeof file + sizeof info.bmiHeader)};
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written;
        WriteFile(out, &file, sizeof file, &written, nullptr);
        WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(out, bits, imageSize, &written, nullptr);
        CloseHandle(out);
    }
    shot.pixels.resize((size_t)shot.width * shot.height);
    for (int y = 0; y < shot.height; ++y) {
        const BYTE* row = (const BYTE*)bits + (shot.height - 1 - y) * rowSize;
        for (int x = 0; x < shot.width; ++x)
            shot.pixels[(size_t)y * shot.width + x] = RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    SelectObject(memory, old);
    DeleteObject(section);
    DeleteDC(memory);
    ReleaseDC(nullptr, display);
    return shot;
}

} // namespace screen
