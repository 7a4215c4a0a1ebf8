// The board's side of the totems: each kind of record the powers leave
// carried out on the real board (cells struck, points, seconds, paint,
// gems, bonuses, the powers counted, the closing sounds), and every colour's
// power fired on the real board through the shipped "Totems.cfg" until the
// board rests again. Sounds are heard by their slots.
#include "BonusBoardRig.h"

#include "bonuses/BonusTNT.h"
#include "platform/System.h"
#include "rays/TerminatorsManager.h"
#include "totems/TotemBalance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>
#include <vector>

using board_rig::BonusBoardRig;
using board_rig::NoMoveGrid;

namespace {

// The board with the bonuses and the totems of the installed files; the
// totems draw when asked.
struct TotemBoardRig : BonusBoardRig {
    explicit TotemBoardRig(bool draw = false)
    {
        balance.bonusSlots.assign(6, 2); // every bonus owned at level 2
        totems = MakeCountedHandle(new CTotemsManager());
        if (draw) {
            totemSprites = MakeCountedHandle(new CSpriteRenderer(gpu.device, gpu.vertices, gpu.indices));
            totemFlares = MakeCountedHandle(new CFlareRenderer(gpu.device, gpu.vertices, gpu.indices));
            totemParticles = MakeCountedHandle(new CParticleSystemsManager(gpu.device, gpu.vertices, gpu.indices));
            totems->SetRenderers(gpu.device, totemSprites, totemParticles, totemFlares, &balance);
        } else {
            totems->SetRenderers(gpu.device, {}, {}, {}, &balance);
        }
        totems->LoadConfig("Data\\Config\\Totems.cfg");
        if (draw) {
            EXPECT_TRUE(totems->LoadTextures("Data\\Gfx\\"));
            std::array<CountedHandle<CTexture>, CTotemsManager::kSharedPictures> shared;
            for (size_t i = 0; i < shared.size(); ++i)
                shared[i] = gpu.device->CreateTexture("Shared" + std::to_string(i), 64, 64, 1, 0,
                                                      d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
            totems->SetTextures(shared);
        }
        totems->sounds = sounds;
        board->SetTotems(totems);
        Probe().SetColours({0, 1, 2, 3, 4, 5, 6});
        Probe().SetSteel(0.0f, 0);
    }
    ~TotemBoardRig() { SetTotemBalanceState(nullptr); }

    // The sum of the events of a kind in the queue: values, or seconds.
    int32_t Points() const
    {
        int32_t sum = 0;
        for (size_t i = 0; i < board->Events().Size(); ++i)
            if (board->Events().At(i).kind == BoardEventKind::StrikesScored)
                sum += board->Events().At(i).value;
        return sum;
    }
    float Seconds() const
    {
        float sum = 0.0f;
        for (size_t i = 0; i < board->Events().Size(); ++i)
            if (board->Events().At(i).kind == BoardEventKind::TimeBonus)
                sum += board->Events().At(i).seconds;
        return sum;
    }
    int Count(BoardEventKind kind) const
    {
        const std::vector<BoardEventKind> kinds = EventKinds();
        return static_cast<int>(std::count(kinds.begin(), kinds.end(), kind));
    }

    CountedHandle<CTotemsManager> totems;
    // One frame of the board and of the totems' renderers.
    void DrawnFrame()
    {
        Frame();
        totemSprites->Update(1.0f / 60, 1);
        totemFlares->Update(1.0f / 60);
        totemParticles->Update(1.0f / 60);
    }

    CountedHandle<CSpriteRenderer> totemSprites;
    CountedHandle<CFlareRenderer> totemFlares;
    CountedHandle<CParticleSystemsManager> totemParticles;
};

TotemAction Record(int type, int column, int row, int value, int amount = 0, float weight = 0.0f)
{
    TotemAction a;
    a.type = type;
    a.column = column;
    a.row = row;
    a.value = value;
    a.amount = amount;
    a.weight = weight;
    return a;
}

// The cells whose tokens a strike has taken: inactive, or gone.
std::set<std::pair<int, int>> Struck(const CGameBoard& b)
{
    std::set<std::pair<int, int>> cells;
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            if (!b.Cell(c, r) || !b.Cell(c, r)->active)
                cells.emplace(c, r);
    return cells;
}

} // namespace

// A fireball of strength 1 takes the 2 x 2 block whose top-left corner is
// its cell, any other strength the cell and its orthogonal neighbours on
// the board; each shakes by its strength and blasts where it lands.
TEST(TotemActions, RedBlastsTakeTheirCellsAndShake)
{
    struct Case {
        int column, row, strength;
        std::set<std::pair<int, int>> cells;
        float shake;
    };
    const Case cases[] = {
        {3, 3, 1, {{3, 3}, {4, 3}, {3, 4}, {4, 4}}, 1.25f},
        {0, 0, 2, {{0, 0}, {1, 0}, {0, 1}}, 1.75f},
        {7, 4, 3, {{7, 4}, {6, 4}, {7, 3}, {7, 5}}, 2.25f},
        {7, 7, 1, {{7, 7}}, 1.25f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.row) + " " + std::to_string(c.strength));
        TotemBoardRig rig;
        rig.Place(NoMoveGrid());
        rig.Probe().ApplyTotemActions({Record(kRedTotem, c.column, c.row, c.strength)});
        EXPECT_EQ(Struck(*rig.board), c.cells);
        EXPECT_NEAR(rig.Probe().ShakeAmplitude(), c.shake, 1e-4f);
        EXPECT_EQ(rig.Plays("TotemRed2.wav"), 1);
    }
}

