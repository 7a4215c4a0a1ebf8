// The upgrade shop at work on the recording null device: the real game
// object from the installed data, seeded, in the shop after a won level,
// reopened for level 40 with every item half bought and three Golden Stars
// on hand. Every frame: five stars in flight with their tails (a "+" or a
// "-" sends a new one whenever fewer fly), a stub cracking open (one is put
// back over a totem's last slot and unlocked again every half second), the
// rings over the slots for sale, and the pointer sweeping over the sixteen
// items' pictures (the tip follows it). After 2 s, 60 s of 1/60 s frames are
// timed one by one: `ShopFrame` times the game's whole frame (update,
// render, present); `ShopUpdate` times `CShop::Update` alone, with the
// services' update (sprites, particles, texts) between two frames in place
// of the game's. Each reports the median and 99th percentile, the draw calls
// per frame, the heap allocations per frame, and those of the quiet frames:
// frames in which no star was sent or landed, no stub was put back or
// cracked, no ring was made and the tip kept its text.
#include "GameHarness.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <unistd.h>

// Every allocation of the process is counted, so a frame's can be told. The
// replacements pair malloc with free, which the compiler cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::atomic<long> g_allocations{0};
void* operator new(size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

constexpr float kFrame = GameHarness::kFrame;
// The items the stars fly to and from (the rules and the bonuses), and the
// totems whose last slot cracks open again and again.
constexpr int kTraffic[] = {6, 7, 8, 10, 11, 12, 13, 14, 15};
constexpr int kCracking[] = {0, 1, 2, 3, 4, 5, 9};

void EnterGameFolder()
{
    if (chdir(GALVORINE_GAME_DIR) != 0)
        std::abort();
}

// A player called Bench who has seen the tutorial.
void MakeBench(const std::string& user)
{
    plat::CreateDirectory(user + "Players\\Bench");
    testing_support::WriteText(user + "Players/Bench/Settings.ini", "[Main]\nQuestTutorial=0\n");
}

// The first level won, its results and story passed: the shop after it,
// open. Then it closes at once and opens again before level 40.
bool ToTheShopOfLevel40(GameHarness& game)
{
    if (!game.started)
        return false;
    game.d3d.lastDevice->quiet = true;
    if (!game.RunUntil([&] { return GameHarness::Shown(game->services.screens->mainMenu.form); }, 30.0f))
        return false;
    // "Play the Quest" as a player clicks it: the main menu goes.
    game.Click(*game->services.screens->mainMenu.form->FindChild(IdOf(Command::PlayQuest)));
    if (!game.RunUntil([&] { return game->flow.IsAt<CStoryPages>(CStoryPages::kPages); }, 5.0f))
        return false;
    game.Key(32);
    if (!game.RunUntil([&] { return game->flow.IsIn<CPlay>() && game->services.board->IsIdle(); }, 10.0f))
        return false;
    game->services.board->SetGemCounts(0, game->services.board->GemsToPlace());
    for (float t = 0.0f; t < 60.0f && !game->flow.IsIn<CShopVisit>(); t += kFrame) {
        if (game->flow.IsAt<CLevelResults>(CLevelResults::kAllShown))
            game.Click(*game->services.screens->statistics.form->FindChild(IdOf(Command::ResultsContinue)));
        else if (game->flow.WaitsForPlayer())
            game.Key(32);
        game.Frames(1);
    }
    CShop& shop = *game->services.shop;
    if (!game.RunUntil([&] { return shop.OpenFraction() >= 1.0f; }, 5.0f))
        return false;
    shop.Show(0, 0.0f, 2);
    game->quest.level = 39;
    shop.items.SetLimits(39);
    for (int i = 0; i < CShopItemTable::kItems; ++i)
        shop.items.levels[static_cast<size_t>(i)] = shop.items.maxLevels[static_cast<size_t>(i)] / 2;
    shop.items.goldenStars = 3;
    game->flow.shopVisit.Open();
    game.Seconds(2.0f);
    return shop.OpenFraction() >= 1.0f;
}

// What the player and the bench do to the shop each frame, and whether the
// frame was a quiet one.
class Workload {
public:
    explicit Workload(GameHarness& game) : m_game(game), m_shop(*game->services.shop) {}

    // The pointer's place on its sweep, in virtual units.
    Vec2 Pointer() const
    {
        const auto& pictures = m_game->services.screens->shop.firstPictures;
        const float along = m_time * 2.5f; // items a second
        const int from = static_cast<int>(along) % CShopItemTable::kItems;
        const int to = (from + 1) % CShopItemTable::kItems;
        const float f = along - std::floor(along);
        const Vec3& a = pictures[static_cast<size_t>(from)]->Position();
        const Vec3& b = pictures[static_cast<size_t>(to)]->Position();
        return {a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f};
    }

    // Before a frame: the stars sent, a stub put back, the pointer placed.
    void Before()
    {
        m_sent = false;
        m_rearmed = false;
        while (Flying() < 5 && Send())
            m_sent = true;
        m_crackClock += kFrame;
        if (m_crackClock >= 0.5f) {
            m_crackClock = 0.0f;
            Rearm();
            m_rearmed = true;
        }
        const Vec2 p = Pointer();
        m_game.PointAt(p.x, p.y);
        m_starsBefore = Snapshot();
        m_pointerTimer = m_shop.PointerTimer();
        m_cracking = m_shop.CrackingStubs().size();
        m_tip = {m_shop.HoveredItem(), m_shop.HoveredEntry(), m_shop.HoveredTextKind()};
        m_time += kFrame;
    }

    // After a frame: whether it made nothing.
    bool Quiet() const
    {
        const std::array<int, 3> tip{m_shop.HoveredItem(), m_shop.HoveredEntry(), m_shop.HoveredTextKind()};
        return !m_sent && !m_rearmed && Snapshot() == m_starsBefore && m_shop.PointerTimer() >= m_pointerTimer &&
               m_shop.CrackingStubs().size() == m_cracking && tip == m_tip;
    }

    int Flying() const
    {
        int n = 0;
        for (const CountedHandle<CShopStar>& star : m_shop.Stars()) {
            const CShopStar::Kind kind = star->GetKind();
            n += kind == CShopStar::kToItem || kind == CShopStar::kToPanel || kind == CShopStar::kFlyingBack ? 1
                                                                                                             : 0;
        }
        return n;
    }
    // A "+" while stars are on hand, else a "-"; each on the next item of
    // the traffic that takes it.
private:
    bool Send()
    {
        const bool up = m_shop.items.goldenStars > 0;
        for (size_t k = 0; k < std::size(kTraffic); ++k) {
            const int item = kTraffic[m_next++ % std::size(kTraffic)];
            if (m_shop.ChangeLevel(item, up ? 1 : 0))
                return true;
        }
        return false;
    }
    // A totem's last slot gets its stub back and is unlocked again: it
    // cracks open at the stubs' pace.
    void Rearm()
    {
        CShopItemTable& items = m_shop.items;
        const int item = kCracking[m_nextCrack++ % std::size(kCracking)];
        items.SetLimits(40);
        items.limits[static_cast<size_t>(item)] = items.maxLevels[static_cast<size_t>(item)] - 1;
        m_shop.BuildStubs(0.0f);
        m_shop.UnlockItems(40);
    }
    std::vector<const CShopStar*> Snapshot() const
    {
        std::vector<const CShopStar*> stars;
        for (const CountedHandle<CShopStar>& star : m_shop.Stars())
            stars.push_back(star.Get());
        return stars;
    }

    GameHarness& m_game;
    CShop& m_shop;
    float m_time = 0.0f, m_crackClock = 0.0f, m_pointerTimer = 0.0f;
    size_t m_next = 0, m_nextCrack = 0, m_cracking = 0;
    bool m_sent = false, m_rearmed = false;
    std::vector<const CShopStar*> m_starsBefore;
    std::array<int, 3> m_tip{};
};

// The frames timed, in microseconds, their draws and allocations.
struct FrameTimes {
    std::vector<double> micros;
    long draws = 0, allocations = 0, quietFrames = 0, quietAllocations = 0, flying = 0;
    size_t mostSprites = 0;

    void Report(benchmark::State& state)
    {
        if (micros.empty()) {
            state.SkipWithError("no frame was timed");
            return;
        }
        std::vector<double> sorted = micros;
        std::sort(sorted.begin(), sorted.end());
        auto at = [&](double q) {
            return sorted[std::min(sorted.size() - 1, static_cast<size_t>(q * sorted.size()))];
        };
        const auto n = static_cast<double>(micros.size());
        state.counters["median_us"] = at(0.5);
        state.counters["p99_us"] = at(0.99);
        state.counters["draws_per_frame"] = static_cast<double>(draws) / n;
        state.counters["allocs_per_frame"] = static_cast<double>(allocations) / n;
        state.counters["quiet_frames"] = static_cast<double>(quietFrames);
        state.counters["stars_flying"] = static_cast<double>(flying) / n;
        state.counters["most_shop_sprites"] = static_cast<double>(mostSprites);
        state.counters["allocs_in_quiet_frames"] = static_cast<double>(quietAllocations);
    }
};

// The whole frame, or the shop's update alone.
void Run(benchmark::State& state, bool wholeFrame)
{
    EnterGameFolder();
    for (auto _ : state) {
        plat::SeedRandom(40);
        GameHarness game(MakeBench);
        if (!ToTheShopOfLevel40(game)) {
            state.SkipWithError("the game did not reach the shop");
            return;
        }
        Workload work(game);
        CShop& shop = *game->services.shop;
        auto step = [&](FrameTimes* times) {
            work.Before();
            const int drawsBefore = game.d3d.log.draws;
            const long allocationsBefore = g_allocations;
            const auto start = std::chrono::steady_clock::now();
            if (wholeFrame) {
                game->Frame(kFrame, 1, 0);
            } else {
                const Vec2 p = work.Pointer();
                shop.Update(kFrame, p.x, p.y);
            }
            const auto end = std::chrono::steady_clock::now();
            const long made = g_allocations - allocationsBefore;
            if (!wholeFrame) {
                game->services.Update(kFrame);
                game->services.bonuses->Update(kFrame); // the previews, as the board's frame does
            }
            if (!times)
                return;
            times->micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            times->draws += game.d3d.log.draws - drawsBefore;
            times->allocations += made;
            times->flying += work.Flying();
            times->mostSprites = std::max(times->mostSprites, game->services.spriteRenderers[3]->sprites.size());
            if (work.Quiet()) {
                ++times->quietFrames;
                times->quietAllocations += made;
            }
        };
        for (int i = 0; i < static_cast<int>(2.0f / kFrame); ++i)
            step(nullptr);
        FrameTimes times;
        for (int i = 0; i < static_cast<int>(60.0f / kFrame); ++i)
            step(&times);
        times.Report(state);
    }
}

void ShopFrame(benchmark::State& state) { Run(state, true); }
void ShopUpdate(benchmark::State& state) { Run(state, false); }

} // namespace

BENCHMARK(ShopFrame)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ShopUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
