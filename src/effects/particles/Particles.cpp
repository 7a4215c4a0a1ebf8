// How each particle record starts and advances.
#include "effects/particles/Particles.h"

#include "effects/particles/ParticleEnvironment.h"
#include "effects/particles/ParticleMath.h"

#include <cmath>

using namespace fx;

namespace {

constexpr uint32_t kRgb = 0x00FFFFFFu;

// Below this a speed or spin is at rest; letting it shrink on would take it
// into denormal floats, which cost a hundred times more to compute with.
constexpr float kAtRest = 1e-6f;

// Drag of smoke and fireballs: the velocity shrinks by dt x drag per second,
// and stops dead when that would reverse it.
void Drag(Vec3& velocity, float dt, float drag)
{
    float f = 1.0f - dt * drag;
    if (f < 0.0f || Dot(velocity, velocity) < kAtRest * kAtRest)
        f = 0.0f;
    velocity = velocity * f;
}

// Spin damping that never turns the spin round: a sign change stops it.
float DampSpin(float spin, float dt, float damping)
{
    const float next = spin - dt * spin * damping;
    return spin * next < 0.0f || std::fabs(next) < kAtRest ? 0.0f : next;
}

} // namespace

void CSpark::Init(uint32_t c, float fade, float x, float y, float z, float vx, float vy, float vz, float width,
                  float factor, float maximum)
{
    Start(x, y, z, vx, vy, vz, width);
    colour = c & kRgb;
    fadeRate = fade;
    length = width;
    lengthFactor = factor;
    maxLength = maximum;
    lengthPerSpeed = width * factor;
    gravityFactor = 1.0f;
    alpha = 1.0f;
}

void CSpark::Update(float dt, const CParticleEnvironment& env)
{
    position += velocity * dt;
    velocity += env.gravity * (dt * gravityFactor);
    alpha -= dt * fadeRate;
    if (alpha < 0.0f)
        alpha = 0.0f;
}

void CSmoke::Init(uint32_t c, float fade, float x, float y, float z, float vx, float vy, float vz, float startSize,
                  float growth, float change, float rise)
{
    Start(x, y, z, vx, vy, vz, startSize);
    colour = c & kRgb;
    red = static_cast<float>((c >> 16) & 0xFF);
    green = static_cast<float>((c >> 8) & 0xFF);
    blue = static_cast<float>(c & 0xFF);
    fadeRate = fade;
    fadeOutRate = 0.0f;
    growthRate = growth;
    growthChange = change;
    riseSpeed = rise;
    alpha = 1.0f;
    peakAlpha = 1.0f;
    rotation = std::floor(RandomUnit() * 1024.0f);
    spin = RandomUnit() * 600.0f - 300.0f;
    frame = RandomIndex(16);
}

void CSmoke::Update(float dt, const CParticleEnvironment& env)
{
    position.x += velocity.x * dt;
    position.z += velocity.z * dt;
    position.y += velocity.y * dt + riseSpeed * dt;
    Drag(velocity, dt, env.smokeDrag);
    size += dt * growthRate;
    growthRate += dt * growthChange;
    rotation = WrapAngle(rotation + dt * spin);
    spin = DampSpin(spin, dt, env.smokeSpinDamping);
    const float next = alpha - dt * fadeRate;
    if (fadeRate < 0.0f && next >= peakAlpha) {
        // The time past the peak is spent fading out already.
        const float fadeIn = -fadeRate;
        fadeRate = fadeOutRate;
        alpha = peakAlpha - fadeOutRate * ((next - peakAlpha) / fadeIn);
    } else {
        alpha = next;
    }
    if (alpha < 0.0f)
        alpha = 0.0f;
}

void CFireball::Init(uint32_t c, float fade, float x, float y, float z, float vx, float vy, float vz,
                     float startSize, float growth, float change)
{
    Start(x, y, z, vx, vy, vz, startSize);
    colour = c & kRgb;
    fadeRate = fade;
    growthRate = growth;
    growthChange = change;
    alpha = 1.0f;
    rotation = std::floor(RandomUnit() * 1024.0f);
    if (RandomUnit() >= 0.5f)
        spin = RandomUnit() * 1024.0f + 1024.0f;
    else
        spin = -(RandomUnit() * 1024.0f) - 1024.0f;
    frame = RandomIndex(16);
}

void CFireball::Update(float dt, const CParticleEnvironment& env)
{
    position += velocity * dt;
    Drag(velocity, dt, env.fireballDrag);
    size += dt * growthRate;
    growthRate += dt * growthChange;
    rotation = WrapAngle(rotation + dt * spin);
    spin = DampSpin(spin, dt, env.fireballSpinDamping);
    alpha -= dt * fadeRate;
    if (alpha < 0.0f)
        alpha = 0.0f;
}

