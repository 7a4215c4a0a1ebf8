// The shop as the quest reaches it: the Golden Stars each won level and full
// meter bring, its lesson, what it draws beside a message box, and a new
// quest's items after a long one.
#include "GameRig.h"

#include <algorithm>

namespace {

struct InPlay : GameRig {
    InPlay()
    {
        EXPECT_TRUE(NewPlayer("Anna"));
        EXPECT_TRUE(PlayFirstLevel());
    }
    CShop& Shop() { return *game->services.shop; }
    // The level in play is won and the way on is taken to the shop, open.
    bool WinToTheShop()
    {
        game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
        if (!RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f))
            return false;
        ClickId(Screens().statistics.form, Command::ResultsContinue);
        for (float t = 0.0f; t < 30.0f && !game->flow.IsIn<CShopVisit>(); t += kFrame) {
            if (game->flow.IsIn<CBetweenLevels>() && game->flow.WaitsForPlayer())
                Key(32);
            Frames(1);
        }
        return RunUntil([&] { return Shown(Screens().shop.form) && Shop().OpenFraction() >= 1.0f; }, 10.0f);
    }
    // "Done", yes to spending no more, the map's Play: the next level in play.
    bool DoneToTheNextLevel()
    {
        ClickId(Screens().shop.form, Command::ShopDone);
        if (Screens().AskedQuestion() == Question::StarsLeft) {
            if (!RunUntil([&] { return Shown(Screens().msgBox.form); }, 5.0f))
                return false;
            ClickId(Screens().msgBox.form, Command::MessageYes);
        }
        if (!RunUntil([&] { return game->flow.IsAt<CMapMarch>(CMapMarch::kOnTheMap); }, 10.0f))
            return false;
        ClickId(Screens().map.form, Command::MapPlay);
        return RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 15.0f);
    }
    int PanelStars()
    {
        const auto& stars = Shop().Stars();
        return static_cast<int>(std::count_if(stars.begin(), stars.end(), [](const CountedHandle<CShopStar>& s) {
            return s->GetKind() == CShopStar::kInPanel;
        }));
    }
};

} // namespace

// Every won level and every full frenzy meter brings a Golden Star, and the
// shop shows what the player has: the stars in the panel, no "No Golden
// Stars".
TEST(ShopVisit, EveryWonLevelAndFullMeterBringsAStarThePanelShows)
{
    InPlay game;
    BoardEvent full;
    full.kind = BoardEventKind::FrenzyMeterFull;
    game->services.board->Events().Push(full);
    game.Frames(1);
    ASSERT_TRUE(game.WinToTheShop());
    EXPECT_EQ(game.Shop().items.goldenStars, 2);
    EXPECT_EQ(game.PanelStars(), 2);
    EXPECT_FALSE(game.Screens().shop.noStars->IsVisible());

    ASSERT_TRUE(game.DoneToTheNextLevel());
    EXPECT_EQ(game->quest.level, 2);
    ASSERT_TRUE(game.WinToTheShop());
    EXPECT_EQ(game.Shop().items.goldenStars, 3);
    EXPECT_EQ(game.PanelStars(), 3);
    EXPECT_FALSE(game.Screens().shop.noStars->IsVisible());
}

// The shop's lesson comes the first time; a click closes it and does
// nothing else (the "+" under it buys nothing); the next time Return closes
// it. Nothing the shop draws stands in front of the lesson or of a message
// box: they are nearer than every shop sprite.
TEST(ShopVisit, TheLessonClosesOnAClickOrReturnAndNothingOfTheShopCoversIt)
{
    InPlay game;
    CProfile& player = *game->quest.CurrentProfile();
    player.questTutorial = 1;
    player.tutShop = 0;
    ASSERT_TRUE(game.WinToTheShop());
    CGameScreens& screens = game.Screens();
    ASSERT_TRUE(game.RunUntil([&] { return GameRig::Shown(screens.tutorial.form); }, 5.0f));
    EXPECT_TRUE(screens.tutorial.shopText->IsVisible());
    EXPECT_EQ(player.tutShop, 1);

    // The shop's sprites stand within a few units of its resting stars (the
    // flights, rings, halos and crack pieces a little nearer).
    const CShop& shop = game.Shop();
    float nearest = shop.RestDepth() - 5.0f;
    for (const CountedHandle<CSprite>& sprite : game->services.spriteRenderers[3]->sprites)
        nearest = std::min(nearest, sprite->z);
    for (size_t i = 0; i < screens.tutorial.rows[5].Size(); ++i)
        EXPECT_LT(screens.tutorial.rows[5].At(i)->Position().z, nearest);
    EXPECT_LT(screens.msgBox.form->Position().z, nearest);

    game.ClickId(screens.shop.form, NthOf(Command::ItemPlusFirst, CShopItemTable::kGemsItem));
    EXPECT_EQ(shop.items.goldenStars, 1);
    EXPECT_EQ(shop.items.levels[CShopItemTable::kGemsItem], 0);
    ASSERT_TRUE(game.RunUntil([&] { return !screens.tutorial.form->IsVisible(); }, 2.0f));
    game.ClickId(screens.shop.form, NthOf(Command::ItemPlusFirst, CShopItemTable::kGemsItem));
    EXPECT_EQ(shop.items.goldenStars, 0); // now the "+" buys

    game->flow.lessons.ShowStep(Lesson::Shop, 0);
    game.Frames(30);
    game.Key(plat::VK_RETURN);
    EXPECT_FALSE(game->flow.lessons.ShopLessonShown());
    EXPECT_TRUE(game->flow.IsIn<CShopVisit>());
    ASSERT_TRUE(game.RunUntil([&] { return !screens.tutorial.form->IsVisible(); }, 2.0f));
}

