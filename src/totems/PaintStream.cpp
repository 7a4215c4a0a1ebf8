#include "totems/PaintStream.h"

#include "effects/keepers/DropsSprayKeeper.h"
#include "effects/particles/ParticleMath.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "totems/TotemEffects.h"

#include <algorithm>
#include <cmath>

using namespace fx;

namespace {

// The paint picture: a drop pointing right in the upper left quarter, its
// highlight beside it; a splash drop in the lower left quarter, its
// highlight beside it.
constexpr float kHighlightShift = 0.5f;
constexpr float kSplashTop = 0.5f;

} // namespace

CPaintStream::CPaintStream()
{
    phases.reserve(kDrops);
    offsets.reserve(kDrops);
    velocities.reserve(kDrops);
    drops.reserve(kDrops);
    highlights.reserve(kDrops);
}

CPaintStream::~CPaintStream()
{
    if (!m_sprites)
        return;
    for (const auto& drop : drops)
        m_sprites->Remove(drop);
    for (const auto& highlight : highlights)
        m_sprites->Remove(highlight);
}

void CPaintStream::Setup(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CSpriteRenderer> sprites,
                         CountedHandle<CTexture> dropTexture, CountedHandle<CTexture> sprayTexture)
{
    m_particles = std::move(particles);
    m_sprites = std::move(sprites);
    m_dropTexture = std::move(dropTexture);
    m_sprayTexture = std::move(sprayTexture);
}

void CPaintStream::Launch(const Vec3& start, const Vec3& control, const Vec3& target, float halfCellW,
                          float halfCellH, int targetColumn, int targetRow, int colour, uint32_t argb,
                          float flySpeed, int32_t z)
{
    zOrder = z;
    halfWidth = halfCellW;
    halfHeight = halfCellH;
    column = targetColumn;
    row = targetRow;
    colourIndex = colour;
    paintColour = argb;
    dropLength = halfWidth * sizeFactor;
    dropWidth = halfHeight * sizeFactor;
    head = start;
    if (target.y <= control.y) {
        // Up to the control point slowing, then down gathering speed.
        const float up = Length(control - start), down = Length(target - control);
        flightTime = std::max((up + down) / flySpeed, 0.01f);
        const float first = up > 0.0f || down > 0.0f ? flightTime * up / (up + down) : 0.5f * flightTime;
        path.Reset(start, control, V3(1.0f, 2.0f, 1.0f), V3(1.0f, 0.0f, 1.0f), std::max(first, 0.005f));
        path.AppendSmooth(target, V3(1.0f, 2.0f, 1.0f), std::max(flightTime - first, 0.005f));
    } else {
        flightTime = std::max(Length(target - start) / flySpeed, 0.01f);
        path.ResetLinear(start, target, flightTime);
    }
    growTime = 0.4f * flightTime;
    fadeInTime = 0.2f * flightTime;
    clock = 0.0f;
    phases.clear();
    offsets.clear();
    velocities.clear();
    const uint32_t alpha = argb & 0xFF000000u;
    for (int i = 0; i < dropCount; ++i) {
        const float drift = halfWidth * 0.8f;
        const Vec2 from{drift * (RandomUnit() - 0.5f), drift * (RandomUnit() - 0.5f)};
        const Vec2 to{drift * (RandomUnit() - 0.5f), drift * (RandomUnit() - 0.5f)};
        offsets.push_back(from);
        velocities.push_back({(to.x - from.x) / flightTime, (to.y - from.y) / flightTime});
        phases.push_back(RandomAngle());
        if (!m_sprites)
            continue;
        const float w = 0.1f * dropLength, h = 0.1f * dropWidth;
        for (int layer = 0; layer < 2; ++layer) {
            auto sprite =
                MakeCountedHandle(new CSprite(head.x + 0.1f * from.x, head.y + 0.1f * from.y, head.z, w, h,
                                              layer == 0 ? argb : (alpha | 0xFFFFFFu), m_dropTexture, 1));
            sprite->SetBlendMode(1, 0);
            const float u0 = layer == 0 ? 0.0f : kHighlightShift;
            sprite->SetFrameRect(0, u0, 0.0f, u0 + 0.5f, 0.5f);
            sprite->SetAlphaNow(0.0f);
            sprite->fadeSpeed = 1.0f / fadeInTime;
            sprite->FadeTo(1.0f);
            sprite->zOrder = zOrder - layer;
            m_sprites->Add(sprite);
            (layer == 0 ? drops : highlights).push_back(sprite);
        }
    }
}

