// Start-up on the null device and the frame: the load sequence ends in the
// splash, the splash leads to the name entry or the menu, the frame's step
// and cursor, and the order in which a game lets go of its members.
#include "GameRig.h"
#include "platform/System.h"

#include <cstddef>
#include <filesystem>
#include <fstream>

TEST(GameStart, TheLoadSequenceEndsInTheSplashWithEveryMemberMade)
{
    GameRig game;
    ASSERT_TRUE(game.started);
    EXPECT_TRUE(game->flow.IsIn<CSplash>());
    EXPECT_EQ(game->flow.Mode(), kModeSplash);
    EXPECT_FALSE(game->services.board->Status().challengePlay);
    EXPECT_TRUE(game->quest.nameEntryPending);
    EXPECT_TRUE(game->services.cursorReady);
    for (const bool made : {!!game->services.screens, !!game->services.board, !!game->services.backgrounds,
                            !!game->services.shop, !!game->services.starAward, !!game->services.lifeLostAward,
                            !!game->services.bestScores, !!game->services.bestTimes, !!game->services.trophies,
                            !!game->services.sounds, !!game->services.music, !!game->services.fpsText})
        EXPECT_TRUE(made);
    // The shop has its skin, its eight pictures and every tip; nothing of it
    // went to the log.
    const CShop& shop = *game->services.shop;
    for (int t = 0; t < CShop::kTextureCount; ++t)
        EXPECT_TRUE(shop.Texture(t)) << t;
    EXPECT_EQ(shop.Skin().starFlySpeed, 1600.0f); // the installed "Skin.cfg", not the default
    EXPECT_FALSE(shop.items.Description(2, 15, 4).empty());
    EXPECT_EQ(game.Log().find("Shop.txt"), std::string::npos);
    EXPECT_EQ(game.Log().find("description text"), std::string::npos);
    // Every installed file is read whole, and each of its values is taken.
    for (const char* warning : {"Warning! File", "cannot be used", "every default stands"})
        EXPECT_EQ(game.Log().find(warning), std::string::npos) << game.Log();
    // The loading picture goes with the splash's first step, not before.
    EXPECT_TRUE(game->services.device->FindTexture("Loading"));
    EXPECT_EQ(game->services.screens->FormsManager(), game->services.renderer->gui);
}

// Everything a game draws on is seeded: the shared generator, which seeds
// the board's stream as the game loads, and the GUIDs. Started on the same
// seeds, two games deal the same first board to the same quest; on another
// seed, another board.
TEST(GameStart, TheSeedsDecideTheGameDealt)
{
    struct Dealt {
        std::vector<int> colours;
        GuidBytes quest{};
    };
    const auto deal = [](uint32_t seed) {
        plat::SeedRandom(seed);
        plat::SeedGuids(seed);
        GameRig game;
        Dealt dealt;
        EXPECT_TRUE(game.NewPlayer("Anna"));
        EXPECT_TRUE(game.PlayFirstLevel());
        const CGameBoard& board = *game->services.board;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; column < 8; ++column) {
                const CountedHandle<CToken>& token = board.Cell(column, row);
                dealt.colours.push_back(token ? token->colour : -1);
            }
        dealt.quest = game->quest.questGuid;
        return dealt;
    };
    const Dealt first = deal(5), again = deal(5), other = deal(6);
    EXPECT_EQ(first.colours, again.colours);
    EXPECT_EQ(first.quest, again.quest);
    EXPECT_NE(first.colours, other.colours);
    EXPECT_NE(first.quest, other.quest);
}

// The splash runs its groups and hands over to the name entry for a first
// player, to the main menu once a player exists; a key cuts a hold short.
TEST(GameStart, TheSplashEndsInTheNameEntryOrTheMenu)
{
    struct Case {
        bool playerExists;
        bool keys;
        float within;
    };
    for (const Case c : {Case{false, false, 12.0f}, Case{true, false, 12.0f}, Case{true, true, 6.5f}}) {
        GameRig game([&](const std::string& user) {
            if (c.playerExists)
                plat::CreateDirectory(user + "Players\\Anna");
        });
        const CGameScreens& screens = *game->services.screens;
        const CountedHandle<CQoForm>& expected = c.playerExists ? screens.mainMenu.form : screens.newProfile.form;
        float t = 0.0f;
        while (game->flow.IsIn<CSplash>() && t < 30.0f) {
            if (c.keys)
                game.Key(65);
            game.Frames(1);
            t += GameRig::kFrame;
        }
        EXPECT_LE(t, c.within) << c.playerExists << c.keys;
        EXPECT_TRUE(expected->IsVisible());
        EXPECT_FALSE(game->services.device->FindTexture("Loading"));
        EXPECT_EQ(game->quest.nameEntryPending, !c.playerExists);
    }
}

