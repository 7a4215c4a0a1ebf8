// Reading "Totems.cfg": typed keys of one section, every value checked (a
// value that is not the whole set of finite numbers takes the default, as a
// missing key does, and the log names the key), and the conversions from the file's pixels into screen
// units and into a totem's own picture frame.
#pragma once

#include "engine/Settings.h"

#include <cstdint>
#include <string>

// A rectangle in texture units: left, top, right, bottom.
struct TextureRect {
    float u0 = 0, v0 = 0, u1 = 0, v1 = 0;
};

// A point and a size inside a totem's picture, in its unit frame (centre at
// 0, 0, y up, one unit the picture's width or height).
struct PicturePlace {
    float x = 0, y = 0, z = 0, w = 0, h = 0;
};

class CTotemSection {
public:
    CTotemSection(std::string file, const char* section) : m_file(std::move(file)), m_section(section) {}

    // `count` blank-separated numbers; false when the key's value is not
    // that many finite numbers and the default was taken.
    bool Floats(const char* key, const char* defaultText, float* out, int count) const;
    float Float(const char* key, const char* defaultText) const;
    // Times, periods and speeds: a value that is not above 0 takes the default.
    float Positive(const char* key, const char* defaultText) const;
    // Waits that may be 0: a negative value takes the default.
    float NonNegative(const char* key, const char* defaultText) const;
    int32_t Int(const char* key, const char* defaultText) const;
    uint32_t Color(const char* key, const char* defaultText) const;
    std::string Word(const char* key, const char* defaultText) const;
    Vec2 Pair(const char* key, const char* defaultText) const;
    // The sizes of pictures and textures, which points and texels are
    // divided by: a component that is not above 0 takes the default's.
    Vec2 Size(const char* key, const char* defaultText) const;
    // A count that sizes a list: held to 0..cap; a larger one is logged.
    int32_t Count(const char* key, const char* defaultText, int32_t cap) const;

    const std::string& File() const { return m_file; }
    const char* Section() const { return m_section; }

private:
    std::string m_file;
    const char* m_section;
};

// "%s" keys with one or two numbers in them.
std::string KeyOf(const char* pattern, int n);
std::string KeyOf(const char* pattern, int n, int m);

// A point of the 1024 x 768 design screen (y down) in centred units (y up).
Vec3 ScreenPoint(float x, float y, float z);
// The filter words of the shapes and the fly twirl: ADD 1, MUL 2, SCREEN 3,
// anything else 0, in any case.
int FilterOfWord(std::string word);

// The pixels of one picture: points and sizes inside the picture of a
// totem drawn at `width` x `height`, and texture rectangles of a texture of
// `texWidth` x `texHeight` texels.
struct PictureScale {
    float width = 128, height = 128;
    float texWidth = 512, texHeight = 256;

    Vec2 Point(float x, float y) const { return {x / width - 0.5f, 0.5f - y / height}; }
    float Length(float pixels) const { return pixels / width; }
    TextureRect Texture(const float r[4]) const
    {
        return {r[0] / texWidth, r[1] / texHeight, r[2] / texWidth, r[3] / texHeight};
    }
};

// The red and orange pictures place their points on a 256-pixel frame
// round its middle, at depth -100.
Vec3 PowerPoint(float x, float y);
