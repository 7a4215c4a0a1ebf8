#include "effects/overlays/Awards.h"

#include "effects/keepers/MultiOriginSystemKeeper.h"
#include "effects/keepers/SpriteCrackKeeper.h"
#include "effects/overlays/Popups.h"
#include "effects/particles/ParticleSystemsManager.h"
#include "effects/particles/SparksParticleSystem.h"
#include "engine/Sprite.h"
#include "engine/StringTable.h"

#include <cmath>

namespace {

// Text 12 and text 53 of the string table.
constexpr int kStarNote = 12;
constexpr int kLifeLostCaption = 53;

// The part of the star picture the award shows: 204 x 192 texels of 256.
constexpr float kStarU = 0.796875f, kStarV = 0.75f;
constexpr float kStarWidth = 204.0f, kStarHeight = 192.0f;
// It starts at a quarter of that size.
constexpr float kStarStartWidth = 51.0f, kStarStartHeight = 48.0f;
// Effects that run until stopped.
constexpr float kForEver = 10000000.0f;
// The sparks of the life-lost award fall at this many units per second
// squared.
constexpr float kSparkFall = 500.0f;

Vec3 Between(const Vec3& a, const Vec3& b, float f)
{
    return Vec3{a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f};
}

void Place(CSprite& sprite, const Vec3& at)
{
    sprite.x = at.x;
    sprite.y = at.y;
    sprite.z = at.z;
}

// A picture whose device object was let go after loading comes back before
// it is drawn again.
void BringBack(const CountedHandle<CTexture>& texture, const CountedHandle<CSpriteRenderer>& sprites)
{
    if (texture && !texture->texture && sprites && sprites->device && sprites->device->Device())
        texture->Recreate(sprites->device->Device());
}

} // namespace

// --- The Golden Star

CStarAward::CStarAward() { m_glows.reserve(2); }

CStarAward::~CStarAward() { Clear(); }

void CStarAward::SetResources(CountedHandle<CSpriteRenderer> sprites,
                              CountedHandle<CParticleSystemsManager> particles, CPopupManager* popups,
                              CountedHandle<CTexture> star, CountedHandle<CTexture> particle,
                              CountedHandle<CTexture> ring)
{
    m_sprites = std::move(sprites);
    m_particles = std::move(particles);
    m_popups = popups;
    m_starTexture = std::move(star);
    m_particleTexture = std::move(particle);
    m_ringTexture = std::move(ring);
}

void CStarAward::StartGlow(const Vec3& direction, float lineSpeed, float intensity, float emissionSpeed,
                           float emissionSpread, float size, uint32_t colour)
{
    if (!m_particles)
        return;
    auto keeper = MakeCountedHandle(new CMultiOriginSystemKeeper());
    keeper->zFactor = 0.0f; // the glows stay flat on the panel
    MultiOriginEmission emission;
    emission.speed = emissionSpeed;
    emission.speedSpread = emissionSpread;
    emission.width = emission.height = size;
    emission.widthSpread = emission.heightSpread = 0.2f * size;
    emission.spin = 3.1415927f;
    emission.spinSpread = 1.5707964f;
    emission.colour = colour;
    const float bases[3] = {0.1f, 0.25f, 0.65f};
    const float spreads[3] = {0.025f, 0.0625f, 0.2125f};
    std::copy(bases, bases + 3, emission.phaseBase);
    std::copy(spreads, spreads + 3, emission.phaseSpread);
    const Vec3& left = settings.baseLeft;
    const float right = left.x + settings.elementLength * static_cast<float>(settings.count);
    keeper->SetOriginsOnLine(left.x, left.y, 0.0f, right, left.y, 0.0f, direction.x, direction.y, direction.z,
                             settings.count, intensity, lineSpeed, emission, true);
    CCollection2Parametres params(0.0f, 0.0f, left.z, nullptr, keeper, kCollectionAdditive);
    params.keeperFlag = true;
    params.duration = kForEver;
    const int capacity = 2 * static_cast<int>(std::floor(intensity));
    m_glows.push_back(m_particles->AddCollection2(&params, capacity, m_particleTexture));
}

void CStarAward::StopGlows()
{
    for (const auto& glow : m_glows)
        if (glow)
            glow->StopEmitting();
    m_glows.clear();
}

void CStarAward::Start()
{
    Clear();
    running = true;
    BringBack(m_starTexture, m_sprites);
    StartGlow(Vec3{0, 0, 0}, 0.0f, settings.radialIntensity, 40.0f, 10.0f, settings.radialSize,
              settings.radialColor);
    StartGlow(Vec3{0, 1, 0}, 80.0f, settings.upIntensity, 10.0f, 2.5f, settings.upSize, settings.upColor);
}

