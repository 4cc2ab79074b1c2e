// Replay: the demo's requests played through the Display Properties
// stand-in's sheet, opened in this program as the control panel opens it.
//
//   Replay [--screenshots DIR] [--page TITLE]   the typical refresh-rate request
//                                               through the extension page,
//                                               every step checked
//   Replay --settings [--moves-off] [--page TITLE]
//                                               the desktop area and the monitor
//                                               type changed on Settings, checked
//                                               on the extension page, whose
//                                               moves are off on a board that
//                                               takes none
//   Replay --status [--page TITLE]              prints the extension page as it
//                                               opens and checks that it shows
//                                               the rate the board runs
//
// The exit status is 1 when a check failed, 3 when the replay did not end in
// time.
#include "demo/Demo.h"
#include "host/Host.h"
#include <stdio.h>
#include <string.h>

namespace {

struct Options {
    const char* page = "Glimora";
    const char* screenshots = nullptr;
    bool settings = false;
    bool movesOff = false;
    bool status = false;
};

bool ParseOptions(int argc, char** argv, Options* options)
{
    for (int i = 1; i < argc; ++i) {
        if (strcmp(argv[i], "--settings") == 0)
            options->settings = true;
        else if (strcmp(argv[i], "--moves-off") == 0)
            options->movesOff = true;
        else if (strcmp(argv[i], "--status") == 0)
            options->status = true;
        else if (strcmp(argv[i], "--page") == 0 && i + 1 < argc)
            options->page = argv[++i];
        else if (strcmp(argv[i], "--screenshots") == 0 && i + 1 < argc)
            options->screenshots = argv[++i];
        else
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        fprintf(stderr, "usage: Replay [--screenshots DIR] [--settings [--moves-off]] [--status] [--page TITLE]\n");
        return 2;
    }
    StartStandIn();
    int status;
    if (options.settings)
        status = RunSettingsReplay(options.page, options.movesOff);
    else if (options.status)
        status = RunStatusCheck(options.page);
    else
        status = RunReplay(options.page, options.screenshots);
    EndStandIn();
    return status;
}
