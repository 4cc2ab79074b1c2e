// Screenshots for the eye, with their pixels for checks: the tests save a
// part of the screen as a bitmap file in the build folder (CTest turns it into
// a PNG); the demo has the X server's view saved as a PNG and reads it back.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace screen {

// The build folder, one above the programs' bin folder.
std::string BuildFolderFile(const std::string& name);

// Pixels of a saved part of the screen, top row first.
struct Shot {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[y * width + x]; }
    // Distinct colours in the rectangle (shot coordinates, right and bottom excluded).
    size_t Colours(int left, int top, int right, int bottom) const;
};

// Copies the screen under rect (screen coordinates) into a 24-bit bitmap file.
Shot Save(const RECT& rect, const std::string& path);

// The X server's screen under rect saved as directory/name (PNG), a Unix
// folder; returns the file's size, 0 when it did not come.
DWORD SaveAsServerShows(const RECT& rect, const char* directory, const char* name);
// An image file of a Unix folder read back; an empty shot when it cannot be.
Shot Load(const char* directory, const char* name);

} // namespace screen
