// The stage progress of a stage scene: one set of ornaments per level of the
// stage already won (a gem cut from the scene's picture, a ray and a spinning
// coloured flare), the newest set celebrated with rainbow streaks unless the
// progress arrives quietly, and a closing flare that blooms with the scene's
// sound once the stage's last set has settled. What follows the closing
// flare (the museum's map, the door, the chest) belongs to the scene.
#pragma once

#include "backgrounds/SceneKit.h"

#include <vector>

// Where a scene puts its ornaments and which sound closes its stage.
struct OrnamentLook {
    int sets;                // levels of the stage
    int gemLayer;            // sprite layer of the gems (0: under the scene's mesh)
    int flareZOrder;         // z-order of the flares
    SceneSound closing;      // played when the last set settles
    bool flareSpinHalfTurns; // "GemFlareW" counts half turns per second
};

// The keys' compiled-in defaults (every set of a scene shares them).
struct OrnamentDefaults {
    const char* gem;
    const char* gemTexels;
    const char* raysColour;
    const char* ray;
    const char* rayTexels;
    const char* flare;
    const char* flareColour;
};
extern const OrnamentDefaults kGalleryOrnamentDefaults; // the museum and the treasury
extern const OrnamentDefaults kOpenAirOrnamentDefaults; // the jungle, the valley and the door

struct OrnamentSettings {
    std::vector<ScreenBox> gems;
    std::vector<Vec4> gemTexels;
    uint32_t raysColour = 0xFFFFFFFF;
    int raysPreset = 1;
    std::vector<ScreenBox> rays;
    std::vector<Vec4> rayTexels;
    std::vector<float> rayAngles; // radians
    std::vector<Vec2> flareCentres;
    std::vector<float> flareSizes;
    std::vector<uint32_t> flareColours;
    float flareTime = 0.25f;
    float gemTime = 0.5f;
    float rayTime = 0.4f;
    float flareSpin = 0.125f; // radians per second
    float rainbowTime = 2.0f;
    Vec2 rainbowSize{256, 12};
    float rainbowSpin = kPi; // radians per second
    float rainbowLife = 0.5f;
    float rainbowInterval = 0.1f;
};

// Reads the ornament keys: `rays` ray entries (a scene may have one more ray
// than sets) and `flares` flare entries, each numbered from 1.
void ReadOrnamentSettings(const CSceneSettings& file, const OrnamentDefaults& defaults, const OrnamentLook& look,
                          int rays, int flares, OrnamentSettings* settings);

class CProgressOrnaments {
public:
    // The gems and rays are cut from the core's picture (its texture 0), the
    // flares and sparks drawn with the shared "Flare" and "Spark"; the core
    // belongs to the scene and outlives the ornaments.
    CProgressOrnaments(const OrnamentLook& look, const CSceneCore& core);
    CProgressOrnaments(const CProgressOrnaments&) = delete;
    CProgressOrnaments& operator=(const CProgressOrnaments&) = delete;

    struct Change {
        bool rose = false; // sets were added
        bool fell = false; // sets were taken away
        bool full = false; // the rise reached the stage's last set
    };
    // Shows `count` sets (clamped to the stage), quietly or celebrating the
    // newest. A rise that fills the stage adds the closing flare, hidden.
    Change SetProgress(int count, int quiet);
    // Steps every shown set; true in the frame the stage's last set settled,
    // when the closing flare blooms and the closing sound plays.
    bool Update(float dt);
    // Removes every ornament sprite and forgets the progress.
    void Release();
    // The closing flare's own slot, after the sets: state 1 while it blooms,
    // back to 0 once the flare time has passed.
    void SettleClosingFlare(float dt);

    // A flare of entry `index` (0-based), a quarter of its size and clear;
    // blooming, it fades in and grows to its full size.
    CountedHandle<CSprite> MakeFlare(size_t index, bool bloom) const;
    void AppendRay(const CountedHandle<CSprite>& ray) { m_rays.push_back(ray); }

    // The shared "Flare" of the flares and "Spark" of the rainbow streaks.

    OrnamentSettings settings;

    int Sets() const { return m_look.sets; }
    int Count() const { return m_count; }
    bool Quiet() const { return m_quiet != 0; }
    float RainbowTimer() const { return m_rainbowTimer; }
    int32_t Phase(int slot) const { return m_phase[static_cast<size_t>(slot)]; }
    // The slot after the sets, which the scene's closing show runs on.
    int32_t& ClosingState() { return m_phase.back(); }
    float& ClosingTimer() { return m_timer.back(); }
    const std::vector<CountedHandle<CSprite>>& Gems() const { return m_gems; }
    const std::vector<CountedHandle<CSprite>>& Rays() const { return m_rays; }
    const std::vector<CountedHandle<CSprite>>& Flares() const { return m_flares; }
    const std::vector<CountedHandle<CSprite>>& Rainbow() const { return m_rainbow; }

private:
    void AddSet(size_t index);
    void FadeOutFrom(size_t index);
    void FadeOutRainbow();
    void RunRainbow(size_t set, float dt);
    void StartClosingFlare();

    OrnamentLook m_look;
    const SceneServices& m_services;
    const CountedHandle<CTexture>& m_picture;
    const BackgroundResources& m_shared; // the flare and the spark
    int32_t m_count = 0;
    int32_t m_quiet = 0;
    float m_rainbowTimer = 0.0f;
    std::vector<int32_t> m_phase; // per set, and the closing slot last
    std::vector<float> m_timer;
    std::vector<CountedHandle<CSprite>> m_gems;
    std::vector<CountedHandle<CSprite>> m_rays;
    std::vector<CountedHandle<CSprite>> m_flares;
    std::vector<CountedHandle<CSprite>> m_rainbow;
};
