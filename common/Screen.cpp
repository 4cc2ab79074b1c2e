#include "common/Screen.h"
#include "common/Process.h"
#include "common/UnixCommand.h"
#include <stdio.h>
#include <set>

namespace screen {

std::string BuildFolderFile(const std::string& name)
{
    return ProgramFolder() + "\\..\\" + name;
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

// Cropped from the root window by ImageMagick's import, which Wine starts as
// the Unix program it is.
DWORD SaveAsServerShows(const RECT& rect, const char* directory, const char* name)
{
    char display[64] = ":0";
    GetEnvironmentVariableA("DISPLAY", display, sizeof display);
    char command[1024];
    snprintf(command, sizeof command,
             "/bin/sh -c \"import -display %s -window root -crop %ldx%ld+%ld+%ld +repage '%s/.%s' && "
             "mv '%s/.%s' '%s/%s'\"",
             display, rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top, directory, name,
             directory, name, directory, name);
    return RunUnixCommandFor(command, directory, name);
}

// ImageMagick turns the image into a bitmap file that Windows loads.
Shot Load(const char* directory, const char* name)
{
    std::string bitmapName = std::string(name) + ".bmp";
    const char* b = bitmapName.c_str();
    char command[1024];
    snprintf(command, sizeof command,
             "/bin/sh -c \"convert '%s/%s' -type TrueColor BMP3:'%s/.%s' && mv '%s/.%s' '%s/%s'\"", directory,
             name, directory, b, directory, b, directory, b);
    Shot shot;
    if (RunUnixCommandFor(command, directory, b) == 0)
        return shot;
    std::string path = UnixFileAsWindowsSees(directory, b);
    HBITMAP bitmap = (HBITMAP)LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0,
                                         LR_LOADFROMFILE | LR_CREATEDIBSECTION);
    DeleteFileA(path.c_str());
    BITMAP size = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof size, &size))
        return shot;
    BITMAPINFO top = {};
    top.bmiHeader.biSize = sizeof top.bmiHeader;
    top.bmiHeader.biWidth = size.bmWidth;
    top.bmiHeader.biHeight = -size.bmHeight;
    top.bmiHeader.biPlanes = 1;
    top.bmiHeader.biBitCount = 32;
    top.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> bits((size_t)size.bmWidth * size.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, size.bmHeight, bits.data(), &top, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(bitmap);
    for (DWORD p : bits)
        shot.pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
    shot.width = size.bmWidth;
    shot.height = size.bmHeight;
    return shot;
}

} // namespace screen
