// Drawing helpers shared by the board's picture sets (tokens, chains, the
// memory challenge's tiles and the gems bar's gems): signed distances of the
// token shapes, a lit bevel, a supersampled painter of one atlas cell, the
// colours and silhouettes of the tokens, and the tokens' cut stones with the
// sheen the pointer's light brings out of them.
#pragma once

#include <algorithm>
#include <cmath>

#include "image.h"

namespace gfx {
namespace board_art {

constexpr float kPi = 3.14159265f;

inline float Length(float x, float y) { return std::sqrt(x * x + y * y); }

// Signed distances in the shape's own units: negative inside; y grows
// downwards as in the pictures.
inline float Circle(float x, float y, float r) { return Length(x, y) - r; }

inline float Box(float x, float y, float hx, float hy, float round)
{
    const float qx = std::fabs(x) - hx + round, qy = std::fabs(y) - hy + round;
    return Length(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - round;
}

// A rhombus with half diagonals a (across) and b (up and down).
inline float Rhombus(float x, float y, float a, float b)
{
    x = std::fabs(x);
    y = std::fabs(y);
    const float h = std::clamp(((a - 2 * x) * a - (b - 2 * y) * b) / (a * a + b * b), -1.0f, 1.0f);
    const float dx = x - 0.5f * a * (1 - h), dy = y - 0.5f * b * (1 + h);
    const float d = Length(dx, dy);
    return x * b + y * a - a * b < 0 ? -d : d;
}

// A drop: a circle of radius r1 at the origin joined by tangents to a small
// circle of radius r2 at distance h straight up.
inline float Drop(float x, float y, float r1, float r2, float h)
{
    x = std::fabs(x);
    y = -y;
    const float b = (r1 - r2) / h;
    const float a = std::sqrt(1 - b * b);
    const float k = -b * x + a * y;
    if (k < 0)
        return Length(x, y) - r1;
    if (k > a * h)
        return Length(x, y - h) - r2;
    return a * x + b * y - r1;
}

// A regular polygon of n sides with circumradius r, a corner pointing up.
inline float Polygon(float x, float y, float r, int n)
{
    const float sector = 2 * kPi / static_cast<float>(n);
    // The angle from the middle of the nearest edge (edges face the angles
    // between the corners).
    const float a = std::fmod(std::atan2(x, -y) + 8 * kPi, sector) - sector * 0.5f;
    const float len = Length(x, y);
    const float along = len * std::cos(a), across = len * std::sin(a);
    const float apothem = r * std::cos(sector * 0.5f);
    const float half = r * std::sin(sector * 0.5f);
    if (along < apothem)
        return along - apothem;
    return Length(along - apothem, across - std::clamp(across, -half, half));
}

// A star of n points, outer radius r, inner radius r * inner, a point up.
inline float Star(float x, float y, float r, int n, float inner)
{
    const float sector = 2 * kPi / static_cast<float>(n);
    float a = std::atan2(x, -y);
    a = std::fabs(std::fmod(a + 8 * kPi, sector) - sector * 0.5f);
    const float len = Length(x, y);
    // Folded into half a sector, measured from the tip: the edge runs from
    // the tip (r, 0) to the valley (r * inner at half a sector).
    const float px = len * std::cos(sector * 0.5f - a), py = len * std::sin(sector * 0.5f - a);
    const float ax = r, ay = 0;
    const float bx = r * inner * std::cos(sector * 0.5f), by = r * inner * std::sin(sector * 0.5f);
    const float ex = bx - ax, ey = by - ay;
    const float t = std::clamp(((px - ax) * ex + (py - ay) * ey) / (ex * ex + ey * ey), 0.0f, 1.0f);
    const float d = Length(px - ax - t * ex, py - ay - t * ey);
    const float side = (px - ax) * ey - (py - ay) * ex; // > 0 outside the edge
    return side > 0 ? d : -d;
}

// Outward direction of a distance field at a point, by central differences.
template <typename Field>
void Gradient(const Field& f, float x, float y, float* gx, float* gy)
{
    const float e = 0.01f;
    float dx = f(x + e, y) - f(x - e, y), dy = f(x, y + e) - f(x, y - e);
    const float len = Length(dx, dy);
    if (len < 1e-6f) {
        *gx = 0;
        *gy = -1;
        return;
    }
    *gx = dx / len;
    *gy = dy / len;
}

// Light comes from the top left, towards the viewer.
constexpr float kLightX = -0.7071f, kLightY = -0.7071f;

inline Color Shade3(const Color& dark, const Color& base, const Color& light, float t)
{
    return t < 0 ? Mix(base, dark, -t) : Mix(base, light, t);
}

// Paints one square cell of an atlas: `shade` (u, v) gives the straight
// colour of a point, u and v from -1 to 1 across the cell, y down; samples
// are averaged with their alpha.
template <typename Shade>
void PaintCell(Image& img, int x0, int y0, int size, int samples, const Shade& shade)
{
    const float step = 1.0f / static_cast<float>(samples);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx) {
                    const float px = static_cast<float>(x) + (static_cast<float>(sx) + 0.5f) * step;
                    const float py = static_cast<float>(y) + (static_cast<float>(sy) + 0.5f) * step;
                    const Color c = shade(2.0f * px / static_cast<float>(size) - 1.0f,
                                          2.0f * py / static_cast<float>(size) - 1.0f);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            const float n = static_cast<float>(samples * samples);
            Color out{1, 1, 1, a / n};
            if (a > 0) {
                out.r = r / a;
                out.g = g / a;
                out.b = b / a;
            }
            img.At(x0 + x, y0 + y) = out;
        }
}

// Source-over of two straight colours.
inline Color Over(const Color& top, const Color& under)
{
    const float a = top.a + under.a * (1 - top.a);
    if (a <= 0)
        return Color{1, 1, 1, 0};
    auto ch = [&](float t, float u) { return (t * top.a + u * under.a * (1 - top.a)) / a; };
    return Color{ch(top.r, under.r), ch(top.g, under.g), ch(top.b, under.b), a};
}

// The gold of the tokens' settings.
const Color kSettingGold = Rgb(255, 204, 84);
const Color kSettingLight = Rgb(255, 244, 196);
const Color kSettingDark = Rgb(120, 70, 16);

struct TokenLook {
    Color dark, base, light;
};

// Green, yellow, red, blue, orange, white, violet.
const TokenLook kLooks[7] = {
    {Rgb(8, 74, 38), Rgb(46, 182, 86), Rgb(176, 255, 170)},
    {Rgb(150, 92, 0), Rgb(246, 204, 34), Rgb(255, 250, 186)},
    {Rgb(100, 0, 18), Rgb(214, 34, 48), Rgb(255, 156, 146)},
    {Rgb(8, 26, 104), Rgb(40, 98, 226), Rgb(156, 204, 255)},
    {Rgb(140, 44, 0), Rgb(246, 128, 28), Rgb(255, 212, 144)},
    {Rgb(128, 118, 170), Rgb(232, 230, 246), Rgb(255, 255, 255)},
    {Rgb(64, 8, 104), Rgb(158, 58, 216), Rgb(232, 176, 255)},
};

// The silhouette of token kind k (0..6 colours, 7 steel) in units of the
// token's radius: every colour has its own shape.
inline float Silhouette(int k, float x, float y)
{
    switch (k) {
    case 0: // green: a hexagon
        return Polygon(x, y, 0.98f, 6);
    case 1: // yellow: a round coin
        return Circle(x, y, 0.9f);
    case 2: // red: a tall diamond
        return Rhombus(x, y, 0.8f, 1.0f);
    case 3: // blue: a drop, point up
        return Drop(x, y - 0.26f, 0.7f, 0.07f, 0.96f);
    case 4: // orange: a triangle, point up
        return Polygon(x, y - 0.2f, 1.08f, 3) - 0.06f;
    case 5: // white: a cushion square
        return Box(x, y, 0.76f, 0.76f, 0.26f);
    case 6: // violet: a five-pointed star
        return Star(x, y + 0.04f, 1.0f, 5, 0.52f) - 0.03f;
    default: // steel: an octagonal nut
        return Polygon(x, y, 0.97f, 8);
    }
}

inline constexpr float kBezel = 0.13f; // the gold setting's width
inline constexpr float kTable = 0.42f; // the flat top of the cut stone starts this deep

// A coloured cut stone in its setting, with a soft shadow below right.
inline Color CutStone(int k, float x, float y)
{
    auto field = [k](float u, float v) { return Silhouette(k, u, v); };
    const float d = field(x, y);
    const float aa = 0.02f;
    const float shadow = 0.42f * Clamp01((0.1f - Silhouette(k, x - 0.07f, y - 0.09f)) / 0.16f);
    Color under{0.05f, 0.03f, 0.12f, shadow};
    if (d > aa)
        return under;
    float gx, gy;
    Gradient(field, x, y, &gx, &gy);
    const float facing = gx * kLightX + gy * kLightY; // +1 where the edge faces the light
    Color c;
    if (d > -kBezel) {
        // The setting: a rounded rim, its outer half facing out, its inner
        // half facing in towards the stone.
        const float t = -d / kBezel;
        const float tilt = std::cos(t * kPi);
        const float lit = facing * tilt * 0.9f + 0.15f * (1 - std::fabs(tilt));
        c = Shade3(kSettingDark, kSettingGold, kSettingLight, std::clamp(lit, -1.0f, 1.0f));
        if (t > 0.86f)
            c = Mix(c, kSettingDark, (t - 0.86f) / 0.14f * 0.8f);
    } else {
        const TokenLook& look = kLooks[k];
        const float depth = -d - kBezel;
        if (depth < kTable - kBezel) {
            // The slopes: facets that catch the light by their direction.
            const float angle = std::atan2(gy, gx);
            const float facet = std::round(angle / (kPi / 8)) * (kPi / 8);
            const float lit = std::cos(facet) * kLightX + std::sin(facet) * kLightY;
            c = Shade3(look.dark, look.base, look.light, 0.75f * lit - 0.1f);
        } else {
            // The table: flat, lighter towards the light.
            const float lit = -0.35f * (x + y) + 0.15f;
            c = Shade3(look.dark, look.base, look.light, std::clamp(lit, -0.6f, 0.6f));
        }
        // A bright reflection on the upper left slope.
        const float glint = std::exp(-(std::pow((x + 0.36f) / 0.2f, 2) + std::pow((y + 0.42f) / 0.12f, 2)));
        c = Mix(c, Rgb(255, 255, 255), 0.75f * glint);
    }
    c.a = Clamp01((aa - d) / (2 * aa));
    return Over(c, under);
}

// What the pointer's light brings out: a warm sheen over the whole token,
// strongest on its dome; its alpha is the token's silhouette.
inline Color TokenSheen(int k, float x, float y)
{
    const float d = Silhouette(k, x, y);
    const float aa = 0.02f;
    if (d > aa)
        return Color{0, 0, 0, 0};
    const Color tint = k < 7 ? kLooks[k].light : Rgb(236, 242, 250);
    const float dome = Clamp01(1.0f - 0.55f * (x * x + y * y)) * 0.75f;
    const float rim = d > -kBezel ? 0.35f : 0.0f;
    Color c = Mix(Rgb(0, 0, 0), Mix(Rgb(255, 236, 190), tint, 0.45f), Clamp01(dome + rim));
    c.a = Clamp01((aa - d) / (2 * aa));
    return c;
}

// The colours of kind k (0..6 the token colours, 7 steel).
inline TokenLook LookOf(int k)
{
    static const TokenLook kSteel = {Rgb(70, 76, 92), Rgb(168, 176, 192), Rgb(236, 242, 252)};
    return k >= 0 && k < 7 ? kLooks[k] : kSteel;
}

// A brilliant cut in the silhouette of kind k (units of its radius, y
// down): alternating facets round a pale table, a dark rim so the gem holds
// its edge over any neighbour, and a glint on the upper left.
inline Color CutGemPoint(int k, float x, float y)
{
    const float d = Silhouette(k, x, y);
    const float aa = 0.045f;
    if (d > aa)
        return Color{0, 0, 0, 0};
    const TokenLook look = LookOf(k);
    Color c;
    if (d > -0.09f) {
        c = Mix(look.dark, Rgb(20, 14, 48), 0.5f);
    } else if (Silhouette(k, x / 0.5f, y / 0.5f) < 0) {
        c = Mix(look.light, Rgb(255, 255, 255), std::clamp(-0.8f * (x + y) + 0.35f, 0.0f, 1.0f));
    } else {
        const float angle = std::atan2(y, x);
        const bool even = static_cast<int>(std::floor((angle + kPi) / (kPi / 4))) % 2 == 0;
        const float lit = std::cos(angle) * kLightX + std::sin(angle) * kLightY;
        c = even ? Mix(look.base, look.light, std::clamp(0.5f + 0.5f * lit, 0.0f, 1.0f))
                 : Mix(look.dark, look.base, std::clamp(0.6f + 0.4f * lit, 0.0f, 1.0f));
    }
    const float gx = x + 0.33f, gy = y + 0.36f;
    const float glint = std::exp(-std::pow(Length(gx, gy) / 0.14f, 2.0f));
    const float rays = std::exp(-std::fabs(gx) / 0.035f) * std::exp(-std::fabs(gy) / 0.35f) +
                       std::exp(-std::fabs(gy) / 0.035f) * std::exp(-std::fabs(gx) / 0.35f);
    c = Mix(c, Rgb(255, 255, 255), std::clamp(glint + 0.8f * rays, 0.0f, 1.0f));
    c.a = std::clamp((aa - d) / (2 * aa), 0.0f, 1.0f);
    return c;
}

// The silhouette's extent in its own units: left, right, top, bottom.
inline void SilhouetteExtent(int k, float* left, float* right, float* top, float* bottom)
{
    *left = *top = 2.0f;
    *right = *bottom = -2.0f;
    for (int j = 0; j <= 400; ++j)
        for (int i = 0; i <= 400; ++i) {
            const float x = -1.5f + 3.0f * static_cast<float>(i) / 400,
                        y = -1.5f + 3.0f * static_cast<float>(j) / 400;
            if (Silhouette(k, x, y) > 0)
                continue;
            *left = std::min(*left, x);
            *right = std::max(*right, x);
            *top = std::min(*top, y);
            *bottom = std::max(*bottom, y);
        }
}

} // namespace board_art
} // namespace gfx
