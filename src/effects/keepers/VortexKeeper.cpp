// The vortex: ring-born particles with a fade-hold-fade life, steered round
// the axis.
#include "effects/keepers/VortexKeeper.h"

#include "effects/keepers/KeeperMath.h"

#include <algorithm>
#include <cmath>

using namespace fx;

CVortexKeeper::CVortexKeeper()
{
    SetVortex(16.0f, 40.0f, 200.0f, 200.0f, 16.0f);
    Configure(0xffffffff, 32.0f, 32.0f, 20.0f, 10.0f, 0.5f, 2.0f, 256.0f);
    BuildShape(0);
}

void CVortexKeeper::SetVortex(float inner, float outer, float innerTangential, float outerTangential, float spawn)
{
    innerRadius = inner;
    outerRadius = outer;
    innerSpeed = innerTangential;
    outerSpeed = outerTangential;
    spawnRadius = spawn;
}

void CVortexKeeper::Configure(uint32_t c, float w, float h, float s, float fadeIn, float hold, float fadeOut,
                              float turn)
{
    colour = c;
    width = w;
    height = h;
    speed = s;
    speedSpread = s / 2.0f;
    fadeInSpeed = fadeIn;
    holdTime = hold;
    holdSpread = hold / 2.0f;
    fadeOutSpeed = fadeOut;
    fadeOutSpread = fadeOut / 2.0f;
    spin = turn;
    spinSpread = std::fabs(turn / 2.0f);
}

void CVortexKeeper::BuildShape(int type)
{
    if (type == 0) {
        m_shapes.assign(1, Shape{0.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f});
        return;
    }
    if (type != 1 && type != 2)
        return;
    m_shapes.clear();
    for (int i = 0; i < 12; ++i) {
        const float u = static_cast<float>(i % 4) * 0.25f;
        const float v = static_cast<float>(i / 4) * 0.25f;
        m_shapes.push_back(Shape{u, v, u + 0.25f, v + 0.25f, 1.0f, 1.0f});
    }
    if (type == 2) {
        m_shapes[5].u0 -= 1.0f / 64.0f;
        m_shapes[5].u1 -= 1.0f / 64.0f;
        m_shapes[5].widthFactor -= 0.0625f;
        m_shapes[6].u0 -= 1.0f / 64.0f;
        m_shapes[6].u1 -= 1.0f / 128.0f;
        m_shapes[6].widthFactor += 0.03125f;
    }
}

void CVortexKeeper::UseCell(float u0, float v0, float u1, float v1)
{
    m_shapes.assign(1, Shape{u0, v0, u1, v1, 1.0f, 1.0f});
}

bool CVortexKeeper::FollowOrigin(float x, float y, float z, float)
{
    origin = V3(x, y, z);
    return true;
}

int CVortexKeeper::GetEmitCount(float dt) { return TakeWholeParticles(accumulator, rate, dt); }

bool CVortexKeeper::InitParticle(int, CCollectedParticle2& p, float, float, float)
{
    if (m_shapes.empty())
        return true;
    const int k = RandomIndex(static_cast<int>(m_shapes.size()));
    const Shape& shape = m_shapes[static_cast<size_t>(k)];
    const float ring = 0.7071f + 0.2929f * RandomUnit();
    const float d = spawnRadius * ring * ring;
    const float a = kTwoPi * RandomUnit();
    const Vec3 at = origin + V3(d * std::cos(a), d * std::sin(a), 0.0f);
    p.InitQuad(colour, at.x, at.y, at.z, k, 0.0f, width * shape.widthFactor, height * shape.heightFactor,
               1024.0f * RandomUnit());
    p.SetTextureRect(shape.u0, shape.v0, shape.u1, shape.v1);
    const float s = Spread(speed, speedSpread);
    const float b = kTwoPi * RandomUnit();
    p.velocity = V3(s * std::cos(b), s * std::sin(b), 0.0f);
    p.alphaSpeed = -fadeInSpeed;
    p.spin = Spread(spin, spinSpread);
    return true;
}

bool CVortexKeeper::StartFadeOut(CCollectedParticle2& p, float h)
{
    const float f = Spread(fadeOutSpeed, fadeOutSpread);
    p.alphaSpeed = f;
    p.alpha = f * h + 1.0f;
    return p.alpha > 0.0f;
}

bool CVortexKeeper::UpdateParticle(int, CCollectedParticle2& p, float dt, float, float, float)
{
    if (dt == 0.0f)
        return true;
    // The particle's spare number holds what is left of its hold time.
    if (p.alphaSpeed < 0.0f) {
        p.alpha -= dt * p.alphaSpeed;
        if (p.alpha >= 1.0f) {
            const float h = Spread(holdTime, holdSpread) - (p.alpha - 1.0f);
            if (h > 0.0f) {
                p.alpha = 1.0f;
                p.alphaSpeed = 0.0f;
                p.spare = h;
            } else if (!StartFadeOut(p, h)) {
                return false;
            }
        }
    } else if (p.alphaSpeed > 0.0f) {
        p.alpha -= dt * p.alphaSpeed;
        if (p.alpha <= 0.0f)
            return false;
    } else {
        p.spare -= dt;
        if (p.spare <= 0.0f && !StartFadeOut(p, p.spare))
            return false;
    }
    const Vec3 offset = p.position - origin;
    const float distance = Length(offset);
    if (swirl && distance < outerRadius) {
        Vec3 n;
        if (distance == 0.0f) {
            const float a = kTwoPi * RandomUnit();
            n = V3(std::cos(a), std::sin(a), 0.0f);
        } else {
            n = offset / distance;
        }
        const Vec3 t = Cross(axis, n);
        const float q = distance < innerRadius ? 0.0f : (distance - innerRadius) / (outerRadius - innerRadius);
        const float target = innerSpeed + (outerSpeed - innerSpeed) * q;
        float g = Dot(p.velocity, t);
        float r = Dot(p.velocity, n);
        // Each moves towards its aim by a share of the distance, never past.
        g += (target - g) * std::min(dt * tangentialGain, 1.0f);
        r -= r * std::min(dt * radialDamping, 1.0f);
        p.velocity = t * g + n * r;
    }
    p.position += p.velocity * dt;
    p.rotation = WrapAngle(p.rotation + p.spin * dt);
    return true;
}
