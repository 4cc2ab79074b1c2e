// DisplayProperties: a stand-in for the Windows 95 Display control panel,
// where Wine has none. It shows the sheet "Display Properties" with the
// control panel's own pages and the pages of the registered extensions, and
// prints the extensions' debugger output.
//
//   DisplayProperties [--page N|TITLE]   the sheet, for a person to use
//   DisplayProperties --list             prints the sheet's tabs and closes it
//
// The demo's replay (demo/) drives the same sheet in a program of its own.
#include "host/Host.h"
#include "common/BoxReading.h"
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

struct Options {
    const char* page = nullptr;
    bool list = false;
};

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--list") == 0)
            options->list = true;
        else if (strcmp(argv[i], "--page") == 0 && i + 1 < argc)
            options->page = argv[++i];
        else
            return false;
    }
    return true;
}

// The start page: a number, or the title of a tab.
int StartPage(const SheetPages& pages, const char* page)
{
    if (!page)
        return 0;
    if (page[0] >= '0' && page[0] <= '9')
        return atoi(page);
    // Titles are known only once the sheet exists; extension pages follow the
    // control panel's own, so a title that is not one of those is the first
    // extension page.
    static const char* const own[] = {"Background", "Screen Saver", "Appearance", "Settings"};
    for (int i = 0; i < 4; ++i)
        if (strcmp(page, own[i]) == 0)
            return i;
    return pages.ownCount;
}

int ListPages()
{
    SheetPages pages;
    CollectPages(&pages);
    PROPSHEETHEADERA header;
    FillSheetHeader(&header, &pages, 0, true);
    HWND sheet = (HWND)PropertySheetA(&header);
    if (!sheet) {
        Say("host: the sheet could not be created");
        return 1;
    }
    PumpSheet(sheet, 300);
    int count = boxes::SheetTabCount(sheet);
    std::string all;
    for (int i = 0; i < count; ++i) {
        std::string title = boxes::SheetTabTitle(sheet, i);
        Say("page %d: %s", i, title.c_str());
        all += (i ? " | " : "") + title;
    }
    Say("pages: %s", all.c_str());
    PropSheet_PressButton(sheet, PSBTN_CANCEL);
    PumpSheet(sheet, 3000);
    DestroyWindow(sheet);
    ReleaseHandlerLibraries();
    return 0;
}

int ShowSheet(const char* page)
{
    SheetPages pages;
    CollectPages(&pages);
    PROPSHEETHEADERA header;
    FillSheetHeader(&header, &pages, StartPage(pages, page), false);
    INT_PTR result = PropertySheetA(&header);
    Say("host: the sheet closed (%s)", result > 0 ? "OK" : "Cancel");
    ReleaseHandlerLibraries();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: DisplayProperties [--page N|TITLE] [--list]\n");
        return 2;
    }
    StartStandIn();
    int status = options.list ? ListPages() : ShowSheet(options.page);
    EndStandIn();
    return status;
}