// A new quest after a long one: the shop offers and owns what level 1 does,
// and the shop after level 1 unlocks what level 2 brings.
TEST(ShopVisit, ANewQuestStartsTheShopOver)
{
    GameRig game;
    ASSERT_TRUE(game.NewPlayer("Anna"));
    CShop& shop = *game->services.shop;
    shop.items.SetLimits(30);
    shop.items.levels.fill(2);
    shop.items.goldenStars = 9;
    shop.ApplyTotemLevels();
    ASSERT_TRUE(game.PlayFirstLevel());
    using Levels = std::array<int32_t, CShopItemTable::kItems>;
    EXPECT_EQ(shop.items.levels, (Levels{-1, -1, -1, -1, -1, -1, 0, 0, 0, -1, -1, -1, -1, -1, -1, -1}));
    EXPECT_EQ(shop.items.goldenStars, 0);
    EXPECT_EQ(shop.items.limits[CShopItemTable::kGemsItem], 0);
    EXPECT_EQ(shop.items.limits[CShopItemTable::kFirstBonusItem], -1);
    EXPECT_EQ(game->services.totems->CountOwnedColours(), 0);
    EXPECT_FLOAT_EQ(game->services.balance.timeLimit, 240.0f);

    game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
    ASSERT_TRUE(game.RunUntil([&] { return game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown); }, 20.0f));
    game.ClickId(game.Screens().statistics.form, Command::ResultsContinue);
    for (float t = 0.0f; t < 30.0f && !game->flow.IsIn<CShopVisit>(); t += GameHarness::kFrame) {
        if (game->flow.WaitsForPlayer())
            game.Key(32);
        game.Frames(1);
    }
    ASSERT_TRUE(game.RunUntil([&] { return shop.OpenFraction() >= 1.0f; }, 5.0f));
    EXPECT_EQ(shop.items.levels[CShopItemTable::kFirstBonusItem], 0); // TNT is offered
    EXPECT_EQ(shop.items.limits[CShopItemTable::kGemsItem], 1);
}

// What hides the stage's scene, as the frame is told: in play the HUD's
// panel and the board; nothing of the board while it fades out; the shop's
// backdrop over the whole screen once the shop is open, and nothing while it
// fades in.
TEST(ShopVisit, TheSceneIsCutOnlyBehindWhatHidesItWhole)
{
    InPlay game;
    const SceneCover& cover = game->services.renderer->sceneCover;
    ASSERT_EQ(cover.opaque.size(), 1u);
    EXPECT_EQ(cover.opaque[0].left, -512.5f);
    ASSERT_EQ(cover.translucent.size(), 1u);

    game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
    ASSERT_TRUE(game.RunUntil([&] { return game->services.board->Mesh().Opacity() < 1.0f; }, 20.0f));
    game.Frames(1);
    EXPECT_TRUE(cover.translucent.empty());

    ASSERT_TRUE(game.WinToTheShop());
    game.Frames(1);
    ASSERT_FALSE(cover.opaque.empty());
    const SceneCover::Rect& backdrop = cover.opaque.back();
    EXPECT_LE(backdrop.left, -512.0f);
    EXPECT_GE(backdrop.right, 511.0f);
    EXPECT_GE(backdrop.top, 384.0f);
    EXPECT_LE(backdrop.bottom, -383.0f);

    game.Screens().HideForm(game.Screens().shop.form, 2.0f);
    game.Frames(1);
    for (const SceneCover::Rect& r : cover.opaque)
        EXPECT_LT(r.right, 511.0f); // not the fading shop
}