int CPaintStream::Update(float dt)
{
    clock = std::min(clock + dt, flightTime);
    const Vec3 next = path.GetPoint(clock);
    const float mx = next.x - head.x, my = next.y - head.y;
    const float moved = std::sqrt(mx * mx + my * my);
    const float angle = moved > 0.0f ? std::atan2(my, mx) : 0.0f;
    head = next;
    // Grown out of the totem over the first part of the flight.
    const float g = clock < growTime ? clock * 0.9f / growTime + 0.1f : 1.0f;
    for (size_t i = 0; i < phases.size(); ++i) {
        offsets[i].x += velocities[i].x * dt;
        offsets[i].y += velocities[i].y * dt;
        phases[i] += wobbleSpeed * dt;
        const float f = (std::sin(phases[i]) + 1.0f) / 2.0f;
        const float length = g * dropLength * (lengthMin + f * (lengthMax - lengthMin));
        const float width = g * dropWidth * (widthMin + (1.0f - f) * (widthMax - widthMin));
        const float x = head.x + g * offsets[i].x, y = head.y + g * offsets[i].y;
        for (std::vector<CountedHandle<CSprite>>* list : {&drops, &highlights}) {
            if (i >= list->size())
                continue;
            CSprite& sprite = *(*list)[i];
            sprite.x = x;
            sprite.y = y;
            sprite.z = head.z;
            sprite.SetSize(length, width);
            sprite.SetAngle(angle);
        }
    }
    if (clock < flightTime)
        return 1;
    Splash();
    return 0;
}

// The drops burst on the token, their shine riding on them.
void CPaintStream::Splash()
{
    for (std::vector<CountedHandle<CSprite>>* list : {&drops, &highlights}) {
        for (const auto& sprite : *list) {
            sprite->fadeSpeed = 10.0f;
            sprite->FadeTo(0.0f);
            sprite->dropWhenFaded = 1;
        }
        list->clear();
    }
    if (!m_particles)
        return;
    CountedHandle<CDropsSprayKeeper> sprays[2];
    for (int k = 0; k < 2; ++k) {
        auto spray = MakeCountedHandle(new CDropsSprayKeeper());
        const float u0 = k == 0 ? 0.0f : kHighlightShift;
        spray->Configure(sprayDrops, 2.0f * halfWidth, 2.0f * halfHeight, 0.0f, u0, kSplashTop, u0 + 0.5f, 1.0f);
        spray->size = sprayDropSize;
        spray->floor = -400.0f;
        spray->gravity = 2500.0f;
        spray->speed = 300.0f;
        spray->speedSpread = 150.0f;
        spray->colour = k == 0 ? paintColour & 0xFFFFFFu : 0xFFFFFFu;
        if (k == 0)
            spray->Generate();
        else
            spray->CopyDrops(sprays[0]);
        sprays[k] = spray;
        CCollection2Parametres splash(head.x, head.y, head.z - static_cast<float>(k), nullptr, spray,
                                      kCollectionAlphaBlend);
        splash.keeperFlag = true;
        splash.alphaFactor = sprayIntensity;
        splash.duration = 1.5f; // the drops have fallen off the screen by then
        m_particles->AddCollection2(&splash, sprayDrops + 2, m_sprayTexture);
    }
}
