// The display-mode change, as the virtual board receives it.
#include "tests/settings/SettingsTest.h"

namespace {

class ModeChangeTest : public SettingsTest {};

TEST_F(ModeChangeTest, RequestsTheCurrentSizeAtThePendingRate)
{
    const std::pair<const char*, int> cases[] = {
        {"75", 75}, {"72Hz", 72}, {" 85", 85}, {"", 0}, {"Hz", 0},
    };
    for (const auto& c : cases) {
        VirtualBoardReset(800, 600, 16);
        strcpy(PendingRefreshText, c.first);
        ApplyRefreshRate();
        VirtualBoardState board = Board();
        EXPECT_EQ(1, board.modeRequests) << "\"" << c.first << "\"";
        EXPECT_EQ(800, board.lastWidth);
        EXPECT_EQ(600, board.lastHeight);
        EXPECT_EQ(16, board.lastBitsPerPixel);   // the depth is kept
        EXPECT_EQ(c.second, board.lastRefresh) << "\"" << c.first << "\"";
    }
}

TEST_F(ModeChangeTest, RepeatedRequestIsMadeAgain)
{
    strcpy(PendingRefreshText, "72");
    ApplyRefreshRate();
    ApplyRefreshRate();
    EXPECT_EQ(2, ModeRequests());
    EXPECT_EQ(72, Board().refresh);
}

} // namespace
