// Each colour's power with the shipped "Totems.cfg", fired through the
// manager on a stub board that answers the records as the game's board
// does: what the board is asked and told, frame by frame, and when the
// power ends and whether the totem stays in front.
#include "StubBoard.h"
#include "TotemsRig.h"

#include "effects/EffectsTestSupport.h"
#include "platform/System.h"
#include "tokens/BoardGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace totems_rig;
using effects_test::ScriptDraw;

namespace {

constexpr float kFrame = 1.0f / 60;

struct Powers {
    explicit Powers(bool draw = true) : rig(draw)
    {
        rig.board = &board;
        plat::SeedRandom(11);
        BoardGrid() = CBoardGrid();
        // Every bonus owned at level 2.
        rig.balance.bonusSlots.assign(6, 2);
    }
    ~Powers() { BoardGrid() = CBoardGrid(); }

    // The colour's large totem arrived in front, owned at `level`.
    CountedHandle<CTotem> InFront(int colour, int level)
    {
        rig.totems.levels[static_cast<size_t>(colour)] = level;
        rig.totems.Reset();
        rig.totems.QueueTotem(colour);
        rig.Run(0.6f);
        rig.TakeFrames();
        return rig.totems.Placed(colour);
    }
    // One match more: the power at the next strength, run until it ends
    // (at most `limit` seconds); the seconds it ran, counted from the frame
    // that started it.
    float Fire(const CountedHandle<CTotem>& totem, float limit = 10.0f)
    {
        rig.totems.QueueTotem(totem->kind);
        float t = 0.0f;
        do {
            rig.Run(kFrame);
            t += kFrame;
        } while ((totem->state == kTotemPower || totem->state == kTotemPowerFull) && t < limit);
        return t;
    }
    // The records of one type made since the last call, over all frames.
    std::vector<TotemAction> Records(int type)
    {
        std::vector<TotemAction> found;
        for (const auto& frame : rig.frames)
            for (const TotemAction& a : frame)
                if (a.type == type)
                    found.push_back(a);
        return found;
    }

    Rig rig;
    StubBoard board;
};

std::vector<std::pair<int, int>> CellsOf(const std::vector<TotemAction>& records)
{
    std::vector<std::pair<int, int>> cells;
    for (const TotemAction& a : records)
        cells.emplace_back(a.column, a.row);
    return cells;
}

} // namespace

// ---- Blue ----

// A bolt on a steel token strikes its cell; from level 3 also the neighbours
// that lie on the board, so a corner makes three records.
TEST(BluePower, AHitStrikesTheNeighboursOnTheBoardFromLevelThree)
{
    for (int level : {2, 3}) {
        Powers p;
        p.board.At(0, 0).colour = kSteel;
        p.board.At(7, 3).colour = kSteel;
        auto blue = p.InFront(kBlueTotem, level);
        p.Fire(blue);
        std::vector<TotemAction> hits;
        int requests = 0;
        for (const TotemAction& a : p.Records(kBlueTotem))
            (a.value == 0 ? hits.push_back(a) : void(++requests));
        EXPECT_EQ(requests, 1);
        using Cells = std::vector<std::pair<int, int>>;
        if (level == 2) {
            EXPECT_EQ(CellsOf(hits), (Cells{{0, 0}, {7, 3}}));
        } else {
            EXPECT_EQ(CellsOf(hits), (Cells{{0, 0}, {1, 0}, {0, 1}, {7, 3}, {6, 3}, {7, 2}, {7, 4}}));
        }
        for (const TotemAction& a : hits)
            EXPECT_FLOAT_EQ(a.weight, level == 3 ? 1.0f : 0.0f);
        EXPECT_EQ(p.board.destroyed.size(), hits.size());
    }
}

