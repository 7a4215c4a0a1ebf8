#include "backgrounds/ProgressOrnaments.h"

#include "engine/Random.h"
#include "engine/Text.h"

#include <algorithm>

const OrnamentDefaults kGalleryOrnamentDefaults = {"280 474 56 56",  "2 802 58 858",    "255 255 255 240",
                                                   "306 488 192 44", "526 880 718 924", "313 496 174",
                                                   "255 125 16 255"};
const OrnamentDefaults kOpenAirOrnamentDefaults = {"500 441 80 64",  "2 802 82 866", "255 255 255 255",
                                                   "310 465 240 60", "2 802 82 866", "538 475 152",
                                                   "123 12 255 255"};

void ReadOrnamentSettings(const CSceneSettings& file, const OrnamentDefaults& defaults, const OrnamentLook& look,
                          int rays, int flares, OrnamentSettings* s)
{
    s->gems.clear();
    s->gemTexels.clear();
    for (int i = 1; i <= look.sets; ++i) {
        s->gems.push_back(file.Box(Numbered("Gem", i).c_str(), defaults.gem));
        s->gemTexels.push_back(file.TexelRect(Numbered("GemT", i).c_str(), defaults.gemTexels, 1024, 1024));
    }
    s->raysColour = file.Colour("RaysColor", defaults.raysColour);
    s->raysPreset = file.BlendPreset("RaysMethod", "Add");
    s->rays.clear();
    s->rayTexels.clear();
    s->rayAngles.clear();
    for (int i = 1; i <= rays; ++i) {
        s->rays.push_back(file.Box(Numbered("Ray", i).c_str(), defaults.ray));
        s->rayTexels.push_back(file.TexelRect(Numbered("RayT", i).c_str(), defaults.rayTexels, 1024, 1024));
        s->rayAngles.push_back(file.Float(Numbered("Angle", i).c_str(), "0") * kPi / 180.0f);
    }
    s->flareCentres.clear();
    s->flareSizes.clear();
    s->flareColours.clear();
    for (int i = 1; i <= flares; ++i) {
        const Vec3 flare = file.Triple(Numbered("Flare", i).c_str(), defaults.flare);
        s->flareCentres.push_back(Vec2{flare.x - 512.0f, 384.0f - flare.y});
        s->flareSizes.push_back(flare.z);
        s->flareColours.push_back(file.Colour(Numbered("FlareColor", i).c_str(), defaults.flareColour));
    }
    s->flareTime = file.Positive("NewFlareTime", "0.25");
    s->gemTime = file.Positive("NewGemTime", "0.5");
    s->rayTime = file.Positive("NewRayTime", "0.4");
    s->flareSpin = file.Float("GemFlareW", "0.125") * (look.flareSpinHalfTurns ? kPi : 1.0f);
    s->rainbowTime = file.Float("RainbowTime", "2");
    s->rainbowSize = file.Pair("RainbowSize", "256 12");
    s->rainbowSpin = file.Float("RainbowW", "1") * kPi;
    s->rainbowLife = file.Positive("RainbowLifeTime", "0.5");
    s->rainbowInterval = file.Positive("RainbowT", "0.1");
}

CProgressOrnaments::CProgressOrnaments(const OrnamentLook& look, const CSceneCore& core)
    : m_look(look), m_services(core.services), m_picture(core.Texture(0)), m_shared(core.resources),
      m_phase(static_cast<size_t>(look.sets) + 1, 0), m_timer(static_cast<size_t>(look.sets) + 1, 0.0f)
{
    m_gems.reserve(static_cast<size_t>(look.sets));
    m_rays.reserve(static_cast<size_t>(look.sets) + 1);
    m_flares.reserve(static_cast<size_t>(look.sets) + 1);
    m_rainbow.reserve(16);
}

CountedHandle<CSprite> CProgressOrnaments::MakeFlare(size_t index, bool bloom) const
{
    const float size = settings.flareSizes[index];
    const Vec2& c = settings.flareCentres[index];
    auto flare = MakeLayerSprite(c.x + kOriginX, c.y + kOriginY, kOriginZ, size / 4, size / 4,
                                 settings.flareColours[index], m_shared.flare, 1, 1);
    flare->zOrder = m_look.flareZOrder;
    flare->SetAlphaNow(0.0f);
    flare->fadeSpeed = 1.0f / settings.flareTime;
    flare->SetAngle(RandomUnit() * kTwoPi);
    flare->spinning = 1;
    flare->spinSpeed = settings.flareSpin;
    flare->widthSpeed = flare->heightSpeed = 0.75f * size / settings.flareTime;
    m_services.Add(flare);
    if (bloom) {
        flare->FadeTo(1.0f);
        flare->ResizeTo(size, size);
    }
    return flare;
}

