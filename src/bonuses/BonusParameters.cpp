#include "bonuses/BonusParameters.h"

#include "engine/CheckedSettings.h"
#include "engine/Text.h" // ParseHex

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// Small flares come at most this often: a shorter period would make
// thousands in one frame.
constexpr float kShortestFlarePeriod = 0.001f;
// A spark burst holds twice this many sparks at most, so its capacity stays
// within 0 .. 1000.
constexpr float kMostExpSparks = 500.0f;

// One file's reader: the path and the section being read.
class Reader {
public:
    explicit Reader(const std::string& path) : m_path(path) {}
    void Section(const char* name) { m_section = name; }

    float Float(const char* key, const char* fallback) const
    {
        return ReadCheckedFloat(m_path, m_section, key, fallback);
    }
    // A time, size or speed something divides by or counts with.
    float Positive(const char* key, const char* fallback) const
    {
        return ReadPositiveFloat(m_path, m_section, key, fallback);
    }
    float TimesPi(const char* key, const char* fallback) const { return Float(key, fallback) * kBonusPi; }
    int32_t Int(const char* key, const char* fallback) const
    {
        return ReadCheckedInt(m_path, m_section, key, fallback);
    }
    // On unless the value starts with the digit 0 (or is empty).
    int32_t Flag(const char* key, const char* fallback) const
    {
        const std::string text = Text(key, fallback);
        return !text.empty() && text[0] != '0' ? 1 : 0;
    }
    // Hexadecimal RGB; the alpha byte is always opaque.
    uint32_t Hex(const char* key, const char* fallback) const
    {
        return static_cast<uint32_t>(ParseHex(Text(key, fallback))) | 0xFF000000u;
    }
    uint32_t Colour(const char* key, const char* fallback) const
    {
        return ReadCheckedColor(m_path, m_section, key, fallback);
    }
    Vec2 Pair(const char* key, const char* fallback) const
    {
        return ReadCheckedVec2(m_path, m_section, key, fallback);
    }
    Vec4 Quad(const char* key, const char* fallback) const
    {
        return ReadCheckedVec4(m_path, m_section, key, fallback);
    }
    Vec3 Triple(const char* key, const char* fallback) const
    {
        return ReadCheckedVec3(m_path, m_section, key, fallback);
    }
    // Pixels of the 1024 x 768 screen, y down, as centred units, y up.
    Vec3 ScreenPoint(const char* key, const char* fallback) const
    {
        const Vec3 p = Triple(key, fallback);
        return Vec3{p.x - 512.0f, 384.0f - p.y, p.z};
    }

private:
    std::string Text(const char* key, const char* fallback) const
    {
        return ReadIniString(m_path, m_section, key, fallback);
    }

    std::string m_path;
    const char* m_section = "";
};

std::string Indexed(const char* key, int i) { return key + std::to_string(i); }

} // namespace

void GemParameters::Load(const std::string& path)
{
    CheckSettingsFile(path);
    Reader in(path);
    in.Section("Gems");
    targetPos = in.Triple("TargetPos", "-480 0 -150");
    targetZOrder = in.Int("TargetZOrder", "-150");
    flyTime = in.Positive("FlyTime", "1");
    gemSize = in.Float("Size", "48");

    in.Section("Halo");
    haloSize = in.Float("Size", "128");
    haloT = in.Positive("T", "2") * kBonusPi;
    haloIntensity = in.Float("Intensity", "1");
    haloMinIntensity = in.Float("MinIntensity", "0");
    haloAdditive = in.Flag("Method", "0");
    for (int i = 0; i < kValues; ++i)
        haloColors[i] = in.Hex(Indexed("Color", i).c_str(), "FFFFFF");

    in.Section("SmallFlares");
    smallFlareSize = in.Float("Size", "8");
    smallFlareLifeTime = in.Float("LifeTime", "1");
    smallFlareW = in.TimesPi("W", "1");
    smallFlareT = std::max(in.Positive("T", "0.1"), kShortestFlarePeriod);
    smallFlareIntensity = in.Float("Intensity", "1");

    in.Section("BigFlares");
    bigFlareSize = in.Float("Size", "64");
    bigFlareIntensity = in.Float("Intensity", "1");
    bigFlareT = in.Positive("T", "1.5");
    bigFlareW = in.TimesPi("W", "0.5");
    bigFlareAdditive = in.Flag("Method", "0");
    for (int i = 0; i < kValues; ++i)
        bigFlareOrigins[i] = in.Pair(Indexed("OriginSize", i).c_str(), "26 26");

    in.Section("SmallFlares");
    for (int i = 0; i < kValues; ++i)
        smallFlareOrigins[i] = in.Pair(Indexed("OriginSize", i).c_str(), "28 28");

    in.Section("Standard");
    standardRadius = in.Positive("Radius", "38");
}

