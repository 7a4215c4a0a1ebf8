// What the scene pictures share: the layout of "Background.cfg" (where the
// sockets, the gems, the rays and the closing shows stand), the gems, rays
// and sockets of the stage progress, and a few painting helpers for walls,
// leaves and light.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "image.h"

namespace gfx {

// "Background.cfg" as the pictures read it: sections of keys whose values
// are blank-separated numbers.
class SceneConfig {
public:
    explicit SceneConfig(const std::string& path);
    bool Ok() const { return ok_; }
    // The numbers of a key, or of `fallback` when the file lacks it.
    std::vector<float> Numbers(const std::string& section, const std::string& key,
                               const char* fallback = "") const;
    float Number(const std::string& section, const std::string& key, float fallback) const;

private:
    struct Entry {
        std::string section, key, value;
    };
    std::vector<Entry> entries_;
    bool ok_ = false;
};

// A rectangle of the screen or of a texture in pixels, y down.
struct Box {
    float x = 0, y = 0, w = 0, h = 0;
    float Cx() const { return x + w / 2; }
    float Cy() const { return y + h / 2; }
};
// Left, top, width, height.
Box BoxOf(const std::vector<float>& n);
// Left, top, right, bottom.
Box CornersOf(const std::vector<float>& n);

Color Scale(const Color& c, float f);
float Hash01(int x, int y, uint32_t seed);

void FillEllipse(Image& img, float cx, float cy, float rx, float ry, const Color& c, float k = 1.0f);
// A line of `width` with soft edges `soft` texels wide.
void StrokeSegment(Image& img, Pt a, Pt b, float width, const Color& c, float k = 1.0f, float soft = 1.0f);
// Multiplies the colour of every texel by `shade(x, y)`.
void ShadeImage(Image& img, const std::function<float(int, int)>& shade);
// Copies a rectangle of `from`, resampled to `to`'s rectangle.
void CopyResampled(const Image& from, const Box& source, Image& to, const Box& target);

// A faceted gem of `radius` centred at (cx, cy); `cut` picks its outline
// (0 to 11), `body` its colour.
void PaintGem(Image& img, float cx, float cy, float radius, int cut, const Color& body);
// A carved socket a gem can sit in.
void PaintSocket(Image& img, float cx, float cy, float radius, const Color& rim);
// A beam of light along a rectangle, on black, for additive drawing.
void PaintBeam(Image& img, const Box& box, const Color& tint);
// A leaf pointing along `angle` (radians), `length` long.
void PaintLeaf(Image& img, float cx, float cy, float length, float width, float angle, const Color& c,
               float k = 1.0f);

// The colours the gems of a stage take, one per set.
Color GemColour(int index);
// The picture's lower band, cleared first: for each set the socket cut from the scene with
// its gem set in (at "GemT%d"), and a light beam in every "RayT%d" of the
// first `beams` rays. False when a rectangle leaves the band.
bool PaintProgressBand(Image& scene, const SceneConfig& cfg, const std::string& section, int sets, int beams);
// The sockets of a stage at its "Gem%d" rectangles.
void PaintSockets(Image& scene, const SceneConfig& cfg, const std::string& section, int sets, const Color& rim);

// Masonry over the pixels where `inside(x, y)` holds: blocks of `blockW` by
// `blockH` in courses, each its own shade of `base`, with dark joints.
void PaintStoneBlocks(Image& img, const Box& area, const std::function<bool(int, int)>& inside, const Color& base,
                      float blockW, float blockH, uint32_t seed);
// A clump of leaves around (cx, cy): `count` leaves of `colour`, lit from
// the upper left, darker towards the clump's bottom.
void PaintFoliageClump(Image& img, float cx, float cy, float radius, int count, const Color& colour, uint32_t seed,
                       float leafLength = 26.0f);
// Darkens the scene's corners (the scene's 768 rows only).
void Vignette(Image& img, float strength);
// Rays of light from the centre of a square picture on black, for a screen
// or additive blend; its alpha follows its brightness.
Image MakeLightRays(int size, uint32_t seed, const Color& tint);

// Motes of dust that tile: `count` soft dots of `colour` between `minRadius`
// and `maxRadius`, their alpha their strength.
Image MakeMotes(int size, int count, uint32_t seed, const Color& colour, float minRadius, float maxRadius);

// A mask for a stage 1 texture: its shape in grey and in alpha alike.
Image MakeMask(int w, int h, const std::function<float(float u, float v)>& shape);

} // namespace gfx
