#include "totems/ColourTotem.h"

#include "effects/particles/ParticleSystem.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kLampFadeSpeed = 2.0f;
constexpr float kLampOutSpeed = 10.0f;
constexpr float kFlashSpin = 1.5707964f;
} // namespace

void StopEmittingAll(std::vector<CountedHandle<CParticleSystem>>& systems)
{
    for (const auto& system : systems)
        if (system)
            system->StopEmitting();
    systems.clear();
}

CColourTotem::CColourTotem(int colour, size_t bodyRoom)
{
    kind = colour;
    bodySprites.reserve(bodyRoom);
    lightSprites.reserve(CTotemShapeSet::kLights);
}

CColourTotem::~CColourTotem() { CColourTotem::ClearSprites(); }

void CColourTotem::SetResources(const TotemResources& resources)
{
    spriteRenderer = resources.sprites;
    particleSystems = resources.particles;
    flareRenderer = resources.flares;
    textures = resources.textures;
}

const CountedHandle<CTexture>& CColourTotem::Texture(int index) const
{
    static const CountedHandle<CTexture> none;
    return index >= 0 && static_cast<size_t>(index) < textures.size() ? textures[static_cast<size_t>(index)]
                                                                      : none;
}

void CColourTotem::Unshow(const CountedHandle<CSprite>& sprite) const
{
    if (spriteRenderer && sprite)
        spriteRenderer->Remove(sprite);
}

const CSpriteSet* CColourTotem::BodyShape(int group) const
{
    const CTotemShapeSet* set = shapes.Get();
    if (!set)
        return nullptr;
    switch (mode) {
    case kSmallTotem:
        return group == 0 ? set->Small(level) : nullptr;
    case kLargeTotem:
        return group == 0 ? set->Shadow(level) : group == 1 ? set->Main(level) : nullptr;
    case kShopTotem:
        return group == 0 ? set->Shadow(level) : group == 1 ? set->Shop(level) : nullptr;
    default:
        return nullptr;
    }
}

Vec3 CColourTotem::Place(float px, float py, float pz) const
{
    const float u = scale[0] * px, v = scale[1] * py;
    return {position[0] + axis1[0] * u + axis2[0] * v, position[1] + axis1[1] * u + axis2[1] * v,
            position[2] + axis1[2] * u + axis2[2] * v + pz};
}

void CColourTotem::Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet)
{
    CTotem::Init(newMode, std::move(shapeSet));
    static const float kBaseSize[3] = {80.0f, 256.0f, 192.0f};
    if (mode < kSmallTotem || mode > kShopTotem)
        return;
    const float s = kBaseSize[mode];
    pictureSize[0] = pictureSize[1] = s;
    scale[0] = scale[1] = s;
    startScale[0] = startScale[1] = s;
    targetScale[0] = targetScale[1] = s;
    if (!spriteRenderer)
        return; // the totem runs without being seen
    if (mode == kSmallTotem) {
        BuildGroup(BodyShape(0), kSmallPicture, 0);
    } else {
        BuildGroup(BodyShape(0), kShadowPicture, 0);
        BuildGroup(BodyShape(1), kColourPicture, 1);
    }
    BuildExtras();
}

void CColourTotem::BuildGroup(const CSpriteSet* shape, int texture, int group)
{
    if (!shape)
        return;
    const bool shadow = mode != kSmallTotem && group == 0;
    for (size_t i = 0; i < shape->positions.size(); ++i) {
        const CSpriteSet::Position& p = shape->positions[i];
        const Vec3 at = Place(p.x, p.y, p.z);
        auto sprite =
            MakeCountedHandle(new CSprite(at.x, at.y, at.z, shape->sizes[i].width * scale[0],
                                          shape->sizes[i].height * scale[1], 0xFFFFFFFF, Texture(texture), 1));
        if (shadow)
            sprite->SetBlendMode(1, 2);
        sprite->SetAxes(axis1, axis2, 0);
        const CSpriteSet::Rect& r = shape->textureRects[i];
        sprite->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
        sprite->SetAlphaNow(0.0f);
        sprite->zOrder = zOrder;
        if (group == 1)
            sprite->zOrder = zOrder - 1 + (StacksByShape() ? shape->zOrders[i] : 0);
        spriteRenderer->Add(sprite);
        bodySprites.push_back(sprite);
    }
}

