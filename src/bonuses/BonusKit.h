// What the bonus kinds share to draw: the three services of a draw group
// and the small sprite chores (making one, cutting its frame, letting it
// expire, moving it between renderers). Every service may be missing (a
// bonus made for a test or a preview draws nowhere), so each chore checks.
#pragma once

#include "effects/particles/ParticleSystemsManager.h"
#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"

#include <cstdint>
#include <vector>

// Blend presets of a sprite.
enum SpriteBlend : int {
    kBlendAlpha = 0,
    kBlendAdd = 1,    // source alpha plus one
    kBlendDarken = 2, // zero and inverse source colour
    kBlendScreen = 3, // one and inverse source colour
};

// The sprite renderer, particle-systems manager and flare renderer a
// bonus draws through.
struct BonusDrawSet {
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
};

namespace bonus_kit {

// A blended sprite at (x, y, z) of size w x h showing the whole texture.
inline CountedHandle<CSprite> NewSprite(float x, float y, float z, float w, float h, uint32_t argb,
                                        const CountedHandle<CTexture>& texture, int blend, int32_t zOrder)
{
    auto sprite = MakeCountedHandle(new CSprite(x, y, z, w, h, argb, texture, 1));
    sprite->SetBlendMode(1, blend);
    sprite->zOrder = zOrder;
    return sprite;
}

// Frame 0 in texels of a 256 x 256 atlas.
inline void CutTexels(CSprite& sprite, float x0, float y0, float x1, float y1)
{
    sprite.SetFrameRect(0, x0 / 256.0f, y0 / 256.0f, x1 / 256.0f, y1 / 256.0f);
}

// The renderer drops the sprite after `seconds`.
inline void Expire(CSprite& sprite, float seconds)
{
    sprite.timed = 1;
    sprite.timeLeft = seconds;
}

inline void Spin(CSprite& sprite, float angle, float speed)
{
    sprite.SetAngle(angle);
    sprite.spinning = 1;
    sprite.spinSpeed = speed;
}

// Toward (w, h) at the given speeds in units per second.
inline void Grow(CSprite& sprite, float widthSpeed, float heightSpeed, float w, float h)
{
    sprite.widthSpeed = widthSpeed;
    sprite.heightSpeed = heightSpeed;
    sprite.ResizeTo(w, h);
}

// Toward `opacity` at `speed` per second.
inline void FadeTo(CSprite& sprite, float opacity, float speed)
{
    sprite.fadeSpeed = speed;
    sprite.FadeTo(opacity);
}

inline void Add(const CountedHandle<CSpriteRenderer>& renderer, const CountedHandle<CSprite>& sprite)
{
    if (renderer && sprite)
        renderer->Add(sprite);
}

inline void Remove(const CountedHandle<CSpriteRenderer>& renderer, const CountedHandle<CSprite>& sprite)
{
    if (renderer && sprite)
        renderer->Remove(sprite);
}

inline void SetVisible(const CountedHandle<CSpriteRenderer>& renderer, const CountedHandle<CSprite>& sprite,
                       int flag)
{
    if (!sprite)
        return;
    if (renderer)
        renderer->SetVisible(sprite, flag);
    else
        sprite->visible = flag;
}

inline void Move(const CountedHandle<CSpriteRenderer>& from, const CountedHandle<CSpriteRenderer>& to,
                 const CountedHandle<CSprite>& sprite)
{
    if (from == to)
        return;
    Add(to, sprite);
    Remove(from, sprite);
}

inline void MoveAll(const CountedHandle<CSpriteRenderer>& from, const CountedHandle<CSpriteRenderer>& to,
                    const std::vector<CountedHandle<CSprite>>& sprites)
{
    for (const CountedHandle<CSprite>& sprite : sprites)
        Move(from, to, sprite);
}

inline void ShiftZOrder(const std::vector<CountedHandle<CSprite>>& sprites, int32_t delta)
{
    for (const CountedHandle<CSprite>& sprite : sprites)
        if (sprite)
            sprite->zOrder += delta;
}

inline void Resort(const CountedHandle<CSpriteRenderer>& renderer)
{
    if (renderer)
        renderer->Resort();
}

inline void AddFlare(const CountedHandle<CFlareRenderer>& renderer, const CountedHandle<CFlare>& flare)
{
    if (renderer)
        renderer->Add(flare);
}

inline void StopEffect(CountedHandle<CParticleSystem>& effect)
{
    if (effect) {
        effect->StopEmitting();
        effect.Reset();
    }
}

} // namespace bonus_kit
