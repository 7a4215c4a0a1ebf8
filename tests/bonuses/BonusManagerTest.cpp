// The bonus manager: making bonuses, its walk over them each frame, the
// events it gathers, its idle tests and the pictures it loads.
#include "BonusTestSupport.h"

#include "TestSupport.h"
#include "bonuses/BonusAdviser.h"
#include "bonuses/BonusFlash.h"
#include "bonuses/BonusGem.h"
#include "bonuses/BonusScore.h"
#include "bonuses/BonusSolidarity.h"
#include "bonuses/BonusTNT.h"
#include "bonuses/BonusTime.h"

#include <gtest/gtest.h>

using namespace bonus_test;

namespace {

// A bonus whose updates the test scripts: it raises what it is given and
// ends when told.
class Scripted : public CBonus {
public:
    int Update(float) override
    {
        ++updates;
        for (int32_t what : raise)
            Raise(what, 0);
        raise.clear();
        return done ? 0 : 1;
    }
    int IsIdle() const override { return idle; }
    using CBonus::Raise;
    std::vector<int32_t> raise;
    int updates = 0;
    bool done = false;
    int idle = 1;
};

CountedHandle<Scripted> AddScripted(CBonusManager& manager)
{
    auto bonus = MakeCountedHandle(new Scripted());
    manager.AddBonus(bonus);
    return bonus;
}

} // namespace

TEST(BonusManager, MakesEachKindAndNothingElse)
{
    BonusRig rig;
    for (int32_t kind = kBonusTnt; kind <= kBonusSolidarity; ++kind) {
        CountedHandle<CBonus> bonus = rig.manager->CreateBonus(kind, 2, 0, 0);
        ASSERT_TRUE(bonus) << kind;
        EXPECT_EQ(bonus->kind, kind);
        EXPECT_EQ(bonus->param, 2);
        EXPECT_EQ(bonus->drawGroup, 1);
        EXPECT_EQ(rig.manager->CreateBonus(kind, 0, 1, 0)->drawGroup, 0);
    }
    EXPECT_TRUE(rig.manager->bonuses.empty());
    // Gems come only from CreateGem, and only for the eight gem values.
    for (int32_t kind : {0, 1, 8, -3})
        EXPECT_FALSE(rig.manager->CreateBonus(kind, 0, 0, 1)) << kind;
    for (int32_t value : {-1, 8, 100})
        EXPECT_FALSE(rig.manager->CreateGem(value, 1)) << value;
    CountedHandle<CBonus> gem = rig.manager->CreateGem(7, 1);
    ASSERT_TRUE(gem);
    EXPECT_EQ(static_cast<CBonusGem&>(*gem).value, 7);
    EXPECT_EQ(rig.manager->bonuses.size(), 1u);
}

// Every kind draws with its own pictures and renderers of the manager's.
TEST(BonusManager, EachKindGetsItsResources)
{
    BonusRig rig;
    CBonusManager& m = *rig.manager;
    const CountedHandle<CTexture>* t = m.textures;
    using M = CBonusManager;
    auto make = [&](int32_t kind) { return m.CreateBonus(kind, 0, 0, 0); };

    auto gemHandle = m.CreateGem(0, 0);
    const auto& gem = static_cast<CBonusGem&>(*gemHandle);
    EXPECT_EQ(gem.allGemLights, t[M::kAllGemLights]);
    EXPECT_EQ(gem.allGems, t[M::kAllGems]);
    EXPECT_EQ(gem.gemFlares, t[M::kGemFlares]);
    EXPECT_EQ(gem.starParticle, t[M::kStarParticle]);
    EXPECT_EQ(gem.spriteRenderer1, rig.sprites1);
    EXPECT_EQ(gem.flareRenderer1, rig.flares1);
    EXPECT_EQ(gem.spriteRenderer2, rig.sprites2);
    EXPECT_EQ(gem.particles2, rig.particles2);
    EXPECT_EQ(gem.flareRenderer2, rig.flares2);

    auto tntHandle = make(kBonusTnt);
    const auto& tnt = static_cast<CBonusTNT&>(*tntHandle);
    EXPECT_EQ(tnt.bonus1, t[M::kBonus1]);
    EXPECT_EQ(tnt.halo1, t[M::kHalo1]);
    EXPECT_EQ(tnt.ring, t[M::kRing]);
    EXPECT_EQ(tnt.spark, t[M::kSpark]);
    EXPECT_EQ(tnt.group1.sprites, rig.sprites1);
    EXPECT_EQ(tnt.group1.particles, rig.particles1);
    EXPECT_EQ(tnt.group0.sprites, rig.sprites3);
    EXPECT_EQ(tnt.group0.particles, rig.particles2);

    auto flashHandle = make(kBonusFlash);
    const auto& flash = static_cast<CBonusFlash&>(*flashHandle);
    EXPECT_EQ(flash.bonus2, t[M::kBonus2]);
    EXPECT_EQ(flash.halo1, t[M::kHalo1]);
    EXPECT_EQ(flash.lightning, t[M::kLightning]);
    EXPECT_EQ(flash.spark, t[M::kSpark]);
    EXPECT_EQ(flash.group1.flares, rig.flares1);
    EXPECT_EQ(flash.group0.flares, rig.flares2);

    auto timeHandle = make(kBonusTime);
    const auto& time = static_cast<CBonusTime&>(*timeHandle);
    EXPECT_EQ(time.bonus3, t[M::kBonus3]);
    EXPECT_EQ(time.twirlTexture, t[M::kTwirl]);
    EXPECT_EQ(time.secondTwirlTexture, t[M::kSecondTwirl]);
    EXPECT_EQ(time.starParticle, t[M::kStarParticle]);
    EXPECT_EQ(time.panelGlass, t[M::kPanelGlass]);

    auto adviserHandle = make(kBonusAdviser);
    const auto& adviser = static_cast<CBonusAdviser&>(*adviserHandle);
    EXPECT_EQ(adviser.bonus4, t[M::kBonus4]);
    EXPECT_EQ(adviser.gemFlares, t[M::kGemFlares]);
    EXPECT_EQ(adviser.spark, t[M::kSpark]);

    auto scoreHandle = make(kBonusScore);
    const auto& score = static_cast<CBonusScore&>(*scoreHandle);
    EXPECT_EQ(score.bonus3, t[M::kBonus3]);
    EXPECT_EQ(score.starParticle, t[M::kStarParticle]);

    auto solidarityHandle = make(kBonusSolidarity);
    EXPECT_EQ(static_cast<CBonusSolidarity&>(*solidarityHandle).bonus5, t[M::kBonus5]);
    EXPECT_EQ(static_cast<CBonusSolidarity&>(*solidarityHandle).current.sprites, rig.sprites1);
}