// At the menu the pictures of the screens that are not up (the play
// screen's panel, board and caps, the totems, the shop, the map, the help
// pages' caps, ...) are known by their files' headers only: none of them was
// decoded to get there. Play brings its own into memory as it draws them.
TEST(GameStart, TheMenuShowsWithoutThePicturesOfScreensThatAreNotUp)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    ASSERT_TRUE(game->services.screens->mainMenu.form->IsVisible());
    const char* const play[] = {"PanelQuest", "Gauge", "Frame", "FrameBack", "SandboxFront", "Caps", "Caps_d"};
    const char* const elsewhere[] = {"RedTotem", "TotemBase", "ShopCtrls1", "ShopColor", "HelpCaps",
                                     "MemCaps1", "Map",       "MapIcons",   "MapDiff3",  "ShopFrame",
                                     "Trophies", "Intro",     "Newspaper5", "HelpPage"};
    auto resident = [&](const char* name) {
        const CountedHandle<CTexture> picture = game->services.device->FindTexture(name);
        EXPECT_TRUE(picture) << name;
        EXPECT_GT(picture ? picture->description.Width : 0u, 0u) << name;
        return picture && picture->texture;
    };
    for (const char* name : play)
        EXPECT_FALSE(resident(name)) << name;
    for (const char* name : elsewhere)
        EXPECT_FALSE(resident(name)) << name;
    EXPECT_EQ(game->services.device->FindTexture("Map")->description.Width, 1024u);

    ASSERT_TRUE(game.PlayFirstLevel());
    for (const char* name : play)
        EXPECT_TRUE(resident(name)) << name;
    EXPECT_FALSE(resident("ShopCtrls1"));
}

TEST(GameFrame, AStepIsClampedAndAZeroStepOrAPauseChangesNothing)
{
    GameRig game;
    struct Case {
        float dt;
        int draw, paused;
        float advance;
        int presents;
    };
    for (const Case c : {Case{2.0f, 1, 0, 0.5f, 1}, Case{0.1f, 1, 0, 0.1f, 1}, Case{0.0f, 1, 0, 0.0f, 1},
                         Case{0.0f, 0, 0, 0.0f, 0}, Case{0.1f, 1, 1, 0.0f, 0}}) {
        game->flow.Enter(game->flow.menus);
        const int presents = game.d3d.log.presents;
        game->Frame(c.dt, c.draw, c.paused);
        EXPECT_FLOAT_EQ(game->flow.StepTime(), c.advance) << c.dt << c.draw << c.paused;
        EXPECT_EQ(game.d3d.log.presents - presents, c.presents) << c.dt << c.draw << c.paused;
    }
}

// The 4:3 part of the client area maps to x -512 .. 512 and y 384 .. -384;
// a window without a client area keeps the last point.
TEST(GameFrame, TheCursorMapsOntoTheVirtualScreen)
{
    GameRig game;
    struct Case {
        plat::CursorPoll poll;
        float x, y;
    };
    const Case cases[] = {
        {{640, 0, 1280, 1024}, 0.0f, 384.37537f}, {{0, 512, 1280, 1024}, -480.46921f, 0.0f},
        {{320, 240, 640, 480}, 0.0f, 0.0f},       {{1024, 768, 1024, 768}, 512.0f, -384.0f},
        {{5, 5, 0, 0}, 512.0f, -384.0f},          {{0, 0, 640, 1}, 512.0f, -384.0f},
    };
    for (const Case& c : cases) {
        plat::SetCursorPollForTests(&c.poll);
        game.Frames(1);
        EXPECT_FLOAT_EQ(game->flow.cursorX, c.x) << c.poll.x << "," << c.poll.y << " of " << c.poll.width;
        EXPECT_FLOAT_EQ(game->flow.cursorY, c.y) << c.poll.x << "," << c.poll.y << " of " << c.poll.width;
    }
}

