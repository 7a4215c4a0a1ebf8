// The bonus levels' frames. (a) The whole game (update, render, present) on
// the recording null device from the installed data, seeded: a quest save
// one swap before a bonus level, the level won through the game's handlers
// and the challenge played by the scripted player; every CGame::Frame of
// the part measured is timed on its own: the Memory level's last layout
// (layout 6) dealt, turned and shattered into sand; the Accuracy level from
// 2 s in, with its stars in flight, their trails and the catches' bursts;
// the Reaction level's flashing from 2 s in; the Attention level's rounds
// after eight right answers, whose swaps are the fastest. (b) Each
// challenge's Update alone, without the game, on the real caps renderer
// (and, for the stars, a sprite renderer and a particle manager), driven by
// the same kind of play.
#include "ChallengePlayer.h"
#include "FrameTimes.h"
#include "OneGemLeft.h"

#include "BenchDevice.h"
#include "challenges/Challenges.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <unistd.h>

namespace {

constexpr float kFrame = GameHarness::kFrame;

void EnterGameFolder()
{
    if (chdir(GALVORINE_GAME_DIR) != 0)
        std::abort();
}

// ---- (a) The game's frames ----

// The bonus level after `level` reached with the player Bench; false (and
// the benchmark skipped) when it was not.
bool ToTheBonusLevel(GameHarness& game, benchmark::State& state)
{
    if (!game.started) {
        state.SkipWithError("the game did not start");
        return false;
    }
    game.d3d.lastDevice->quiet = true;
    if (const char* missing = PlayTheLastSwap(game)) {
        state.SkipWithError(missing);
        return false;
    }
    if (!game->flow.IsIn<CBonusLevel>()) {
        state.SkipWithError("no bonus level followed");
        return false;
    }
    return true;
}

// Plays the bonus level after `level` and times the frames for which
// `measured` holds, until the level leaves its challenge or `limit` seconds
// of them have been timed.
void TimeBonusLevel(benchmark::State& state, int level, const std::function<bool(const CGame&)>& measured,
                    float limit, float catchPause = 0.2f)
{
    EnterGameFolder();
    for (auto _ : state) {
        plat::SeedRandom(static_cast<unsigned>(level));
        GameHarness game([level](const std::string& user) {
            plat::CreateDirectory(user + "Players\\Bench");
            one_gem_left::WritePlayer(user + "Players\\Bench", "Bench", level, 4);
        });
        if (!ToTheBonusLevel(game, state))
            return;
        ChallengePlayer player(game, ChallengePlayer::Aim::Win);
        player.catchPause = catchPause;
        FrameTimes times;
        for (float t = 0.0f; t < 300.0f && !game->flow.IsAt<CBonusLevel>(CBonusLevel::kStar) &&
                             game->flow.IsIn<CBonusLevel>() && times.micros.size() < limit / kFrame;
             t += kFrame) {
            player.Act();
            if (measured(*game))
                times.Time(game);
            else
                game.Frames(1);
        }
        times.Report(state);
    }
}

// Seconds since the challenge started, counted by the frames.
class Since {
public:
    bool operator()(const CGame& game, float seconds)
    {
        if (game.flow.IsAt<CBonusLevel>(CBonusLevel::kPlay))
            m_time += kFrame;
        return m_time >= seconds;
    }

private:
    float m_time = 0.0f;
};

void MemoryFrames(benchmark::State& state)
{
    TimeBonusLevel(
        state, 29,
        [](const CGame& game) {
            const CMemoryChallenge* memory = game.flow.bonusLevel.Challenge().memory.Get();
            return memory && memory->Round() == 3;
        },
        60.0f);
}

// A catch every second and a half: most stars fly their whole way.
void AccuracyFrames(benchmark::State& state)
{
    Since since;
    TimeBonusLevel(
        state, 5, [&](const CGame& game) { return since(game, 2.0f); }, 40.0f, 1.5f);
}

void ReactionFrames(benchmark::State& state)
{
    Since since;
    TimeBonusLevel(
        state, 15, [&](const CGame& game) { return since(game, 2.0f); }, 90.0f);
}

void AttentionFrames(benchmark::State& state)
{
    TimeBonusLevel(
        state, 37,
        [](const CGame& game) {
            const CAttentionChallenge* attention = game.flow.bonusLevel.Challenge().attention.Get();
            return attention && attention->RightAnswers() >= 8;
        },
        60.0f);
}

// ---- (b) The challenges' updates alone ----

struct ControllerRig {
    ControllerRig()
    {
        EnterGameFolder();
        caps->LoadTextures("Data\\Gfx\\");
        caps->LoadAnimations("Data\\");
        caps->SwitchTextureSet(1);
    }
    // The board's cells as the shipped skin cuts them.
    void OnTheBoard(CPlateChallenge& challenge)
    {
        challenge.SetBoardGeometry(-144.5f, 367.5f, 0.0f, 80.0f, 80.0f);
        challenge.CreatePlateSet(caps);
    }
    // One timed update; its result.
    template <class C>
    int Update(C& challenge)
    {
        const auto start = std::chrono::steady_clock::now();
        const int result = challenge.Update(kFrame);
        const auto end = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
        return result;
    }

