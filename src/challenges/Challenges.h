// STAND-IN until the bonus-level challenges are built: what the board reads
// of the four challenges. Their updates never report; the real challenges
// replace this file in place.
#pragma once

#include "engine/Settings.h" // Vec2

#include <cstdint>

class CMemoryChallenge {
public:
    int Update(float) { return 0; }
    Vec2 firstItem, secondItem; // the two picked items
};

class CAccuracyChallenge {
public:
    int Update(float) { return 0; }
};

class CAttentionChallenge {
public:
    int Update(float) { return 0; }
    int32_t chosenPlate = 0; // 1 when the choice was right
    Vec2 plate;
};

class CReactionChallenge {
public:
    int Update(float) { return 0; }
    void SpeedUp() {}
    void PlayMissSound() {}
    int32_t hits = 0;
    int32_t mode = 0;
    float timer = 0.0f;
    Vec2 plate; // the current plate
};