void CProgressOrnaments::AddSet(size_t i)
{
    m_phase[i] = 1;
    m_timer[i] = 0.0f;
    const ScreenBox& g = settings.gems[i];
    const Vec4& gt = settings.gemTexels[i];
    auto gem = MakeLayerSprite(g.x + kOriginX, g.y + kOriginY, kOriginZ, g.width, g.height, 0xFFFFFFFF, m_picture,
                               m_look.gemLayer, 0);
    gem->SetFrameRect(0, gt.x, gt.y, gt.z, gt.w);
    gem->SetAlphaNow(0.0f);
    gem->fadeSpeed = 1.0f / settings.gemTime;
    m_gems.push_back(m_services.Add(gem));

    const ScreenBox& r = settings.rays[i];
    const Vec4& rt = settings.rayTexels[i];
    auto ray = MakeLayerSprite(r.x + kOriginX, r.y + kOriginY, kOriginZ, r.width, r.height, settings.raysColour,
                               m_picture, 1, settings.raysPreset);
    ray->SetFrameRect(0, rt.x, rt.y, rt.z, rt.w);
    ray->zOrder = -1;
    ray->SetAlphaNow(0.0f);
    ray->fadeSpeed = 1.0f / settings.rayTime;
    ray->SetAngle(settings.rayAngles[i]);
    m_rays.push_back(m_services.Add(ray));

    m_flares.push_back(MakeFlare(i, true));
}

CProgressOrnaments::Change CProgressOrnaments::SetProgress(int count, int quiet)
{
    Change change;
    m_rainbowTimer = 0.0f;
    m_quiet = quiet;
    m_count = std::clamp(count, 0, m_look.sets);
    const size_t shown = m_gems.size();
    const size_t wanted = static_cast<size_t>(m_count);
    if (wanted > shown) {
        change.rose = true;
        for (size_t i = shown; i < wanted; ++i)
            AddSet(i);
        if (m_count == m_look.sets) {
            change.full = true;
            ClosingState() = 0;
            ClosingTimer() = 0.0f;
            m_flares.push_back(MakeFlare(static_cast<size_t>(m_look.sets), false));
        }
        if (quiet == 0)
            m_services.Play(kSoundBackground);
    } else if (wanted < shown) {
        change.fell = true;
        FadeOutFrom(wanted);
    }
    return change;
}

void CProgressOrnaments::FadeOutFrom(size_t index)
{
    for (size_t i = index; i < m_gems.size(); ++i)
        FadeOutAndExpire(*m_gems[i], settings.gemTime);
    for (size_t i = index; i < m_rays.size(); ++i) {
        m_rays[i]->fadeSpeed = 1.0f / settings.rayTime;
        FadeOutAndExpire(*m_rays[i], settings.rayTime);
    }
    for (size_t i = index; i < m_flares.size(); ++i)
        FadeOutAndExpire(*m_flares[i], settings.flareTime);
    m_gems.resize(std::min(m_gems.size(), index));
    m_rays.resize(std::min(m_rays.size(), index));
    m_flares.resize(std::min(m_flares.size(), index));
    std::fill(m_phase.begin() + static_cast<std::ptrdiff_t>(index), m_phase.end(), 0);
    for (auto& streak : m_rainbow)
        FadeOutAtOwnRate(*streak);
}

void CProgressOrnaments::FadeOutRainbow()
{
    for (auto& streak : m_rainbow)
        FadeOutAtOwnRate(*streak);
    m_rainbow.clear();
}

void CProgressOrnaments::StartClosingFlare()
{
    ClosingState() = 1;
    ClosingTimer() = 0.0f;
    const size_t closing = static_cast<size_t>(m_look.sets);
    if (m_flares.size() > closing) {
        const float size = settings.flareSizes[closing];
        m_flares[closing]->FadeTo(1.0f);
        m_flares[closing]->ResizeTo(size, size);
    }
    m_services.Play(m_look.closing);
}

