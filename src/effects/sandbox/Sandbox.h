// The glass box of sand under the board. It draws the surface of the sand
// heightfield as a strip of columns, the glass and its gilded frame in front,
// and, while the box is full or shortly after, the frenzy bar of star
// elements that shows the meter. It turns destroyed tokens into falling
// grains with a ballistic fall time and fades itself in and out; while it is
// shown, grains blow off its dunes and dust drifts over them (the dune
// keepers). The board creates and places it and switches full mode; the
// frame draws it through the buffer-layer slot.
#pragma once

#include "effects/sandbox/SandHeightfield.h"
#include "effects/sandbox/SandboxSettings.h"
#include "engine/CountedHandle.h"
#include "engine/FrameLayers.h"
#include "engine/MotionPath.h"
#include "engine/Settings.h"

#include <cstdint>
#include <vector>

class CDuneDustKeeper;
class CDuneSandFlyOut;
class CParticleSystem;
class CParticleSystemsManager;
class CTexture;

// Where the box stands and the top of its sand, column by column. The dune
// effects hold it by handle, so it stays whole for as long as they run.
struct SandboxGeometry {
    float left = 0.0f;
    float top = 0.0f;
    float z = 0.0f;
    float width = 640.0f;
    float height = 32.0f;
    std::vector<Vec3> bases;   // the bottom of each column
    std::vector<float> u;      // the sand texture's u at each column
    std::vector<Vec3> surface; // the top of the shown sand of each column

    int Columns() const { return static_cast<int>(bases.size()); }
};

// The way grains leave the box while it drains: straight runs from the box's
// left top through the skin's points at the path speed. Runs of no length,
// or any run at a speed that is not above 0, are left out; with none left
// the path is the point (0, 0) and takes no time.
class CPourPath {
public:
    void Build(const std::vector<Vec2>& points, float speed);
    float Duration() const { return m_duration; }
    Vec3 Start() const;
    Vec3 PointAt(float time) const;

private:
    CMotionPath m_path;
    float m_duration = 0.0f;
};

class CSandbox : public IBufferLayer {
public:
    enum Texture { kSand, kSmallSand, kDust, kFront, kGlass, kBarElement, kTextureCount };

    CSandbox();
    ~CSandbox() override;
    CSandbox(const CSandbox&) = delete;
    CSandbox& operator=(const CSandbox&) = delete;

    void SetTextures(CountedHandle<CTexture> sand, CountedHandle<CTexture> smallSand, CountedHandle<CTexture> dust,
                     CountedHandle<CTexture> front, CountedHandle<CTexture> glass,
                     CountedHandle<CTexture> barElement);
    void ApplySettings(const SandboxSettings& settings);
    // The manager the dune effects run in.
    void SetParticleManager(CountedHandle<CParticleSystemsManager> manager);
    void SetHeightfield(CountedHandle<CSandHeightfield> heightfield);
    // x and y are the box's left and top on the centred screen.
    void SetGeometry(float x, float y, float z, float width, float height);
    // A speed of 0 shows or hides at once; otherwise the box fades at that
    // many fractions per second. Showing starts the dune effects (once),
    // hiding stops them.
    void Show(bool show, float speed);
    void Update(float dt);
    void SetFull(bool on, double meter);
    // Queues a grain of `amount` (a fraction of the box) for a token
    // destroyed at (x, y), falling from `upSpeed` upwards under `gravity`
    // to at most `maxSpeed`.
    void DropGrain(float amount, float x, float y, float z, float dropOffset, float vx, float upSpeed,
                   float maxSpeed, float gravity);

    // The two passes; false when the shared buffers could not be locked.
    bool RenderSand(const FrameTargets& targets);
    bool RenderBox(const FrameTargets& targets);

    bool IsShown() const override { return m_visible; }
    void Draw(const FrameTargets& targets) override;

    float Fade() const { return m_fade; }
    float BarAlpha() const { return m_barAlpha; }
    const CountedHandle<SandboxGeometry>& Geometry() const { return m_geometry; }
    const CountedHandle<CSandHeightfield>& Heightfield() const { return m_heightfield; }
    const CPourPath& PourPath() const { return m_pourPath; }
    // The dune effects and their keepers while the box is shown.
    const CountedHandle<CParticleSystem>& FlyOutSystem() const { return m_flyOutSystem; }
    const CountedHandle<CParticleSystem>& DustSystem() const { return m_dustSystem; }
    const CountedHandle<CDuneSandFlyOut>& FlyOutKeeper() const { return m_flyOut; }
    const CountedHandle<CDuneDustKeeper>& DustKeeper() const { return m_dust; }

private:
    void StartDunes();
    void StopDunes();
    void EnableDunes(bool on);
    // Lays the columns out again when the heightfield's count changed.
    void LayOutColumns();
    void UpdateSurface();

    CountedHandle<CSandHeightfield> m_heightfield;
    CountedHandle<CTexture> m_textures[kTextureCount];
    Vec3 m_frontShift{-9.0f, 4.0f, 0.0f};
    uint32_t m_glassColor = 0xff6cc8f7;
    CountedHandle<SandboxGeometry> m_geometry;
    CPourPath m_pourPath;
    float m_inGravity = 5.0f;
    float m_outGravity = 20.0f;
    float m_pathSpeed = 32.0f;
    uint32_t m_sandColor = 0xffa09050;
    float m_sandAlpha = 1.0f;
    float m_dustSpeed = 40.0f;
    float m_dustSpeedSpread = 20.0f;
    float m_dustBraking = 40.0f;
    float m_dustSize = 10.0f;
    float m_dustSizeSpread = 5.0f;
    uint32_t m_dustColor = 0xffa09050;
    float m_dustAlpha = 0.5f;
    uint32_t m_barColor = 0x0001ddff;
    float m_barAlpha = 0.0f;
    Vec2 m_barShift{14.0f, -2.0f};
    Vec2 m_barElementSize{32.0f, 32.0f};
    int m_barElements = 19;
    float m_barPostTime = 0.25f;
    bool m_visible = false;
    float m_fade = 0.0f;
    float m_fadeSpeed = 0.0f;
    CountedHandle<CParticleSystemsManager> m_particles;
    CountedHandle<CParticleSystem> m_flyOutSystem;
    CountedHandle<CDuneSandFlyOut> m_flyOut;
    CountedHandle<CParticleSystem> m_dustSystem;
    CountedHandle<CDuneDustKeeper> m_dust;
};
