// The shop screen on the installed Shop form: the buttons and the stars a
// player can still spend while stars fly and are dragged, unlocking and the
// stubs it cracks, where stars stand in the panel, the drop, "+" and "-",
// settling, the opening and closing (also at once), the tip, and what a
// level bought changes for play.
#include "ShopTestSupport.h"

#include <cmath>

namespace {

using Levels = std::array<int32_t, CShopItemTable::kItems>;

// Every item the limits of a quest level offer, at 0.
Levels Offered(int levelNumber)
{
    CShopItemTable table;
    table.SetLimits(levelNumber);
    Levels levels{};
    for (size_t i = 0; i < levels.size(); ++i)
        levels[i] = table.kinds[i] == kRuleItem || table.limits[i] >= 1 ? 0 : -1;
    return levels;
}

Levels With(Levels levels, std::initializer_list<std::pair<int, int32_t>> set)
{
    for (const auto& [item, level] : set)
        levels[static_cast<size_t>(item)] = level;
    return levels;
}

class ShopScreen : public ::testing::Test {
protected:
    CShop& Shop() { return *rig.shop; }
    const CGameScreens::ShopForm& Form() const { return rig.Form(); }
    Vec2 PanelCentre() const { return rig.Centre(Form().starsPanel); }
    int32_t Level(int item) const { return rig.shop->items.levels[static_cast<size_t>(item)]; }
    ShopRig rig;
};

TEST_F(ShopScreen, ButtonsAndTheStarsLeftFollowStarsInFlightAndInHand)
{
    // Level 23: the yellow totem (item 3) is open to 3 and stands at 2.
    rig.OpenAt(23, With(Offered(23), {{3, 2}}), 2);
    const auto& plus = Form().plusButtons[3];
    EXPECT_TRUE(plus->IsEnabled());
    EXPECT_TRUE(Form().bars[3]->IsEnabled());
    EXPECT_TRUE(Form().minusButtons[3]->IsEnabled());
    // Bought nothing: nothing to take back, nothing to sell.
    EXPECT_FALSE(Form().bars[4]->IsEnabled());
    EXPECT_FALSE(Form().minusButtons[4]->IsEnabled());
    EXPECT_EQ(Shop().CountAvailableStars(), 2);

    ASSERT_TRUE(Shop().ChangeLevel(3, 1));
    EXPECT_FALSE(plus->IsEnabled()); // 2 + the star on its way reach the limit
    EXPECT_TRUE(Form().bars[3]->IsEnabled());
    EXPECT_EQ(Shop().CountAvailableStars(), 1);
    EXPECT_FALSE(Shop().ChangeLevel(3, 1));

    // A star picked up from the panel is still to be spent; one sent back
    // too, until it lands in the panel.
    const Vec2 panel = PanelCentre();
    Shop().OnMouseDown(panel.x, panel.y);
    EXPECT_EQ(Shop().items.goldenStars, 0);
    EXPECT_EQ(rig.Count(CShopStar::kDragged), 1);
    EXPECT_EQ(Shop().CountAvailableStars(), 1);
    Shop().OnMouseUp(-2000.0f, -2000.0f);
    EXPECT_EQ(rig.Count(CShopStar::kFlyingBack), 1);
    EXPECT_EQ(Shop().CountAvailableStars(), 1);
    rig.Land();
    EXPECT_EQ(Level(3), 3);
    EXPECT_EQ(Shop().items.goldenStars, 1);
    EXPECT_EQ(Shop().CountAvailableStars(), 1);
    EXPECT_FALSE(plus->IsEnabled());

    // Level 2: only the gems item and TNT take a star; both on their way,
    // nothing more can be bought.
    rig.OpenAt(2, Offered(2), 2);
    EXPECT_TRUE(Shop().CanStillUpgrade());
    ASSERT_TRUE(Shop().ChangeLevel(8, 1));
    EXPECT_TRUE(Shop().CanStillUpgrade());
    ASSERT_TRUE(Shop().ChangeLevel(10, 1));
    EXPECT_FALSE(Shop().CanStillUpgrade());
    rig.Land();
    EXPECT_FALSE(Shop().CanStillUpgrade());
    rig.OpenAt(1, Offered(1), 3);
    EXPECT_FALSE(Shop().CanStillUpgrade());
}

TEST_F(ShopScreen, UnlockingCracksTheStubsOfTheNewSlotsOnly)
{
    // The shop of level 15 opens with the limits of level 14: the red totem
    // (item 5) and the sand glass (item 7) each open one more slot.
    rig.shop->items.SetLimits(14);
    rig.shop->items.levels = Offered(14);
    Shop().Show(1, 0.0f, 15);
    const std::vector<CountedHandle<CSprite>> before = Shop().StubSprites();
    auto firstStubOf = [&](int item) {
        const Vec2 slot1 = Shop().BarSlot(item, 1);
        for (const auto& stub : before)
            if (std::abs(stub->x - slot1.x) < 0.5f && std::abs(stub->y - slot1.y) < 0.5f)
                return stub;
        return CountedHandle<CSprite>();
    };
    const CountedHandle<CSprite> red = firstStubOf(5), sandGlass = firstStubOf(7);
    ASSERT_TRUE(red && sandGlass);
    EXPECT_EQ(Shop().Update(0.0f, -2000.0f, -2000.0f), 1);
    ASSERT_EQ(Shop().CrackingStubs().size(), 2u);
    EXPECT_EQ(Shop().CrackingStubs()[0], red);
    EXPECT_EQ(Shop().CrackingStubs()[1], sandGlass);
    std::vector<CountedHandle<CSprite>> rest = before;
    rest.erase(std::remove_if(rest.begin(), rest.end(), [&](const auto& s) { return s == red || s == sandGlass; }),
               rest.end());
    EXPECT_EQ(Shop().StubSprites(), rest);

    // Limits that rise over a stub list that holds none of their stubs take
    // none.
    rig.OpenAt(40, Offered(40), 0);
    ASSERT_TRUE(Shop().StubSprites().empty());
    rig.shop->items.SetLimits(1);
    Shop().UnlockItems(40);
    EXPECT_TRUE(Shop().CrackingStubs().empty());
}

// A locked rule item wears a lock as a bonus not yet offered does, and
// nothing of its well shows over that lock (the sand glass, its dust and
// note, the form's words); the unlocking takes the lock away and shows
// them whole.
TEST_F(ShopScreen, ALockedRuleItemWearsALockUntilItUnlocks)
{
    // The shop of level 5 opens with the limits of level 4: the level time
    // and the gem count are open, the sand glass opens.
    rig.shop->items.SetLimits(4);
    rig.shop->items.levels = Offered(4);
    Shop().Show(1, 0.0f, 5);
    const auto& locks = Form().ruleLocks;
    EXPECT_FALSE(locks[0].At(0)->IsVisible());
    EXPECT_TRUE(locks[1].At(0)->IsVisible());
    EXPECT_FALSE(locks[2].At(0)->IsVisible());
    const ControlRow& sandGlass = Form().item7;
    const auto words = std::find_if(sandGlass.begin(), sandGlass.end(), [](const CountedHandle<CQoStatic>& c) {
        return c->MainText() && c->MainText()->text == "of frenzy";
    });
    ASSERT_NE(words, sandGlass.end());
    EXPECT_FALSE((*words)->IsVisible());
    EXPECT_EQ(Shop().SandboxNote()->colour >> 24, 0u);
    ASSERT_EQ(Shop().SandboxSprites().size(), 2u);
    for (const auto& sprite : Shop().SandboxSprites())
        EXPECT_EQ(sprite->color >> 24, 0u);
    // The gem count of its level shows, and only that one.
    EXPECT_TRUE(Form().levelGroups[0].At(0)->IsVisible());
    EXPECT_FALSE(Form().levelGroups[1].At(0)->IsVisible());

    EXPECT_EQ(Shop().Update(0.0f, -2000.0f, -2000.0f), 1);
    EXPECT_TRUE((*words)->IsVisible());
    EXPECT_EQ(Shop().SandboxNote()->colour, Shop().Skin().sandboxNoteColor);
    EXPECT_EQ(Shop().SandboxSprites()[0]->color, 0xFFFFFFFFu);
    for (float t = 0.0f; t < 3.0f; t += 0.1f)
        rig.Frame(0.1f);
    EXPECT_FALSE(locks[1].At(0)->IsVisible());
}

TEST_F(ShopScreen, StarsStandInThePanelAsItsWidthAllows)
{
    const testing_support::ScratchDir dir;
    Shop().LoadSettings(dir.File("Skin.cfg"), "Shop"); // the defaults: 264 wide from -131.5
    const float left = -131.5f;
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(Shop().PanelSlot(k, 7).x, left + 24 + 36 * k) << k;
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(Shop().PanelSlot(k, 5).x, left + 24 + 48 * k) << k;
    // Where a dropped star joins the panel: after the last star, or at its
    // right end when that slot no longer fits; shifted by -2, -1.
    EXPECT_EQ(Shop().PanelStation(5).x, left + 240 - 2);
    EXPECT_EQ(Shop().PanelStation(3).x, left + 168 - 2);
    EXPECT_EQ(Shop().PanelStation(3).y, -358.5f - 1);

    // A panel narrower than one star still shows its one star at its left.
    testing_support::WriteText(dir.File("Skin.cfg"), "[Shop]\nStarsSrcPanel=381 743 30\n");
    Shop().LoadSettings(dir.File("Skin.cfg"), "Shop");
    EXPECT_EQ(Shop().PanelSlot(0, 1).x, left + 24);
    EXPECT_EQ(Shop().PanelSlot(1, 2).x, left + 24);

    rig.OpenAt(5, Offered(5), 0);
    EXPECT_TRUE(Form().noStars->IsVisible());
    rig.shop->items.goldenStars = 1;
    Shop().RebuildPanelStars();
    EXPECT_FALSE(Form().noStars->IsVisible());
    EXPECT_EQ(rig.Count(CShopStar::kInPanel), 1);
}

TEST_F(ShopScreen, ADroppedStarGoesToTheItemUnderItWhenThereIsRoomElseBackToThePanel)
{
    // Level 23: item 3 (limit 3) at 1 with one star on its way, item 4
    // (limit 2) at 1 with one on its way, item 15 not offered.
    struct Case {
        const char* where;
        Vec2 at;
        CShopStar::Kind kind;
        int target, slot;
    };
    auto centre = [&](const CountedHandle<CQoStatic>& c) { return rig.Centre(c); };
    const Case cases[] = {
        {"item 3's bar", centre(Form().bars[3]), CShopStar::kToItem, 3, 2},
        {"item 3's picture", centre(Form().firstPictures[3]), CShopStar::kToItem, 3, 2},
        {"item 4, full with its star on the way", centre(Form().bars[4]), CShopStar::kFlyingBack, -1, 0},
        {"item 15, not offered", centre(Form().plusButtons[15]), CShopStar::kFlyingBack, -1, 0},
        {"the panel", PanelCentre(), CShopStar::kFlyingBack, -1, 0},
        {"nothing", {-500.5f, 300.5f}, CShopStar::kFlyingBack, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        rig.OpenAt(23, With(Offered(23), {{3, 1}, {4, 1}, {15, -1}}), 3);
        ASSERT_TRUE(Shop().ChangeLevel(3, 1));
        ASSERT_TRUE(Shop().ChangeLevel(4, 1));
        const Vec2 panel = PanelCentre();
        Shop().OnMouseDown(panel.x, panel.y);
        Shop().Update(0.0f, c.at.x, c.at.y); // the star follows the pointer
        Shop().OnMouseUp(c.at.x, c.at.y);
        EXPECT_EQ(rig.Count(CShopStar::kDragged), 0);
        const CShopStar* dropped = nullptr;
        for (const auto& star : Shop().Stars())
            if (star->GetKind() == c.kind && std::abs(star->Start().x - (std::floor(c.at.x) - 0.5f)) < 0.01f)
                dropped = star.Get();
        ASSERT_TRUE(dropped);
        EXPECT_EQ(dropped->Start().y, std::floor(c.at.y) + 0.5f);
        if (c.kind == CShopStar::kToItem) {
            EXPECT_EQ(dropped->TargetItem(), c.target);
            EXPECT_EQ(dropped->End().x, Shop().BarSlot(c.target, c.slot).x);
            EXPECT_EQ(dropped->End().y, Shop().BarSlot(c.target, c.slot).y);
        } else {
            EXPECT_EQ(dropped->End().x, Shop().PanelStation(Shop().items.goldenStars).x);
        }
        // Nothing is counted before the landing.
        EXPECT_EQ(Level(3), 1);
        EXPECT_EQ(Shop().items.goldenStars, 0);
    }
}

TEST_F(ShopScreen, PlusAndMinusSendStarsOrRefuse)
{
    rig.OpenAt(23, With(Offered(23), {{3, 2}, {4, 1}, {5, -1}}), 1);
    // Item 3 at 2 of limit 3: one star goes, a second waits for no room.
    ASSERT_TRUE(Shop().ChangeLevel(3, 1));
    EXPECT_FALSE(Shop().ChangeLevel(3, 1));
    rig.Land();
    EXPECT_EQ(Level(3), 3);
    EXPECT_FALSE(Shop().ChangeLevel(3, 1));
    // An item not offered takes no star, whatever its limit.
    ASSERT_GE(Shop().items.limits[5], 1);
    EXPECT_FALSE(Shop().ChangeLevel(5, 1));
    EXPECT_EQ(Shop().CountAvailableStars(), 0);
    EXPECT_FALSE(Shop().ChangeLevel(99, 1));

    // "-" lowers the level at once; the star counts once it is back.
    ASSERT_TRUE(Shop().ChangeLevel(4, 0));
    EXPECT_EQ(Level(4), 0);
    EXPECT_EQ(Shop().items.goldenStars, 0);
    EXPECT_FALSE(Shop().ChangeLevel(4, 0));
    // With no star on hand, "+" turns the star on its way back around.
    Shop().Update(0.01f, -2000.0f, -2000.0f);
    const CShopStar* returning = rig.First(CShopStar::kToPanel);
    ASSERT_TRUE(returning);
    const Vec3 there = returning->Position();
    ASSERT_TRUE(Shop().ChangeLevel(4, 1));
    EXPECT_EQ(rig.Count(CShopStar::kToPanel), 0);
    const CShopStar* turned = rig.First(CShopStar::kToItem);
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->Start().x, there.x);
    EXPECT_EQ(turned->TargetItem(), 4);
    EXPECT_EQ(Shop().items.goldenStars, 0);
    rig.Land();
    EXPECT_EQ(Level(4), 1);
    EXPECT_EQ(Shop().items.goldenStars, 0);

    ASSERT_TRUE(Shop().ChangeLevel(4, 0));
    rig.Land();
    EXPECT_EQ(Shop().items.goldenStars, 1);
    EXPECT_EQ(rig.Count(CShopStar::kInPanel), 1);
}

TEST_F(ShopScreen, APressPicksUpAStarFromThePanelOrTheRightmostOfAnItem)
{
    rig.OpenAt(23, With(Offered(23), {{3, 2}}), 3);
    const Vec2 panel = PanelCentre();
    Shop().OnMouseDown(panel.x, panel.y);
    EXPECT_EQ(Shop().items.goldenStars, 2);
    EXPECT_EQ(rig.Count(CShopStar::kInPanel), 2);
    EXPECT_EQ(rig.Count(CShopStar::kDragged), 1);
    EXPECT_EQ(rig.First(CShopStar::kInPanel)->Position().x, Shop().PanelSlot(0, 2).x);
    Shop().OnMouseUp(panel.x, panel.y);
    rig.Land();

    const Vec2 picture = rig.Centre(Form().firstPictures[3]);
    Shop().OnMouseDown(picture.x, picture.y);
    EXPECT_EQ(Level(3), 1);
    ASSERT_EQ(rig.Count(CShopStar::kOnItem), 1);
    EXPECT_EQ(rig.First(CShopStar::kOnItem)->Position().x, Shop().BarSlot(3, 0).x);
    EXPECT_EQ(rig.Count(CShopStar::kDragged), 1);
    // A press on an item with nothing bought takes nothing.
    const Vec2 empty = rig.Centre(Form().firstPictures[4]);
    Shop().OnMouseUp(empty.x, empty.y); // the star goes to item 4
    rig.Land();
    EXPECT_EQ(Level(4), 1);
    Shop().OnMouseDown(rig.Centre(Form().firstPictures[9]).x, rig.Centre(Form().firstPictures[9]).y);
    EXPECT_EQ(rig.Count(CShopStar::kDragged), 0);
}

TEST_F(ShopScreen, SettlingLandsEveryMovingStarAtOnce)
{
    rig.OpenAt(15, With(Offered(15), {{5, 1}, {4, 1}}), 1);
    ASSERT_TRUE(Shop().ChangeLevel(5, 1));
    ASSERT_TRUE(Shop().ChangeLevel(4, 0));
    EXPECT_EQ(Shop().items.goldenStars, 0);
    Shop().SettleStars();
    EXPECT_EQ(Level(5), 2);
    EXPECT_EQ(Level(4), 0);
    EXPECT_EQ(Shop().items.goldenStars, 1);
    for (CShopStar::Kind kind :
         {CShopStar::kFlyingBack, CShopStar::kToPanel, CShopStar::kToItem, CShopStar::kDragged})
        EXPECT_EQ(rig.Count(kind), 0);
    // A star being dragged off an item goes back to the panel.
    const Vec2 picture = rig.Centre(Form().firstPictures[5]);
    Shop().OnMouseDown(picture.x, picture.y);
    Shop().SettleStars();
    EXPECT_EQ(Level(5), 1);
    EXPECT_EQ(Shop().items.goldenStars, 2);
    EXPECT_EQ(rig.Count(CShopStar::kInPanel), 2);
}

TEST_F(ShopScreen, OpeningCompletesOnceAndClosingTakesTheStarsOnItsLastFrame)
{
    rig.shop->items.SetLimits(1);
    rig.shop->items.levels = Offered(1);
    rig.shop->items.goldenStars = 2;
    Shop().Show(1, 2.0f, 3);
    int completions = 0;
    for (int frame = 1; frame <= 6; ++frame) {
        const int result = Shop().Update(0.125f, -2000.0f, -2000.0f);
        completions += result;
        EXPECT_EQ(result, frame == 4 ? 1 : 0) << frame; // 4 x 0.125 s = 0.5 s
    }
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(Shop().CrackingStubs().size() + Shop().StubSprites().size(), 57u); // unlocked once: 4 of 57 cracking
    EXPECT_EQ(Shop().items.limits[10], 1);

    Shop().Show(0, 2.0f, 3);
    ASSERT_TRUE(Shop().SandboxNote());
    Shop().Update(0.25f, -2000.0f, -2000.0f);
    EXPECT_EQ(Shop().Stars().size(), 2u);
    EXPECT_TRUE(Shop().SandboxNote());
    Shop().Update(0.25f, -2000.0f, -2000.0f);
    EXPECT_EQ(Shop().OpenFraction(), 0.0f);
    EXPECT_TRUE(Shop().Stars().empty());
    EXPECT_FALSE(Shop().SandboxNote());
    EXPECT_FALSE(Shop().IsShown());
}

TEST_F(ShopScreen, OpeningOrClosingAtOnceLeavesNothingHalfDone)
{
    rig.shop->items.SetLimits(1);
    rig.shop->items.levels = Offered(1);
    rig.shop->items.goldenStars = 2;
    Shop().Show(1, 0.0f, 3);
    EXPECT_EQ(Shop().OpenFraction(), 1.0f);
    for (const auto& star : Shop().Stars())
        EXPECT_EQ(star->Sprite()->opacity, 1.0f);
    for (const auto& stub : Shop().StubSprites())
        EXPECT_EQ(stub->opacity, 1.0f);
    EXPECT_EQ(Shop().Update(0.01f, -2000.0f, -2000.0f), 1);
    EXPECT_EQ(Shop().CrackingStubs().size(), 4u);
    EXPECT_EQ(Shop().Update(0.01f, -2000.0f, -2000.0f), 0);

    ASSERT_TRUE(Shop().ChangeLevel(8, 1));
    Shop().Show(0, 0.0f, 3);
    EXPECT_EQ(Shop().OpenFraction(), 0.0f);
    EXPECT_EQ(Shop().FadeDirection(), 0);
    EXPECT_EQ(Level(8), 1); // the star in flight was counted first
    EXPECT_TRUE(Shop().Stars().empty());
    EXPECT_TRUE(Shop().StubSprites().empty());
    EXPECT_TRUE(Shop().CrackingStubs().empty());
    EXPECT_TRUE(Shop().SandboxSprites().empty());
    EXPECT_FALSE(Shop().SandboxDust());
    EXPECT_FALSE(Shop().SandboxNote());
    EXPECT_TRUE(rig.bonuses->bonuses.empty()); // the previews
    EXPECT_TRUE(rig.sprites->sprites.empty());
    EXPECT_TRUE(rig.sprites->hiddenSprites.empty());
    EXPECT_EQ(Shop().Update(0.01f, -2000.0f, -2000.0f), 0);
}

TEST_F(ShopScreen, TheTipTellsWhatThePointerRestsOn)
{
    struct Case {
        const char* where;
        int levelNumber; // item 3's limit: 4 at 31, 2 at 18
        CountedHandle<CQoStatic> control;
        int textKind;
    };
    const Case cases[] = {
        {"bar", 31, Form().bars[3], 0},
        {"picture", 31, Form().secondPictures[3], 1},
        {"plus that can buy", 31, Form().plusButtons[3], 2},
        {"plus at the limit", 18, Form().plusButtons[3], 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        rig.OpenAt(c.levelNumber, With(Offered(c.levelNumber), {{3, 2}}), 0);
        const Vec2 at = rig.Centre(c.control);
        Shop().Update(0.0f, at.x, at.y);
        EXPECT_EQ(Shop().HoveredItem(), 3);
        EXPECT_EQ(Shop().HoveredEntry(), 3);
        EXPECT_EQ(Shop().HoveredTextKind(), c.textKind);
        EXPECT_EQ(Form().tip->MainText()->text.substr(0, 12),
                  Shop().items.Description(c.textKind, 3, 3).substr(0, 12));
    }
    Shop().Update(0.0f, -2000.0f, -2000.0f);
    EXPECT_EQ(Shop().HoveredItem(), -1);
    EXPECT_EQ(Form().tip->MainText()->text.substr(0, 9), "Click \"+\"");

    // While a dialog holds the form the tip stays; while the form is hidden
    // its rays stand still.
    Form().form->active = false;
    const Vec2 bar = rig.Centre(Form().bars[3]);
    Shop().Update(0.0f, bar.x, bar.y);
    EXPECT_EQ(Shop().HoveredItem(), -1);
    Form().form->active = true;
    const float angle = Shop().RaysAngle();
    Shop().Update(1.0f, -2000.0f, -2000.0f);
    EXPECT_NEAR(Shop().RaysAngle(), angle + 0.3926991f, 1e-5f);
    Form().form->SetVisible(false);
    Shop().Update(1.0f, -2000.0f, -2000.0f);
    EXPECT_NEAR(Shop().RaysAngle(), angle + 0.3926991f, 1e-5f);
}

TEST_F(ShopScreen, StubsCrackOneByOneAndRingsMarkWhatIsForSale)
{
    // Level 3 opens items 6, 8, 10 and 14 over the limits of level 1.
    rig.shop->items.SetLimits(1);
    rig.shop->items.levels = Offered(1);
    Shop().Show(1, 0.0f, 3);
    Shop().Update(0.35f, -2000.0f, -2000.0f);
    ASSERT_EQ(Shop().CrackingStubs().size(), 4u);
    EXPECT_FLOAT_EQ(Shop().StubTimer(), 0.35f);
    const CountedHandle<CSprite> first = Shop().CrackingStubs()[0];
    const size_t drawn = rig.sprites->sprites.size();
    Shop().Update(0.5f, -2000.0f, -2000.0f); // 0.85 s: two cracks of 0.4 s
    EXPECT_EQ(Shop().CrackingStubs().size(), 2u);
    EXPECT_NEAR(Shop().StubTimer(), 0.05f, 1e-5f);
    EXPECT_FALSE(rig.Rendered(first));
    EXPECT_EQ(rig.sprites->sprites.size(), drawn - 2 + 4); // each stub gives two halos
    Shop().Update(0.4f, -2000.0f, -2000.0f);
    Shop().Update(0.4f, -2000.0f, -2000.0f);
    EXPECT_TRUE(Shop().CrackingStubs().empty());
    const float rest = Shop().StubTimer();
    Shop().Update(0.3f, -2000.0f, -2000.0f);
    EXPECT_EQ(Shop().StubTimer(), rest);

    // The unlocked bonus items are offered: their previews are made.
    EXPECT_EQ(rig.Previews(kBonusTnt, 0), 1u);
    EXPECT_EQ(rig.Previews(kBonusSolidarity, 0), 1u);

    // A round of rings: one over each slot the four items can still buy.
    rig.OpenAt(3, Offered(3), 0);
    auto rings = [&] {
        size_t n = 0;
        for (const auto& s : rig.sprites->sprites)
            n += s->texture == Shop().Texture(CShop::kPointerTexture) && s->width == 24.0f ? 1 : 0;
        return n;
    };
    const size_t before = rig.sprites->sprites.size(), ringsBefore = rings();
    Shop().Update(Shop().Skin().pointersT, -2000.0f, -2000.0f);
    EXPECT_EQ(rings(), ringsBefore + 4);
    EXPECT_EQ(rig.sprites->sprites.size(), before + 4);
}

TEST_F(ShopScreen, ALevelBoughtChangesWhatTheShopShowsAndWhatPlayGets)
{
    rig.OpenAt(40, Offered(40), 0);
    // The gems item at 2 brings its group 2 in and the others out.
    Shop().SetItemLevel(8, 2, true);
    rig.Frame(0.5f);
    for (size_t g = 0; g < Form().levelGroups.size(); ++g)
        EXPECT_EQ(Form().levelGroups[g].At(0)->IsVisible(), g == 2) << g;
    EXPECT_EQ(rig.balance.item8Value, 6);
    // The clock at level 3 stands at 360 of 720 seconds.
    rig.balance.Reset(0, 1);
    Shop().SetItemLevel(6, 3, false);
    EXPECT_NEAR(Form().hands.At(0)->Sprite(0)->angle, 3.1415927f * 0.5f, 1e-5f);
    EXPECT_EQ(rig.balance.timeLimit, 360.0f);
    // The time bonus offered: its cover goes and its preview is made.
    rig.shop->items.levels[12] = -1;
    Form().bonusGroups[2].SetVisible(true);
    const size_t made = rig.Previews(kBonusTime, 0);
    Shop().SetItemLevel(12, 0, true);
    ASSERT_EQ(rig.Previews(kBonusTime, 0), made + 1);
    EXPECT_EQ(rig.bonuses->bonuses.back()->state, kBonusFlyingIn);
    EXPECT_EQ(rig.balance.bonusSlots[2], 0);
    rig.Frame(2.5f);
    EXPECT_FALSE(Form().bonusGroups[2].At(0)->IsVisible());
    // A totem bought is owned; one offered only is not.
    Shop().SetItemLevel(5, 1, false);
    Shop().SetItemLevel(9, 0, false);
    EXPECT_EQ(rig.totems.levels[2], 1);
    EXPECT_EQ(rig.totems.levels[0], 0);
    // The shop shows the bought totem itself; the one offered only has none.
    EXPECT_TRUE(rig.totems.shopTotems[2]);
    EXPECT_FALSE(rig.totems.shopTotems[0]);
}

} // namespace
