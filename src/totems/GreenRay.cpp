#include "totems/GreenRay.h"

#include "effects/particles/ParticleMath.h"
#include "totems/GreenTotem.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {

// The beam is the left half of the unigem picture, running down it; the
// head the gem flares' first sparkle.
constexpr float kBeamRight = 0.5f;

} // namespace

CGreenRay::~CGreenRay()
{
    if (m_renderer && beam)
        m_renderer->Remove(beam);
    if (head) {
        head->fadeSpeed = 10.0f;
        head->FadeTo(0.0f);
        head->dropWhenFaded = 1;
    }
}

void CGreenRay::Setup(CountedHandle<CSpriteRenderer> renderer, CountedHandle<CTexture> beamTexture,
                      CountedHandle<CTexture> headTexture, const GreenTotemParametres& p)
{
    m_renderer = std::move(renderer);
    m_beamTexture = std::move(beamTexture);
    m_headTexture = std::move(headTexture);
    colour = p.rayColor;
    thickness = p.rayThickness;
    tan = p.rayTan;
    speed = p.raySpeed;
    length = p.rayLen;
    repeatLength = p.ray2PiLen;
    headColour = p.rayFlareColor;
    headSize = p.rayHeadSize;
    headSpin = p.rayHeadW;
}

float CGreenRay::Launch(const Vec3& from, float targetX, float targetY, float targetZ, float preTime, int32_t z)
{
    origin = from;
    const Vec3 way = V3(targetX, targetY, targetZ) - origin;
    distance = Length(way);
    direction = Normalised(way, V3(0.0f, -1.0f, 0.0f));
    side = V3(-direction.y, direction.x, 0.0f);
    // The texture repeats a whole number of half times over the way.
    const float repeats = std::max(std::floor(2.0f * distance / repeatLength + 0.5f) * 0.5f, 0.5f);
    textureScale = distance > 0.0f ? repeats / distance : 1.0f / repeatLength;
    for (int k = 0; k < 2; ++k) {
        const float s = k == 0 ? -1.0f : 1.0f;
        edgePoints[k] = origin + side * (s * thickness);
        edgeDirections[k] = direction + side * (s * tan);
    }
    headDistance = -speed * preTime;
    zOrder = z;
    if (m_renderer) {
        beam = MakeCountedHandle(new CSprite(origin.x, origin.y, origin.z, 1.0f, 1.0f, colour, m_beamTexture, 1));
        beam->SetBlendMode(1, 1);
        beam->zOrder = z;
        // Nothing shows until the head leaves the origin.
        const float none[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        beam->SetVertexOffsets(none);
        m_renderer->Add(beam);
        head = MakeCountedHandle(
            new CSprite(origin.x, origin.y, origin.z, headSize, headSize, headColour, m_headTexture, 1));
        head->SetBlendMode(1, 1);
        head->SetFrameRect(0, 0.0f, 0.0f, 0.5f, 0.5f);
        head->SetAngle(RandomAngle());
        head->spinning = 1;
        head->spinSpeed = headSpin;
        head->SetAlphaNow(0.0f);
        head->fadeSpeed = 10.0f;
        head->zOrder = z;
        m_renderer->Add(head);
    }
    return (length + distance) / speed + preTime;
}

int CGreenRay::Update(float dt)
{
    const float before = headDistance;
    headDistance += speed * dt;
    if (head && before < 0.0f && headDistance >= 0.0f)
        head->FadeTo(1.0f);
    const float tail = std::clamp(headDistance - length, 0.0f, distance);
    const float front = std::clamp(headDistance, 0.0f, distance);
    if (beam) {
        // The quad's corners round its centre (the origin), in the order
        // tail left, tail right, front right, front left.
        const Vec3 corners[4] = {
            edgePoints[0] + edgeDirections[0] * tail, edgePoints[1] + edgeDirections[1] * tail,
            edgePoints[1] + edgeDirections[1] * front, edgePoints[0] + edgeDirections[0] * front};
        float offsets[8];
        for (int i = 0; i < 4; ++i) {
            offsets[2 * i] = corners[i].x - origin.x;
            offsets[2 * i + 1] = corners[i].y - origin.y;
        }
        beam->SetVertexOffsets(offsets);
        const float vt = tail * textureScale, vf = front * textureScale;
        const float uv[8] = {0.0f, vt, kBeamRight, vt, kBeamRight, vf, 0.0f, vf};
        beam->SetFrameQuad(0, uv);
    }
    if (head) {
        const float f = std::sin(2.0f * kTotemPi * front * textureScale) * 0.5f + 0.5f;
        const Vec3 left = edgePoints[0] + edgeDirections[0] * front;
        const Vec3 right = edgePoints[1] + edgeDirections[1] * front;
        const Vec3 at = left + (right - left) * f;
        head->x = at.x;
        head->y = at.y;
        head->z = at.z;
    }
    if (tail < distance)
        return 1;
    if (head)
        head->FadeTo(0.0f);
    return 0;
}