TEST(GameFrame, TheWindowButtonsShowNearTheTopOnly)
{
    GameRig game;
    for (const auto& [y, shown] : {std::pair{300.0f, false}, {370.0f, true}, {357.0f, false}, {380.0f, true}}) {
        game.PointAt(0.0f, y);
        game.Frames(1);
        EXPECT_EQ(game->services.screens->winBox.form->IsVisible(), shown) << y;
    }
}

// The game's parts go in the reverse of this order, the flow first; the
// services go in the reverse of theirs: the device last of the handles, the
// renderer just before it, the players list first.
TEST(GameStart, MembersAreDeclaredInTheirReleaseOrderReversed)
{
    GameRig game;
    CGame& g = *game;
    const CGameServices& s = g.services;
    const void* const order[] = {
        &g.services,
        &g.quest,
        &g.flow,
    };
    const void* const services[] = {
        &s.errors,          &s.device,       &s.renderer,       &s.fullScreen,       &s.hardwareLevel,
        &s.window,          &s.instance,     &s.paths,          &s.delays,           &s.questLayout,
        &s.graphicsOptions, &s.soundOptions, &s.gameOptions,    &s.fpsShown,         &s.fps,
        &s.fpsText,         &s.vertexBuffer, &s.indexBuffer,    &s.particleManagers, &s.effectTextures,
        &s.flareRenderers,  &s.font,         &s.fonts,          &s.textBatch,        &s.screens,
        &s.hiscores,        &s.music,        &s.sounds,         &s.questSave,        &s.cursorReady,
        &s.spriteRenderers, &s.capsRenderer, &s.screenTextures, &s.popups,           &s.gemsBar,
        &s.bonuses,         &s.adviser,      &s.totems,         &s.boardRandom,      &s.board,
        &s.backgrounds,     &s.balance,      &s.shop,           &s.starAward,        &s.lifeLostAward,
        &s.bestScores,      &s.bestTimes,    &s.trophies,       &s.profiles,
    };
    for (size_t i = 1; i < std::size(order); ++i)
        EXPECT_LT(order[i - 1], order[i]) << "part " << i;
    for (size_t i = 1; i < std::size(services); ++i)
        EXPECT_LT(services[i - 1], services[i]) << "service " << i;
}

// The quest's intro waits on its pages for the player, then for its own
// fade, before the level comes.
TEST(GameStart, TheIntroWaitsForThePlayerAndItsFade)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    game.ClickId(game->services.screens->mainMenu.form, Command::PlayQuest);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 5.0f));
    EXPECT_TRUE(game->services.device->FindTexture("Intro")->texture);
    game.Seconds(5.0f);
    EXPECT_TRUE(game->flow.WaitsForPlayer());
    EXPECT_TRUE(game->flow.IsAt<CStoryPages>(CStoryPages::kPages));
    game.Click(0.0f, 0.0f);
    EXPECT_EQ(game->services.screens->IntroPage(), 1);
    EXPECT_TRUE(game->flow.IsAt<CStoryPages>(CStoryPages::kPages));
    game.Key(13);
    EXPECT_TRUE(game->flow.IsAt<CStoryPages>(CStoryPages::kFadingOut));
    game.Frames(1);
    EXPECT_TRUE(game->flow.IsAt<CStoryPages>(CStoryPages::kFadingOut)); // the intro is still fading out
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CLevelIntro>(); }, 2.0f));
    EXPECT_FALSE(game->services.device->FindTexture("Intro")->texture);
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsIn<CPlay>(); }, 5.0f));
    EXPECT_EQ(game->flow.Phase(), kPhasePlay);
    EXPECT_EQ(game->quest.level, 1);
    EXPECT_EQ(game->services.questSave->state, 0);
}

namespace {

// A copy of the installation made of links to its files, in which a test
// may replace any file by one of its own.
class DamagedInstallation {
public:
    DamagedInstallation()
    {
        namespace fs = std::filesystem;
        const fs::path from = fs::current_path();
        const fs::path to = m_dir.Path();
        for (const auto& entry : fs::recursive_directory_iterator(from / "Data")) {
            const fs::path target = to / fs::relative(entry.path(), from);
            if (entry.is_directory())
                fs::create_directories(target);
            else
                fs::create_symlink(entry.path(), target);
        }
        fs::create_directory_symlink(from / "Music", to / "Music");
    }
    std::string File(const std::string& relative) const { return m_dir.File(relative); }

private:
    testing_support::ScratchDir m_dir;
};

} // namespace

