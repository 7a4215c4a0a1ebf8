// Every form of the game drawn through the frame renderer on GL, one at a
// time, shown and filled as the game fills it: it draws inside its own
// rectangle and nowhere else; and the menu's dialogs over the main menu's
// scene, which neither draws over them nor shows through them; and the
// totems, which stand over the HUD beside the board, under the dialogs that
// come over a level. With GALVORINE_DRAWING_PNG set, each frame is also
// written beside that name with the form's name added.
#include "ScreensTestSupport.h"

#include "backgrounds/BackgroundManager.h"
#include "engine/DrawingFixture.h"
#include "totems/TotemsManager.h"

#include <array>
#include <cmath>
#include <functional>

namespace {

using drawing_test::Drawing;
using drawing_test::Frame;
using drawing_test::Near;

constexpr uint32_t kClear = 0x00FF00FF; // a colour no picture of the game uses

class ScreenDrawing : public Drawing {
protected:
    void SetUp() override
    {
        Drawing::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        LoadStrings("Data\\Txt\\Strings.txt");
        layout.Load("Data\\Config\\Skin.cfg");
        texts = MakeCountedHandle(new CTextBatch(device, renderer->vertexBuffer, renderer->indexBuffer));
        loading = device->LoadTexture("Data\\Gfx\\Loading.jpg", "Loading", 0, 0, d3d::D3DPOOL_MANAGED,
                                      d3d::D3DFMT_UNKNOWN);
        fonts = LoadGameFonts(*device);
        screens = MakeCountedHandle(
            new CGameScreens(nullptr, device, renderer->vertexBuffer, renderer->indexBuffer, texts, fonts));
        ASSERT_TRUE(screens->LoadForms(paths, layout, SplitLevelNumber)) << log.Text();
        hiscores.Load(log.Dir().File("Game0.tbl"));
        screens->SetHiscoreTables({&hiscores});
        renderer->textBatch = texts;
        renderer->gui = screens->FormsManager();
        renderer->clearColor = kClear;
    }
    void TearDown() override
    {
        screens.Reset();
        texts.Reset();
        fonts.clear();
        loading.Reset();
        ClearStrings();
        Drawing::TearDown();
    }

    // Brings a picture released at load back for the frame.
    void Recreate(const char* name)
    {
        CountedHandle<CTexture> texture = device->FindTexture(name);
        ASSERT_TRUE(texture) << name;
        if (!texture->texture) {
            ASSERT_FALSE(d3d::Failed(texture->Recreate(device->Device()))) << name;
        }
    }

    Frame Draw(const std::string& name)
    {
        EXPECT_FALSE(d3d::Failed(renderer->RenderFrame()));
        Frame frame;
        EXPECT_TRUE(d3d::ReadBackPixels(device->Device(), &frame.width, &frame.height, &frame.pixels));
        if (const char* path = std::getenv("GALVORINE_DRAWING_PNG")) {
            std::string file = path;
            const size_t dot = file.rfind(".png");
            file.insert(dot == std::string::npos ? file.size() : dot, "-" + name);
            d3d::WritePngFile(file, static_cast<uint32_t>(frame.width), static_cast<uint32_t>(frame.height),
                              frame.pixels);
        }
        return frame;
    }

