#include "layout/QuestLayout.h"

#include <algorithm>
#include <cmath>

namespace {

float Float(const std::string& file, const char* section, const char* key, const char* fallback)
{
    const float value = ReadIniFloat(file, section, key, fallback);
    return std::isfinite(value) ? value : ReadIniFloat("", section, key, fallback);
}

Vec2 Pair(const std::string& file, const char* section, const char* key, const char* fallback)
{
    Vec2 v;
    ReadIniVec2(file, section, key, fallback, &v);
    if (!std::isfinite(v.x) || !std::isfinite(v.y))
        ReadIniVec2("", section, key, fallback, &v);
    return v;
}

Vec2 Shift(const std::string& file, const char* section, const char* key, const char* fallback)
{
    Vec2 v = Pair(file, section, key, fallback);
    v.y = -v.y;
    return v;
}

Vec3 Triple(const std::string& file, const char* section, const char* key, const char* fallback)
{
    Vec3 v;
    ReadIniVec3(file, section, key, fallback, &v);
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z))
        ReadIniVec3("", section, key, fallback, &v);
    return v;
}

// Each component drawn towards the colour's middle grey by 1 - k.
Vec3 Desaturate(const Vec3& c, float k)
{
    const float m = (std::max({c.x, c.y, c.z}) + std::min({c.x, c.y, c.z})) / 2;
    return {(1 - k) * m + k * c.x, (1 - k) * m + k * c.y, (1 - k) * m + k * c.z};
}

} // namespace

void CQuestLayout::Load(const std::string& path)
{
    const char* panel = "PanelQuest";
    arrowCenter = Pair(path, panel, "ArrowCenter", "0 -25");
    arrowShadowCenter = Pair(path, panel, "ArrowShadowCenter", "-2 -27");
    globalAngle = Float(path, panel, "GlobalAngle", "0.237374247");
    gaugeGreen = Triple(path, panel, "Green", "0 255 0");
    gaugeYellow = Triple(path, panel, "Yellow", "255 255 0");
    gaugeRed = Triple(path, panel, "Red", "255 0 0");
    saturation = Float(path, panel, "Saturation", "1");
    gaugeGreen = Desaturate(gaugeGreen, saturation);
    gaugeYellow = Desaturate(gaugeYellow, saturation);
    gaugeRed = Desaturate(gaugeRed, saturation);
    const float alpha = std::clamp(Float(path, panel, "Alpha", "0.25"), 0.0f, 1.0f);
    gaugeAlphaByte = static_cast<uint32_t>(std::floor(alpha * 255.0f)) << 24;
    greenEnd = Float(path, panel, "GreenEnd", "0.25");
    yellowEnd = Float(path, panel, "YellowEnd", "0.1");
    redEnd = Float(path, panel, "RedEnd", "0.08");

    const char* tutorial = "Tutorial";
    arrowWinPrefX = Float(path, tutorial, "ArrowWinPrefX", "394") - 512.0f;
    arrowWinSize = Pair(path, tutorial, "ArrowWinSize", "512 160");
    arrowUpShift = Shift(path, tutorial, "ArrowUpShift", "7 -45");
    arrowDownShift = Shift(path, tutorial, "ArrowDownShift", "7 -19");
    clickHerePoint = Shift(path, tutorial, "ClickHerePoint", "160 106");
    clickHereA = Float(path, tutorial, "ClickHereA", "16");
    clickHereW = Float(path, tutorial, "ClickHereW", "6");
    swapThesePoint = Shift(path, tutorial, "SwapThesePoint", "160 106");

    splashBloomSpeed = Float(path, "Misc", "SplashBloomSpeed", "2");
    splashLifeTime = Float(path, "Misc", "SplashLifeTime", "1");
    splashFadeSpeed = Float(path, "Misc", "SplashFadeSpeed", "2");

    flagShift = Shift(path, "Map", "FlagShift", "11 -10");
    shadowShift = Shift(path, "Map", "ShadowShift", "9 32");
    shadowVec = Shift(path, "Map", "ShadowVec", "0.5 1");
    flagMoveTime = Float(path, "Map", "FlagMoveTime", "1");
    flagJumpHeight = Float(path, "Map", "FlagJumpHeight", "24");
}