// A picture or form the start-up cannot do without, damaged: the start-up
// ends with a text that names the file, in the box and in the log, whichever
// step needed it: the forms, the bonuses, the totems, and the totems' shop
// pictures, which the totems need as much as their level pictures.
TEST(GameStart, AFileTheStartUpCannotDoWithoutIsNamedWhenItFails)
{
    struct Case {
        const char* file;
        const char* damage;
        const char* text;
    };
    const Case cases[] = {
        {"Data/Forms/Memory.qof", "garbage", "Unable to create forms: Data\\Forms\\Memory.qof"},
        {"Data/Forms/Textures.lst", "folder", "Unable to create forms: Data\\Forms\\Textures.lst"},
        {"Data/Gfx/GemFlares.tga", "empty", "Unable to create bonuses: Data\\Gfx\\GemFlares.tga"},
        {"Data/Gfx/TotemBase.tga", "folder", "Unable to create totems: Data\\Gfx\\TotemBase.tga"},
        {"Data/Gfx/RedTotemShop.png", "garbage", "Unable to create totems: Data\\Gfx\\RedTotemShop.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        DamagedInstallation install;
        const std::string path = install.File(c.file);
        std::filesystem::remove(path);
        if (std::string(c.damage) == "folder")
            std::filesystem::create_directory(path);
        else
            std::ofstream(path) << (std::string(c.damage) == "garbage" ? "\x89PNG nothing of a picture {{{" : "");
        testing_support::ScopedWorkingFolder inside(install.File(""));
        GameHarness game;
        EXPECT_FALSE(game.started);
        ASSERT_FALSE(game->services.errors.empty());
        EXPECT_EQ(game->services.errors.back(), c.text);
        EXPECT_NE(game.Log().find(std::string(c.text) + "!\n"), std::string::npos) << game.Log();
    }
}

// Settings and tip files damaged in every way a careful player's copy can
// be: the game starts on their defaults, and the log names each file (and
// each key whose value it does not use).
TEST(GameStart, DamagedSettingsFilesPlayOnDefaultsAndAreNamed)
{
    namespace fs = std::filesystem;
    DamagedInstallation install;
    auto replace = [&](const char* file, const std::string& text) {
        fs::remove(install.File(file));
        std::ofstream(install.File(file)) << text;
    };
    replace("Data/Config/Gems.cfg", "");
    fs::remove(install.File("Data/Config/Bonus.cfg"));
    fs::create_directory(install.File("Data/Config/Bonus.cfg"));
    replace("Data/Config/Skin.cfg",
            "[FieldQuest]\nCellSize=nan\n[Shop]\nStarFlySpeed=999999999999999999999999999999999999999\n"
            "StarsZOrderShift=-2147483649\n");
    replace("Data/Config/Totems.cfg", "\n\n");
    // Every second line of the tips gone: no text is closed any more.
    std::ifstream tips(fs::current_path() / "Data/Txt/Shop.txt");
    std::string line, kept;
    for (int n = 1; std::getline(tips, line); ++n)
        if (n % 2 == 0)
            kept += line + "\n";
    replace("Data/Txt/Shop.txt", kept);

    testing_support::ScopedWorkingFolder inside(install.File(""));
    GameHarness game;
    ASSERT_TRUE(game.started);
    const CShop& shop = *game->services.shop;
    EXPECT_EQ(shop.Skin().starFlySpeed, 2500.0f);
    EXPECT_EQ(game->services.questLayout.cellSize, 80.0f);
    EXPECT_TRUE(shop.items.Description(2, 15, 4).empty());
    const std::string log = game.Log();
    for (const char* named : {
             "Warning! Data\\Config\\Gems.cfg holds no settings: every default stands\n",
             "Warning! File Data\\Config\\Bonus.cfg is a folder, not a file: it is not read\n",
             "Warning! Data\\Config\\Bonus.cfg cannot be read: every default stands\n",
             "Warning! Data\\Config\\Skin.cfg [FieldQuest] CellSize \"nan\" cannot be used: the default \"80\" "
             "stands\n",
             "Warning! Data\\Config\\Skin.cfg [Shop] StarFlySpeed \"",
             "Warning! Data\\Config\\Skin.cfg [Shop] StarsZOrderShift \"-2147483649\" cannot be used",
             "Warning! Data\\Config\\Totems.cfg holds no settings: every default stands\n",
             "Warning! Data\\Txt\\Shop.txt holds 0 of its 267 texts: every tip stays empty\n",
         })
        EXPECT_NE(log.find(named), std::string::npos) << named << "\n" << log;
}
