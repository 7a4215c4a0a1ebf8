// What the challenge tests stand on: the real caps renderer with the
// installed pictures on the recording null device, a sound manager whose
// slots count their plays, the board's cells as the game lays them out, and
// helpers that run a challenge's frames and keep what it reported.
#pragma once

#include "audio/SoundManager.h"
#include "challenges/BoardCells.h"
#include "engine/RenderTestSupport.h"
#include "platform/System.h"
#include "tokens/CapsRenderer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace challenge_rig {

// The board's top-left corner and cell size in the centred frame, as the
// shipped skin puts them.
constexpr float kLeft = -144.5f, kTop = 367.5f, kCell = 80.0f;
constexpr float kFrame = 1.0f / 60.0f;

inline BoardCells GameCells()
{
    BoardCells cells;
    cells.origin = Vec3{kLeft, kTop, 0.0f};
    cells.cellWidth = cells.cellHeight = kCell;
    return cells;
}

// Every slot holds a sample without sound whose ring counts the plays.
inline CountedHandle<CSoundManager> CountingSounds()
{
    CountedHandle<CSoundManager> sounds = MakeCountedHandle(new CSoundManager());
    sounds->initialised = 1;
    for (CountedHandle<CSoundSample>& slot : sounds->slots)
        slot = MakeCountedHandle(new CSoundSample(1, 100000));
    return sounds;
}

inline int Plays(const CountedHandle<CSoundManager>& sounds, const char* file)
{
    return sounds->Sample(file)->ringIndex;
}

class Rig : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(caps->LoadTextures("Data\\Gfx\\"));
        ASSERT_TRUE(caps->LoadAnimations("Data\\"));
        ASSERT_TRUE(caps->SwitchTextureSet(1));
        plat::SeedRandom(7);
    }
    int Plays(const char* file) const { return challenge_rig::Plays(sounds, file); }
    // Runs frames of `dt` for `seconds` and returns the results other than
    // 100 in order.
    template <typename Challenge>
    static std::vector<int> Run(Challenge& challenge, float seconds, float dt = kFrame)
    {
        std::vector<int> results;
        for (float t = 0.0f; t < seconds - 1e-4f; t += dt)
            if (const int r = challenge.Update(dt); r != 100)
                results.push_back(r);
        return results;
    }
    // Runs frames until the challenge reports `code` (true) or `limit`
    // seconds have passed (false).
    template <typename Challenge>
    static bool RunUntil(Challenge& challenge, int code, float limit = 30.0f, float dt = kFrame)
    {
        for (float t = 0.0f; t < limit; t += dt)
            if (challenge.Update(dt) == code)
                return true;
        return false;
    }

    NullRig rig;
    CountedHandle<CCapsRenderer> caps = MakeCountedHandle(new CCapsRenderer(rig.device, rig.vertices, rig.indices));
    CountedHandle<CSoundManager> sounds = CountingSounds();
};

} // namespace challenge_rig