bool CProgressOrnaments::Update(float dt)
{
    bool closed = false;
    const size_t newest = m_gems.size() - 1;
    for (size_t c = 0; c < m_gems.size(); ++c) {
        if (!m_gems[c])
            continue;
        const bool celebrated = c == newest && m_quiet == 0;
        m_timer[c] += dt;
        const float wait = celebrated ? settings.rainbowTime : settings.gemTime;
        switch (m_phase[c]) {
        case 1:
            if (m_timer[c] >= settings.flareTime) {
                m_gems[c]->FadeTo(1.0f);
                m_phase[c] = 2;
            }
            break;
        case 2:
            if (m_timer[c] >= settings.flareTime + wait) {
                m_rays[c]->FadeTo(1.0f);
                m_phase[c] = 3;
            }
            break;
        case 3:
            if (m_timer[c] >= settings.flareTime + wait + settings.rayTime) {
                m_phase[c] = 0;
                if (c + 1 == static_cast<size_t>(m_look.sets)) {
                    StartClosingFlare();
                    closed = true;
                }
                if (c == newest)
                    FadeOutRainbow();
            }
            break;
        default:
            break;
        }
        if (celebrated && (m_phase[c] == 2 || m_phase[c] == 3))
            RunRainbow(c, dt);
    }
    return closed;
}

void CProgressOrnaments::RunRainbow(size_t set, float dt)
{
    m_rainbowTimer += dt;
    if (m_rainbowTimer > settings.rainbowInterval) {
        m_rainbowTimer -= settings.rainbowInterval;
        const Vec2& c = settings.flareCentres[set];
        const float w = (0.75f - 0.5f * RandomUnit()) * settings.rainbowSize.x;
        const float h = (0.75f - 0.5f * RandomUnit()) * settings.rainbowSize.y;
        // A fully saturated colour: two channels share full intensity, the
        // third is dark.
        const uint32_t colour = RandomColorBetween(0, 1, 0, 0);
        auto streak =
            MakeLayerSprite(c.x + kOriginX, c.y + kOriginY, kOriginZ, w, h, colour, m_shared.spark, 1, 1);
        // The right half of the spark: bright at the streak's root.
        streak->SetFrameRect(0, 0.5f, 0.0f, 1.0f, 1.0f);
        streak->zOrder = -1;
        streak->SetAlphaNow(0.0f);
        streak->fadeSpeed = 1.0f / ((0.75f + 0.5f * RandomUnit()) * 0.5f * settings.rainbowLife);
        streak->FadeTo(1.0f);
        streak->originX = -0.5f; // turns about its left end
        streak->SetAngle(RandomUnit() * kTwoPi);
        streak->spinning = 1;
        const float spin = (0.75f + 0.5f * RandomUnit()) * settings.rainbowSpin;
        streak->spinSpeed = RandomUnit() < 0.5f ? spin : -spin;
        m_rainbow.push_back(m_services.Add(streak));
    }
    for (auto it = m_rainbow.begin(); it != m_rainbow.end();) {
        CSprite& s = **it;
        if (s.opacity == 1.0f && s.targetOpacity == 1.0f)
            s.FadeTo(0.0f);
        if (s.opacity == 0.0f && s.targetOpacity == 0.0f) {
            if (m_services.sprites)
                m_services.sprites->Remove(*it);
            it = m_rainbow.erase(it);
        } else {
            ++it;
        }
    }
}

void CProgressOrnaments::SettleClosingFlare(float dt)
{
    if (ClosingState() != 1)
        return;
    ClosingTimer() += dt;
    if (ClosingTimer() >= settings.flareTime)
        ClosingState() = 0;
}

void CProgressOrnaments::Release()
{
    m_services.DropAll(&m_gems);
    m_services.DropAll(&m_rays);
    m_services.DropAll(&m_flares);
    m_services.DropAll(&m_rainbow);
    // A scene shown again starts its progress afresh: no slot may wait on
    // sprites that are gone.
    std::fill(m_phase.begin(), m_phase.end(), 0);
    std::fill(m_timer.begin(), m_timer.end(), 0.0f);
    m_count = 0;
    m_rainbowTimer = 0.0f;
}
