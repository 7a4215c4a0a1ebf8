// The gems bar under the board: a strip 407 pixels wide into which the
// picture of every collected gem is blended, spaced so that the level's goal
// fills the strip; an amber fill that grows with the count; a counter
// "collected/goal"; and, as the strip fills, rising sparkles and small
// flares over it.
//
// The strip is composed on the CPU once per gem and uploaded into a fixed
// 256 x 128 texture, "GemsSurfaceTexture", folded into two bands (strip
// columns 0-207 in rows 0-39, columns 199-406 in rows 40-79 from column 48);
// nothing is uploaded per frame.
#pragma once

#include "engine/CountedHandle.h"
#include "engine/Settings.h" // Vec2

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class CBitmapFont;
class CFlareRenderer;
struct CQuestLayout;
class CRenderDevice;
class CSprite;
class CSpriteRenderer;
class CText;
class CTextBatch;
class CTexture;

// Where the bar's pieces stand, from the bar's origin (y up), and the look
// of its counter and effects. The skin file can change every value.
struct GemsBarLook {
    Vec2 frameShift{118.0f, -30.0f}; // top left of the frame pictures
    Vec2 fillShift{119.0f, -24.0f};  // top left of the progress fill
    Vec2 stripShift{119.0f, -28.0f}; // top left of the gem strip
    Vec2 countShift{584.0f, -8.0f};  // the counter text
    float textScale = 1.0f;          // times the font's character size
    uint32_t textColour = 0xFFFFFFFF;
    float sparkleLife = 1.5f;
    float sparklePeriod = 0.3f; // clock units per sparkle
    float sparkleSize = 64.0f;
    float sparkleSpin = 1.5707964f; // radians per second
    uint32_t sparkleColour = 0x99FFFFFF;
    float flareLife = 0.4f;
    float flarePeriod = 0.02f;
    float flareSize = 6.0f;
    float flareSpin = 3.1415927f;
    uint32_t flareColour = 0xFFFFFF;
    float flareIntensity = 1.0f;
};

class CGemsBar {
public:
    static constexpr int kColours = 7;
    static constexpr int kGemSize = 40;
    static constexpr int kStripWidth = 407;
    static constexpr int kStripHeight = 40;
    static constexpr const char* kSurfaceName = "GemsSurfaceTexture";

    CGemsBar();
    ~CGemsBar();
    CGemsBar(const CGemsBar&) = delete;
    CGemsBar& operator=(const CGemsBar&) = delete;

    void SetSharedObjects(CountedHandle<CRenderDevice> device, CountedHandle<CTexture> frameTexture,
                          CountedHandle<CSpriteRenderer> sprites, CountedHandle<CTextBatch> texts,
                          CountedHandle<CBitmapFont> font, CountedHandle<CFlareRenderer> flares);
    void SetEffectTexture(CountedHandle<CTexture> texture) { m_effectTexture = std::move(texture); }
    void SetLook(const GemsBarLook& look) { m_look = look; }
    // The bar's place and look from the skin's quest layout.
    void ApplyLayout(const CQuestLayout& layout);
    const GemsBarLook& Look() const { return m_look; }

    // The seven gem pictures of "BarGems.bmp" (a 320 x 80, 24-bit
    // uncompressed bitmap: the gems in the upper band, their alpha masks in
    // the lower band). False after logging why.
    bool LoadBarGems(const std::string& path);
    // Creates the strip's texture, the six sprites and the counter; false
    // when the texture cannot be made.
    bool Init();

    void Show(bool shown, float rate);
    void SetPosition(float x, float y, float z);
    // A gem of colour 0..6 arrived; a gem of any other colour is counted
    // but has no picture.
    bool AddGem(int colour);
    // Where the n-th gem still in flight (1 = the next) will land.
    Vec3 GetGemTarget(int colour, int n) const;
    bool ResetLevel();
    // Uploads the strip and updates the fill and the counter.
    bool Refresh();
    void Update(float dt);

    int32_t goal = 5; // the level start sets it before ResetLevel

    // Read by tests and the level lab.
    int Collected() const { return static_cast<int>(m_collected.size()); }
    // The colours of the gems collected, in the order they came.
    const std::vector<int32_t>& CollectedColours() const { return m_collected; }
    float Cursor() const { return m_cursor; }
    int GemWidth(int colour) const;
    uint32_t StripPixel(int column, int row) const
    {
        return m_strip[static_cast<size_t>(row) * kStripWidth + static_cast<size_t>(column)];
    }
    float Alpha() const { return m_alpha; }
    Vec3 Origin() const { return Vec3{m_x, m_y, m_z}; }
    bool IsShown() const { return m_shown; }
    const CountedHandle<CSprite>& FillSprite(int i) const { return m_fillSprites[static_cast<size_t>(i)]; }
    const CountedHandle<CText>& CounterText() const { return m_counter; }
    size_t SparkleCount() const { return m_sparkles.size(); }
    const CountedHandle<CTexture>& SurfaceTexture() const { return m_surface; }

private:
    using Picture = std::array<uint32_t, kGemSize * kGemSize>;

    bool UploadBuffer();
    void SetAlpha(float alpha);
    void ShowSprites(bool visible);
    void DropSparkles();
    void PlaceSprites();
    void PlaceFill();
    void BlendGem(int colour, int column);
    void SpawnSparkle(float x, float y);
    void SpawnFlare(float x, float y);
    // A random point over the filled part of the strip.
    void EffectPoint(float* x, float* y) const;

    GemsBarLook m_look;
    bool m_shown = false;
    float m_alpha = 0.0f;
    float m_fadeRate = 0.0f; // > 0 fades in, < 0 fades out
    float m_x = -194.5f, m_y = 340.5f, m_z = 50.0f;
    CountedHandle<CRenderDevice> m_device;
    CountedHandle<CTexture> m_frameTexture;
    CountedHandle<CTexture> m_surface;
    CountedHandle<CTexture> m_effectTexture;
    CountedHandle<CSpriteRenderer> m_sprites;
    CountedHandle<CTextBatch> m_texts;
    CountedHandle<CBitmapFont> m_font;
    CountedHandle<CFlareRenderer> m_flares;
    std::array<Picture, kColours> m_pictures{};
    std::array<int, kColours> m_widths{};
    std::vector<uint32_t> m_strip;
    std::vector<int32_t> m_collected;
    float m_cursor = 0.0f; // right edge, in strip pixels, of the last gem placed
    float m_fillLeft = 0.0f, m_fillRight = 0.0f;
    std::array<CountedHandle<CSprite>, 4> m_frameSprites; // frame left, right; strip left, right
    std::array<CountedHandle<CSprite>, 2> m_fillSprites;
    CountedHandle<CText> m_counter;
    std::vector<CountedHandle<CSprite>> m_sparkles;
    std::vector<float> m_sparkleAges;
    float m_sparkleClock = 0.0f, m_flareClock = 0.0f;
};
