#include "engine/CheckedSettings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The default's own numbers, parsed the way the readers parse a value.
void DefaultNumbers(const char* defaultText, float* out, int count)
{
    float values[4] = {0, 0, 0, 0};
    std::sscanf(defaultText ? defaultText : "", "%f %f %f %f", &values[0], &values[1], &values[2], &values[3]);
    for (int i = 0; i < count; ++i)
        out[i] = values[i];
}

void KeepFinite(float* values, const char* defaultText, int count)
{
    float fallback[4];
    DefaultNumbers(defaultText, fallback, count);
    for (int i = 0; i < count; ++i)
        if (!std::isfinite(values[i]))
            values[i] = fallback[i];
}

} // namespace

float DefaultNumber(const char* defaultText)
{
    float value = 0.0f;
    DefaultNumbers(defaultText, &value, 1);
    return value;
}

float ReadCheckedFloat(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    float value = ReadIniFloat(file, section, key, defaultText);
    KeepFinite(&value, defaultText, 1);
    return value;
}

float ReadPositiveFloat(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const float value = ReadIniFloat(file, section, key, defaultText);
    return std::isfinite(value) && value > 0.0f ? value : DefaultNumber(defaultText);
}

Vec2 ReadCheckedVec2(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    Vec2 v;
    ReadIniVec2(file, section, key, defaultText, &v);
    float values[2] = {v.x, v.y};
    KeepFinite(values, defaultText, 2);
    return Vec2{values[0], values[1]};
}

Vec3 ReadCheckedVec3(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    Vec3 v;
    ReadIniVec3(file, section, key, defaultText, &v);
    float values[3] = {v.x, v.y, v.z};
    KeepFinite(values, defaultText, 3);
    return Vec3{values[0], values[1], values[2]};
}

Vec4 ReadCheckedVec4(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    Vec4 v;
    ReadIniVec4(file, section, key, defaultText, &v);
    float values[4] = {v.x, v.y, v.z, v.w};
    KeepFinite(values, defaultText, 4);
    return Vec4{values[0], values[1], values[2], values[3]};
}

uint32_t ReadCheckedColor(const std::string& file, const char* section, const char* key, const char* defaultText)
{
    const Vec4 c = ReadCheckedVec4(file, section, key, defaultText);
    auto byte = [](float v) { return static_cast<uint32_t>(std::clamp(std::floor(v), 0.0f, 255.0f)); };
    return byte(c.w) << 24 | byte(c.x) << 16 | byte(c.y) << 8 | byte(c.z);
}