    LogCapture log;
    CDataPaths paths;
    CQuestLayout layout;
    CHiscoreTable hiscores;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CTexture> loading;
    std::vector<CountedHandle<CBitmapFont>> fonts;
    CountedHandle<CGameScreens> screens;
};

// The rectangle, in frame pixels, that a form and its visible controls cover.
struct Box {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -(1 << 20), y1 = -(1 << 20);
    void Add(const CQoWindow& w)
    {
        const Vec3& p = w.Position();
        const GuiSize& s = w.Size();
        x0 = std::min(x0, static_cast<int>(std::floor(512 + p.x - s.w / 2)) - 3);
        x1 = std::max(x1, static_cast<int>(std::ceil(512 + p.x + s.w / 2)) + 3);
        y0 = std::min(y0, static_cast<int>(std::floor(384 - p.y - s.h / 2)) - 3);
        y1 = std::max(y1, static_cast<int>(std::ceil(384 - p.y + s.h / 2)) + 3);
    }
    bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

TEST_F(ScreenDrawing, EveryFormDrawsInsideItsRectangleOnly)
{
    CGameScreens& s = *screens;
    struct Case {
        const char* name;
        CountedHandle<CQoForm> form;
        std::function<void()> fill;
    };
    const Case cases[] = {
        {"MainMenu", s.mainMenu.form, [&] { s.ShowPlayerName(); }},
        {"Quest", s.quest.form,
         [&] {
             s.SetHudValues(125400, 2, 0.62f);
             s.ShowFirstItems(2);
             s.SetQuestGroupVisible(false, true);
             s.SetQuestOverlayVisible(true);
         }},
        {"Statistics", s.statistics.form, [] {}},
        {"Background", s.background.form, [] {}},
        {"Shop", s.shop.form,
         [&] {
             Recreate("ShopFrame");
             s.SetClockWipe(240.0f / 720.0f);
         }},
        {"Map", s.map.form,
         [&] {
             s.RecreateMapTextures(2);
             s.FillMapScreen(8, 0);
         }},
        {"NewLevel", s.newLevel.form, [&] { s.SetNewLevelCaption(12); }},
        {"GameMenu", s.gameMenu.form, [] {}},
        {"Memory", s.memory.form, [&] { s.SetMemoryCaptions(2, 1, 3); }},
        {"Arcade", s.arcade.form, [&] { s.SetAccuracyCaption(1); }},
        {"Thimbles", s.thimbles.form, [&] { s.SetAttentionCaptions(4, 3, 10); }},
        {"Blinker", s.blinker.form, [&] { s.SetReactionCaption(3); }},
        {"Splash", s.splash.form,
         [&] {
             for (size_t g = 1; g < s.splash.groups.size(); ++g)
                 s.splash.groups[g].SetVisible(false);
         }},
        {"Profiles", s.profiles.form, [&] { s.RefreshProfileRows(); }},
        {"NewProfile", s.newProfile.form, [&] { s.SetNameEntry(kDefaultPlayerName, 1); }},
        {"MsgBox", s.msgBox.form,
         [&] { s.SetMessageBox(GetString(34), "", CGameScreens::kGroupYesNo, Question::ReplaceSavedQuest); }},
        {"StartQuest", s.startQuest.form, [&] { s.SetStartQuestCaption(14, false); }},
        {"Tutorial", s.tutorial.form,
         [&] {
             s.HideTutorialRows();
             for (int row : {1, 4, 6})
                 s.ShowTutorialRow(row);
             s.tutorial.panelText->SetText("Swap the two tokens under the ring to line up three rubies.");
             s.PlaceTutorialPanel(-40, 120);
             s.PlaceTutorialItem(100, 40);
             s.PlaceTutorialPointer(140, 40);
         }},
        {"Win", s.win.form, [&] { s.SwitchNewspaper(); }},
        {"Options", s.options.form, [&] { s.SetOptionsScrollers(0.8f, 0.35f); }},
        {"HighScores", s.highScores.form, [&] { s.FillHighScores(0); }},
        {"Newspaper", s.newspaper.form, [&] { s.ShowNewspaper(1); }},
        {"Intro", s.intro.form,
         [&] {
             s.SetIntroTextureLoaded(true);
             s.ShowIntroPage(0);
         }},
        {"Trophies", s.trophies.form,
         [&] {
             Recreate("Trophies");
             // Kinds 0 to 4 earned at their first level, the others locked.
             s.trophies.description.SetVisible(false);
             for (size_t k = 0; k < 9; ++k) {
                 for (size_t l = 0; l < s.trophies.levels[k].Size(); ++l)
                     s.trophies.levels[k].At(l)->SetVisible(k < 5 && l == 0);
                 s.trophies.locked[k].SetVisible(k >= 5);
             }
         }},
        {"Help", s.help.form, [&] { s.ShowHelpPage(1); }},
        {"WinBox", s.winBox.form, [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& form : s.FormsManager()->Forms())
            form->SetVisible(false);
        c.fill();
        c.form->SetVisible(true);
        const Frame frame = Draw(c.name);
        ASSERT_EQ(frame.width, 1024);
        Box box;
        box.Add(*c.form);
        for (size_t i = 0; i < c.form->ChildCount(); ++i)
            if (c.form->Child(i)->IsVisible())
                box.Add(*c.form->Child(i));
        int inside = 0, drawn = 0, strays = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) {
                const bool clear = Near(frame.At(x, y), kClear, 3);
                if (box.Contains(x, y)) {
                    ++inside;
                    drawn += clear ? 0 : 1;
                } else if (!clear) {
                    ++strays;
                }
            }
        EXPECT_GT(drawn, inside / 20) << "the form draws almost nothing";
        EXPECT_EQ(strays, 0) << "the form draws outside its rectangle";
    }
}

// The menu's forms over the main menu's scene, as the menu shows them (the
// delete question over the players): inside its gold rim a form looks the
// same over the scene and over nothing, so no leaf, foliage or shape of the
// scene comes over it or shows through its glass.
TEST_F(ScreenDrawing, TheMenuSceneNeitherCoversNorShowsThroughTheForms)
{
    auto sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
    auto scenes = MakeCountedHandle(new CBackgroundManager());
    scenes->SetDevice(device, renderer->vertexBuffer, renderer->indexBuffer);
    BackgroundResources shared;
    shared.sprites = sprites;
    scenes->SetResources(shared);
    scenes->LoadSettings("Data\\Config\\Background.cfg");
    scenes->Init("Data\\Gfx\\");
    scenes->OpenRenderGate();
    scenes->SetScene(CBackgroundManager::kMainMenu);
    // Leaves in the air and the foliage swaying.
    for (int i = 0; i < 90; ++i)
        scenes->Update(1.0f / 30.0f);

    CGameScreens& s = *screens;
    s.SetOptionsScrollers(0.8f, 0.35f);
    s.RefreshProfileRows();
    s.SetNameEntry("Spieler", 1);
    s.FillHighScores(0);
    s.ShowHelpPage(1);
    s.SetMessageBox(GetString(34), "", CGameScreens::kGroupYesNo, Question::ReplaceSavedQuest);
    struct Case {
        const char* name;
        CountedHandle<CQoForm> form;
        CountedHandle<CQoForm> under; // shown behind it
    } const cases[] = {
        {"MainMenu", s.mainMenu.form, {}},          {"Options", s.options.form, {}},
        {"Profiles", s.profiles.form, {}},          {"NewProfile", s.newProfile.form, {}},
        {"HighScores", s.highScores.form, {}},      {"Help", s.help.form, {}},
        {"MsgBox", s.msgBox.form, s.profiles.form},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto show = [&](bool behind) {
            for (const auto& form : s.FormsManager()->Forms())
                form->SetVisible(false);
            c.form->SetVisible(true);
            if (behind && c.under)
                c.under->SetVisible(true);
            renderer->background =
                behind ? CountedHandle<IBackgroundLayer>(scenes) : CountedHandle<IBackgroundLayer>();
            return Draw(std::string(c.name) + (behind ? "-over-scene" : "-alone"));
        };
        const Frame over = show(true), alone = show(false);
        renderer->background.Reset();
        // The glass inside the rim; its outer glow may blend.
        Box box;
        box.Add(*c.form);
        const int inset = 14;
        int differing = 0;
        for (int y = box.y0 + inset; y < box.y1 - inset; ++y)
            for (int x = box.x0 + inset; x < box.x1 - inset; ++x)
                differing += Near(over.At(x, y), alone.At(x, y), 3) ? 0 : 1;
        EXPECT_EQ(differing, 0) << "pixels of the form that the scene or the form behind changes";
    }
    scenes.Reset();
    sprites.Reset();
}

// What stands over the HUD in play (the totems' panel with its glow and the
// outlines of the totems not owned, and the owned totems in their niches)
// stays under every dialog that comes over a level: inside its rim a dialog
// looks the same with the totems as without them. Over the HUD alone the
// totems do show.
TEST_F(ScreenDrawing, TheTotemsStayUnderTheDialogsOverALevel)
{
    auto sprites = MakeCountedHandle(new CSpriteRenderer(device, renderer->vertexBuffer, renderer->indexBuffer));
    CTotemsManager totems;
    totems.SetRenderers(device, sprites, {}, {}, nullptr);
    totems.LoadConfig("Data\\Config\\Totems.cfg");
    ASSERT_TRUE(totems.LoadTextures("Data\\Gfx\\"));
    std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
    shared[CTotemsManager::kHalo1] =
        device->LoadTexture("Data\\Gfx\\Halo1.tga", "Halo1", 0, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_UNKNOWN);
    totems.SetTextures(shared);
    totems.levels = {1, 0, 1, 0, 0, 0, 0};
    totems.Reset();
    totems.BuildPanel(true);
    for (int i = 0; i < 60; ++i) {
        totems.Update(1.0f / 60);
        sprites->Update(1.0f / 60, 0);
    }

    CGameScreens& s = *screens;
    s.SetHudValues(125400, 2, 0.62f);
    s.SetOptionsScrollers(0.8f, 0.35f);
    s.SetMessageBox(GetString(34), "", CGameScreens::kGroupYesNo, Question::ReplaceSavedQuest);
    Recreate("Trophies");
    const CountedHandle<CQoForm> hud = s.quest.form;
    auto draw = [&](const CountedHandle<CQoForm>& dialog, bool withTotems, const std::string& name) {
        for (const auto& form : s.FormsManager()->Forms())
            form->SetVisible(false);
        hud->SetVisible(true);
        if (dialog)
            dialog->SetVisible(true);
        renderer->spriteLayers[2] = withTotems ? sprites : CountedHandle<CSpriteRenderer>();
        return Draw(name + (withTotems ? "-with-totems" : "-without"));
    };
    // The alcove of the HUD, where the totems stand.
    Box alcove;
    alcove.x0 = 16;
    alcove.x1 = 336;
    alcove.y0 = 448;
    alcove.y1 = 676;
    {
        const Frame with = draw({}, true, "Quest"), without = draw({}, false, "Quest");
        int differing = 0;
        for (int y = alcove.y0; y < alcove.y1; ++y)
            for (int x = alcove.x0; x < alcove.x1; ++x)
                differing += Near(with.At(x, y), without.At(x, y), 3) ? 0 : 1;
        EXPECT_GT(differing, 2000) << "the totems do not show over the HUD";
    }
    const std::pair<const char*, CountedHandle<CQoForm>> dialogs[] = {
        {"Trophies", s.trophies.form}, {"Options", s.options.form}, {"MsgBox", s.msgBox.form}};
    for (const auto& [name, dialog] : dialogs) {
        SCOPED_TRACE(name);
        const Frame with = draw(dialog, true, name), without = draw(dialog, false, name);
        Box box;
        box.Add(*dialog);
        const int inset = 14;
        int over = 0, overlap = 0;
        for (int y = box.y0 + inset; y < box.y1 - inset; ++y)
            for (int x = box.x0 + inset; x < box.x1 - inset; ++x) {
                over += Near(with.At(x, y), without.At(x, y), 3) ? 0 : 1;
                overlap += alcove.Contains(x, y) ? 1 : 0;
            }
        EXPECT_GT(overlap, 0) << "the dialog does not come over the alcove";
        EXPECT_EQ(over, 0) << "pixels of the dialog that the totems change";
    }
    renderer->spriteLayers[2].Reset();
}

// The adviser's seconds counter shows inside the HUD's frame and covers no
// button of the HUD: what it draws, against the HUD without it, lies inside
// the frame's inner rim and off the Hint, Menu and Shuffle buttons.
TEST_F(ScreenDrawing, TheHintCounterShowsInsideTheHudsFrameOffItsButtons)
{
    CGameScreens& s = *screens;
    for (const auto& form : s.FormsManager()->Forms())
        form->SetVisible(false);
    s.SetHudValues(125400, 2, 0.62f);
    s.quest.form->SetVisible(true);
    s.quest.hintCounter->SetVisible(false);
    const Frame without = Draw("Quest-without-counter");
    s.quest.hintCounter->SetText("24");
    s.quest.hintCounter->SetVisible(true);
    const Frame with = Draw("Quest-with-counter");
    // The frame's inner rim, in the HUD's pixels.
    Box rim;
    rim.x0 = 12;
    rim.x1 = 340;
    rim.y0 = 12;
    rim.y1 = 756;
    std::vector<Box> buttons;
    for (const Command command : {Command::Hint, Command::QuestMenu}) {
        Box b;
        b.Add(*s.quest.form->FindChild(IdOf(command)));
        buttons.push_back(b);
    }
    for (const auto& control : s.quest.shuffleGroup) {
        Box b;
        b.Add(*control);
        buttons.push_back(b);
    }
    int drawn = 0, outside = 0, onButtons = 0;
    for (int y = 0; y < with.height; ++y)
        for (int x = 0; x < with.width; ++x) {
            if (Near(with.At(x, y), without.At(x, y), 3))
                continue;
            ++drawn;
            outside += rim.Contains(x, y) ? 0 : 1;
            onButtons +=
                std::any_of(buttons.begin(), buttons.end(), [&](const Box& b) { return b.Contains(x, y); });
        }
    EXPECT_GT(drawn, 200) << "the counter does not show";
    EXPECT_EQ(outside, 0) << "pixels of the counter outside the HUD's frame";
    EXPECT_EQ(onButtons, 0) << "pixels of the counter over the HUD's buttons";
}

} // namespace
