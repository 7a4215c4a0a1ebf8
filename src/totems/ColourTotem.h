// What the seven colour totems share: their services and pictures, the
// body and lamp sprites built from the colour's shapes, the placement on
// the totem's two axes, the straight flights, the charge lamps, the opacity,
// layer and final fade, and the taking down of the sprites. Each colour
// class adds its own pieces through the hooks below.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Flare.h"
#include "engine/Sprite.h"
#include "totems/Totem.h"

#include <vector>

class CParticleSystemsManager;
class CParticleSystem;

// The shared services and the colour's pictures a totem receives.
struct TotemResources {
    CountedHandle<CSpriteRenderer> sprites;
    CountedHandle<CParticleSystemsManager> particles;
    CountedHandle<CFlareRenderer> flares;
    std::vector<CountedHandle<CTexture>> textures;
};

// The pictures every colour has first; the power's own follow.
enum TotemPicture { kSmallPicture, kShadowPicture, kLampPicture, kColourPicture, kShinePicture };

class CColourTotem : public CTotem {
public:
    ~CColourTotem() override;

    void SetResources(const TotemResources& resources);
    // Builds the body of the mode and level from the shapes (sprites only
    // with a sprite renderer), then the colour's own pieces.
    void Init(int newMode, CountedHandle<CTotemShapeSet> shapeSet) override;
    void ClearSprites() override;
    void SetPosition(float x, float y, float z) override;
    void SetScale(float sx, float sy) override;
    // A time that is no positive number arrives at the next update.
    void MoveTo(float x, float y, float z, float sx, float sy, float time) override;
    void FadeOutLights(bool drop) override;
    void SetLightCount(int n) override;
    // A speed that is no positive number fades at once.
    void FadeOut(float speed) override;
    void SetOpacity(float value, bool alsoTarget) override;
    void SetZOrder(int z) override;

    // The shapes of the body in build order: (small) or (shadow, main or
    // shop) of the level; null where the shape set lacks one.
    const CSpriteSet* BodyShape(int group) const;

    CountedHandle<CSpriteRenderer> spriteRenderer;
    CountedHandle<CParticleSystemsManager> particleSystems;
    CountedHandle<CFlareRenderer> flareRenderer;
    std::vector<CountedHandle<CTexture>> textures;
    std::vector<CountedHandle<CSprite>> bodySprites;
    std::vector<CountedHandle<CSprite>> lightSprites;
    uint32_t shineColor = 0xFFFFFFFF;

protected:
    explicit CColourTotem(int colour, size_t bodyRoom);

    // The start of every Process: 1 with event 2 or 7 when the fade ended
    // the frame.
    int FadeStep(float dt);
    // A flight in progress: 1 with event 1 once arrived.
    int MoveStep(float dt);
    // The power is over: the event is the strength's, and the totem goes
    // back (state 5) or stays in front to charge again (state 6).
    int EndPower(bool stays);
    // Level 3 and 4 totems stay after a power below full strength.
    bool StaysAfterPower() const { return level > 2 && state == kTotemPower; }

    // The colour's own pieces: built after the body, placed after the body
    // and the lamps, resized with them, faded and moved to another layer
    // with them.
    virtual void BuildExtras() {}
    virtual void PlaceExtras() {}
    virtual void ResizeExtras(float, float) {}
    virtual void ShiftExtras(int) {}
    virtual void ExtrasOpacity(float) {}
    // Yellow and white stack their main sprites by the shapes' own z-orders.
    virtual bool StacksByShape() const { return false; }

    // A local point of the totem's picture on the screen.
    Vec3 Place(float px, float py, float pz) const;
    // The same without the totem's axes: the point scaled by the totem's
    // size and added to its position.
    Vec3 PlaceFlat(const Vec3& local) const
    {
        return {position[0] + local.x * scale[0], position[1] + local.y * scale[1], position[2] + local.z};
    }
    const CountedHandle<CTexture>& Texture(int index) const;
    // Removes the sprite from the renderer (when there is one).
    void Unshow(const CountedHandle<CSprite>& sprite) const;

private:
    void BuildGroup(const CSpriteSet* shape, int texture, int group);
    void PlaceBody(bool resize);
};

// Stops every system of the list that is set, then empties it.
void StopEmittingAll(std::vector<CountedHandle<CParticleSystem>>& systems);
