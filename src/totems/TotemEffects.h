// The small effect makers the totem powers share: a flare handed to its
// renderer, a thunderbolt between two points, and random draws. Each maker
// does nothing (and answers an empty handle) without the service it needs,
// so a totem that runs unseen runs the same power.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Settings.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CParticleSystem;
class CParticleSystemsManager;
class CVortexKeeper;

constexpr float kTotemPi = 3.1415927f;
// A life that does not end while the power needs the effect.
constexpr float kForever = 1e7f;

// A flare of the given size, fading in over `fadeIn`, fading out over
// `fadeOut` from the age `fadeOutStart`, added to the renderer.
CountedHandle<CFlare> AddFlare(const CountedHandle<CFlareRenderer>& flares, const Vec3& at,
                               const CountedHandle<CTexture>& texture, uint32_t argb, float width, float height,
                               float fadeIn, float fadeOutStart, float fadeOut);
// Turns the flare in the screen's plane from a random angle.
void SpinAtRandom(CFlare& flare, float speed);

// A thunderbolt from `from` to `to`: two flickering bolts whose ends wander
// `startWidth` and `endWidth` along `across`, whose bends stray up to
// `jitter` and which are `thickness` wide. The capacity bounds the bends.
struct BoltShape {
    Vec3 across{1.0f, 0.0f, 0.0f};
    float startWidth = 0.0f, endWidth = 0.0f;
    float jitter = 4.0f;
    float thickness = 4.0f;
};
CountedHandle<CParticleSystem> AddBolt(const CountedHandle<CParticleSystemsManager>& particles,
                                       const CountedHandle<CTexture>& texture, const Vec3& from, const Vec3& to,
                                       const BoltShape& shape, int capacity, uint32_t argb, float duration);

// A smoke of additive puffs rising from a platform `platform` wide: how
// fast they leave and rise, grow and fade, their size, how many a second and
// for how long; every value but the fade spreads by a quarter (the size by
// `sizeSpread` of itself).
struct SmokeShape {
    float platform = 16.0f;
    float spreadAlong = 0.1f, spreadAcross = 0.25f; // of the puffs' directions
    float speed = 1.0f, rise = 1.0f, growth = 1.0f;
    float fade = 1.0f, fadeSpread = 0.25f;
    float size = 8.0f, sizeSpread = 0.25f;
    float fadeIn = 0.0f; // 0: puffs start opaque
    float rate = 10.0f;
    float duration = 1.0f;
};
CountedHandle<CParticleSystem> AddSmoke(const CountedHandle<CParticleSystemsManager>& particles,
                                        const CountedHandle<CTexture>& texture, const Vec3& at, uint32_t argb,
                                        const SmokeShape& shape, int capacity);

// A swirl stops being fed and emitting, and both are let go; what it has
// out fades on its own.
void LetSwirlDie(CountedHandle<CVortexKeeper>& keeper, CountedHandle<CParticleSystem>& system);

// Advances every effect of `running` by dt; an effect whose update answers
// that it is over leaves the list, in order, for `over` when given.
template <class Effect>
void AdvanceAll(std::vector<CountedHandle<Effect>>& running, float dt,
                std::vector<CountedHandle<Effect>>* over = nullptr)
{
    for (size_t i = 0; i < running.size();) {
        if (running[i]->Update(dt)) {
            ++i;
            continue;
        }
        if (over)
            over->push_back(running[i]);
        running.erase(running.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

// A whole number 0 .. n - 1 drawn as floor(RandomUnit x n); the draw of
// exactly 1 is held to n - 1.
int RandomBelow(int n);
// A random angle of a full turn.
float RandomAngle();