// Yellow's points are (a + b) x 500 - 500; from a = 2 the coins ring and
// the sand starts flowing.
TEST(TotemActions, YellowPointsAndTheFrenzy)
{
    struct Case {
        int a, b;
        int32_t points;
        bool frenzy;
    };
    for (const Case& c :
         {Case{1, 1, 500, false}, Case{1, 2, 1000, false}, Case{2, 1, 1000, true}, Case{4, 3, 3000, true}}) {
        SCOPED_TRACE(std::to_string(c.a) + " " + std::to_string(c.b));
        TotemBoardRig rig;
        rig.Place(NoMoveGrid());
        rig.board->Events().Clear();
        rig.Probe().ApplyTotemActions({Record(kYellowTotem, c.a, c.b, 0)});
        EXPECT_EQ(rig.Points(), c.points);
        EXPECT_EQ(rig.Count(BoardEventKind::SandFull), c.frenzy ? 1 : 0);
        EXPECT_EQ(rig.Plays("TotemYellow2.wav"), c.frenzy ? 1 : 0);
        EXPECT_EQ(rig.Probe().Sandbox().Heightfield()->IsFull(), c.frenzy);
    }
}

// One frenzy at a time: yellow's power while the sand flows pays its points
// but starts no second frenzy: no frenzy event or count, and neither the
// box nor the meter toward a Golden Star starts over.
TEST(TotemActions, YellowStartsNoSecondFrenzyWhileTheSandFlows)
{
    TotemBoardRig rig;
    rig.Place(NoMoveGrid());
    CGameBoard& b = *rig.board;
    b.SetSandDrain(true, 0.05f);
    rig.Probe().ApplyTotemActions({Record(kYellowTotem, 2, 1, 0)});
    for (int frame = 0; frame < 60; ++frame)
        rig.Frame();
    ASSERT_TRUE(rig.Probe().Sandbox().Heightfield()->IsFull());
    CSandHeightfield& field = *rig.Probe().Sandbox().Heightfield();
    field.QueueGrain(0.0f, 1.0f, 2.0f); // strikes have filled some of the meter
    rig.Frame();
    const float sand = b.SandAmount();
    const double meter = b.SandMeter();
    ASSERT_LT(sand, 1.0f);
    ASSERT_GT(meter, 0.0);
    EXPECT_EQ(rig.stats.tables[2].Get(StatSandFlows), 1);
    b.Events().Clear();

    rig.Probe().ApplyTotemActions({Record(kYellowTotem, 2, 1, 0)});
    rig.Tally();
    EXPECT_EQ(rig.Points(), 1000);
    EXPECT_EQ(rig.Count(BoardEventKind::SandFull), 0);
    EXPECT_EQ(rig.stats.tables[2].Get(StatSandFlows), 1);
    EXPECT_FLOAT_EQ(b.SandAmount(), sand);
    EXPECT_EQ(b.SandMeter(), meter);
}

