// The token bonuses' frame on the null device, with the installed pictures
// and parameter files, on a level-12 board at rest: 16 gems and four
// bonuses of each of the six kinds at level 3 riding on its tokens, the
// hint display running. A frame is the manager's update, the board's
// handling of the bonuses' events, the hint display's update and the
// bonuses' draws (sprite layers 1 to 3 and flare layers 1 and 2, updated
// and drawn). Measured at rest, and through the second after one bonus of
// each kind fires at once.
#include "BenchDevice.h"
#include "BoardProbe.h"

#include "balance/BalanceState.h"
#include "board/GameBoard.h"
#include "bonuses/AdviserInterface.h"
#include "bonuses/BonusManager.h"
#include "bonuses/BonusParameters.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/BitmapFont.h"
#include "engine/Flare.h"
#include "engine/Random.h"
#include "engine/Sprite.h"
#include "engine/Text.h"
#include "gui/QoStatic.h"
#include "layout/QuestLayout.h"
#include "platform/System.h"
#include "tokens/CapsRenderer.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <new>
#include <unistd.h>
#include <vector>

namespace {
long long g_allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
// Every allocation is counted. GCC takes the frees below, once inlined where
// the counted operator new was called, for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
// Counted handles allocate their blocks without exceptions.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++g_allocations;
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }

using namespace d3d;

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int32_t kKinds[] = {kBonusTnt, kBonusFlash, kBonusTime, kBonusAdviser, kBonusScore, kBonusSolidarity};

// Runs of equal texture and blend in drawing order: the fewest draws a
// renderer can make. Opaque sprites draw in list order; blended ones from
// the largest z-order down, each z-order a pass of its own.
int SpriteRuns(const CSpriteRenderer& renderer)
{
    int runs = 0;
    const CSprite* last = nullptr;
    std::vector<const CSprite*> blended;
    for (const auto& s : renderer.sprites) {
        if (!s->visible)
            continue;
        if (s->blended) {
            blended.push_back(s.Get());
            continue;
        }
        if (!last || !SameTexture(last->texture, s->texture) || last->depthWrite != s->depthWrite)
            ++runs;
        last = s.Get();
    }
    std::stable_sort(blended.begin(), blended.end(),
                     [](const CSprite* a, const CSprite* b) { return a->zOrder > b->zOrder; });
    last = nullptr;
    for (const CSprite* s : blended) {
        if (!last || last->zOrder != s->zOrder || !SameTexture(last->texture, s->texture) ||
            last->srcBlend != s->srcBlend || last->destBlend != s->destBlend || last->depthTest != s->depthTest ||
            last->depthWrite != s->depthWrite)
            ++runs;
        last = s;
    }
    return runs;
}

int FlareRuns(const CFlareRenderer& renderer)
{
    int runs = 0;
    const CFlare* last = nullptr;
    for (const auto& f : renderer.flares) {
        if (!last || !SameTexture(last->texture, f->texture))
            ++runs;
        last = f.Get();
    }
    return runs;
}

