#include "challenges/AccuracyChallenge.h"

#include "challenges/ChallengeSounds.h"
#include "engine/Random.h"

#include <cmath>
#include <cstddef>
#include <utility>

namespace {

constexpr float kPi = 3.14159265f;

// A sign drawn at random.
float RandomSign() { return RandomUnit() < 0.5f ? -1.0f : 1.0f; }

// The sparkles of a trail and of a catch burst share their look: pink-gold
// motes that turn either way at a random start angle.
CSpellsSpringParametres Sparkles(const Vec3& at, float speed, float speedSpread, float fade)
{
    CSpellsSpringParametres p(at.x, at.y, at.z, 0.0f, 0.0f, 0.0f, speed, speedSpread, 8.0f, 4.0f,
                              CAccuracyChallenge::kStarColour);
    p.fadeRate = fade;
    p.fadeSpread = 0.25f;
    p.randomRotation = true;
    p.randomSpinSign = true;
    p.spin = 512.0f;
    p.spinSpread = 256.0f;
    return p;
}

Vec3 SpritePoint(const CSprite& sprite) { return Vec3{sprite.x, sprite.y, sprite.z}; }

} // namespace

CAccuracyStar::~CAccuracyStar()
{
    if (trail)
        trail->StopEmitting();
    if (sprite) {
        sprite->timed = 1;
        sprite->timeLeft = 0.0f;
    }
}

CAccuracyChallenge::CAccuracyChallenge()
{
    m_stars.reserve(40);
    SetArea(512.0f, 200.0f, 0.0f, 640.0f, 480.0f, -180.5f, -342.5f, 0.0f, 32.0f, 32.0f, kDefaultGoal);
}

CAccuracyChallenge::~CAccuracyChallenge() { m_stars.clear(); }

void CAccuracyChallenge::SetResources(AccuracyResources resources) { m_resources = std::move(resources); }

void CAccuracyChallenge::SetArea(float x, float y, float z, float width, float height, float trayX, float trayY,
                                 float trayZ, float slotWidth, float slotHeight, int goal)
{
    m_area = Vec3{x, y, z};
    m_areaWidth = width;
    m_areaHeight = height;
    m_tray = Vec3{trayX, trayY, trayZ};
    m_slotWidth = slotWidth;
    m_slotHeight = slotHeight;
    // The bar's count comes from the editable skin; no stars to catch would
    // let a first click win the level.
    m_goal = goal >= 1 ? goal : kDefaultGoal;
}

void CAccuracyChallenge::Start(int group)
{
    m_state = kRunning;
    m_launchInterval = 1.0f;
    m_launchTimer = 0.0f;
    m_starSpeed = 175.0f + 100.0f * static_cast<float>(group - 1);
    m_starWidth = m_starHeight = 64.0f;
}

void CAccuracyChallenge::Launch()
{
    const float startX = m_area.x + m_starWidth; // just beyond the right edge
    const float startY = m_area.y - RandomUnit() * m_areaHeight;
    const float endY = m_area.y - RandomUnit() * m_areaHeight;
    const float turnX = m_area.x - (RandomUnit() * 0.3f + 0.7f) * m_areaWidth;
    const float z = m_area.z;
    const float distance = startX - turnX;
    const float time = distance / ((RandomUnit() * 0.5f + 0.75f) * m_starSpeed);

    CountedHandle<CAccuracyStar> star = MakeCountedHandle(new CAccuracyStar());
    // It stands still across at the turn, half way through its time, and is
    // back at the right edge at the end.
    star->xAcceleration = 4.0f * distance / (time * time);
    star->xVelocity = -star->xAcceleration * time;
    star->xStart = startX;
    star->yAcceleration = 0.0f;
    star->yVelocity = (endY - startY) / time;
    star->yStart = startY;
    star->duration = time;
    star->elapsed = 0.0f;

    CountedHandle<CSprite> sprite = MakeCountedHandle(
        new CSprite(startX, startY, z, m_starWidth, m_starHeight, kStarColour, m_resources.star, 1));
    sprite->SetFrameRect(0, 0.0f, 0.75f, 0.25f, 1.0f);
    sprite->SetBlendMode(1, 1);
    const float spin = (0.75f + 0.5f * RandomUnit()) * kPi / 2.0f;
    sprite->spinSpeed = RandomSign() * spin;
    sprite->spinning = 1;
    sprite->zOrder = m_starZOrder;
    if (m_resources.sprites)
        m_resources.sprites->Add(sprite);
    star->sprite = sprite;

    if (m_resources.particles) {
        CSpellsSpringParametres trail = Sparkles(Vec3{startX, startY, z}, 16.0f, 8.0f, 0.5f);
        trail.duration = 10000000.0f;
        trail.rate = 20.0f;
        star->trail = m_resources.particles->AddSpells(&trail, 200, m_resources.sparkle);
    }
    star->state = CAccuracyStar::kFree;
    m_stars.push_back(star);
}