void CColourTotem::ClearSprites()
{
    for (const auto& sprite : bodySprites)
        Unshow(sprite);
    for (const auto& sprite : lightSprites)
        Unshow(sprite);
    bodySprites.clear();
    lightSprites.clear();
}

// Body sprite i stands on point i of its group's shape, the groups in build
// order; lamp i on point i of the lamp shape, in front of the board only.
void CColourTotem::PlaceBody(bool resize)
{
    size_t i = 0;
    for (int group = 0; group < 2; ++group) {
        const CSpriteSet* shape = BodyShape(group);
        if (!shape)
            continue;
        for (size_t j = 0; j < shape->positions.size() && i < bodySprites.size(); ++j, ++i) {
            const CSpriteSet::Position& p = shape->positions[j];
            CSprite& sprite = *bodySprites[i];
            const Vec3 at = Place(p.x, p.y, p.z);
            sprite.x = at.x;
            sprite.y = at.y;
            sprite.z = at.z;
            if (resize)
                sprite.SetSize(scale[0] * shape->sizes[j].width, scale[1] * shape->sizes[j].height);
        }
    }
    const CSpriteSet* lamps = shapes ? shapes->Light() : nullptr;
    if (mode != kLargeTotem || !lamps)
        return;
    for (size_t k = 0; k < lightSprites.size() && k < lamps->positions.size(); ++k) {
        const CSpriteSet::Position& p = lamps->positions[k];
        CSprite& lamp = *lightSprites[k];
        const Vec3 at = Place(p.x, p.y, p.z);
        lamp.x = at.x;
        lamp.y = at.y;
        lamp.z = at.z;
        if (resize)
            lamp.SetSize(scale[0] * lamps->sizes[k].width, scale[1] * lamps->sizes[k].height);
    }
}

void CColourTotem::SetPosition(float x, float y, float z)
{
    position[0] = x;
    position[1] = y;
    position[2] = z;
    PlaceBody(false);
    PlaceExtras();
}

void CColourTotem::SetScale(float sx, float sy)
{
    const float oldX = scale[0], oldY = scale[1];
    scale[0] = sx;
    scale[1] = sy;
    PlaceBody(true);
    PlaceExtras();
    ResizeExtras(oldX, oldY);
}

void CColourTotem::MoveTo(float x, float y, float z, float sx, float sy, float time)
{
    moveTimer = 0.0f;
    moveDuration = std::isfinite(time) && time > 0.0f ? time : 0.0f;
    std::copy(position, position + 3, moveStart);
    moveTarget[0] = x;
    moveTarget[1] = y;
    moveTarget[2] = z;
    startScale[0] = scale[0];
    startScale[1] = scale[1];
    targetScale[0] = sx;
    targetScale[1] = sy;
    state = kTotemMoving;
}

int CColourTotem::MoveStep(float dt)
{
    moveTimer += dt;
    float f = moveDuration > 0.0f ? moveTimer / moveDuration : 1.0f;
    if (f > 1.0f)
        f = 1.0f;
    for (int k = 0; k < 3; ++k)
        position[k] = moveStart[k] * (1.0f - f) + moveTarget[k] * f;
    SetScale(startScale[0] * (1.0f - f) + targetScale[0] * f, startScale[1] * (1.0f - f) + targetScale[1] * f);
    if (f < 1.0f)
        return 0;
    eventCode = kTotemArrived;
    return 1;
}