// The board, the bonuses with the game's renderers and pictures, and the
// hint display, from the installation.
struct Scene : BenchDevice {
    Scene()
    {
        if (chdir(GALVORINE_GAME_DIR) != 0)
            std::abort();
        plat::SeedRandom(23);
        random.Seed(23);
        layout.Load("Data\\Config\\Skin.cfg");
        LoadBonusParameters("Data\\Config\\Gems.cfg", "Data\\Config\\Bonus.cfg");
        caps = MakeCountedHandle(new CCapsRenderer(device, vertices, indices));
        ready = caps->LoadTextures("Data\\Gfx\\") && caps->LoadAnimations("Data\\");
        for (auto* s : {&sprites1, &sprites2, &sprites3, &guiSprites})
            *s = MakeCountedHandle(new CSpriteRenderer(device, vertices, indices));
        for (auto* f : {&flares1, &flares2})
            *f = MakeCountedHandle(new CFlareRenderer(device, vertices, indices));
        for (auto* p : {&particles1, &particles2})
            *p = MakeCountedHandle(new CParticleSystemsManager(device, vertices, indices));
        bonuses = MakeCountedHandle(new CBonusManager());
        bonuses->SetResources(sprites1, flares1, particles1, sprites2, particles2, flares2, sprites3);
        ready = ready && bonuses->LoadTextures(device, "Data\\Gfx\\");
        auto load = [&](const char* file, const char* name) {
            return device->LoadTexture(std::string("Data\\Gfx\\") + file, name, 0, 0, D3DPOOL_MANAGED,
                                       D3DFMT_UNKNOWN);
        };
        const CountedHandle<CTexture> twirl = load("Twirl.tga", "Twirl");
        bonuses->SetTextures(load("StarParticle.bmp", "StarParticle"), load("Halo1.tga", "Halo1"),
                             load("Ring.jpg", "Ring"), load("Spark.bmp", "Spark"),
                             load("Lightning.jpg", "Lightning"), twirl, twirl,
                             load("PanelGlass.png", "PanelGlass"));
        texts = MakeCountedHandle(new CTextBatch(device, vertices, indices));
        counter = MakeCountedHandle(new CQoStatic(guiSprites, texts));
        counter->SetBaseSize(48, 48);
        counter->CreateText(MakeCountedHandle(new CBitmapFont({})), 24, 24, "", false);
        counter->SetTextureRect({}, 0, 0, 1, 1);
        hintButton = MakeCountedHandle(new CQoWindow(guiSprites, texts));
        adviser = MakeCountedHandle(new CAdviserInterface());
        adviser->SetResources(counter, hintButton, bonuses->textures[CBonusManager::kBonus4], sprites2);

        board = MakeCountedHandle(new CGameBoard(caps, layout, balance, random));
        board->SetBonuses(bonuses, adviser);
        board->Reset(0);
        board->StartLevel(LevelSetup(12, false, 50));
        board->SetLocked(false);
        board->Show(true, true, 0.0f);
        // The first fill comes to rest; its own gems make way for the riders.
        for (int i = 0; i < 600 && !(board->IsFull() && board->IsIdle()); ++i) {
            board->Update(kFrame, -2000.0f, -2000.0f);
            board->Events().Clear();
        }
        for (int r = 0; r < 8; ++r)
            for (int c = 0; c < 8; ++c)
                if (const CountedHandle<CToken>& t = board->Cell(c, r))
                    t->bonus.Reset();
        bonuses->RemoveAll();
        // 16 gems, then four of each kind, one a cell in board order.
        BoardProbe probe(*board);
        int cell = 0;
        auto ride = [&](const CountedHandle<CBonus>& bonus) {
            const int c = cell % 8, r = cell / 8;
            ++cell;
            const CountedHandle<CToken>& token = board->Cell(c, r);
            const Vec2 at = board->CellToPoint(c, r, true);
            bonus->eventsEnabled = bonus->kind == kBonusGem ? 0 : 1;
            bonus->Place(at.x, at.y, 0.0f, token->size, c, r);
            probe.GiveBonus(c, r, bonus);
            riders[static_cast<size_t>(c + 8 * r)] = bonus;
        };
        for (int i = 0; i < 16; ++i)
            ride(bonuses->CreateGem(i % 8, 1));
        for (int i = 0; i < 4; ++i)
            for (int32_t kind : kKinds)
                ride(bonuses->CreateBonus(kind, 3, 0, 1));
        adviser->AddTime(1e6f);
        board->ShowMoveHints();
        // The landings are news of no frame measured here.
        Frame();
        Frame();
    }

    // One frame of the bonuses; how long the manager's update took, and the
    // allocations of the manager's walk and the event handling.
    struct Figures {
        double seconds = 0, managerSeconds = 0;
        long long walkAllocations = 0, allocations = 0;
        int draws = 0, runs = 0;
    };
    Figures Frame()
    {
        Figures f;
        const int drawsBefore = log().draws;
        const long long allocationsBefore = g_allocations;
        const auto start = std::chrono::steady_clock::now();
        bonuses->Update(kFrame);
        const auto walked = std::chrono::steady_clock::now();
        probe().ApplyBonusEvents();
        f.walkAllocations = g_allocations - allocationsBefore;
        if (adviser->Update(kFrame) < 0)
            board->ShowMoveHints();
        for (auto* s : {&sprites1, &sprites2, &sprites3})
            (*s)->Update(kFrame, 0);
        for (auto* fl : {&flares1, &flares2})
            (*fl)->Update(kFrame);
        sprites1->Render();
        sprites1->RenderLayer(1);
        flares1->Render();
        sprites2->Render();
        sprites2->RenderLayer(1);
        flares2->Render();
        sprites3->Render();
        sprites3->RenderLayer(1);
        const auto end = std::chrono::steady_clock::now();
        f.seconds = std::chrono::duration<double>(end - start).count();
        f.managerSeconds = std::chrono::duration<double>(walked - start).count();
        f.allocations = g_allocations - allocationsBefore;
        f.draws = log().draws - drawsBefore;
        // What was drawn, counted outside the frame.
        for (auto* s : {&sprites1, &sprites2, &sprites3})
            f.runs += SpriteRuns(**s);
        for (auto* fl : {&flares1, &flares2})
            f.runs += FlareRuns(**fl);
        // The particles the bonuses make are drawn with the scene's layers,
        // not measured here; they still move on.
        particles1->Update(kFrame);
        particles2->Update(kFrame);
        board->Events().Clear();
        return f;
    }
    BoardProbe probe() { return BoardProbe(*board); }