// The power lasts its charge, its gathering and a while more (longer at full
// strength), and longer still while a bolt flies; a level 1 totem goes back
// after it, levels 2 and 3 stay after strength 2.
TEST(BluePower, HowLongItLastsAndWhetherTheTotemStays)
{
    struct Case {
        int level, strength;
        bool steel;
        int state; // after the power
    };
    const Case cases[] = {{1, 2, false, kTotemMoving},
                          {2, 2, false, kTotemStays},
                          {3, 2, true, kTotemStays},
                          {3, 3, false, kTotemMoving}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        if (c.steel)
            p.board.At(7, 7).colour = kSteel;
        auto blue = p.InFront(kBlueTotem, c.level);
        if (c.strength == 3)
            p.Fire(blue);
        const BlueTotemParametres& b = p.rig.totems.blueParams;
        const float least = b.preTime + b.strikeTime + (c.strength == 3 ? 1.2f : 0.35f);
        const float took = p.Fire(blue);
        EXPECT_EQ(blue->strength, c.strength);
        EXPECT_GE(took, least - kFrame / 2);
        if (!c.steel) {
            EXPECT_LT(took, least + 2 * kFrame);
        }
        EXPECT_EQ(blue->state, c.state);
        // No record follows the end.
        p.rig.TakeFrames();
        p.rig.Run(0.5f);
        EXPECT_TRUE(p.Records(kBlueTotem).empty());
    }
    // A bolt still on its way keeps the power going until its hit is made.
    Powers far;
    far.board.At(7, 7).colour = kSteel;
    auto blue = far.InFront(kBlueTotem, 2);
    const float took = far.Fire(blue);
    const auto frames = far.rig.TakeFrames();
    size_t hitFrame = 0;
    for (size_t i = 0; i < frames.size(); ++i)
        for (const TotemAction& a : frames[i])
            if (a.type == kBlueTotem && a.value == 0)
                hitFrame = i;
    EXPECT_EQ(hitFrame + 1, frames.size() - 1); // the frame before the end
    EXPECT_GT(took, 0.5f + 0.1f + 0.35f);
}

// A strength 3 power switches the shields on: they pulse on every blue
// totem, also the small one that takes the large one's place, from the first
// frame, until the board switches them off.
TEST(BluePower, FullStrengthShieldsPulseUntilSwitchedOff)
{
    Powers p;
    auto blue = p.InFront(kBlueTotem, 3);
    p.Fire(blue);
    EXPECT_FALSE(p.rig.totems.blueActive);
    p.Fire(blue);
    EXPECT_TRUE(p.rig.totems.blueActive);
    EXPECT_TRUE(p.board.steelStopped);
    EXPECT_FALSE(As<CBlueTotem>(blue).shieldSprites.empty());
    p.rig.Run(1.0f); // back at its place
    auto small = p.rig.totems.Placed(kBlueTotem);
    ASSERT_EQ(small->mode, kSmallTotem);
    p.rig.Run(kFrame);
    EXPECT_EQ(As<CBlueTotem>(small).shieldSprites.size(), 1u);
    p.rig.Run(3.0f);
    EXPECT_GE(As<CBlueTotem>(small).shieldSprites.size(), 2u);
    p.rig.totems.SetBlueTotemsActive(false);
    EXPECT_TRUE(As<CBlueTotem>(small).shieldSprites.empty());
    p.rig.Run(2.0f);
    EXPECT_TRUE(As<CBlueTotem>(small).shieldSprites.empty());
}

// Mended: the charge bolts are laid out when the power starts, so a first
// frame that already ends the charge (frames are cut to half a second)
// still gathers them and strikes.
TEST(BluePower, AFirstFrameThatEndsTheChargeStillGathersItsBolts)
{
    Powers p;
    auto blue = p.InFront(kBlueTotem, 3);
    CBlueTotem& b = As<CBlueTotem>(blue);
    ASSERT_EQ(b.params.bolts[2].size(), 3u);
    blue->Activate(1);
    EXPECT_EQ(blue->Process(0.5f), 0);
    EXPECT_EQ(b.stepsDone, CBlueTotem::kGathering);
    EXPECT_EQ(b.runningSystems.size(), 3u);
    EXPECT_EQ(blue->Process(0.5f), 0);
    EXPECT_TRUE(b.strikeRequest);
}

// ---- Red ----