void CColourTotem::SetLightCount(int n)
{
    const CSpriteSet* lamps = shapes ? shapes->Light() : nullptr;
    if (!spriteRenderer || !lamps)
        return;
    const int shown = std::min(n, static_cast<int>(lamps->positions.size()));
    for (int i = static_cast<int>(lightSprites.size()); i < shown; ++i) {
        const size_t k = static_cast<size_t>(i);
        const CSpriteSet::Position& p = lamps->positions[k];
        const Vec3 at = Place(p.x, p.y, p.z);
        const float w = scale[0] * lamps->sizes[k].width, h = scale[1] * lamps->sizes[k].height;
        auto lamp = MakeCountedHandle(new CSprite(at.x, at.y, at.z, w, h, 0xFFFFFFFF, Texture(kLampPicture), 1));
        lamp->SetAxes(axis1, axis2, 0);
        const CSpriteSet::Rect& r = lamps->textureRects[k];
        lamp->SetFrameRect(0, r.u0, r.v0, r.u1, r.v1);
        lamp->SetAlphaNow(1.0f);
        lamp->zOrder = zOrder - 2;
        lamp->fadeSpeed = kLampFadeSpeed;
        lamp->FadeTo(1.0f);
        spriteRenderer->Add(lamp);
        lightSprites.push_back(lamp);

        // The flash that lights the lamp: it grows fivefold, turns and fades
        // in half a second, and then the renderer lets it go.
        if (!Texture(kShinePicture))
            continue;
        auto flash = MakeCountedHandle(new CSprite(at.x, at.y, at.z, w, w, shineColor, Texture(kShinePicture), 1));
        flash->SetBlendMode(1, 1);
        flash->SetAlphaNow(1.0f);
        flash->fadeSpeed = kLampFadeSpeed;
        flash->zOrder = zOrder - 3;
        flash->FadeTo(0.0f);
        flash->widthSpeed = flash->heightSpeed = w * 4.0f * kLampFadeSpeed;
        flash->ResizeTo(5.0f * w, 5.0f * w);
        flash->spinning = 1;
        flash->spinSpeed = kFlashSpin;
        flash->timed = 1;
        flash->timeLeft = 1.0f / kLampFadeSpeed;
        spriteRenderer->Add(flash);
    }
}

void CColourTotem::FadeOutLights(bool drop)
{
    for (const auto& lamp : lightSprites) {
        lamp->fadeSpeed = kLampOutSpeed;
        lamp->FadeTo(0.0f);
        lamp->timed = 1;
        lamp->timeLeft = 1.0f / kLampOutSpeed;
    }
    if (drop)
        lightSprites.clear();
}

void CColourTotem::FadeOut(float speed)
{
    targetOpacity = 0.0f;
    state = kTotemFading;
    if (std::isfinite(speed) && speed > 0.0f) {
        fadeSpeed = speed;
        return;
    }
    SetOpacity(0.0f, true); // gone at once; the next update reports it
}

void CColourTotem::SetOpacity(float value, bool alsoTarget)
{
    CTotem::SetOpacity(value, alsoTarget);
    for (const auto& sprite : bodySprites)
        sprite->SetAlphaNow(value);
    for (const auto& lamp : lightSprites)
        lamp->SetAlphaNow(value);
    ExtrasOpacity(value);
}

void CColourTotem::SetZOrder(int z)
{
    zOrder = z;
    if (bodySprites.empty())
        return;
    const int d = z - bodySprites[0]->zOrder;
    for (const auto& sprite : bodySprites)
        sprite->zOrder += d;
    for (const auto& lamp : lightSprites)
        lamp->zOrder += d;
    ShiftExtras(d);
}

int CColourTotem::FadeStep(float dt)
{
    if (opacity < targetOpacity) {
        opacity = std::min(opacity + dt * fadeSpeed, targetOpacity);
        SetOpacity(opacity, false);
        if (opacity == 1.0f && mode == kShopTotem) {
            eventCode = kTotemShown;
            return 1;
        }
    } else if (opacity > targetOpacity) {
        opacity = std::max(opacity - dt * fadeSpeed, targetOpacity);
        SetOpacity(opacity, false);
        if (opacity == 0.0f && state == kTotemFading) {
            eventCode = kTotemFadedOut;
            return 1;
        }
    } else if (state == kTotemFading && opacity <= 0.0f) {
        // Faded before it was ever seen: nothing is left to fade.
        eventCode = kTotemFadedOut;
        return 1;
    }
    return 0;
}

int CColourTotem::EndPower(bool stays)
{
    eventCode = state;
    state = stays ? kTotemStays : kTotemBack;
    return 1;
}