BonusParameters::BonusParameters()
{
    for (int i = 0; i < 3; ++i)
        SetWire(i, 63, 25, 62, 102, 20);
}

void BonusParameters::SetWire(int i, float x1, float y1, float x2, float y2, float wireWidth)
{
    const float ax = x1 - 64.0f, ay = 64.0f - y1, bx = x2 - 64.0f, by = 64.0f - y2;
    const float hx = (bx - ax) / 2.0f, hy = (by - ay) / 2.0f;
    const float length = std::sqrt(hx * hx + hy * hy);
    // A wire of no length has no across; its spark stays on its middle.
    const float k = length > 0.0f ? wireWidth / 2.0f / length : 0.0f;
    wireAxes[i] = Vec3{hx, hy, 0.0f};
    wireCentres[i] = Vec3{ax + hx, ay + hy, 0.0f};
    wireNormals[i] = Vec3{-hy * k, hx * k, 0.9f};
}

void BonusParameters::Load(const std::string& path)
{
    CheckSettingsFile(path);
    Reader in(path);
    in.Section("TNT");
    for (int i = 0; i < 3; ++i) {
        const Vec4 wire = in.Quad(Indexed("WireRing", i).c_str(), "63 25 62 102");
        SetWire(i, wire.x, wire.y, wire.z, wire.w, in.Float(Indexed("WireRingWidth", i).c_str(), "20"));
    }
    tntSparkerW = in.Float("SparkerW", "0.25");
    tntLifeTime = in.Positive("LifeTime", "1");
    tntRingColor = in.Colour("RingColor", "255 255 128 255");
    tntHaloColor = in.Colour("HaloColor", "255 128 128 255");
    tntRingSizes[0] = in.Float("RingSize0", "3");
    tntRingSizes[1] = in.Float("RingSize1", "4.2");
    tntRingSizes[2] = in.Float("RingSize2", "5");
    tntRingSizes[3] = in.Float("RingSize3", "6.2");
    tntRingExpandTime = in.Positive("RingExpandTime", "0.4");
    // The ring and the halos fade over their life after the growth: a life
    // no longer than the growth leaves no time to fade in.
    if (tntLifeTime <= tntRingExpandTime) {
        tntLifeTime = 1.0f;
        if (tntLifeTime <= tntRingExpandTime)
            tntRingExpandTime = 0.4f;
    }
    tntHaloSizeFactor = in.Float("HaloSizeFactor", "0.9");
    tntHaloW = in.TimesPi("HaloW", "0.5");
    expSparkColor = in.Colour("ExpSparkColor", "128 128 255 255") & 0x00FFFFFFu;
    expSparkCount = std::clamp(in.TimesPi("ExpSparkCount", "20"), 0.0f, kMostExpSparks);
    expSparkSize = in.TimesPi("ExpSparkSize", "8");
    expSparkFading = in.TimesPi("ExpSparkFading", "1");
    // Sparks stretch by two over this speed.
    expSparkSpeed = in.Positive("ExpSparkSpeed", "100") * kBonusPi;
    expSparkGravity = in.TimesPi("ExpSparkGravity", "100");

    in.Section("Flash");
    flashRadius = in.Float("Radius", "30");
    flashBoltWidth = in.Float("BoltWidth", "16");
    flashW = in.TimesPi("W", "1");
    flashSpeed = in.Float("Speed", "30");
    flashCoreSize = in.Float("CoreSize", "16");
    const float intensity = std::clamp(in.Float("Intensity", "0.5"), 0.0f, 1.0f);
    flashColor = static_cast<uint32_t>(std::floor(intensity * 255.0f)) << 24 | 0x00FFFFFFu;
    flashLifeTime = in.Float("LifeTime", "0.25");

    in.Section("Time");
    timeTarget = in.ScreenPoint("Target", "114 94 -60");
    timeTwirlZOrder = in.Int("TwirlZOrder", "-60");
    timePreFlyTime = in.Positive("PreFlyTime", "0.25");
    timeFlyTime = in.Float("FlyTime", "0.15");
    timePostFlyTime = in.Positive("PostFlyTime", "0.2");
    timeDigitsSize = in.Float("DigitsSize", "24");
    timeStarColor = in.Colour("StarColor", "73 246 8 128");
    timeTwirlColor = in.Colour("TwirlColor", "73 246 8 255");

    in.Section("Adviser");
    const Vec2 global = in.Pair("GlobalShift", "0 0");
    const Vec2 rim = in.Pair("RimShift", "-1 -1");
    const Vec2 glass = in.Pair("GlassShift", "3 -6");
    // y turns up (0 - y: no negative zero for an unshifted sprite).
    adviserGlobalShift = Vec2{global.x, 0.0f - global.y};
    adviserRimShift = Vec2{global.x + rim.x, 0.0f - global.y - rim.y};
    adviserGlassShift = Vec2{global.x + glass.x, 0.0f - global.y - glass.y};
    adviserGlassW = in.TimesPi("GlassW", "1");
    adviserTarget = in.ScreenPoint("Target", "160 352 -60");
    adviserZOrder = in.Int("ZOrder", "-60");
    adviserSpeed = in.Positive("Speed", "1000");
    adviserTailColor = in.Colour("TailColor", "255 255 80 128");

    in.Section("Score");
    coinOrbitRadius = in.Float("CoinOrbitRadius", "42");
    coinFps = in.Float("CoinFPS", "30");
    coinW = in.TimesPi("CoinW", "2");
    coinOutSpeed = in.Float("CoinOutSpeed", "400");
    scoreTailColor = in.Colour("TailColor", "80 255 80 255");

    in.Section("Solidarity");
    ringColor = in.Colour("RingColor", "255 255 255 255");
    ringR = in.Float("RingR", "24");
    ringExpandSpeed = in.Float("RingExpandSpeed", "48");
    ringLifeTime = in.Positive("RingLifeTime", "1");
    ringT = in.Float("RingT", "0.4");
    ringW = in.TimesPi("RingW", "0.5");
    centerColor = in.Colour("CenterColor", "255 255 255 255");
    centerSize = in.Float("CenterSize", "32");
    centerW = in.TimesPi("CenterW", "-0.5");
    tailColor = in.Colour("TailColor", "255 255 255 255");
    tailSize = in.Pair("TailSize", "32 16");
    tailTLen = in.Float("TailTLen", "0.25");
    tailTSpeed = in.Float("TailTSpeed", "0.5");
    tailW = in.Float("TailW", "0.125");
    boltColor = in.Colour("BoltColor", "255 200 200 255");
    boltLength = in.Positive("BoltLength", "1000");
    boltWidth = in.Float("BoltWidth", "64");
    boltSpeed = in.Positive("BoltSpeed", "1200");
    boltTFactor = in.Float("BoltTFactor", "256");
    boltTSpeed = in.Float("BoltTSpeed", "1");
    termTime = in.Positive("TermTime", "0.25");

    in.Section("AdviserInterface");
    hintHaloW = in.TimesPi("HaloW", "0.25");
    hintZ = in.Float("Z", "-50");
    hintZOrder = in.Int("ZOrder", "-10");
    hintArrowW = in.TimesPi("ArrowW", "2");
    hintArrowR = in.Float("ArrowR", "4");
    hintRefresh = in.Float("Refresh", "0.25");
}

GemParameters& GemParams()
{
    static GemParameters record;
    return record;
}

BonusParameters& BonusParams()
{
    static BonusParameters record;
    return record;
}

void LoadBonusParameters(const std::string& gemPath, const std::string& bonusPath)
{
    GemParams().Load(gemPath);
    BonusParams().Load(bonusPath);
}
