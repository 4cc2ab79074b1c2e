// The help file of the package as WinHelp reads it: the context numbers the
// page asks for lead to the topics of their controls, and Wine's viewer shows
// each of them.
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include "tests/support/Screen.h"

namespace {

// The title of each context's topic, 0 to 14, in the order of the page's
// controls: the four arrows, the status tree, the monitor's limits with their
// labels, the three policies, Test, the track bar and its rate.
const char* const Titles[] = {
    "Up arrow", "Down arrow", "Left arrow", "Right arrow", "Display status",
    "Max. Resolution", "Highest resolution", "Max. Refresh", "Highest refresh rate",
    "Default", "Advance", "Optimize", "Test", "Refresh rate slider", "Selected rate",
};
const int TestButtonContext = 12;

std::string HelpFile()
{
    return screen::BuildFolderFile("package\\Glimhelp.hlp");
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

uint32_t U32(const std::string& data, size_t at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | (uint8_t)data.at(at + i);
    return value;
}

uint16_t U16(const std::string& data, size_t at)
{
    return (uint16_t)((uint8_t)data.at(at) | (uint8_t)data.at(at + 1) << 8);
}

// Calls entry(position) for each leaf entry of the B+ tree in the internal file
// at offset (9-byte file header, 38-byte tree header, pages); entry returns the
// position after the entry.
void ForEachLeafEntry(const std::string& data, size_t offset, const std::function<size_t(size_t)>& entry)
{
    size_t tree = offset + 9;
    uint16_t pageSize = U16(data, tree + 4);
    int16_t page = (int16_t)U16(data, tree + 26), levels = (int16_t)U16(data, tree + 32);
    size_t pages = tree + 38;
    for (int level = 1; level < levels; ++level)
        page = (int16_t)U16(data, pages + page * pageSize + 4);
    while (page != -1) {
        size_t start = pages + page * pageSize;
        size_t position = start + 8;
        for (int i = 0; i < (int16_t)U16(data, start + 2); ++i)
            position = entry(position);
        page = (int16_t)U16(data, start + 6);
    }
}

// Internal file name to its offset in the help file.
std::map<std::string, size_t> Directory(const std::string& data)
{
    std::map<std::string, size_t> files;
    ForEachLeafEntry(data, U32(data, 4), [&](size_t position) {
        std::string name = data.c_str() + position;
        files[name] = U32(data, position + name.size() + 1);
        return position + name.size() + 5;
    });
    return files;
}

TEST(HelpFile, ContextMapLeadsEachNumberToItsControlsTopic)
{
    std::string data = ReadAll(HelpFile());
    ASSERT_GT(data.size(), 16u) << HelpFile();
    ASSERT_EQ(0x00035F3Fu, U32(data, 0)) << "not a WinHelp file: " << HelpFile();
    EXPECT_EQ(data.size(), U32(data, 12)) << "file size in the header";
    std::map<std::string, size_t> files = Directory(data);
    ASSERT_TRUE(files.count("|CTXOMAP") && files.count("|TTLBTREE")) << files.size() << " internal files";

    // Topic titles by topic offset.
    std::map<uint32_t, std::string> titles;
    ForEachLeafEntry(data, files["|TTLBTREE"], [&](size_t position) {
        std::string title = data.c_str() + position + 4;
        titles[U32(data, position)] = title;
        return position + 4 + title.size() + 1;
    });

    size_t map = files["|CTXOMAP"] + 9;
    ASSERT_EQ(15, U16(data, map));
    std::set<uint32_t> topics;
    for (int n = 0; n < 15; ++n) {
        EXPECT_EQ((uint32_t)n, U32(data, map + 2 + n * 8)) << "record " << n;
        uint32_t topic = U32(data, map + 6 + n * 8);
        topics.insert(topic);
        EXPECT_EQ(Titles[n], titles[topic]) << "context " << n << " leads to topic offset " << topic;
    }
    EXPECT_EQ(15u, topics.size()) << "distinct topics";
}

// The first line of the topic the viewer shows: its title.
std::string ShownTitle()
{
    HWND viewer = FindWindowA("MS_WINHELP", nullptr);
    HWND text = viewer ? FindWindowExA(viewer, nullptr, "RichEdit20A", nullptr) : nullptr;
    char shown[200] = "";
    if (text)
        SendMessageA(text, WM_GETTEXT, sizeof shown, (LPARAM)shown);
    std::string line = shown;
    return line.substr(0, line.find_first_of("\r\n"));
}

// Polls for the viewer's state under load: up to 20 s.
bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 200 && !done(); ++i)
        Sleep(100);
    return done();
}

// Wine's viewer shows HELP_CONTEXT topics in its main window (its pop-up
// command shows nothing), so each number is checked through that one.
TEST(HelpViewer, ShowsTheTopicOfEachContextAndQuits)
{
    HWND owner = CreateWindowA("STATIC", "Help owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    std::string file = HelpFile();
    for (int n = 0; n < 15; ++n) {
        WinHelpA(owner, file.c_str(), HELP_CONTEXT, n);
        std::string title = Titles[n];
        EXPECT_TRUE(WaitFor([&] { return ShownTitle() == title; }))
            << "context " << n << ": the viewer shows \"" << ShownTitle() << "\", not \"" << title << "\"";
        if (n == TestButtonContext) {
            RECT rect;
            GetWindowRect(FindWindowA("MS_WINHELP", nullptr), &rect);
            screen::Save(rect, screen::BuildFolderFile("help-test-topic.bmp"));
        }
    }
    WinHelpA(owner, file.c_str(), HELP_QUIT, 0);
    EXPECT_TRUE(WaitFor([] { return !FindWindowA("MS_WINHELP", nullptr); })) << "the viewer is still open";
    DestroyWindow(owner);
}

} // namespace