// Two balls at level 1, four above; their size classes by level and
// strength; every target lies whole on the board.
TEST(RedPower, BallCountsAndSizes)
{
    struct Case {
        int level, strength;
        std::vector<int> classes;
    };
    const Case cases[] = {
        {1, 2, {1, 1}}, {2, 2, {1, 1, 1, 1}}, {3, 2, {2, 2, 1, 1}}, {3, 3, {2, 2, 2, 2}}, {4, 2, {2, 2, 2, 2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        auto red = p.InFront(kRedTotem, c.level);
        EXPECT_EQ(As<CRedTotem>(red).runningSystems.size(), 2 * c.classes.size());
        if (c.strength == 3)
            p.Fire(red);
        p.rig.TakeFrames();
        p.Fire(red);
        std::vector<TotemAction> hits = p.Records(kRedTotem);
        std::vector<int> classes;
        for (const TotemAction& a : hits) {
            classes.push_back(a.value);
            if (a.value == 1) {
                EXPECT_TRUE(a.column >= 0 && a.column <= 6 && a.row >= 0 && a.row <= 6);
            } else {
                EXPECT_TRUE(a.column >= 1 && a.column <= 6 && a.row >= 1 && a.row <= 6);
            }
        }
        std::sort(classes.begin(), classes.end(), std::greater<int>());
        EXPECT_EQ(classes, c.classes);
    }
}

// The fireballs wait 0.2 s on the totem before they fly; the power ends
// the frame after the last hit was handed over.
TEST(RedPower, FireballsWaitBeforeTheyFly)
{
    Powers p;
    auto red = p.InFront(kRedTotem, 2);
    p.Fire(red);
    const auto frames = p.rig.TakeFrames();
    const float speed = p.rig.totems.redParams.flySpeed;
    size_t first = frames.size(), last = 0;
    for (size_t i = 0; i < frames.size(); ++i)
        for (const TotemAction& a : frames[i])
            if (a.type == kRedTotem) {
                first = std::min(first, i);
                last = i;
            }
    ASSERT_LT(first, frames.size());
    // The nearest cell of the board is at least a cell away from the balls.
    const float nearest = BoardGrid().cellWidth / speed;
    EXPECT_GE(static_cast<float>(first + 1) * kFrame, CRedFireball::kWait + nearest);
    EXPECT_EQ(last + 2, frames.size());
    EXPECT_EQ(red->state, kTotemMoving);
}

// Mended: a draw of exactly 1 still aims inside the board.
TEST(RedPower, AFullDrawStillAimsInsideTheBoard)
{
    Powers p;
    auto red = p.InFront(kRedTotem, 1);
    p.rig.totems.QueueTotem(kRedTotem);
    ScriptDraw(1, plat::RandMax); // the first ball's column
    p.rig.Run(kFrame);
    const CRedTotem& r = As<CRedTotem>(red);
    ASSERT_EQ(r.fireballs.size(), 2u);
    EXPECT_EQ(r.fireballs[0]->column, 6);
    const Vec3 aim = BoardGrid().CellCenter(7, r.fireballs[0]->row);
    EXPECT_FLOAT_EQ(r.fireballs[0]->target.x, aim.x - 0.5f * BoardGrid().cellWidth);
}

// Without particle systems (a totem that runs unseen) a ball starts from
// its point on the totem.
TEST(RedPower, ABallWithoutItsSystemsStartsFromItsPoint)
{
    Powers p(false);
    auto red = p.InFront(kRedTotem, 2);
    p.rig.totems.QueueTotem(kRedTotem);
    p.rig.Run(kFrame);
    const CRedTotem& r = As<CRedTotem>(red);
    ASSERT_EQ(r.fireballs.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const Vec3& point = r.params.points[i];
        EXPECT_FLOAT_EQ(r.fireballs[i]->start.x, red->position[0] + point.x * red->scale[0]) << i;
        EXPECT_FLOAT_EQ(r.fireballs[i]->start.y, red->position[1] + point.y * red->scale[1]) << i;
    }
}

// ---- Violet ----

// The bonuses of a power by level and strength, ordinary and special, and
// their flights: the first 1.25 fly times, the last 0.75.
TEST(VioletPower, BonusPairsAndTheirFlights)
{
    struct Case {
        int level, strength, ordinary, special;
    };
    const Case cases[] = {{1, 2, 1, 0}, {2, 2, 2, 0}, {3, 2, 2, 0}, {3, 3, 1, 1}, {4, 2, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        auto violet = p.InFront(kVioletTotem, c.level);
        if (c.strength == 3)
            p.Fire(violet);
        p.rig.TakeFrames();
        p.board.deliveries.clear();
        const int z = violet->zOrder;
        const float took = p.Fire(violet);
        const float fly = p.rig.totems.violetParams.flyTime;
        EXPECT_NEAR(took, 2.0f * fly, 1.5f * kFrame);
        const std::vector<TotemAction>& bonuses = p.board.deliveries;
        ASSERT_EQ(static_cast<int>(bonuses.size()), c.ordinary + c.special);
        int special = 0;
        for (size_t i = 0; i < bonuses.size(); ++i) {
            const TotemAction& b = bonuses[i];
            const bool isSpecial = b.bonusCode == 5 || b.bonusCode == 7;
            special += isSpecial ? 1 : 0;
            EXPECT_EQ(isSpecial, static_cast<int>(i) >= c.ordinary);
            EXPECT_EQ(b.column, 2); // the bonus's level
            EXPECT_EQ(b.row, z - static_cast<int>(i) - 10);
            EXPECT_FLOAT_EQ(b.controlX, b.weight + 320.0f);
            EXPECT_TRUE(b.controlY >= b.startY + 50.0f && b.controlY <= b.startY + 200.0f);
        }
        EXPECT_EQ(special, c.special);
        EXPECT_FLOAT_EQ(bonuses.front().flyTime, 1.25f * fly);
        if (bonuses.size() == 2) {
            EXPECT_FLOAT_EQ(bonuses.back().flyTime, 0.75f * fly);
        }
        // All records of the release come in one frame.
        size_t framesWith = 0;
        for (const auto& frame : p.rig.frames)
            framesWith += std::any_of(frame.begin(), frame.end(),
                                      [](const TotemAction& a) { return a.type == kVioletTotem; });
        EXPECT_EQ(framesWith, 1u);
    }
    // Without any bonus owned nothing is released, and the power still ends.
    Powers none;
    none.rig.balance.bonusSlots.assign(6, -1);
    auto violet = none.InFront(kVioletTotem, 4);
    none.Fire(violet);
    EXPECT_TRUE(none.board.deliveries.empty());
    EXPECT_EQ(violet->state, kTotemStays);
}

// ---- Orange ----

// The seconds granted by level and strength, once per power in the frame
// the swirl arrives, even when it does not linger there.
TEST(OrangePower, SecondsByLevelAndStrengthOncePerPower)
{
    struct Case {
        int level, strength;
        float seconds;
    };
    const Case cases[] = {{1, 2, 30}, {2, 2, 45}, {3, 2, 45}, {3, 3, 60}, {4, 2, 60}, {4, 3, 90}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        auto orange = p.InFront(kOrangeTotem, c.level);
        if (c.strength == 3)
            p.Fire(orange);
        p.rig.TakeFrames();
        p.board.seconds = 0;
        p.Fire(orange);
        const auto grants = p.Records(kOrangeTotem);
        ASSERT_EQ(grants.size(), 1u);
        EXPECT_EQ(grants[0].value, c.strength);
        EXPECT_EQ(grants[0].amount, c.level);
        EXPECT_FLOAT_EQ(p.board.seconds, c.seconds);
    }
    for (float post : {0.2f, 0.0f}) {
        Powers p;
        p.rig.totems.orangeParams.postFlyTime = post;
        auto orange = p.InFront(kOrangeTotem, 2);
        const OrangeTotemParametres& o = p.rig.totems.orangeParams;
        const float took = p.Fire(orange);
        EXPECT_EQ(p.Records(kOrangeTotem).size(), 1u) << post;
        EXPECT_NEAR(took, o.preFlyTime + o.flyTime + post, 1.5f * kFrame) << post;
    }
}

// ---- Green ----

// Unigems by level and strength, never more than the gems the level still
// places nor the plain tokens there are; none at level 1; every gem token is
// struck, and a ray's delay is the time until it reaches its token.
TEST(GreenPower, UnigemCountsAndRayDelays)
{
    struct Case {
        int level, strength, toPlace, plain, unigems;
    };
    const Case cases[] = {{1, 2, 9, 60, 0}, {2, 2, 9, 60, 5},   {3, 2, 9, 60, 6},
                          {4, 3, 9, 60, 9}, {4, 3, 20, 60, 12}, {3, 3, 9, 4, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "level " << c.level << " strength " << c.strength << " plain " << c.plain);
        Powers p;
        p.board.gemsToPlace = c.toPlace;
        // Gems on the first two cells, then plain tokens, then steel.
        p.board.At(0, 0).gem = p.board.At(1, 0).gem = true;
        for (int i = 2 + c.plain; i < 64; ++i)
            p.board.cells[static_cast<size_t>(i)].colour = kSteel;
        auto green = p.InFront(kGreenTotem, c.level);
        EXPECT_EQ(As<CGreenTotem>(green).bigFlares[0].Get() != nullptr, c.level >= 2);
        if (c.strength == 3) {
            // A first power, then the board as it was.
            p.Fire(green);
            for (int i = 0; i < 64; ++i) {
                StubToken& t = p.board.cells[static_cast<size_t>(i)];
                t.present = t.active = true;
                t.gem = i < 2;
            }
            p.board.gemsToPlace = c.toPlace;
        }
        p.board.placedGems.clear();
        p.board.struckGems.clear();
        const int placeBefore = p.board.gemsToPlace;
        const int soundsBefore = Plays(*p.rig.sounds, "TotemGreen2.wav");
        p.rig.TakeFrames();
        p.Fire(green);
        // The unigems' sound, once as they set off.
        EXPECT_EQ(Plays(*p.rig.sounds, "TotemGreen2.wav") - soundsBefore, c.unigems > 0 ? 1 : 0);
        EXPECT_EQ(static_cast<int>(p.board.placedGems.size()), std::min(c.unigems, placeBefore));
        EXPECT_EQ(p.board.struckGems.size(), 2u);
        ASSERT_EQ(p.board.greenDelays.size(), 2u);
        const GreenTotemParametres& g = p.rig.totems.greenParams;
        const Vec2& point = g.points[c.level - 1];
        const float ox = green->position[0] + point.x * green->scale[0];
        const float oy = green->position[1] + point.y * green->scale[1];
        for (int k = 0; k < 2; ++k) {
            const Vec3 gem = BoardGrid().CellCenter(k, 0);
            const float distance = std::hypot(gem.x - ox, gem.y - oy);
            EXPECT_NEAR(p.board.greenDelays[static_cast<size_t>(k)],
                        (g.rayLen + distance) / g.raySpeed + g.preRayTime - g.rayInTermTime, 1e-3f);
        }
        // One request (the board answers at once) and one landing.
        int requests = 0, landings = 0;
        for (const TotemAction& a : p.Records(kGreenTotem))
            (a.value == 0 ? requests : landings) += 1;
        EXPECT_EQ(requests, 1);
        EXPECT_EQ(landings, c.unigems > 0 ? 1 : 0);
    }
}

// The chain sparkles and breaks at strength 3 only, at its time; the power
// lasts at least its pause.
TEST(GreenPower, TheChainBreaksAtFullStrength)
{
    Powers p;
    auto green = p.InFront(kGreenTotem, 3);
    CGreenTotem& g = As<CGreenTotem>(green);
    const float took = p.Fire(green);
    EXPECT_GE(took, g.params.pauseTime);
    EXPECT_FALSE(g.chainBroken);
    EXPECT_EQ(g.bodySprites[6]->frame, 0);
    EXPECT_EQ(green->state, kTotemStays);
    p.rig.totems.QueueTotem(kGreenTotem);
    p.rig.Run(g.params.chainTime - 2 * kFrame);
    EXPECT_FALSE(g.chainBroken);
    // Chain lights from the gem flares' light cell.
    size_t lights = 0;
    for (const auto& flare : p.rig.flares->flares)
        lights += flare->uv[0][0] == 0.734375f && flare->uv[2][1] == 0.75f ? 1 : 0;
    EXPECT_GT(lights, 0u);
    p.rig.Run(4 * kFrame);
    EXPECT_TRUE(g.chainBroken);
    EXPECT_EQ(g.bodySprites[0]->frame, 1);
    EXPECT_EQ(g.bodySprites[6]->frame, 1);
}

// ---- White ----

// The tokens the power asks for by level and strength, painted in the one
// colour the power drew; the end comes after the last splash.
TEST(WhitePower, TokensByLevelAndStrengthAndTheEndAfterTheLastHit)
{
    struct Case {
        int level, strength, asked;
    };
    const Case cases[] = {{1, 2, 6}, {2, 2, 9}, {3, 2, 10}, {3, 3, 12}, {4, 2, 11}, {4, 3, 15}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        auto white = p.InFront(kWhiteTotem, c.level);
        if (c.strength == 3)
            p.Fire(white);
        p.rig.TakeFrames();
        p.board.recoloured.clear();
        p.board.matchChecks = 0;
        p.Fire(white);
        p.rig.Run(kFrame);
        const auto frames = p.rig.TakeFrames();
        std::vector<TotemAction> requests, paints;
        size_t lastPaint = 0, firstEnd = frames.size();
        for (size_t i = 0; i < frames.size(); ++i)
            for (const TotemAction& a : frames[i]) {
                if (a.type != kWhiteTotem)
                    continue;
                if (a.value > 0)
                    requests.push_back(a);
                if (a.value == 0) {
                    paints.push_back(a);
                    lastPaint = i;
                }
                if (a.value < 0)
                    firstEnd = std::min(firstEnd, i);
            }
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].value, c.asked);
        ASSERT_EQ(static_cast<int>(paints.size()), c.asked);
        for (const TotemAction& a : paints)
            EXPECT_EQ(a.amount, paints[0].amount);
        EXPECT_EQ(static_cast<int>(p.board.recoloured.size()), c.asked);
        EXPECT_EQ(firstEnd, lastPaint + 1);
        // Back at its place it says so once; waiting in front it says so
        // every frame.
        const bool stays = c.level > 2 && c.strength == 2;
        EXPECT_EQ(p.board.matchChecks, stays ? 2 : 1);
    }
}

// Mended: a draw of exactly 1 gives the last colour, violet.
TEST(WhitePower, AFullDrawPaintsViolet)
{
    Powers p;
    p.rig.board = nullptr;
    auto white = p.InFront(kWhiteTotem, 1);
    p.rig.totems.QueueTotem(kWhiteTotem);
    p.rig.Run(kFrame);
    ScriptDraw(1, plat::RandMax);
    const Vec3 at = BoardGrid().CellCenter(2, 3);
    p.rig.totems.StrikeWhite({{at.x, at.y}}, {{2, 3}});
    ASSERT_EQ(As<CWhiteTotem>(white).streams.size(), 1u);
    EXPECT_EQ(As<CWhiteTotem>(white).streams[0]->colourIndex, 6);
}

// ---- Yellow ----

// The award by level and strength, its number picture and the frenzy from
// level 2, one record per power.
TEST(YellowPower, AwardPictureAndFrenzy)
{
    struct Case {
        int level, strength, points, picture;
        bool frenzy;
    };
    const Case cases[] = {{1, 2, 1000, 0, false}, {2, 2, 1500, 1, true}, {4, 3, 3000, 4, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "level " << c.level << " strength " << c.strength);
        Powers p;
        auto yellow = p.InFront(kYellowTotem, c.level);
        if (c.strength == 3)
            p.Fire(yellow);
        p.rig.TakeFrames();
        p.board.score = p.board.frenzies = 0;
        p.rig.totems.QueueTotem(kYellowTotem);
        p.rig.Run(2 * kFrame);
        CYellowTotem& y = As<CYellowTotem>(yellow);
        ASSERT_TRUE(y.number);
        EXPECT_EQ(y.NumberPicture(), c.picture);
        const TextureRect& r = y.params.numbers[c.picture];
        EXPECT_FLOAT_EQ(y.number->frames.data()[0], r.u0);
        EXPECT_FLOAT_EQ(y.number->frames.data()[1], r.v0);
        // Sized by its level's entry.
        EXPECT_FLOAT_EQ(y.number->width, y.params.numberSizes[c.level - 1].x * yellow->scale[0]);
        while (yellow->state == kTotemPower || yellow->state == kTotemPowerFull)
            p.rig.Run(kFrame);
        const auto awards = p.Records(kYellowTotem);
        ASSERT_EQ(awards.size(), 1u);
        EXPECT_EQ(awards[0].column, c.level);
        EXPECT_EQ(awards[0].row, c.strength);
        EXPECT_EQ(p.board.score, c.points);
        EXPECT_EQ(p.board.frenzies, c.frenzy ? 1 : 0);
        EXPECT_FALSE(y.number);
    }
}

// Mended: a draw of exactly 1 picks the last sparkle cell, for the yellow
// totem's sparkles and the green one's.
TEST(Sparkles, AFullDrawPicksTheLastCell)
{
    for (int colour : {kYellowTotem, kGreenTotem}) {
        Powers p;
        auto totem = p.InFront(colour, 2);
        p.rig.flares->flares.clear();
        // The cell is a sparkle's third draw: its place takes two.
        const float period =
            colour == kYellowTotem ? p.rig.totems.yellowParams.flareT : p.rig.totems.greenParams.smallFT;
        if (colour == kYellowTotem) {
            As<CYellowTotem>(totem).sparkleClock = 0.0f;
        } else {
            // Away from the moments the large flares jump.
            As<CGreenTotem>(totem).smallClock = 0.0f;
            As<CGreenTotem>(totem).bigClock = 0.25f * p.rig.totems.greenParams.bigFT;
        }
        ScriptDraw(3, plat::RandMax);
        totem->Process(period * 1.001f);
        std::vector<const CFlare*> sparkles;
        for (const auto& flare : p.rig.flares->flares)
            if (flare->uv[0][1] == 0.625f)
                sparkles.push_back(flare.Get());
        ASSERT_EQ(sparkles.size(), 1u) << colour;
        EXPECT_FLOAT_EQ(sparkles[0]->uv[0][0], 0.75f) << colour;
        EXPECT_FLOAT_EQ(sparkles[0]->uv[1][0], 1.0f) << colour;
    }
}

// ---- Every power ----

// A power cut short (the level ends while it runs, or a new one starts)
// asks and reports nothing more, and once its totem has gone nothing of it
// is left: no sprite but the small totems', no flare, no particle system.
TEST(Powers, APowerCutShortLeavesNothingBehind)
{
    for (int colour = 0; colour < kTotemColours; ++colour) {
        SCOPED_TRACE(colour);
        Powers p;
        p.board.At(5, 5).colour = kSteel;
        p.board.At(2, 6).gem = true;
        p.rig.totems.levels[static_cast<size_t>(colour)] = 3;
        p.rig.totems.Reset();
        const size_t smallSprites = p.rig.SpritesHeld();
        auto totem = p.InFront(colour, 3);
        p.rig.totems.QueueTotem(colour);
        // Into the power far enough for every effect to be under way.
        p.rig.Run(colour == kBlueTotem ? 0.7f : 0.3f);
        ASSERT_TRUE(totem->PowerRuns());
        p.rig.totems.PlacePendingTotem();
        totem.Reset(); // the manager's are the only hands on it
        p.rig.TakeFrames();
        p.rig.Run(4.0f);
        EXPECT_TRUE(p.Records(colour).empty());
        EXPECT_EQ(p.rig.totems.Placed(colour)->mode, kSmallTotem);
        EXPECT_EQ(p.rig.SpritesHeld(), smallSprites);
        EXPECT_TRUE(p.rig.flares->flares.empty());
        EXPECT_TRUE(p.rig.particles->BlendedSystems().empty());
        // A new level starting while the power runs takes it away at once.
        totem = p.InFront(colour, 3);
        p.rig.totems.QueueTotem(colour);
        p.rig.Run(colour == kBlueTotem ? 0.7f : 0.3f);
        totem.Reset();
        p.rig.totems.Reset();
        p.rig.TakeFrames();
        p.rig.Run(4.0f);
        EXPECT_TRUE(p.Records(colour).empty());
        EXPECT_EQ(p.rig.SpritesHeld(), smallSprites);
        EXPECT_TRUE(p.rig.flares->flares.empty());
        EXPECT_TRUE(p.rig.particles->BlendedSystems().empty());
    }
}