// Orange's seconds by the totem's level and strength; a power started
// counts once in the level's and the quest's tables.
TEST(TotemActions, OrangeSecondsAndThePowersCounted)
{
    TotemBoardRig rig;
    rig.Place(NoMoveGrid());
    rig.board->Events().Clear();
    rig.Probe().ApplyTotemActions({Record(TotemAction::kPowerStarted, 0, 0, 0), Record(kOrangeTotem, 0, 0, 3, 3),
                                   Record(kOrangeTotem, 0, 0, 3, 4), Record(kOrangeTotem, 0, 0, 1, 1),
                                   Record(TotemAction::kPowerStarted, 0, 0, 0), Record(99, 1, 1, 1)});
    EXPECT_FLOAT_EQ(rig.Seconds(), 60.0f + 90.0f + 30.0f);
    EXPECT_EQ(rig.Count(BoardEventKind::TimeBonus), 3);
    rig.Tally();
    EXPECT_EQ(rig.stats.tables[1].Get(StatTotemActions), 2);
    EXPECT_EQ(rig.stats.tables[2].Get(StatTotemActions), 2);
    EXPECT_TRUE(Struck(*rig.board).empty()); // an unknown type does nothing
}

// Blue: a request at strength 3 stops steel for the rest of the level even
// with no steel on the board; a bolt's hit takes its cell and shakes by
// where it fell, and the bolts of a frame crackle once when all have hit.
TEST(TotemActions, BlueStopsSteelAndItsBoltsStrike)
{
    TotemBoardRig rig;
    rig.Probe().SetSteel(0.2f, 4);
    rig.Place(NoMoveGrid());
    rig.Probe().ApplyTotemActions({Record(kBlueTotem, 0, 0, 2)});
    EXPECT_EQ(rig.Probe().SteelCap(), 4);
    EXPECT_EQ(rig.Plays("TotemBlue3.wav"), 0);
    rig.Probe().ApplyTotemActions({Record(kBlueTotem, 0, 0, 3)});
    EXPECT_EQ(rig.Probe().SteelCap(), 0);
    EXPECT_EQ(rig.Plays("TotemBlue3.wav"), 1);
    EXPECT_EQ(rig.Plays("TotemBlue2.wav"), 0);

    rig.Probe().ApplyTotemActions(
        {Record(kBlueTotem, 2, 5, 0, 0, 1.0f), Record(kBlueTotem, 6, 5, 0, 0, 0.0f), Record(kBlueTotem, 2, 5, 0)});
    EXPECT_EQ(Struck(*rig.board), (std::set<std::pair<int, int>>{{2, 5}, {6, 5}}));
    EXPECT_NEAR(rig.Probe().ShakeAmplitude(), 0.25f + 0.75f, 1e-4f);
    EXPECT_EQ(rig.Plays("TotemBlue2.wav"), 1);
}

// White: a drop recolours its token, and a gem token keeps a gem of the
// new colour; the drops of a frame splash once. The power's end has the
// board look for the runs the paint made.
TEST(TotemActions, WhitePaintsAndTheBoardLooksForRuns)
{
    TotemBoardRig rig;
    rig.Place(NoMoveGrid());
    const CountedHandle<CBonus> oldGem = rig.Ride(kBonusGem, 0, 4, 4);
    rig.board->Cell(4, 4)->gem = 1;
    // Row 0 reads g r b o w g r b: paint (1, 0) and (2, 0) green.
    rig.Probe().ApplyTotemActions({Record(kWhiteTotem, 1, 0, 0, 0), Record(kWhiteTotem, 2, 0, 0, 0),
                                   Record(kWhiteTotem, 4, 4, 0, 6), Record(kWhiteTotem, 9, 0, 0, 0)});
    EXPECT_EQ(rig.board->Cell(1, 0)->colour, 0);
    EXPECT_EQ(rig.board->Cell(2, 0)->colour, 0);
    const CToken& gem = *rig.board->Cell(4, 4);
    EXPECT_EQ(gem.colour, 6);
    ASSERT_TRUE(gem.bonus);
    EXPECT_NE(gem.bonus, oldGem);
    EXPECT_EQ(gem.bonus->kind, kBonusGem);
    EXPECT_EQ(gem.bonus->colour, 6);
    EXPECT_EQ(std::count(rig.bonuses->bonuses.begin(), rig.bonuses->bonuses.end(), oldGem), 0);
    EXPECT_EQ(rig.Plays("TotemWhite2.wav"), 1);
    EXPECT_TRUE(Struck(*rig.board).empty()); // the paint alone strikes nothing

    rig.Probe().ApplyTotemActions({Record(kWhiteTotem, 0, 0, -1)});
    EXPECT_TRUE(rig.Probe().TotemActionPending());
    rig.Frame();
    EXPECT_FALSE(rig.Probe().TotemActionPending());
    EXPECT_EQ(Struck(*rig.board), (std::set<std::pair<int, int>>{{0, 0}, {1, 0}, {2, 0}}));
}

