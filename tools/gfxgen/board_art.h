// Drawing helpers shared by the board's picture sets (tokens, chains and
// the memory challenge's tiles): signed distances of the token shapes, a
// lit bevel, and a supersampled painter of one atlas cell.
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

} // namespace board_art
} // namespace gfx
