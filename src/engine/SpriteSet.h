// Sprite descriptions read from one section of an INI file, in pixels of a
// layout picture, converted into engine units.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CSpriteSet {
public:
    struct Position {
        float x, y, z;
    };
    struct Size {
        float width, height;
    };
    struct Rect {
        float u0, v0, u1, v1;
    };

    // More sprites than a set ever needs; a larger count read from a file is cut to it.
    static constexpr int kMaxSprites = 4096;

    void SetMapping(float sx, float sy, float texWidth, float texHeight, float ox, float oy, float zOff);
    int LoadFromIni(const std::string& file, const std::string& section, const std::string& prefix, int count);

    float scaleX = 256.0f, scaleY = 256.0f;
    float originX = 0.5f, originY = 0.5f;
    float zOffset = 0.0f;
    float textureWidth = 256.0f, textureHeight = 256.0f;
    std::vector<Position> positions;
    std::vector<Size> sizes;
    std::vector<Rect> textureRects;
    std::vector<uint32_t> colors;
    std::vector<int32_t> filters;
    std::vector<int32_t> zOrders;
    std::vector<int32_t> textureIndices;
};