// The board's draws of distinct cells: all of them, in order, once the
// count reaches the candidates; else distinct and ascending.
TEST(TotemActions, DistinctDrawsTakeAllOrDistinctCellsInGridOrder)
{
    TotemBoardRig rig;
    EXPECT_EQ(rig.Probe().DrawDistinct(10, 4), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_TRUE(rig.Probe().DrawDistinct(0, 4).empty());
    for (uint32_t seed = 1; seed < 40; ++seed) {
        rig.random.Seed(seed);
        const std::vector<int> drawn = rig.Probe().DrawDistinct(5, 7);
        ASSERT_EQ(drawn.size(), 5u);
        EXPECT_TRUE(std::is_sorted(drawn.begin(), drawn.end()));
        EXPECT_EQ(std::adjacent_find(drawn.begin(), drawn.end()), drawn.end());
        EXPECT_LT(drawn.back(), 7);
    }
}

// Green's strike without a totem in front: every gem token is taken (a
// chained one's cell keeps its token), steel and the rest stay; no new gem
// is drawn.
TEST(TotemActions, GreenTakesTheGemTokens)
{
    TotemBoardRig rig;
    std::vector<std::string> rows = NoMoveGrid();
    rows[2][2] = static_cast<char>(std::toupper(static_cast<unsigned char>(rows[2][2])));
    rows[6][1] = 's';
    board_rig::PlaceGrid(*rig.board, rows, {{1, 1}, {2, 2}, {5, 7}});
    rig.board->SetGemCounts(5, 5);
    rig.Probe().ApplyTotemActions({Record(kGreenTotem, 0, 0, 0)});
    EXPECT_EQ(Struck(*rig.board), (std::set<std::pair<int, int>>{{1, 1}, {2, 2}, {5, 7}}));
    EXPECT_FALSE(rig.board->Cell(1, 1));
    EXPECT_TRUE(rig.board->Cell(2, 2)); // chained: its token stays for the ray
    EXPECT_EQ(rig.board->GemsToPlace(), 5);
    ASSERT_TRUE(rig.Settle());
}

// Violet's bonus swoops off the totem to its bend point, growing to the size
// it rides a token at, and flies on from there to a free token in half a
// second, at an even pace and at that size; a kind the bonuses do not make
// brings nothing.
TEST(TotemActions, VioletsBonusFliesFromItsBendPointOntoAToken)
{
    TotemBoardRig rig;
    rig.Place(NoMoveGrid());
    TotemAction a = Record(kVioletTotem, 2, -30, 0);
    a.bonusCode = kBonusTnt;
    a.weight = -400.0f;
    a.startY = 100.0f;
    a.startZ = -50.0f;
    a.controlX = -100.0f;
    a.controlY = 50.0f;
    a.flyTime = 0.5f;
    TotemAction none = a;
    none.bonusCode = 42;
    rig.Probe().ApplyTotemActions({a, none});
    ASSERT_EQ(rig.bonuses->bonuses.size(), 1u);
    const CountedHandle<CBonus> bonus = rig.bonuses->bonuses.front();
    EXPECT_EQ(bonus->kind, kBonusTnt);
    EXPECT_EQ(bonus->param, 2);
    EXPECT_EQ(bonus->zOrder, -30);
    EXPECT_EQ(bonus->state, kBonusFlyingOff);
    EXPECT_FLOAT_EQ(bonus->target.x, -100.0f);
    const CSprite& body = *static_cast<CBonusTNT&>(*bonus).body;

    // The swoop ends where the flight to the token starts.
    ASSERT_TRUE(rig.RunUntil([&] { return bonus->state == kBonusFlyingIn; }, 2.0f));
    EXPECT_NEAR(bonus->position.x, -100.0f, 1e-3f);
    EXPECT_NEAR(bonus->position.y, 50.0f, 1e-3f);
    const CountedHandle<CToken>& carrier = rig.board->Cell(bonus->column, bonus->row);
    ASSERT_TRUE(carrier);
    EXPECT_EQ(carrier->bonus, bonus);
    std::vector<float> distances, widths;
    float seconds = 0.0f;
    while (bonus->state == kBonusFlyingIn && seconds < 2.0f) {
        distances.push_back(std::hypot(bonus->target.x - bonus->position.x, bonus->target.y - bonus->position.y));
        widths.push_back(body.width);
        rig.Frame();
        seconds += 1.0f / 60.0f;
    }
    ASSERT_EQ(bonus->state, kBonusPlaced);
    EXPECT_NEAR(seconds, 0.5f, 1.5f / 60.0f);
    const Vec2 cell = rig.board->CellToPoint(bonus->column, bonus->row, true);
    EXPECT_NEAR(bonus->position.x, cell.x, 1e-3f);
    EXPECT_NEAR(bonus->position.y, cell.y, 1e-3f);
    ASSERT_GE(distances.size(), 20u);
    EXPECT_GT(distances.front(), 50.0f); // a flight with a length
    for (size_t i = 1; i < distances.size(); ++i)
        EXPECT_LT(distances[i], distances[i - 1]) << i;
    const float half = distances[distances.size() / 2] / distances.front();
    EXPECT_NEAR(half, 0.5f, 0.05f);
    // On its token it is as wide as all the way there.
    for (float w : widths)
        EXPECT_NEAR(w, body.width, 1e-3f);
    EXPECT_NEAR(body.width, 86.0f * rig.board->Geometry().tokenSize / GemParams().standardRadius, 1e-3f);
}

// Each colour at level 3 on the real board: two runs of its colour bring
// the totem forward and fire its power at strength 2, a third at strength
// 3; then the board rests, the totems are idle, both powers are counted and
// what the power does has been done.
TEST(TotemPowersOnTheBoard, EachColourFiresTwiceAndTheBoardRests)
{
    const char* const names[] = {"green", "yellow", "red", "blue", "orange", "white", "violet"};
    for (int colour = 0; colour < CTotemsManager::kColours; ++colour) {
        SCOPED_TRACE(names[colour]);
        plat::SeedRandom(17);
        TotemBoardRig rig;
        rig.random.Seed(23);
        std::vector<std::string> rows = NoMoveGrid();
        for (auto [c, r] : {std::pair{1, 1}, {6, 2}, {3, 5}, {0, 7}, {7, 7}})
            rows[static_cast<size_t>(r)][static_cast<size_t>(c)] = 's';
        board_rig::PlaceGrid(*rig.board, rows, {{2, 3}, {5, 5}});
        rig.board->SetGemCounts(20, 20);
        rig.totems->levels[static_cast<size_t>(colour)] = 3;
        rig.totems->Reset();
        rig.board->Events().Clear();
        const std::vector<std::string> before = {rig.Letters()};
        int bonusesBefore = 0;
        for (const auto& b : rig.bonuses->bonuses)
            bonusesBefore += b && b->kind != kBonusGem ? 1 : 0;
        float seconds = 0.0f;
        int32_t points = 0;
        for (int run = 0; run < 3; ++run) {
            rig.totems->QueueTotem(colour);
            ASSERT_TRUE(rig.Settle(30.0f)) << "run " << run;
            seconds += rig.Seconds();
            points += rig.Points();
            rig.Tally();
            rig.board->Events().Clear();
            rig.m_tallied = 0;
        }
        EXPECT_TRUE(rig.totems->IsIdle());
        EXPECT_TRUE(rig.board->IsFull());
        EXPECT_EQ(rig.stats.tables[1].Get(StatTotemActions), 2);
        int steel = 0, gems = 0, riders = 0;
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c) {
                const CToken& t = *rig.board->Cell(c, r);
                steel += t.colour == kSteelColour ? 1 : 0;
                gems += t.gem ? 1 : 0;
                riders += t.bonus && t.bonus->kind != kBonusGem ? 1 : 0;
            }
        switch (colour) {
        case kGreenTotem:
            // The second power took the first one's gems and left its own.
            EXPECT_EQ(rig.board->GemsToPlace(),
                      20 - CBalanceState::TotemLevelCount(3, 2) - CBalanceState::TotemLevelCount(3, 3));
            EXPECT_EQ(gems, CBalanceState::TotemLevelCount(3, 3));
            EXPECT_GE(rig.Plays("GemIn.wav"), 2);
            break;
        case kYellowTotem:
            EXPECT_EQ(points, CBalanceState::ComboBonus(3, 2) + CBalanceState::ComboBonus(3, 3));
            break;
        case kRedTotem:
            EXPECT_GT(rig.stats.tables[1].Get(StatMarkedTokens), 0);
            break;
        case kBlueTotem:
            EXPECT_EQ(steel, 0);
            EXPECT_EQ(rig.Probe().SteelCap(), 0);
            break;
        case kOrangeTotem:
            EXPECT_FLOAT_EQ(seconds, BalanceTotemSeconds(3, 2) + BalanceTotemSeconds(3, 3));
            break;
        case kWhiteTotem:
            EXPECT_GE(rig.Plays("TotemWhite2.wav"), 2);
            EXPECT_NE(rig.Letters(), before[0]);
            break;
        case kVioletTotem:
            EXPECT_GT(riders, bonusesBefore);
            break;
        default:
            break;
        }
    }
}