void CAccuracyChallenge::Advance(CAccuracyStar& star)
{
    CSprite& sprite = *star.sprite;
    const float t = star.elapsed;
    if (star.state == CAccuracyStar::kFree) {
        sprite.x = star.xStart + star.xVelocity * t + star.xAcceleration * t * t;
        sprite.y = star.yStart + star.yVelocity * t + star.yAcceleration * t * t;
    } else {
        const float u = t / star.duration;
        sprite.x = star.catchPoint.x * (1.0f - u) + star.slotPoint.x * u;
        sprite.y = star.catchPoint.y * (1.0f - u) + star.slotPoint.y * u;
        sprite.SetSize(m_starWidth * (1.0f - u) + m_slotWidth * u, m_starHeight * (1.0f - u) + m_slotHeight * u);
    }
    if (star.trail)
        star.trail->SetPosition(sprite.x, sprite.y, sprite.z);
}

ChallengeResult CAccuracyChallenge::Update(float dt)
{
    if (m_state != kRunning && m_state != kOver)
        return kResultNothing;
    if (m_state == kRunning) {
        m_launchTimer += dt;
        if (m_launchTimer >= m_launchInterval) {
            m_launchTimer -= m_launchInterval;
            Launch();
        }
    }
    for (size_t i = 0; i < m_stars.size();) {
        CAccuracyStar& star = *m_stars[i];
        if (star.state == CAccuracyStar::kInBar || !star.sprite) {
            ++i;
            continue;
        }
        star.elapsed += dt;
        if (star.elapsed < star.duration) {
            Advance(star);
            ++i;
            continue;
        }
        star.elapsed = star.duration;
        if (star.state == CAccuracyStar::kFree) {
            // Out of the area: the star's destruction ends its sprite and trail.
            m_stars.erase(m_stars.begin() + static_cast<std::ptrdiff_t>(i));
            continue;
        }
        CSprite& sprite = *star.sprite;
        sprite.x = star.slotPoint.x;
        sprite.y = star.slotPoint.y;
        sprite.z = star.slotPoint.z;
        sprite.SetSize(m_slotWidth, m_slotHeight);
        sprite.spinning = 0;
        sprite.SetAngle(0.0f);
        if (star.trail) {
            star.trail->SetPosition(star.slotPoint.x, star.slotPoint.y, star.slotPoint.z);
            star.trail->StopEmitting();
            star.trail.Reset();
        }
        star.state = CAccuracyStar::kInBar;
        ++i;
    }
    if (m_state == kOver) {
        for (const CountedHandle<CAccuracyStar>& star : m_stars)
            if (star->state != CAccuracyStar::kInBar)
                return kResultNothing;
        return kResultStarsLanded;
    }
    return kResultNothing;
}

void CAccuracyChallenge::Burst(const Vec3& at)
{
    if (!m_resources.particles)
        return;
    CSpellsSpringParametres burst = Sparkles(at, 96.0f, 32.0f, 1.0f);
    burst.duration = 0.05f;
    burst.rate = 400.0f;
    // Advanced at once by its whole emitting time, so it is all out in the
    // frame of the click; the manager keeps it until it has faded.
    if (CountedHandle<CParticleSystem> system = m_resources.particles->AddSpells(&burst, 200, m_resources.sparkle))
        system->Update(0.05f);
}

ChallengeResult CAccuracyChallenge::OnClick(float x, float y)
{
    if (m_state != kRunning)
        return kResultNothing;
    for (const CountedHandle<CAccuracyStar>& handle : m_stars) {
        CAccuracyStar& star = *handle;
        if (star.state != CAccuracyStar::kFree || !star.sprite)
            continue;
        CSprite& sprite = *star.sprite;
        if (std::hypot(x - sprite.x, y - sprite.y) > 0.5f * sprite.width)
            continue;
        star.catchPoint = SpritePoint(sprite);
        star.slotPoint = Vec3{m_tray.x + (static_cast<float>(m_caught) + 0.5f) * m_slotWidth,
                              m_tray.y - m_slotHeight / 2.0f, m_tray.z};
        star.elapsed = 0.0f;
        star.duration = 0.5f;
        sprite.spinSpeed = RandomSign() * 7.0f * sprite.spinSpeed;
        star.state = CAccuracyStar::kFlyingToBar;
        Burst(star.trail ? star.trail->Position() : star.catchPoint);
        challenge_sounds::PlayAt(m_sounds, challenge_sounds::kCatch, x);
        if (++m_caught >= m_goal) {
            m_state = kOver;
            SendStarsAway();
        }
        return kResultStarCaught;
    }
    return kResultNothing;
}

void CAccuracyChallenge::SendStarsAway()
{
    for (const CountedHandle<CAccuracyStar>& handle : m_stars) {
        CAccuracyStar& star = *handle;
        if (star.state != CAccuracyStar::kFree || !star.sprite)
            continue;
        star.elapsed = 0.0f;
        star.duration = 0.1f;
        star.xAcceleration = 0.0f;
        star.xStart = star.sprite->x;
        star.xVelocity = (m_area.x + m_starWidth - star.xStart) / 0.1f;
        star.yAcceleration = 0.0f;
        star.yVelocity = 0.0f;
        star.yStart = star.sprite->y;
    }
}

bool CAccuracyChallenge::EndOnTimeOut()
{
    if (m_state != kRunning)
        return false;
    m_state = kOver;
    SendStarsAway();
    return true;
}
