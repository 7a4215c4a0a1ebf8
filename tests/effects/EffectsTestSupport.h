// Helpers for the particle tests: scripted random draws, a bare system
// environment, and vertex filling into CPU buffers.
#pragma once

#include "effects/particles/ParticleEnvironment.h"
#include "effects/particles/ParticleSystem.h"
#include "engine/Vertex.h"
#include "platform/System.h"

#include <cstdint>
#include <vector>

namespace effects_test {

// The seed after which the k-th draw (from 1) of the game's generator is
// `value` (0 .. 32767): a scripted RandomUnit for the one draw a case needs,
// such as exactly 1.0 (value 32767).
inline uint32_t SeedForDraw(int k, int value)
{
    // Inverse of the generator's odd multiplier modulo 2^32 (Newton).
    const uint32_t a = 214013u;
    uint32_t inverse = a;
    for (int i = 0; i < 5; ++i)
        inverse *= 2u - a * inverse;
    uint32_t state = static_cast<uint32_t>(value) << 16;
    for (int i = 0; i < k; ++i)
        state = (state - 2531011u) * inverse;
    return state;
}

inline void ScriptDraw(int k, int value) { plat::SeedRandom(SeedForDraw(k, value)); }

// An environment with the game's kill box and eye.
inline CountedHandle<CParticleEnvironment> GameEnvironment()
{
    auto env = MakeCountedHandle(new CParticleEnvironment());
    env->killMin = Vec3{-1000.0f, -1000.0f, -1000.0f};
    env->killMax = Vec3{1000.0f, 1000.0f, 1000.0f};
    env->view->eye.z = 10000.0f;
    return env;
}

// A system made without device or buffers, as the tests drive it by hand.
template <class System, class Params>
CountedHandle<System> MakeSystem(const Params& params, int capacity,
                                 CountedHandle<CParticleEnvironment> env = GameEnvironment())
{
    return MakeCountedHandle(new System({}, capacity, {}, {}, {}, env, &params));
}

// What one system wrote for its live particles.
struct Filled {
    std::vector<Vertex> vertices;
    std::vector<uint16_t> indices;
};

inline Filled Fill(CParticleSystem& system, int firstVertex = 0, int firstIndex = 0)
{
    int v = 0, i = 0;
    system.GetBufferNeeds(v, i);
    Filled out;
    out.vertices.resize(static_cast<size_t>(v));
    out.indices.resize(static_cast<size_t>(i));
    system.FillBuffers(out.vertices.data(), out.indices.data(), firstVertex, firstIndex);
    return out;
}

} // namespace effects_test
