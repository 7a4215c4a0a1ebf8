// A burst of sand grains out of a point: each grain is a random cell of a
// 4 x 4 atlas, falls with gravity up to a terminal speed and sinks into a
// ground line, its quad and texture cut off together where it passes below
// the line. After the burst the keeper may go on pouring at a rate.
//
// Owners pair it with a CDustTrackKeeper that raises dust from the grains.
#pragma once

#include "effects/keepers/Collection2Keeper.h"

#include <cstdint>

class CSandKeeper : public CCollection2Keeper {
public:
    bool UpdateParticle(int slot, CCollectedParticle2& p, float dt, float x, float y, float z) override;
    bool IsEmitting() override { return true; }
    int GetEmitCount(float dt) override;
    bool InitParticle(int slot, CCollectedParticle2& p, float x, float y, float z) override;
    bool FollowOrigin(float x, float y, float z, float dt) override;

    uint32_t colour = 0xffa09050;
    float width = 76.0f;
    float height = 76.0f;
    int burstCount = 8;
    float rate = 40.0f; // grains per second after the burst
    float accumulator = 0.0f;
    float groundLine = -300.0f; // y
    float speed = 25.0f;
    float speedSpread = 12.5f;
    float gravity = 1000.0f; // units per second squared, downwards
    float terminalSpeed = 10000.0f;
    bool burstDone = false;
    int started = 0;
};
