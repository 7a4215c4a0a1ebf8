// One Golden Star of the shop screen: resting in the stars panel or on an
// item's bar, flying between them with a sparkling tail, or dragged by the
// player. A star is set up once for one kind of motion and never changes
// it; the shop replaces it by a new star whenever it has to move otherwise.
#pragma once

#include "effects/particles/ParticleSystemsManager.h"
#include "engine/CountedHandle.h"
#include "engine/Settings.h"
#include "engine/Sprite.h"

#include <cstdint>

class CShopStar {
public:
    enum Kind : int32_t {
        kNotSetUp = 0,
        kInPanel = 1,
        kOnItem = 2,
        kFlyingBack = 3, // to the panel after a drop no item takes
        kToPanel = 4,    // from a bar to the panel
        kToItem = 5,
        kDragged = 6,
    };
    // The animated star's eight frames: two columns of four in the second
    // star texture.
    static constexpr int kFrames = 8;

    CShopStar() = default;
    ~CShopStar();
    CShopStar(const CShopStar&) = delete;
    CShopStar& operator=(const CShopStar&) = delete;

    // The tail's particle layer, the renderer of the star's sprite, and the
    // star textures: 1 the bar star, 2 the panel star and the turning star,
    // 3 the tail's sparkles.
    void SetResources(CountedHandle<CParticleSystemsManager> particles, CountedHandle<CSpriteRenderer> sprites,
                      CountedHandle<CTexture> texture1, CountedHandle<CTexture> texture2,
                      CountedHandle<CTexture> texture3);
    // Sparkle size, sparkles per second and colour of a flight's tail.
    void SetTail(float size, float intensity, uint32_t colour);

    void PlaceInPanel(float x, float y, float z, int32_t zOrder);
    void PlaceOnItem(float x, float y, float z, int32_t zOrder);
    void StartDrag(float x, float y, float z, int32_t zOrder);
    // From (fx, fy, fz) to (tx, ty, tz) at `speed` units per second.
    void FlyBackToPanel(float fx, float fy, float fz, float tx, float ty, float tz, float speed, int32_t zOrder);
    void FlyToPanel(float fx, float fy, float fz, float tx, float ty, float tz, float speed, int32_t zOrder);
    void FlyToItem(float fx, float fy, float fz, float tx, float ty, float tz, float speed, int32_t zOrder);

    // One frame of a flight: true once it has ended (and on every later call).
    bool Update(float dt);
    // Moves the star (and its tail) at once.
    void MoveTo(float x, float y, float z);
    // Fades a resting star in (from nothing) or out at `speed` opacity per
    // second; at once for a speed of 0 or less. Moving stars ignore it.
    void Show(bool visible, float speed);

    Kind GetKind() const { return m_kind; }
    // The item whose bar the star stands on or flies to, or -1.
    int32_t TargetItem() const { return m_targetItem; }
    void SetTargetItem(int32_t item) { m_targetItem = item; }
    const Vec3& Position() const { return m_position; }
    const Vec3& Start() const { return m_start; }
    const Vec3& End() const { return m_end; }
    float Duration() const { return m_duration; }
    float Elapsed() const { return m_elapsed; }
    float FrameRate() const { return m_frameRate; }
    const CountedHandle<CSprite>& Sprite() const { return m_sprite; }
    const CountedHandle<CParticleSystem>& Tail() const { return m_tail; }

private:
    void PlaceResting(Kind kind, float x, float y, float z, int32_t zOrder);
    void StartFlight(Kind kind, float fx, float fy, float fz, float tx, float ty, float tz, float speed,
                     int32_t zOrder);
    // A new sprite of the kind's picture in place of the old one.
    void MakeSprite(float size, const CountedHandle<CTexture>& texture, bool animated, int32_t zOrder);
    void RemoveSprite();

    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTexture> m_texture1, m_texture2, m_texture3;
    Vec3 m_position;
    float m_elapsed = 0.0f;
    float m_frameClock = 0.0f; // 0 .. kFrames
    float m_frameRate = 32.0f;
    Kind m_kind = kNotSetUp;
    Vec3 m_start, m_end;
    float m_duration = 1.0f;
    int32_t m_targetItem = -1;
    CountedHandle<CSprite> m_sprite;
    CountedHandle<CParticleSystem> m_tail;
    float m_tailSize = 32.0f;
    float m_tailIntensity = 80.0f;
    uint32_t m_tailColour = 0xFFFFFF80;
};