void CThunderbolt::Init(uint32_t c, float x, float y, float z, float jitterRadius, float pointSize)
{
    Start(x, y, z, 0.0f, 0.0f, 0.0f, pointSize);
    shown = position;
    colour = c & kRgb;
    jitter = jitterRadius;
    brightness = RandomUnit() * 0.25f + 0.75f;
    frame = RandomIndex(16);
}

// On average twenty flickers a second; a frame of no time never flickers.
void CThunderbolt::Update(float dt)
{
    const float draw = RandomUnit();
    if (!(dt > 0.0f && draw <= 20.0f * dt))
        return;
    const float rx = 2.0f * RandomUnit() - 1.0f;
    const float ry = 2.0f * RandomUnit() - 1.0f;
    const float rz = 2.0f * RandomUnit() - 1.0f;
    const Vec3 r = V3(rx, ry, rz);
    const float length = Length(r);
    shown = length == 0.0f ? position : position + r * (jitter / length);
    brightness = RandomUnit() * 0.25f + 0.75f;
    frame = RandomIndex(16);
}

void CThunderbolt::MoveBy(float dx, float dy, float dz)
{
    CParticle::MoveBy(dx, dy, dz);
    shown += V3(dx, dy, dz);
}

void CSpell::Init(uint32_t c, float fade, float x, float y, float z, float vx, float vy, float vz, float startSize,
                  float startRotation, float startSpin)
{
    Start(x, y, z, vx, vy, vz, startSize);
    colour = c & kRgb;
    fadeRate = fade;
    rotation = startRotation;
    spin = startSpin;
    alpha = fade > 0.0f ? 1.0f : 0.0f;
    phase = 1.0f;
    ended = false;
}

void CSpell::Update(float dt)
{
    position += velocity * dt;
    const float b = fadeRate;
    const float s = phaseSpeed;
    if (phase < 0.0f) {
        // The final fade.
        phase += dt * s;
        if (phase >= 0.0f) {
            ended = true;
            alpha = 0.0f;
        } else {
            alpha = -phase;
        }
    } else if (phase < 1.0f) {
        // The fade-in ramp; the time past its end is spent at the fade rate.
        phase += dt * s;
        if (phase >= 1.0f) {
            const float t = (phase - 1.0f) / s;
            alpha = b >= 0.0f ? 1.0f - b * t : -b * t;
            if (alpha < 0.0f) {
                ended = true;
                alpha = 0.0f;
            }
            if (alpha > 1.0f) {
                alpha = 1.0f;
                ended = true;
            }
            phase = 1.0f;
        } else {
            alpha = b >= 0.0f ? phase : 1.0f - phase;
        }
    } else {
        alpha -= dt * b;
        if (alpha < 0.0f) {
            ended = true;
            alpha = 0.0f;
        } else if (alpha > 1.0f) {
            if (phase != 2.0f) {
                alpha = 1.0f;
                ended = true;
            } else {
                // Full opacity reached: the rest of the frame is spent in the
                // final fade.
                phase = -1.0f - (alpha - 1.0f) * s / b;
                if (phase >= 0.0f)
                    ended = true;
                alpha = -phase;
            }
        }
    }
    rotation = WrapAngle(rotation + dt * spin);
}

void CCollectedParticle::Init(uint32_t c, float x, float y, float z, int32_t v, float a, float startSize,
                              float startRotation)
{
    Start(x, y, z, 0.0f, 0.0f, 0.0f, startSize);
    colour = c & kRgb;
    red = static_cast<float>((c >> 16) & 0xFF);
    green = static_cast<float>((c >> 8) & 0xFF);
    blue = static_cast<float>(c & 0xFF);
    value = v;
    alpha = a;
    alphaSpeed = 0.0f;
    rotation = startRotation;
    spin = 0.0f;
    age = 0.0f;
    reserved = 0.0f;
    SetTextureRect(0.0f, 0.0f, 1.0f, 1.0f);
}

void CCollectedParticle::SetTextureRect(float u0, float v0, float u1, float v1)
{
    uv[0][0] = u0;
    uv[0][1] = v0;
    uv[1][0] = u1;
    uv[1][1] = v0;
    uv[2][0] = u1;
    uv[2][1] = v1;
    uv[3][0] = u0;
    uv[3][1] = v1;
}

void CCollectedParticle2::InitQuad(uint32_t c, float x, float y, float z, int32_t v, float a, float w, float h,
                                   float startRotation)
{
    Init(c, x, y, z, v, a, w, startRotation);
    const float square[4][2] = {{-0.5f, 0.5f}, {0.5f, 0.5f}, {0.5f, -0.5f}, {-0.5f, -0.5f}};
    for (int k = 0; k < 4; ++k) {
        corners[k][0] = square[k][0];
        corners[k][1] = square[k][1];
        corners[k][2] = 0.0f;
    }
    width = w;
    height = h;
}
