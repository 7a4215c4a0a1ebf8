#include "tokens/Token.h"

#include <cmath>

namespace {
constexpr float kPi = 3.14159265f;
} // namespace

void CToken::SetChained(int32_t chains)
{
    chained = chains;
    if (cap)
        cap->chainLevel = chains;
}

bool CToken::Hits(float px, float py) const
{
    const float dx = px - (anchorX + offsetX);
    const float dy = py - (anchorY + offsetY);
    return std::fabs(dx) <= size && std::fabs(dy) <= size && dx * dx + dy * dy <= size * size;
}

int32_t CToken::Update(float dt, bool hover, bool snap)
{
    int32_t event = kTokenMoved;
    if (state == kTokenResting) {
        // A still token under the pointer sways a little, and settles again
        // at half the speed when the pointer leaves.
        wobbleAmplitude =
            hover ? std::fmin(wobbleAmplitude + 6.0f * dt, 3.0f) : std::fmax(wobbleAmplitude - 3.0f * dt, 0.0f);
        if (wobbleAmplitude > 0.0f) {
            wobbleTime += dt;
            const float t = wobbleTime;
            x = anchorX + std::sin(2.0f * kPi * t + 1.0f) * wobbleAmplitude;
            y = anchorY + std::cos(1.8379264f * kPi * t + 2.0f) * wobbleAmplitude;
            z = anchorZ;
            if (snap) {
                x = std::floor(x) + 0.5f;
                y = std::floor(y) - 0.5f;
            }
        } else {
            wobbleTime = 0.0f;
            x = anchorX, y = anchorY, z = anchorZ;
        }
    } else if (state == kTokenFlying || state == kTokenSwapping) {
        pathTime = std::fmin(pathTime + dt, pathDuration);
        const Vec3 p = path.GetPoint(pathTime);
        anchorX = p.x, anchorY = p.y, anchorZ = p.z;
        wobbleTime = wobbleAmplitude = 0.0f;
        x = anchorX, y = anchorY, z = anchorZ;
        if (pathTime >= pathDuration) {
            event = state == kTokenFlying ? kFlightOver : kSwapOver;
        } else if (state == kTokenFlying && dropSoundArmed && !dropSoundPlayed && path.segments.size() == 3 &&
                   pathTime >= path.durations[0] + path.durations[1]) {
            // Entering the last of three segments: it lands and bounces.
            dropSoundPlayed = 1;
            event = kLanded;
        }
    }
    if (cap) {
        cap->x = x + offsetX;
        cap->y = y + offsetY;
        cap->z = z + offsetZ;
    }
    return event;
}

uint32_t TokenColourArgb(const CToken& token)
{
    switch (token.colour) {
    case 0:
        return 0xff40ff40;
    case 1:
        return 0xffffff40;
    case 2:
        return 0xffff4040;
    case 3:
        return 0xff4040ff;
    case 4:
        return 0xffffc040;
    case 6:
        return 0xffff40ff;
    default:
        return 0xffffffff;
    }
}
