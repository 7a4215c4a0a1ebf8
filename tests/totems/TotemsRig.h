// The totems on the recording null device: a manager with the shipped
// "Totems.cfg" and pictures (or none, as the level lab runs it), its sprite
// renderer, particle manager and flare renderer, a balance state, sounds
// that count their plays by slot, a stub board that keeps the action records
// of every frame (and, when given one, answers them), and small
// configuration files written for one test.
#pragma once

#include "audio/SoundManager.h"
#include "balance/BalanceState.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "engine/RenderTestSupport.h"
#include "engine/Sprite.h"
#include "totems/TotemsManager.h"

#include "TestSupport.h"

#include <string>
#include <vector>

namespace totems_rig {

// Every slot plays a silent sample whose ring counts the plays.
CountedHandle<CSoundManager> CountingSounds();
int Plays(const CSoundManager& sounds, const char* name);

class StubBoard;

struct Rig {
    // `draw`: the manager gets the renderers and its pictures.
    explicit Rig(bool draw = true, const std::string& config = "Data\\Config\\Totems.cfg");
    ~Rig();

    // Frames of `dt` until `seconds` have passed; the stub board keeps each
    // frame's records (an empty list for a frame that made none).
    void Run(float seconds, float dt = 1.0f / 60);
    // The records of every frame run since the last call.
    std::vector<std::vector<TotemAction>> TakeFrames();
    // The sprites the renderer holds, drawn or hidden.
    size_t SpritesHeld() const { return sprites->sprites.size() + sprites->hiddenSprites.size(); }
    bool Holds(const CountedHandle<CSprite>& s) const;

    NullRig null;
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
    CountedHandle<CSoundManager> sounds;
    CBalanceState balance;
    CTotemsManager totems;
    std::vector<std::vector<TotemAction>> frames;
    // Answers each frame's records when set.
    StubBoard* board = nullptr;
};

// A totem as its colour class.
template <class T>
T& As(const CountedHandle<CTotem>& totem)
{
    return static_cast<T&>(*totem);
}

} // namespace totems_rig
