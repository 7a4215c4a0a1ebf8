#include "engine/SpriteSet.h"

#include "engine/Log.h"
#include "engine/Settings.h"
#include "platform/Profile.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

void CSpriteSet::SetMapping(float sx, float sy, float texWidth, float texHeight, float ox, float oy, float zOff)
{
    scaleX = sx;
    scaleY = sy;
    textureWidth = texWidth;
    textureHeight = texHeight;
    originX = ox;
    originY = oy;
    zOffset = zOff;
}

namespace {

// "nan" and "inf" read as numbers; a sprite's place, size or texture corner
// that is none stays 0, like one its line does not give.
void KeepFinite(std::initializer_list<float*> values)
{
    for (float* value : values)
        *value = std::isfinite(*value) ? *value : 0.0f;
}

std::string Read(const std::string& file, const std::string& section, const std::string& key, const char* fallback)
{
    char buffer[256];
    plat::GetPrivateProfileString(section.c_str(), key.c_str(), fallback, buffer, sizeof buffer, file);
    return buffer;
}
// "%sSprite%d"-style key names: the prefix, a fixed part, the number.
std::string Key(const std::string& prefix, const char* part, int number = -1)
{
    return prefix + part + (number < 0 ? std::string() : std::to_string(number));
}
int32_t Integer(const std::string& text) { return static_cast<int32_t>(std::atoi(text.c_str())); }
} // namespace

int CSpriteSet::LoadFromIni(const std::string& file, const std::string& section, const std::string& prefix,
                            int count)
{
    if (count == 0)
        count = Integer(Read(file, section, Key(prefix, "SpritesCount"), "0"));
    if (count < 1)
        return 0;
    // The count sizes what is reserved: a hand-edited one must stay sane.
    if (count > kMaxSprites) {
        WriteLog("Warning! " + file + " [" + section + "] " + prefix + "SpritesCount " + std::to_string(count) +
                 " is more than " + std::to_string(kMaxSprites) + "\n");
        count = kMaxSprites;
    }
    const size_t more = static_cast<size_t>(count);
    positions.reserve(positions.size() + more);
    sizes.reserve(sizes.size() + more);
    textureRects.reserve(textureRects.size() + more);
    colors.reserve(colors.size() + more);
    filters.reserve(filters.size() + more);
    zOrders.reserve(zOrders.size() + more);
    textureIndices.reserve(textureIndices.size() + more);
    for (int i = 0; i < count; ++i) {
        // Numbers a short line does not supply stay 0.
        float x = 0, y = 0, z = 0, w = 0, h = 0;
        std::sscanf(Read(file, section, Key(prefix, "Sprite", i), "0 0 0 0 0").c_str(), "%f %f %f %f %f", &x, &y,
                    &z, &w, &h);
        KeepFinite({&x, &y, &z, &w, &h});
        const float width = w / scaleX, height = h / scaleY;
        positions.push_back(
            {x / scaleX + width / 2.0f - originX, originY - y / scaleY - height / 2.0f, zOffset + z});
        sizes.push_back({width, height});

        float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
        std::sscanf(Read(file, section, Key(prefix, "SpriteT", i), "0 0 0 0").c_str(), "%f %f %f %f", &u0, &v0,
                    &u1, &v1);
        KeepFinite({&u0, &v0, &u1, &v1});
        textureRects.push_back({u0 / textureWidth, v0 / textureHeight, u1 / textureWidth, v1 / textureHeight});

        colors.push_back(
            ParseColor(Read(file, section, Key(prefix, "SpriteColor", i), "255 255 255 255").c_str(), "0 0 0 0"));

        std::string filter = Read(file, section, Key(prefix, "SpriteFilter", i), "Normal");
        for (char& c : filter)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        filters.push_back(filter == "ADD" ? 1 : filter == "MUL" ? 2 : filter == "SCREEN" ? 3 : 0);

        zOrders.push_back(Integer(Read(file, section, Key(prefix, "SpriteZOrder", i), "0")));
        textureIndices.push_back(Integer(Read(file, section, Key(prefix, "SpriteTexture", i), "0")));
    }
    return count;
}
