// The options screen's display check boxes: the pending mask each box
// gives within what the display offers, and the mask applied.
#include "GameRig.h"

#include "gui/QoButton.h"

namespace {

// The full-screen table's classes (width, depth, wide bits) that offer a
// mode, each with the mode the standard display gives the 1024 x 768
// 32-bit class.
void OfferClasses(CGame& game, std::initializer_list<int> classes)
{
    std::vector<int32_t>& modes = game.services.renderer->fullScreenModes;
    static const int32_t any = modes[3];
    for (int32_t& m : modes)
        m = -1;
    for (const int c : classes)
        modes[static_cast<size_t>(c)] = any;
}

} // namespace

TEST(DisplayOptions, EachBoxTogglesWithinWhatTheDisplayOffers)
{
    GameRig game;
    ASSERT_GE(game->services.renderer->fullScreenModes[3], 0);
    struct Case {
        std::initializer_list<int> classes;
        size_t windowSizes;
        int mask, option, result;
    };
    const Case cases[] = {
        {{0, 1, 3}, 2, 6, 0, 7},     // no wide mode: full screen without bit 8
        {{0, 1, 3, 7}, 2, 6, 0, 15}, // wide first when offered
        {{0}, 2, 6, 0, 1},           // nothing of the mask's classes: the last candidate
        {{0, 1, 3}, 1, 0, 1, 0},     // one window size: no larger window
        {{0, 1, 3}, 2, 0, 1, 2},     // two: the larger window
        {{0, 1, 3}, 2, 2, 1, 0},     //  and back
        {{0, 1, 3}, 2, 2, 2, 2},     // windowed: depth and wide stay
        {{0, 1, 3}, 2, 15, 0, 6},    // to a window: full screen and wide go
        {{0, 1, 3}, 1, 15, 0, 4},    //  and the width with one window size
        {{0, 1, 3}, 2, 7, 1, 7},     // full screen: no 640 x 480 32-bit class
        {{0, 1, 3}, 2, 3, 1, 1},     // 1024 to 640 at 16 bits
        {{0, 1, 3}, 2, 3, 2, 7},     // 16 to 32 bits at 1024
        {{0, 1, 3, 7}, 2, 7, 3, 15}, // and wide
    };
    for (const Case& c : cases) {
        OfferClasses(*game, c.classes);
        game->services.renderer->windowSizes.resize(c.windowSizes, {640, 480});
        EXPECT_EQ(game->flow.options.ToggleDisplayOption(c.mask, c.option), c.result)
            << c.mask << " option " << c.option;
    }
}

TEST(DisplayOptions, LeavingFullScreenOnASixteenBitDesktopDropsTheDepth)
{
    std::vector<d3d::NullAdapter> adapters = d3d::NullDirect3D::StandardAdapters();
    adapters[0].desktop.Format = d3d::D3DFMT_R5G6B5;
    GameRig game({}, adapters);
    game->services.renderer->windowSizes.resize(2, {640, 480});
    EXPECT_EQ(game->flow.options.ToggleDisplayOption(7, 0), 2);
}

// The mask applied switches the display; a class without a mode fails and
// says so.
TEST(DisplayOptions, AnAppliedMaskSwitchesTheDisplay)
{
    GameRig game;
    ASSERT_TRUE(game->flow.options.ApplyDisplayMode(7));
    EXPECT_EQ(game->services.fullScreen, 1);
    EXPECT_EQ(game->flow.options.GetDisplayFlags(), 7);
    ASSERT_TRUE(game->flow.options.ApplyDisplayMode(0));
    EXPECT_EQ(game->services.fullScreen, 0);
    EXPECT_EQ(game->flow.options.GetDisplayFlags() & 1, 0);
    OfferClasses(*game, {0});
    EXPECT_FALSE(game->flow.options.ApplyDisplayMode(7));
    EXPECT_EQ(game->services.fullScreen, 0);
    EXPECT_NE(game.Log().find("Unable to find Fullscreen mode"), std::string::npos);
}

// The options screen shows the display and the volumes; a box pressed
// edits the pending mask; OK applies it and writes the settings.
TEST(DisplayOptions, TheOptionsScreenAppliesWhatItsBoxesShow)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    game.ClickId(game->services.screens->mainMenu.form, Command::Options);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->options.form); }, 5.0f));
    auto box = [&](size_t i) {
        return static_cast<CQoCheckbox*>(game->services.screens->options.switches[i].Get());
    };
    EXPECT_FALSE(box(0)->IsChecked());
    EXPECT_TRUE(box(0)->IsEnabled());
    EXPECT_FALSE(box(2)->IsEnabled()); // depth only in full screen
    game.ClickId(game->services.screens->options.form, Command::FullScreenBox);
    EXPECT_EQ(game->flow.options.pendingDisplayMask & 1, 1);
    EXPECT_TRUE(box(0)->IsChecked());
    game.ClickId(game->services.screens->options.form, Command::OptionsOk);
    EXPECT_EQ(game->services.fullScreen, 1);
    const std::string options = testing_support::ReadText(game.UserFolder() + "Data/Config/Options.ini");
    EXPECT_NE(options.find("FullScreen=1"), std::string::npos);
    EXPECT_NE(options.find("[Sound]"), std::string::npos);
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(game->services.screens->mainMenu.form); }, 5.0f));
}