    BenchDevice gpu;
    CountedHandle<CCapsRenderer> caps =
        MakeCountedHandle(new CCapsRenderer(gpu.device, gpu.vertices, gpu.indices));
    std::vector<double> micros;
};

void Click(CMemoryChallenge& memory, const CountedHandle<CPlate>& plate)
{
    memory.OnClick(plate->Position().x, plate->Position().y);
}

void MemoryUpdate(benchmark::State& state)
{
    for (auto _ : state) {
        plat::SeedRandom(6);
        ControllerRig rig;
        CMemoryChallenge memory;
        rig.OnTheBoard(memory);
        memory.StartRound(6);
        CountedHandle<CPlate> partner;
        for (int frame = 0; frame < 60 * 60; ++frame) {
            const int result = rig.Update(memory);
            if (result == kResultLastPairFound) {
                memory.TakeFoundPlates();
                memory.DismissPlates();
            }
            if (result == kResultPlatesCleared)
                break;
            if (!memory.IsWaitingForPlayer())
                continue;
            if (partner) {
                Click(memory, partner);
                partner.Reset();
                continue;
            }
            std::vector<CountedHandle<CPlate>> left;
            for (int r = 0; r < memory.Rows(); ++r)
                for (int c = 0; c < memory.Columns(); ++c)
                    if (const CountedHandle<CPlate> p = memory.PlateAt(c, r); p && !memory.IsFound(c, r))
                        left.push_back(p);
            for (size_t i = 0; i < left.size() && !partner; ++i)
                for (size_t j = i + 1; j < left.size(); ++j)
                    if (left[i]->TokenCode() == left[j]->TokenCode()) {
                        Click(memory, left[i]);
                        partner = left[j];
                        break;
                    }
        }
        ReportMicros(state, rig.micros, "update_");
    }
}

void AccuracyUpdate(benchmark::State& state)
{
    for (auto _ : state) {
        plat::SeedRandom(5);
        ControllerRig rig;
        const auto sprites =
            MakeCountedHandle(new CSpriteRenderer(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
        const auto particles =
            MakeCountedHandle(new CParticleSystemsManager(rig.gpu.device, rig.gpu.vertices, rig.gpu.indices));
        const auto texture = [&](const char* name) {
            return rig.gpu.device->CreateTexture(name, 64, 64, 1, 0, d3d::D3DPOOL_MANAGED, d3d::D3DFMT_A8R8G8B8);
        };
        CAccuracyChallenge accuracy;
        accuracy.SetResources(AccuracyResources{sprites, particles, texture("Star"), texture("Sparkle")});
        accuracy.Start(1);
        float sinceClick = 0.0f;
        for (int frame = 0; frame < 40 * 60; ++frame) {
            if (rig.Update(accuracy) == kResultStarsLanded)
                break;
            particles->Update(kFrame);
            sprites->Update(kFrame, 0);
            // A catch a second and a half, once two seconds have passed.
            sinceClick += kFrame;
            if (frame < 120 || sinceClick < 1.5f)
                continue;
            for (const CountedHandle<CAccuracyStar>& star : accuracy.Stars())
                if (star->state == CAccuracyStar::kFree && star->sprite->x < 480.0f) {
                    accuracy.OnClick(star->sprite->x, star->sprite->y);
                    sinceClick = 0.0f;
                    break;
                }
        }
        ReportMicros(state, rig.micros, "update_");
    }
}

void ReactionUpdate(benchmark::State& state)
{
    for (auto _ : state) {
        plat::SeedRandom(15);
        ControllerRig rig;
        CReactionChallenge reaction;
        rig.OnTheBoard(reaction);
        reaction.SetNeeded(12);
        reaction.Start(1);
        for (int frame = 0; frame < 120 * 60; ++frame) {
            switch (rig.Update(reaction)) {
            case kResultTokenCaught:
                reaction.CountCatch();
                reaction.TakeCaughtPlates();
                break;
            case kResultStopMissed:
                reaction.TakeMiss();
                break;
            default:
                break;
            }
            if (reaction.GetState() == CReactionChallenge::kOver && reaction.Plates().empty())
                break;
            const CountedHandle<CPlate>& open = reaction.OpenPlate();
            if (reaction.IsWaitingForPlayer() && open && !open->IsEmpty() && open->ShownFrame() >= 2)
                reaction.OnStop();
        }
        ReportMicros(state, rig.micros, "update_");
    }
}

void AttentionUpdate(benchmark::State& state)
{
    for (auto _ : state) {
        plat::SeedRandom(19);
        ControllerRig rig;
        CAttentionChallenge attention;
        rig.OnTheBoard(attention);
        for (int i = 0; i < 8; ++i)
            attention.AddRightAnswer();
        for (int round = 0; round < 4; ++round) {
            attention.StartRound(2);
            for (int frame = 0; frame < 60 * 60; ++frame) {
                const int result = rig.Update(attention);
                if (result == kResultRoundGone)
                    break;
                if (result == kResultChoiceShown) {
                    attention.AddRightAnswer();
                    attention.TakeTokenPlate();
                    attention.DismissPlates();
                }
                if (attention.IsWaitingForPlayer()) {
                    const Vec3 p = attention.Plates()[CAttentionChallenge::kTokenPlate]->Position();
                    attention.OnClick(p.x, p.y);
                }
            }
        }
        ReportMicros(state, rig.micros, "update_");
    }
}

} // namespace

BENCHMARK(MemoryFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(AccuracyFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ReactionFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(AttentionFrames)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(MemoryUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(AccuracyUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(ReactionUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(AttentionUpdate)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
