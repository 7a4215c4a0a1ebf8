// One ray of the green totem: a beam that runs from the totem to a gem
// token, widening as it goes, a spinning head swinging across its front;
// it runs its length past the token and is over when its tail arrives.
// Without a sprite renderer it only runs.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"

#include <cstdint>

struct GreenTotemParametres;

class CGreenRay {
public:
    CGreenRay() = default;
    // The beam goes at once; the head fades out on its own.
    ~CGreenRay();
    CGreenRay(const CGreenRay&) = delete;
    CGreenRay& operator=(const CGreenRay&) = delete;

    void Setup(CountedHandle<CSpriteRenderer> renderer, CountedHandle<CTexture> beamTexture,
               CountedHandle<CTexture> headTexture, const GreenTotemParametres& params);
    // From `from` to the target after a wait of `preTime`; the answer is
    // the time from now at which the beam's tail reaches the target.
    float Launch(const Vec3& from, float targetX, float targetY, float targetZ, float preTime, int32_t z);
    // 0 once the ray is over.
    int Update(float dt);

    uint32_t colour = 0xFFFFFFFF;
    float thickness = 80.0f, tan = 0.05f, speed = 800.0f, length = 400.0f, repeatLength = 256.0f;
    uint32_t headColour = 0xFFFFE580;
    float headSize = 24.0f, headSpin = 1.0f;
    Vec3 origin, direction, side;
    float distance = 0.0f;
    float textureScale = 1.0f;
    Vec3 edgePoints[2], edgeDirections[2];
    int32_t zOrder = 0;
    float headDistance = 0.0f;
    CountedHandle<CSprite> beam, head;

private:
    CountedHandle<CSpriteRenderer> m_renderer;
    CountedHandle<CTexture> m_beamTexture, m_headTexture;
};