void CStarAward::Clear()
{
    m_elapsed = 0.0f;
    running = false;
    m_phase = 0;
    if (m_star && m_sprites)
        m_sprites->Remove(m_star);
    m_star.Reset();
    StopGlows();
}

int CStarAward::Update(float dt)
{
    if (!running)
        return 0;
    m_elapsed += dt;
    const CStarAwardSettings& s = settings;
    const float t1 = s.preTime;
    const float t2 = t1 + s.flyTime;
    const float t3 = t2 + s.ringTime;
    const float t4 = t3 + s.postTime;
    const float t5 = t4 + s.flyOutTime;
    switch (m_phase) {
    case 0:
        if (m_elapsed < t1)
            break;
        // The star rises from the panel, fading in and growing to its full
        // size by the end of the flight.
        m_star = MakeCountedHandle(new CSprite(s.from.x, s.from.y, s.from.z, kStarStartWidth, kStarStartHeight,
                                               0xffffffff, m_starTexture, 1));
        m_star->SetFrameRect(0, 0.0f, 0.0f, kStarU, kStarV);
        m_star->zOrder = s.zOrder;
        m_star->SetAlphaNow(0.0f);
        m_star->fadeSpeed = 4.0f / s.flyTime;
        m_star->FadeTo(1.0f);
        m_star->widthSpeed = (kStarWidth - kStarStartWidth) / s.flyTime;
        m_star->heightSpeed = (kStarHeight - kStarStartHeight) / s.flyTime;
        m_star->ResizeTo(kStarWidth, kStarHeight);
        if (m_sprites)
            m_sprites->Add(m_star);
        m_phase = 1;
        break;
    case 1: {
        if (m_elapsed < t2) {
            Place(*m_star, Between(s.from, s.to, (m_elapsed - t1) / s.flyTime));
            break;
        }
        Place(*m_star, s.to);
        // A ring flashes out of the star; the renderer drops it when its
        // time is up, so the award keeps no hold on it.
        auto ring = MakeCountedHandle(
            new CSprite(s.to.x, s.to.y, s.to.z, kStarWidth, kStarHeight, s.ringColor, m_ringTexture, 1));
        ring->SetBlendMode(1, 1);
        ring->zOrder = s.zOrder - 1;
        ring->fadeSpeed = 1.0f / s.ringTime;
        ring->FadeTo(0.0f);
        ring->widthSpeed = 4.0f * kStarWidth * 2.0f / s.ringTime;
        ring->heightSpeed = 4.0f * kStarHeight * 2.0f / s.ringTime;
        ring->ResizeTo(4.0f * kStarWidth, 4.0f * kStarHeight);
        ring->timed = 1;
        ring->timeLeft = s.ringTime;
        if (m_sprites)
            m_sprites->Add(ring);
        if (m_popups)
            m_popups->AddTextPopup(GetString(kStarNote), 1.5f, 4, s.notePos.x, s.notePos.y, s.notePos.z);
        m_phase = 2;
        break;
    }
    case 2:
        if (m_elapsed >= t3)
            m_phase = 3;
        break;
    case 3:
        if (m_elapsed < t4)
            break;
        // The glows stop and the star swells to three times its size.
        StopGlows();
        m_star->widthSpeed = 2.0f * m_star->width / s.flyOutTime;
        m_star->heightSpeed = 2.0f * m_star->height / s.flyOutTime;
        m_star->ResizeTo(3.0f * m_star->width, 3.0f * m_star->height);
        m_star->fadeSpeed = 2.0f / s.flyOutTime;
        m_phase = 4;
        break;
    case 4:
        if (m_elapsed >= t4 + s.flyOutTime / 2.0f && m_star->opacity > 0.0f)
            m_star->FadeTo(0.0f);
        if (m_elapsed >= t5) {
            Clear();
            return 0;
        }
        break;
    }
    return 1;
}

// --- A lost life

CLifeLostAward::CLifeLostAward() = default;

CLifeLostAward::~CLifeLostAward() { Clear(); }

void CLifeLostAward::SetResources(CountedHandle<CSpriteRenderer> sprites,
                                  CountedHandle<CParticleSystemsManager> particles, CPopupManager* popups,
                                  CountedHandle<CTexture> heart, CountedHandle<CTexture> spark)
{
    m_sprites = std::move(sprites);
    m_particles = std::move(particles);
    m_popups = popups;
    m_heartTexture = std::move(heart);
    m_sparkTexture = std::move(spark);
    m_caption = GetString(kLifeLostCaption);
}

