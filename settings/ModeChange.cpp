#include "settings/Settings.h"
#include "board/Board.h"
#include "runtime/Text.h"

// Switches the screen to PendingRefreshText at the current size and colour
// depth. The outcome is not looked at: the confirmation dialogue is the
// user's protection against a rate the monitor can't take.
void ApplyRefreshRate()
{
    int width = 0;
    int height = 0;
    BoardScreenSize(&width, &height);
    BoardRequestMode(width, height, TextToInt(PendingRefreshText));
}