// A power cut short by the level's end leaves no record after the cut, and
// once its totem has gone back nothing of it stays on screen: no sprite but
// the small totems', no flare, no particle system.
TEST(TotemPowersOnTheBoard, APowerCutShortEndsCleanly)
{
    for (int colour = 0; colour < CTotemsManager::kColours; ++colour) {
        SCOPED_TRACE(colour);
        plat::SeedRandom(5);
        TotemBoardRig rig(true);
        std::vector<std::string> rows = NoMoveGrid();
        rows[5][5] = 's';
        board_rig::PlaceGrid(*rig.board, rows, {{2, 3}});
        rig.totems->levels[static_cast<size_t>(colour)] = 4;
        rig.totems->Reset();
        const size_t smallSprites = rig.totemSprites->sprites.size() + rig.totemSprites->hiddenSprites.size();
        rig.totems->QueueTotem(colour);
        rig.totems->QueueTotem(colour);
        int frames = 0;
        while (frames < 600 && !(rig.totems->Placed(colour) && rig.totems->Placed(colour)->PowerRuns())) {
            rig.DrawnFrame();
            ++frames;
        }
        ASSERT_LT(frames, 600);
        // Far enough into the power for its effects to be under way.
        for (int i = 0; i < 18; ++i)
            rig.DrawnFrame();
        ASSERT_TRUE(rig.totems->Placed(colour)->PowerRuns());
        rig.totems->PlacePendingTotem();
        for (int i = 0; i < 240; ++i) {
            rig.DrawnFrame();
            for (const TotemAction& a : rig.totems->Actions())
                EXPECT_NE(a.type, colour) << "frame " << i;
        }
        EXPECT_TRUE(rig.totems->IsIdle());
        EXPECT_EQ(rig.totemSprites->sprites.size() + rig.totemSprites->hiddenSprites.size(), smallSprites);
        EXPECT_TRUE(rig.totemFlares->flares.empty());
        EXPECT_TRUE(rig.totemParticles->BlendedSystems().empty());
    }
}

// The board's snapshot names the totem waiting in front (-1 for none), and
// a board restored from it brings that totem forward again.
TEST(TotemPowersOnTheBoard, TheSnapshotKeepsTheTotemInFront)
{
    TotemBoardRig rig;
    rig.Place(NoMoveGrid());
    rig.totems->levels[kOrangeTotem] = 2;
    rig.totems->Reset();
    EXPECT_EQ(rig.board->Snapshot().waitingTotem, -1);
    rig.totems->QueueTotem(kOrangeTotem);
    ASSERT_TRUE(rig.Settle());
    const BoardSnapshot snapshot = rig.board->Snapshot();
    EXPECT_EQ(snapshot.waitingTotem, kOrangeTotem);

    TotemBoardRig resumed;
    resumed.totems->levels[kOrangeTotem] = 2;
    resumed.totems->Reset();
    resumed.board->Restore(snapshot);
    ASSERT_TRUE(resumed.Settle());
    EXPECT_EQ(resumed.totems->pendingColour, kOrangeTotem);
}