    // One bonus of each kind fires, as when strikes destroy their tokens.
    void FireOneOfEach()
    {
        for (int32_t kind : kKinds)
            for (const CountedHandle<CBonus>& bonus : riders)
                if (bonus && bonus->kind == kind && bonus->state == kBonusPlaced) {
                    probe().DestroyCell(bonus->column, bonus->row);
                    probe().FireBonus(bonus);
                    break;
                }
    }

    bool ready = false;
    CQuestLayout layout;
    CBalanceState balance;
    CRandomStream random;
    CountedHandle<CCapsRenderer> caps;
    CountedHandle<CSpriteRenderer> sprites1, sprites2, sprites3, guiSprites;
    CountedHandle<CFlareRenderer> flares1, flares2;
    CountedHandle<CParticleSystemsManager> particles1, particles2;
    CountedHandle<CTextBatch> texts;
    CountedHandle<CQoStatic> counter;
    CountedHandle<CQoWindow> hintButton;
    CountedHandle<CBonusManager> bonuses;
    CountedHandle<CAdviserInterface> adviser;
    CountedHandle<CGameBoard> board;
    CountedHandle<CBonus> riders[64];
};

void Report(benchmark::State& state, const std::vector<Scene::Figures>& frames)
{
    double manager = 0, slowest = 0;
    long long walkAllocations = 0, allocations = 0, draws = 0, runs = 0;
    for (const Scene::Figures& f : frames) {
        manager += f.managerSeconds;
        slowest = std::max(slowest, f.seconds);
        walkAllocations += f.walkAllocations;
        allocations += f.allocations;
        draws += f.draws;
        runs += f.runs;
    }
    const double n = static_cast<double>(frames.size());
    state.counters["manager_us"] = manager / n * 1e6;
    state.counters["slowest_us"] = slowest * 1e6;
    state.counters["draws/frame"] = static_cast<double>(draws) / n;
    state.counters["runs/frame"] = static_cast<double>(runs) / n;
    state.counters["walk_allocs/frame"] = static_cast<double>(walkAllocations) / n;
    state.counters["allocs/frame"] = static_cast<double>(allocations) / n;
}

// 40 bonuses riding, the hint display running.
void RidingFrame(benchmark::State& state)
{
    Scene scene;
    if (!scene.ready) {
        state.SkipWithError("the pictures are not installed");
        return;
    }
    std::vector<Scene::Figures> frames;
    frames.reserve(20000);
    for (auto _ : state) {
        frames.push_back(scene.Frame());
        state.SetIterationTime(frames.back().seconds);
    }
    Report(state, frames);
    state.counters["bonuses"] = static_cast<double>(scene.bonuses->bonuses.size());
    state.counters["sprites"] = static_cast<double>(
        scene.sprites1->sprites.size() + scene.sprites2->sprites.size() + scene.sprites3->sprites.size());
}
BENCHMARK(RidingFrame)->Iterations(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The 60 frames after one bonus of each kind fires at once; each
// iteration is one such second on a board set up anew.
void FiringSecond(benchmark::State& state)
{
    std::vector<Scene::Figures> frames;
    frames.reserve(60 * 50);
    for (auto _ : state) {
        Scene scene;
        if (!scene.ready) {
            state.SkipWithError("the pictures are not installed");
            return;
        }
        scene.FireOneOfEach();
        double second = 0;
        for (int i = 0; i < 60; ++i) {
            frames.push_back(scene.Frame());
            second += frames.back().seconds;
        }
        state.SetIterationTime(second / 60.0);
    }
    Report(state, frames);
}
BENCHMARK(FiringSecond)->Iterations(20)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