TEST(BonusManager, RemovesByHandle)
{
    BonusRig rig;
    auto a = AddScripted(*rig.manager), b = AddScripted(*rig.manager);
    CountedHandle<CBonus> stranger = MakeCountedHandle(new Scripted());
    EXPECT_EQ(rig.manager->RemoveBonus(stranger), -1);
    EXPECT_EQ(rig.manager->bonuses.size(), 2u);
    rig.manager->AddBonus(CountedHandle<CBonus>());
    EXPECT_EQ(rig.manager->RemoveBonus(CountedHandle<CBonus>()), 2); // the first empty entry
    EXPECT_EQ(rig.manager->RemoveBonus(a), 0);
    EXPECT_EQ(rig.manager->bonuses.front(), CountedHandle<CBonus>(b));
    EXPECT_EQ(a->factor, rig.manager->factor);
}

// The walk: hidden bonuses wait with their events, finished ones go at once
// (with what they raised last), and every event carries its own bonus.
TEST(BonusManager, WalkGathersStampedEventsAndDropsFinishedBonuses)
{
    BonusRig rig;
    auto first = AddScripted(*rig.manager), hidden = AddScripted(*rig.manager);
    auto ending1 = AddScripted(*rig.manager), ending2 = AddScripted(*rig.manager);
    auto last = AddScripted(*rig.manager);
    first->raise = {kEventTntFired, kEventDestroyCell};
    hidden->Raise(kEventFlownOff, 0); // raised before it was hidden
    hidden->visible = 0;
    ending1->done = ending2->done = true;
    ending1->raise = {kEventScoreFired};
    last->raise = {kEventBonusPlaced};

    const std::vector<GameEvent> events = rig.Step(0.1f);
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, kEventTntFired);
    EXPECT_EQ(events[1].kind, kEventDestroyCell);
    EXPECT_EQ(events[2].kind, kEventBonusPlaced);
    EXPECT_EQ(events[0].sender, CountedHandle<CEventSource>(first));
    EXPECT_EQ(events[1].sender, CountedHandle<CEventSource>(first));
    EXPECT_EQ(events[2].sender, CountedHandle<CEventSource>(last));
    EXPECT_EQ(hidden->updates, 0);
    EXPECT_EQ(last->updates, 1); // after two were removed before it
    ASSERT_EQ(rig.manager->bonuses.size(), 3u);
    EXPECT_TRUE(first->events.Empty());

    // Held events do not keep the manager busy; they come when it is shown.
    EXPECT_TRUE(rig.manager->IsIdle() == false); // this frame's events wait
    rig.Step(0.1f);
    EXPECT_TRUE(rig.manager->IsIdle());
    hidden->visible = 1;
    const std::vector<GameEvent> later = rig.Step(0.1f);
    ASSERT_EQ(later.size(), 1u);
    EXPECT_EQ(later[0].kind, kEventFlownOff);
    // Each update starts the list afresh.
    EXPECT_TRUE(rig.Step(0.1f).empty());
}

TEST(BonusManager, IdleAndPlacedTests)
{
    BonusRig rig;
    EXPECT_TRUE(rig.manager->IsIdle());
    EXPECT_TRUE(rig.manager->AllPlaced());
    auto a = AddScripted(*rig.manager);
    EXPECT_TRUE(rig.manager->IsIdle());
    EXPECT_FALSE(rig.manager->AllPlaced());
    a->Place(0, 0, 0, 38, 0, 0);
    EXPECT_TRUE(rig.manager->AllPlaced());
    a->idle = 0;
    a->visible = 0; // hidden bonuses count too
    EXPECT_FALSE(rig.manager->IsIdle());
    EXPECT_TRUE(rig.manager->AllPlaced());
    rig.manager->RemoveAll();
    EXPECT_TRUE(rig.manager->IsIdle());
    EXPECT_EQ(a.UseCount(), 1u);
}
