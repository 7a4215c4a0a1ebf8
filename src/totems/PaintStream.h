// One stream of the white totem's paint: four drops of one colour that arc
// from the totem to a token, wobbling as they fly, and splash on it. Without
// a sprite renderer and a particle manager it only flies.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/MotionPath.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"

#include <cstdint>
#include <vector>

class CParticleSystemsManager;

class CPaintStream {
public:
    static constexpr int kDrops = 4;

    CPaintStream();
    // Its drops leave the renderer.
    ~CPaintStream();
    CPaintStream(const CPaintStream&) = delete;
    CPaintStream& operator=(const CPaintStream&) = delete;

    void Setup(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CSpriteRenderer> sprites,
               CountedHandle<CTexture> dropTexture, CountedHandle<CTexture> sprayTexture);
    // Over the control point (an arc) when the target lies below it, else
    // straight; `halfCellW` and `halfCellH` size the drops and the splash.
    void Launch(const Vec3& start, const Vec3& control, const Vec3& target, float halfCellW, float halfCellH,
                int targetColumn, int targetRow, int colour, uint32_t argb, float flySpeed, int32_t z);
    // 0 once the stream has splashed on its token.
    int Update(float dt);

    int32_t dropCount = kDrops;
    float sizeFactor = 0.6f;
    float lengthMin = 0.8f, lengthMax = 1.5f;
    float widthMin = 0.5f, widthMax = 1.2f;
    float wobbleSpeed = 6.2831855f;
    int32_t zOrder = 0;
    CMotionPath path;
    int32_t column = 0, row = 0;
    uint32_t paintColour = 0xFFFFFFFF;
    float sprayIntensity = 0.75f, sprayDropSize = 48.0f;
    int32_t sprayDrops = 15;
    int32_t colourIndex = 0;
    float flightTime = 0.1f, growTime = 0.1f, fadeInTime = 0.1f;
    Vec3 head;
    float halfWidth = 1.0f, halfHeight = 1.0f;
    float dropLength = 0.6f, dropWidth = 0.6f;
    float clock = 0.0f;
    std::vector<float> phases;
    std::vector<Vec2> offsets, velocities;
    std::vector<CountedHandle<CSprite>> drops, highlights;

private:
    void Splash();

    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTexture> m_dropTexture, m_sprayTexture;
};
