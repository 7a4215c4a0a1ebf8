#include "effects/sandbox/SandboxSettings.h"

#include "effects/sandbox/SandHeightfield.h"
#include "engine/CheckedSettings.h"

#include <algorithm>
#include <cstdio>

namespace {

Vec2 Shift(const Vec2& v) { return Vec2{v.x, -v.y}; }

// A colour's alpha becomes an opacity of its own; the colour stays opaque.
void SplitAlpha(uint32_t argb, uint32_t* colour, float* opacity)
{
    *colour = argb | 0xff000000u;
    *opacity = static_cast<float>(argb >> 24) / 255.0f;
}

} // namespace

void SandboxSettings::Load(const std::string& file, const char* section)
{
    auto vec2 = [&](const char* key, const char* def) { return ReadCheckedVec2(file, section, key, def); };
    auto number = [&](const char* key, const char* def) { return ReadCheckedFloat(file, section, key, def); };

    const Vec2 coord = vec2("SandboxCoord", "367.5 728.5");
    origin = Vec2{coord.x - 512.0f, 384.0f - coord.y};
    // A box of no size would divide its columns by nothing.
    const Vec2 box = vec2("SandboxSize", "640 32");
    size = Vec2{box.x > 0.0f ? box.x : 640.0f, box.y > 0.0f ? box.y : 32.0f};
    frontShift = Shift(vec2("SandboxFrontShift", "-9 -4"));
    glassColor = ReadCheckedColor(file, section, "SandboxGlassColor", "108 200 247 255");
    columns = std::clamp(ReadCheckedInt(file, section, "SandboxSegments", "40"), CSandHeightfield::kMinColumns,
                         CSandHeightfield::kMaxColumns);
    inGravity = number("SandboxSandInGravity", "5");
    outGravity = number("SandboxSandOutGravity", "20");
    pathSpeed = number("SandboxSandPathSpeed", "32");
    const int points = std::clamp(ReadCheckedInt(file, section, "SandboxSandPathCount", "2"), 0, kMaxPathPoints);
    pathPoints.clear();
    for (int i = 0; i < points; ++i) {
        char key[48];
        std::snprintf(key, sizeof key, "SandboxSandPathPoint%d", i);
        pathPoints.push_back(Shift(vec2(key, "0 0")));
    }
    SplitAlpha(ReadCheckedColor(file, section, "SandboxSandColor", "160 144 80 255"), &sandColor, &sandAlpha);
    dustSpeed = number("SandboxDustSpeed", "80");
    dustSpeedSpread = 0.5f * dustSpeed;
    dustSize = number("SandboxDustSize", "8");
    dustSizeSpread = 0.5f * dustSize;
    SplitAlpha(ReadCheckedColor(file, section, "SandboxDustColor", "160 144 80 127"), &dustColor, &dustAlpha);
    uint32_t bar = 0;
    SplitAlpha(ReadCheckedColor(file, section, "SandboxFrenzyBarColor", "1 221 255 255"), &bar, &barAlpha);
    barColor = bar & 0x00ffffffu;
    barShift = Shift(vec2("SandboxFrenzyBarShift", "14 2"));
    barElementSize = vec2("SandboxFrenzyBarElementSize", "32 32");
    barElements = std::clamp(ReadCheckedInt(file, section, "SandboxFrenzyBarCount", "19"), 1, kMaxBarElements);
    barPostTime = ReadPositiveFloat(file, section, "SandboxFrenzyBarPostTime", "0.25");
}
