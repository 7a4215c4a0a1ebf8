// The trophies on their screen: medals by level, the award's flight onto
// its medal, the description under the pointer and the backdrop.
#include "game/TrophiesScreen.h"

#include "screens/GameScreens.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.14159265f;
// The award's flare is warm gold, twice the medal's size.
constexpr uint32_t kLandingFlareColour = 0xFFE6B0;

CSprite* FirstSprite(const CQoStatic& control)
{
    return control.SpriteCount() > 0 ? control.Sprite(0).Get() : nullptr;
}

} // namespace

void CTrophiesScreen::SetSharedObjects(CountedHandle<CGameScreens> screens,
                                       CountedHandle<CParticleSystemsManager> particles,
                                       CountedHandle<CParticleSystemsManager> particlesBack,
                                       CountedHandle<CFlareRenderer> flares,
                                       CountedHandle<CSpriteRenderer> spritesOver,
                                       CountedHandle<CSpriteRenderer> spritesUnder)
{
    m_screens = std::move(screens);
    m_particles = std::move(particles);
    m_particlesBack = std::move(particlesBack);
    m_flares = std::move(flares);
    m_spritesOver = std::move(spritesOver);
    m_spritesUnder = std::move(spritesUnder);
}

void CTrophiesScreen::SetTextures(CountedHandle<CTexture> sparkle, CountedHandle<CTexture> halo,
                                  CountedHandle<CTexture> backdrop, CountedHandle<CTexture> flare)
{
    m_sparkle = std::move(sparkle);
    m_halo = std::move(halo);
    m_backdrop = std::move(backdrop);
    m_flare = std::move(flare);
}

CountedHandle<CQoStatic> CTrophiesScreen::Medal(int kind, int level) const
{
    if (!m_screens || kind < 0 || kind >= kKinds || level < 1)
        return {};
    return m_screens->trophies.levels[static_cast<size_t>(kind)].Get(static_cast<size_t>(level - 1));
}

void CTrophiesScreen::RefreshIcons()
{
    if (!m_screens)
        return;
    auto& form = m_screens->trophies;
    for (int kind = 0; kind < kKinds; ++kind) {
        const int level = shownLevels[kind];
        const ControlRow& medals = form.levels[static_cast<size_t>(kind)];
        for (size_t i = 0; i < medals.Size(); ++i)
            medals.At(i)->SetVisible(static_cast<int>(i) + 1 == level);
        form.locked[static_cast<size_t>(kind)].SetVisible(level <= 0);
    }
    form.description.SetVisible(false);
    m_hoverKind = -1;
}

void CTrophiesScreen::ShowDescription(int kind, int level, float x, float y)
{
    if (!m_screens)
        return;
    const auto& form = m_screens->trophies;
    const ControlRow& box = form.description;
    if (level < 1 || kind < 0 || kind >= kKinds || box.Empty() ||
        static_cast<size_t>(level) > descriptions[kind].size()) {
        box.SetVisible(false);
        return;
    }
    // The box's controls keep their places from the form, relative to the
    // box's picture, whose top-left corner goes to the pointer; near the
    // screen's right or bottom edge the box opens to the other side.
    const CQoStatic& picture = *box.At(0);
    const float w = picture.Size().w, h = picture.Size().h;
    float left = std::floor(x) + 16.0f, top = std::floor(y) - 16.0f;
    if (left + w > 512.0f)
        left = std::floor(x) - 16.0f - w;
    if (top - h < -384.0f)
        top = std::floor(y) + 16.0f + h;
    const Vec3 anchor = picture.relativePosition;
    const Vec3& origin = form.form->Position();
    for (size_t i = 0; i < box.Size(); ++i) {
        const CountedHandle<CQoStatic>& c = box.At(i);
        const float cx = left + w * 0.5f + (c->relativePosition.x - anchor.x);
        const float cy = top - h * 0.5f + (c->relativePosition.y - anchor.y);
        form.form->SetChildPosition(c, cx - origin.x, cy - origin.y, c->relativePosition.z);
        c->SetVisible(true);
    }
    if (box.Size() > 1)
        box.At(box.Size() - 1)->SetText(descriptions[kind][static_cast<size_t>(level - 1)]);
}

void CTrophiesScreen::ShowBackground(bool show)
{
    if (!show) {
        if (m_background && m_spritesUnder)
            m_spritesUnder->Remove(m_background);
        m_background.Reset();
        return;
    }
    if (m_background || !m_spritesUnder || !m_screens)
        return;
    const float z = m_screens->trophies.form->Position().z + 2.0f;
    m_background = MakeCountedHandle(new CSprite(0.0f, 0.0f, z, 1024.0f, 768.0f, 0xFF000000, m_backdrop, 1));
    m_background->zOrder = 100000;
    m_background->SetFrameRect(0, m_origin.x, m_origin.y, m_origin.x + backgroundSize.x,
                               m_origin.y + backgroundSize.y);
    m_spritesUnder->Add(m_background);
}

