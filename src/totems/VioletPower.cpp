// The violet totem's glow and rays, and its power.
#include "totems/VioletTotem.h"

#include "balance/BalanceState.h"
#include "engine/Random.h"
#include "totems/TotemBalance.h"
#include "totems/TotemEffects.h"

#include <cmath>

namespace {

enum VioletPicture { kGlowRaysPicture = 5 };

// The rays' cell of the picture: the upper part, 188 of 256 texels wide.
constexpr float kRayRight = 0.734375f;

} // namespace

CountedHandle<CSprite> CVioletTotem::AddPart(const Vec3& local, const Vec2& size, uint32_t argb, float u0,
                                             float v0, float u1, float v1)
{
    const Vec3 at = Place(local.x, local.y, local.z);
    auto part = MakeCountedHandle(
        new CSprite(at.x, at.y, at.z, size.x * scale[0], size.y * scale[1], argb, Texture(kGlowRaysPicture), 1));
    part->SetBlendMode(1, 1);
    part->SetAxes(axis1, axis2, 0);
    part->SetFrameRect(0, u0, v0, u1, v1);
    part->SetAlphaNow(0.0f);
    part->zOrder = zOrder - 4;
    part->fadeSpeed = 10.0f;
    part->FadeTo(1.0f);
    spriteRenderer->Add(part);
    return part;
}

void CVioletTotem::SetTargets(bool on)
{
    if (!on) {
        for (const auto& part : parts) {
            if (!part)
                continue;
            part->fadeSpeed = 10.0f;
            part->FadeTo(0.0f);
            part->dropWhenFaded = 1;
        }
        return;
    }
    if (!parts.empty() || !spriteRenderer || !Texture(kGlowRaysPicture))
        return;
    const size_t e = Entry();
    parts.push_back(AddPart(params.glowCentres[e], params.glowSizes[e], params.glowColor, 0.0f, 0.5f, 1.0f, 1.0f));
    for (int j = 0; j < 2; ++j) {
        const Vec3& c = params.rayCentres[e];
        const float a = rayAngles[j];
        const Vec3 local{c.x + std::cos(a) * params.rayRadii[e].x, c.y + std::sin(a) * params.rayRadii[e].y, c.z};
        // The second ray is the first one mirrored.
        const float u0 = j == 0 ? 0.0f : kRayRight, u1 = j == 0 ? kRayRight : 0.0f;
        parts.push_back(AddPart(local, params.raySizes[e], params.rayColor, u0, 0.0f, u1, 0.5f));
    }
}

int CVioletTotem::Activate(int a)
{
    const int result = CTotem::Activate(a);
    powerTimer = 2.0f * params.flyTime;
    releaseFlag = 0;
    return result;
}

// The bonuses of one release: as many ordinary and special ones as the level
// and the strength give, each a kind the player owns, starting at a random
// point of the glow; the first flies longest.
void CVioletTotem::ApplyPower()
{
    ownActions.clear();
    int ordinary = 0, special = 0;
    BalanceVioletTotemPair(level, strength, &ordinary, &special);
    const CBalanceState* balance = TotemBalanceState();
    const int count = ordinary + special;
    const float step = count >= 2 ? 0.5f / static_cast<float>(count - 1) : 0.0f;
    const Vec4& area = params.areas[Entry()];
    float k = 0.0f;
    // The kinds are drawn, like the rest of the totems' choices, from the
    // shared generator.
    CRandomStream kinds(RandomSeed());
    for (int i = 0; i < count; ++i) {
        int32_t code = 0, bonusLevel = 0;
        if (!balance || !balance->PickSlot(i >= ordinary, &code, &bonusLevel, kinds))
            continue;
        const float lx = (area.x + RandomUnit() * area.z) * scale[0];
        const float ly = (area.y - RandomUnit() * area.w) * scale[1];
        const float x = position[0] + lx * axis1[0] + ly * axis2[0];
        const float y = position[1] + lx * axis1[1] + ly * axis2[1];
        const float z = position[2] + lx * axis1[2] + ly * axis2[2] - (10.0f * static_cast<float>(i) + 1.0f);
        TotemAction delivery;
        delivery.type = kVioletTotem;
        delivery.column = bonusLevel;
        delivery.row = zOrder - i - 10;
        delivery.weight = x;
        delivery.startY = y;
        delivery.startZ = z;
        delivery.controlX = x + 320.0f;
        delivery.controlY = y + 50.0f + RandomUnit() * 150.0f;
        delivery.controlZ = z - 10.0f - 10.0f * static_cast<float>(i);
        delivery.flyTime = (1.25f - k) * params.flyTime;
        delivery.bonusCode = code;
        ownActions.push_back(delivery);
        k += step;
    }
}

int CVioletTotem::Process(float dt)
{
    if (FadeStep(dt))
        return 1;
    if (parts.size() == 3) {
        const size_t e = Entry();
        for (int j = 0; j < 2; ++j) {
            float& a = rayAngles[j];
            a += dt * params.rayW;
            if (a > 2.0f * kTotemPi)
                a -= 2.0f * kTotemPi;
            if (!parts[static_cast<size_t>(j) + 1])
                continue;
            const Vec3& c = params.rayCentres[e];
            const Vec3 at =
                Place(c.x + std::cos(a) * params.rayRadii[e].x, c.y + std::sin(a) * params.rayRadii[e].y, c.z);
            CSprite& ray = *parts[static_cast<size_t>(j) + 1];
            ray.x = at.x;
            ray.y = at.y;
            ray.z = at.z;
        }
    }
    if (state == kTotemMoving)
        return MoveStep(dt);
    if (!PowerRuns())
        return 0;
    if (releaseFlag == 0) {
        releaseFlag = 1;
        ApplyPower();
    }
    powerTimer -= dt;
    if (powerTimer > 0.0f)
        return 0;
    return EndPower(StaysAfterPower());
}
