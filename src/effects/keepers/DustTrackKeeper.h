// Dust raised by sand grains: it runs in a second keeper-driven system and
// follows the live grains of the sand system, birthing puffs at random live
// grains that fade in and out, spin, grow, slow down and rest on a floor
// just under the ground line. It stops emitting once the sand system neither
// emits nor has a grain left.
#pragma once

#include "effects/keepers/Collection2Keeper.h"
#include "effects/keepers/SandKeeper.h"
#include "effects/particles/ParticleSystem.h"
#include "engine/CountedHandle.h"

#include <cstdint>

class CCollection2ParticleSystem;

class CDustTrackKeeper : public CCollection2Keeper {
public:
    // Copies the sand keeper's colour, speeds, width and ground line, and
    // holds the sand system (which must be keeper-driven) until destroyed.
    CDustTrackKeeper(const CSandKeeper& sand, CountedHandle<CParticleSystem> sandSystem);

    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    uint32_t colour;
    float fadeInSpeed = 2.5f; // alpha per second
    float fadeOutSpeed = 0.75f;
    float fadeOutSpread = 0.25f;
    float speed;
    float speedSpread;
    float damping = 0.75f; // fraction of the velocity removed per second
    float spin = 256.0f;
    float spinSpread = 128.0f;
    float size;
    float sizeSpread;
    float growth; // units per second
    float growthSpread;
    float growthDamping = 0.5f;
    float groundLine;
    float floorOffset;  // the floor is ground line + floor offset
    float rate = 0.25f; // puffs per live grain per second
    int liveCount = 0;  // the tracked system's live grains this frame

private:
    CountedHandle<CParticleSystem> m_tracked;
    const CCollection2ParticleSystem* m_sand; // the tracked system, when keeper-driven
};
