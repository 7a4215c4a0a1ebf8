#include "layout/QuestLayout.h"

#include "engine/CheckedSettings.h"
#include "engine/Log.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr float kPi = 3.14159265f;
// More frame pieces than this is a damaged file, not a frame.
constexpr int kMaxFramePieces = 64;

// Reads one section of the skin file.
class SkinSection {
public:
    SkinSection(const std::string& file, const char* section) : m_file(file), m_section(section) {}

    // A value that is not a finite number reads as the default, and the
    // log names the key.
    float Float(const char* key, const char* fallback) const
    {
        return ReadCheckedFloat(m_file, m_section, key, fallback);
    }
    int32_t Int(const char* key, const char* fallback) const
    {
        return ReadCheckedInt(m_file, m_section, key, fallback);
    }
    uint32_t Colour(const char* key, const char* fallback) const
    {
        return ReadCheckedColor(m_file, m_section, key, fallback);
    }
    Vec2 Pair(const char* key, const char* fallback) const
    {
        return ReadCheckedVec2(m_file, m_section, key, fallback);
    }
    Vec3 Triple(const char* key, const char* fallback) const
    {
        return ReadCheckedVec3(m_file, m_section, key, fallback);
    }
    // A point of the 1024 x 768 file screen on the centred virtual screen.
    Vec2 Position(const char* key, const char* fallback) const
    {
        const Vec2 v = Pair(key, fallback);
        return Vec2{v.x - 512.0f, 384.0f - v.y};
    }
    Vec3 PositionAndDepth(const char* key, const char* fallback) const
    {
        const Vec3 v = Triple(key, fallback);
        return Vec3{v.x - 512.0f, 384.0f - v.y, v.z};
    }
    // An offset, turned to the screen's upward y.
    Vec2 Shift(const char* key, const char* fallback) const
    {
        const Vec2 v = Pair(key, fallback);
        return Vec2{v.x, -v.y};
    }
    // A size that later divides or scales: not above 0 falls back to the
    // default.
    float Size(const char* key, const char* fallback) const
    {
        return ReadPositiveFloat(m_file, m_section, key, fallback);
    }
    const std::string& File() const { return m_file; }
    const char* Name() const { return m_section; }

private:
    const std::string& m_file;
    const char* m_section;
};

uint32_t HexColour(const std::string& text, uint32_t fallback)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    return (end == text.c_str() || value > 0xFFFFFFFFul) ? fallback : static_cast<uint32_t>(value);
}

// Each component moves towards the colour's mid value as K falls from 1.
Vec3 Desaturated(const Vec3& c, float k)
{
    const float m = (std::max({c.x, c.y, c.z}) + std::min({c.x, c.y, c.z})) / 2.0f;
    auto blend = [&](float v) { return (1.0f - k) * m + k * v; };
    return Vec3{blend(c.x), blend(c.y), blend(c.z)};
}

GemsFlares ReadFlares(const SkinSection& s, const char* name, const char* size, const char* maxT,
                      const char* lifeTime, const char* w, const char* colour)
{
    auto key = [name](const char* part) { return std::string("Gems") + name + "Flares" + part; };
    GemsFlares f;
    f.size = s.Float(key("Size").c_str(), size);
    f.maxT = s.Float(key("MaxT").c_str(), maxT);
    f.lifeTime = s.Float(key("LifeTime").c_str(), lifeTime);
    f.w = s.Float(key("W").c_str(), w) * kPi;
    f.colour = s.Colour(key("Color").c_str(), colour);
    return f;
}

std::vector<FramePiece> ReadFramePieces(const SkinSection& s)
{
    int count = s.Int("ElementsCount", "9");
    if (count < 0 || count > kMaxFramePieces) {
        WriteLog(s.File() + ": [FrameQuest] ElementsCount out of range\n");
        count = std::clamp(count, 0, kMaxFramePieces);
    }
    std::vector<FramePiece> pieces(static_cast<size_t>(count));
    char key[32];
    for (int i = 0; i < count; ++i) {
        FramePiece& p = pieces[static_cast<size_t>(i)];
        std::snprintf(key, sizeof key, "Element%d", i);
        p.rect = ReadCheckedVec4(s.File(), s.Name(), key, "0 0 0 0");
        std::snprintf(key, sizeof key, "TCoords%d", i);
        const std::string uv = ReadIniString(s.File(), s.Name(), key, "0 0 0 0 0 0 0 0");
        std::sscanf(uv.c_str(), "%f %f %f %f %f %f %f %f", &p.uv[0], &p.uv[1], &p.uv[2], &p.uv[3], &p.uv[4],
                    &p.uv[5], &p.uv[6], &p.uv[7]);
        std::snprintf(key, sizeof key, "Texture%d", i);
        p.texture = s.Int(key, "0");
        std::snprintf(key, sizeof key, "Color%d", i);
        p.colour = HexColour(ReadIniString(s.File(), s.Name(), key, "FFFFFFFF"), 0xFFFFFFFF);
        std::snprintf(key, sizeof key, "Method%d", i);
        p.method = FrameMethod(ReadIniString(s.File(), s.Name(), key, "Normal"));
    }
    return pieces;
}

} // namespace