int CTrophiesScreen::Update(float dt, float x, float y)
{
    if (!m_screens || !m_screens->trophies.form->IsVisible())
        return 0;
    if (m_background) {
        auto wrap = [](float v) { return v - std::floor(v); };
        m_origin.x = wrap(m_origin.x + backgroundSpeed.x * dt);
        m_origin.y = wrap(m_origin.y + backgroundSpeed.y * dt);
        m_background->SetFrameRect(0, m_origin.x, m_origin.y, m_origin.x + backgroundSize.x,
                                   m_origin.y + backgroundSize.y);
    }
    const CQoForm& form = *m_screens->trophies.form;
    const bool fullyShown = form.active && form.Alpha() >= 1.0f;
    if (!pendingAwards.empty() && fullyShown && !m_flying)
        StartAward();
    int landed = 0;
    if (m_flying && !pendingAwards.empty()) {
        awardTimer += dt;
        const float e = std::min(awardTimer / pompaTime, 1.0f);
        const auto [kind, level] = pendingAwards.front();
        const CountedHandle<CQoStatic> medal = Medal(kind, level);
        const Vec3 at = medal->Position();
        const float px = at.x + (1.0f - e) * medal->Size().w * std::cos(3.0f * kPi * e);
        const float py = at.y + (1.0f - e) * medal->Size().h * std::sin(3.0f * kPi * e);
        m_flying->x = px;
        m_flying->y = py;
        if (m_burst)
            m_burst->SetPosition(px, py, at.z - 1.0f);
        if (e >= 1.0f) {
            LandAward();
            landed = 1;
        }
    }
    HoverDescription(x, y);
    return landed;
}

void CTrophiesScreen::HoverDescription(float x, float y)
{
    int kind = -1;
    for (int k = 0; k < kKinds && kind < 0; ++k) {
        const CountedHandle<CQoStatic> medal = Medal(k, shownLevels[k]);
        if (!medal || !medal->IsVisible())
            continue;
        const Vec3& c = medal->Position();
        if (std::fabs(x - c.x) <= medal->Size().w * 0.5f && std::fabs(y - c.y) <= medal->Size().h * 0.5f)
            kind = k;
    }
    if (kind < 0) {
        if (m_hoverKind >= 0)
            ShowDescription(0, 0, x, y);
        m_hoverKind = -1;
        return;
    }
    m_hoverKind = kind;
    m_hoverLevel = shownLevels[kind];
    ShowDescription(kind, m_hoverLevel, x, y);
}

void CTrophiesScreen::StartAward()
{
    const auto [kind, level] = pendingAwards.front();
    const CountedHandle<CQoStatic> medal = Medal(kind, level);
    CSprite* picture = medal ? FirstSprite(*medal) : nullptr;
    if (!picture) {
        // A medal the form lacks: the level is kept without a show.
        LandAward();
        return;
    }
    const Vec3 at = medal->Position();
    const float w = medal->Size().w, h = medal->Size().h;
    m_flying = MakeCountedHandle(
        new CSprite(at.x + w, at.y, at.z - 1.0f, w * 0.25f, h * 0.25f, 0xFFFFFFFF, picture->texture, 1));
    if (picture->frames.size() >= 8)
        m_flying->SetFrameQuad(0, picture->frames.data());
    m_flying->zOrder = medal->zOrder - 5;
    m_flying->widthSpeed = 0.75f * w / pompaTime;
    m_flying->heightSpeed = 0.75f * h / pompaTime;
    m_flying->ResizeTo(w, h);
    m_flying->fadeSpeed = 2.0f / pompaTime;
    if (m_spritesOver)
        m_spritesOver->Add(m_flying);
    if (m_particles) {
        CSpellsSpringParametres burst(at.x, at.y, at.z - 1.0f, 0.0f, 0.0f, 0.0f, 100.0f, 50.0f, 32.0f, 16.0f,
                                      0xFFFFFF80);
        burst.fadeRate = 1.0f;
        burst.fadeSpread = 0.25f;
        burst.duration = 10000000.0f;
        burst.rate = 80.0f;
        burst.randomRotation = true;
        burst.randomSpinSign = true;
        burst.spin = 512.0f;
        burst.spinSpread = 256.0f;
        m_burst = m_particles->AddSpells(&burst, 200, m_sparkle);
    }
    if (sounds)
        sounds->Play(sounds->Sample("Trophy.wav"), 0, 0);
    awardTimer = 0.0f;
}

void CTrophiesScreen::StopFlight()
{
    if (m_flying && m_spritesOver)
        m_spritesOver->Remove(m_flying);
    m_flying.Reset();
    if (m_burst)
        m_burst->StopEmitting();
    m_burst.Reset();
}

void CTrophiesScreen::LandAward()
{
    const auto [kind, level] = pendingAwards.front();
    if (kind >= 0 && kind < kKinds)
        levels[kind] = shownLevels[kind] = level;
    RefreshIcons();
    StopFlight();
    pendingAwards.erase(pendingAwards.begin());
    const CountedHandle<CQoStatic> medal = Medal(kind, level);
    if (!medal)
        return;
    const Vec3 at = medal->Position();
    const float half = medal->Size().w * 0.5f;
    if (m_spritesOver) {
        auto halo = MakeCountedHandle(new CSprite(at.x, at.y, at.z - 1.0f, half, half, 0xFFFFFFFF, m_halo, 1));
        halo->SetBlendMode(1, 1);
        halo->zOrder = medal->zOrder - 6;
        halo->fadeSpeed = 1.0f / postTime;
        halo->FadeTo(0.0f);
        halo->widthSpeed = halo->heightSpeed = 5.0f * half / postTime;
        halo->ResizeTo(6.0f * half, 6.0f * half);
        halo->timed = 1;
        halo->timeLeft = postTime;
        m_spritesOver->Add(halo);
    }
    if (m_flares) {
        auto flare = MakeCountedHandle(new CFlare(at.x, at.y, at.z - 2.0f, m_flare, kLandingFlareColour));
        flare->SetSize(4.0f * half, 4.0f * half);
        flare->fadeIn = 0.1f;
        flare->fadeOutStart = postTime * 0.5f;
        flare->fadeOut = postTime;
        flare->flickerDepth = 0.0f;
        m_flares->Add(flare);
    }
}

void CTrophiesScreen::CommitAwards()
{
    StopFlight();
    CTrophies::CommitAwards();
    RefreshIcons();
}
