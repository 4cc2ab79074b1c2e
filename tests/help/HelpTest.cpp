// The package's help file as WinHelp reads it: the context numbers the page
// asks for lead to the topics of their controls, and Wine's viewer shows them.
#include <gtest/gtest.h>
#include <windows.h>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include "common/Screen.h"

namespace {

// Each context's topic title, 0 to 15: the four arrows, the status tree, the
// monitor's limits and their labels, the three policies, Test, the track bar
// and its rate, the note why the moves are off.
const char* const Titles[] = {
    "Up arrow", "Down arrow", "Left arrow", "Right arrow", "Display status",
    "Max. Resolution", "Highest resolution", "Max. Refresh", "Highest refresh rate",
    "Default", "Advance", "Optimize", "Test", "Refresh rate slider", "Selected rate",
    "Picture moves off",
};
const int Contexts = sizeof Titles / sizeof Titles[0];
const int TestButtonContext = 12;

const std::string HelpFile = screen::BuildFolderFile("package\\Glimhelp.hlp");

// Little-endian number of 2 or 4 bytes.
long Number(const std::string& data, size_t at, int bytes)
{
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | (unsigned char)data.at(at + i);
    return bytes == 2 ? (short)value : (long)value;
}

// Calls entry(position) on each leaf entry of the B+ tree in the internal
// file at offset; entry returns the position after the entry.
void ForEachLeafEntry(const std::string& data, size_t offset, const std::function<size_t(size_t)>& entry)
{
    size_t tree = offset + 9, pages = tree + 38, pageSize = Number(data, tree + 4, 2);
    long page = Number(data, tree + 26, 2);
    for (long level = 1; level < Number(data, tree + 32, 2); ++level)
        page = Number(data, pages + page * pageSize + 4, 2);  // an index page's first child
    for (; page != -1; page = Number(data, pages + page * pageSize + 6, 2)) {
        size_t position = pages + page * pageSize + 8;
        for (long i = 0; i < Number(data, pages + page * pageSize + 2, 2); ++i)
            position = entry(position);
    }
}

TEST(HelpFile, ContextMapLeadsEachNumberToItsControlsTopic)
{
    std::ostringstream read;
    read << std::ifstream(HelpFile, std::ios::binary).rdbuf();
    std::string data = read.str();
    ASSERT_GT(data.size(), 16u) << HelpFile;
    ASSERT_EQ(0x00035F3F, Number(data, 0, 4)) << "not a WinHelp file";
    EXPECT_EQ((long)data.size(), Number(data, 12, 4)) << "file size in the header";
    std::map<std::string, size_t> files;
    ForEachLeafEntry(data, Number(data, 4, 4), [&](size_t at) {
        std::string name = data.c_str() + at;
        files[name] = Number(data, at + name.size() + 1, 4);
        return at + name.size() + 5;
    });
    ASSERT_TRUE(files.count("|CTXOMAP") && files.count("|TTLBTREE")) << files.size() << " internal files";
    std::map<long, std::string> titles;  // by topic offset
    ForEachLeafEntry(data, files["|TTLBTREE"], [&](size_t at) {
        std::string title = data.c_str() + at + 4;
        titles[Number(data, at, 4)] = title;
        return at + title.size() + 5;
    });

    size_t map = files["|CTXOMAP"] + 9;
    ASSERT_EQ(Contexts, Number(data, map, 2));
    std::set<long> topics;
    for (int n = 0; n < Contexts; ++n) {
        EXPECT_EQ(n, Number(data, map + 2 + n * 8, 4)) << "record " << n;
        long topic = Number(data, map + 6 + n * 8, 4);
        topics.insert(topic);
        EXPECT_EQ(Titles[n], titles[topic]) << "context " << n << " leads to topic offset " << topic;
    }
    EXPECT_EQ((size_t)Contexts, topics.size()) << "distinct topics";
}

// The title of the topic the viewer shows: the first line of its text.
std::string ShownTitle()
{
    HWND text = FindWindowExA(FindWindowA("MS_WINHELP", nullptr), nullptr, "RichEdit20A", nullptr);
    char shown[200] = "";
    if (text)
        SendMessageA(text, WM_GETTEXT, sizeof shown, (LPARAM)shown);
    return std::string(shown).substr(0, strcspn(shown, "\r\n"));
}

// Up to a minute, which only a viewer that hangs takes, however busy the machine.
bool WaitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 600 && !done(); ++i)
        Sleep(100);
    return done();
}

// Wine's viewer shows nothing for a pop-up request, so each number is asked
// for as HELP_CONTEXT, which shows the same topic in the main window.
TEST(HelpViewer, ShowsTheTopicOfEachContextAndQuits)
{
    HWND owner = CreateWindowA("STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    for (int n = 0; n < Contexts; ++n) {
        WinHelpA(owner, HelpFile.c_str(), HELP_CONTEXT, n);
        EXPECT_TRUE(WaitFor([&] { return ShownTitle() == Titles[n]; }))
            << "context " << n << ": the viewer shows \"" << ShownTitle() << "\", not \"" << Titles[n] << "\"";
        RECT rect;
        if (n == TestButtonContext && GetWindowRect(FindWindowA("MS_WINHELP", nullptr), &rect))
            screen::Save(rect, screen::BuildFolderFile("help-test-topic.bmp"));
    }
    WinHelpA(owner, HelpFile.c_str(), HELP_QUIT, 0);
    EXPECT_TRUE(WaitFor([] { return !FindWindowA("MS_WINHELP", nullptr); })) << "the viewer is still open";
    DestroyWindow(owner);
}

} // namespace