CountedHandle<CParticleSystem> CLifeLostAward::AddSparks(const Vec3& at, float vy, float rate, float duration,
                                                         int capacity)
{
    if (!m_particles)
        return CountedHandle<CParticleSystem>();
    CSparksSpringParametres params(at.x, at.y, at.z, 0.0f, vy, 0.0f, 1.0f, 0.0f, 0.0f, 200.0f, 100.0f,
                                   settings.tailColor);
    params.sphereMode = true;
    params.width = 5.0f;
    params.lengthFactor = 0.01f;
    params.maxLength = 25.0f;
    params.fadeRate = 0.5f;
    params.rate = rate;
    params.duration = duration;
    CountedHandle<CParticleSystem> system = m_particles->AddSparks(&params, capacity, m_sparkTexture);
    const float gravity = m_particles->Environment().gravity.y;
    if (system && gravity != 0.0f)
        static_cast<CSparksParticleSystem*>(system.Get())->gravityFactor = -kSparkFall / gravity;
    return system;
}

void CLifeLostAward::Start(bool fromGiven, float x, float y, float z)
{
    Clear();
    const CLifeLostSettings& s = settings;
    m_start = fromGiven ? Vec3{x, y, z} : s.from;
    running = true;
    if (m_popups)
        m_popups->AddCaptionPopup(m_caption, 1.5f, s.notePos.x, s.notePos.y, s.notePos.z);
    m_heart = MakeCountedHandle(
        new CSprite(m_start.x, m_start.y, m_start.z, s.fromSize.x, s.fromSize.y, 0xffffffff, m_heartTexture, 1));
    m_heart->SetFrameRect(0, s.heartRect.x, s.heartRect.y, s.heartRect.z, s.heartRect.w);
    m_heart->zOrder = s.zOrder;
    m_heart->widthSpeed = std::fabs(s.toSize.x - s.fromSize.x) / s.flyTime;
    m_heart->heightSpeed = std::fabs(s.toSize.y - s.fromSize.y) / s.flyTime;
    m_heart->ResizeTo(s.toSize.x, s.toSize.y);
    if (m_sprites)
        m_sprites->Add(m_heart);
    m_trail = AddSparks(m_start, 0.0f, 30.0f * rateFactor, kForEver, 120);
}

void CLifeLostAward::Break()
{
    const CLifeLostSettings& s = settings;
    // A burst of sparks, thrown at once.
    if (CountedHandle<CParticleSystem> burst = AddSparks(s.to, 50.0f, 300.0f * rateFactor, 0.1f, 80))
        burst->Update(0.1f);
    // The heart in 36 shards.
    if (m_particles) {
        auto crack = MakeCountedHandle(new CSpriteCrackKeeper());
        crack->Configure(s.toSize.x, s.toSize.y, s.heartRect.x, s.heartRect.y, s.heartRect.z, s.heartRect.w, 6, 6,
                         0.25f);
        crack->floor = -400.0f;
        crack->gravity = 2500.0f;
        crack->speed = 300.0f;
        crack->speedSpread = 150.0f;
        crack->BuildCracks();
        CCollection2Parametres params(s.to.x, s.to.y, s.to.z, nullptr, crack, kCollectionAlphaBlend);
        params.keeperFlag = true;
        m_particles->AddCollection2(&params, 40, m_heartTexture);
    }
    if (m_trail)
        m_trail->StopEmitting();
    m_trail.Reset();
    if (m_heart && m_sprites)
        m_sprites->Remove(m_heart);
    m_heart.Reset();
}

void CLifeLostAward::Clear()
{
    m_elapsed = 0.0f;
    running = false;
    m_phase = 0;
    if (m_heart && m_sprites)
        m_sprites->Remove(m_heart);
    m_heart.Reset();
    if (m_trail)
        m_trail->StopEmitting();
    m_trail.Reset();
}

int CLifeLostAward::Update(float dt)
{
    if (!running)
        return 0;
    m_elapsed += dt;
    const CLifeLostSettings& s = settings;
    switch (m_phase) {
    case 0: {
        const Vec3 at = m_elapsed < s.flyTime ? Between(m_start, s.to, m_elapsed / s.flyTime) : s.to;
        Place(*m_heart, at);
        // Only the trail's emitter follows the heart: its sparks stay where
        // they were thrown.
        if (m_trail) {
            const Vec3& from = m_trail->Position();
            m_trail->CParticleSystem::MoveBy(at.x - from.x, at.y - from.y, at.z - from.z);
        }
        if (m_elapsed >= s.flyTime)
            m_phase = 1;
        break;
    }
    case 1:
        if (m_elapsed >= s.flyTime + s.waitTime) {
            Break();
            m_phase = 2;
        }
        break;
    case 2:
        if (m_elapsed >= s.flyTime + s.waitTime + s.postTime) {
            m_elapsed = 0.0f;
            m_phase = 0;
            running = false;
            return 0;
        }
        break;
    }
    return 1;
}