int32_t FrameMethod(const std::string& word)
{
    if (word == "Normal")
        return 2;
    if (word == "Add")
        return 1;
    if (word == "Screen")
        return 3;
    return 0;
}

void CQuestLayout::Load(const std::string& path)
{
    CheckSettingsFile(path);
    framePieces = ReadFramePieces(SkinSection(path, "FrameQuest"));

    const SkinSection field(path, "FieldQuest");
    boardOrigin = field.Position("Coord", "367.5 16.5");
    cellSize = field.Size("CellSize", "80");
    tokenRadius = field.Size("Radius", "32");
    sandbox.Load(path, field.Name());
    gemsOverlayShift = field.Shift("GemsOverlayShift", "128 -40");
    gemsFillingShift = field.Shift("GemsFillingShift", "129 -34");
    gemsGemsShift = field.Shift("GemsGemsShift", "129 -38");
    gemsLabelShift = field.Shift("GemsLabelShift", "72 -36");
    gemsCountShift = field.Shift("GemsCountShift", "594 -36");
    gemsTextColour = field.Colour("GemsTextColor", "255 255 255 255");
    gemsTextShadowColour = field.Colour("GemsTextShadowColor", "0 0 0 128");
    gemsTextCharSize = field.Float("GemsTextCharSize", "1");
    gemsBigFlares = ReadFlares(field, "Big", "64", "0.3", "1.5", "0.5", "255 255 255 153");
    gemsSmallFlares = ReadFlares(field, "Small", "6.0", "0.02", "0.4", "1", "255 255 255 255");
    comboMessagePos = field.PositionAndDepth("ComboMessagePos", "649 240 -1");
    frenzyMessagePos = field.PositionAndDepth("FrenzyMessagePos", "649 384 -2");

    const SkinSection panel(path, "PanelQuest");
    arrowCenter = panel.Pair("ArrowCenter", "0 -25");
    arrowShadowCenter = panel.Pair("ArrowShadowCenter", "-2 -27");
    globalAngle = panel.Float("GlobalAngle", "0.237374247");
    const Vec3 green = panel.Triple("Green", "0 255 0");
    const Vec3 yellow = panel.Triple("Yellow", "255 255 0");
    const Vec3 red = panel.Triple("Red", "255 0 0");
    saturation = panel.Float("Saturation", "1");
    gaugeGreen = Desaturated(green, saturation);
    gaugeYellow = Desaturated(yellow, saturation);
    gaugeRed = Desaturated(red, saturation);
    const float alpha = std::clamp(panel.Float("Alpha", "0.25"), 0.0f, 1.0f);
    gaugeAlphaByte = static_cast<uint32_t>(std::floor(alpha * 255.0f)) << 24;
    greenEnd = panel.Float("GreenEnd", "0.25");
    yellowEnd = panel.Float("YellowEnd", "0.1");
    redEnd = panel.Float("RedEnd", "0.08");

    const SkinSection tutorial(path, "Tutorial");
    arrowWinPrefX = tutorial.Float("ArrowWinPrefX", "394") - 512.0f;
    arrowWinSize = tutorial.Pair("ArrowWinSize", "512 160");
    arrowUpShift = tutorial.Shift("ArrowUpShift", "7 -45");
    arrowDownShift = tutorial.Shift("ArrowDownShift", "7 -19");
    clickHerePoint = tutorial.Shift("ClickHerePoint", "160 106");
    clickHereA = tutorial.Float("ClickHereA", "16");
    clickHereW = tutorial.Float("ClickHereW", "6");
    swapThesePoint = tutorial.Shift("SwapThesePoint", "160 106");

    const SkinSection misc(path, "Misc");
    splashBloomSpeed = misc.Float("SplashBloomSpeed", "2");
    splashLifeTime = misc.Float("SplashLifeTime", "1");
    splashFadeSpeed = misc.Float("SplashFadeSpeed", "2");

    const SkinSection map(path, "Map");
    flagShift = map.Shift("FlagShift", "11 -10");
    shadowShift = map.Shift("ShadowShift", "9 32");
    shadowVec = map.Shift("ShadowVec", "0.5 1");
    flagMoveTime = map.Float("FlagMoveTime", "1");
    flagJumpHeight = map.Float("FlagJumpHeight", "24");
}
