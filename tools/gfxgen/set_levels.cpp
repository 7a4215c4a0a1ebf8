// The gems bar's picture set: the seven collected gems (BarGems.bmp) and
// the sparkles and small flares that rise from the filled strip
// (GemFlares.tga).
//
// The bar's gems are the gem the tokens carry, cut in each colour's own
// shape and tinted with its hue. The effects are drawn adding light, so
// their colour runs on under a soft coverage that falls to nothing well
// inside each picture's square.
#include <algorithm>
#include <cmath>

#include "board_art.h"
#include "output.h"

using namespace gfx;
using namespace gfx::board_art;

namespace {

constexpr float kPi = 3.14159265f;

// A four-point sparkle in a square of `size` texels at (x0, y0): a bright
// core, two long thin rays along the axes, two shorter ones along the
// diagonals (`diagonal` of the main rays' length), tinted from white at the
// heart to `tint` at the tips.
void Sparkle(Image& img, int x0, int y0, int size, float diagonal, const Color& tint, float twist)
{
    const float half = static_cast<float>(size) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float px = (x + 0.5f - half) / half, py = (y + 0.5f - half) / half;
            const float r = std::sqrt(px * px + py * py);
            const float a = std::atan2(py, px) + twist;
            // Distance from the nearest main ray and diagonal ray, as angles
            // weighted by the radius so the rays taper to points.
            const float mainAcross = r * std::fabs(std::sin(2 * a)) / 2;
            const float diagAcross = r * std::fabs(std::cos(2 * a)) / 2;
            const float main = std::exp(-mainAcross / 0.018f) * std::pow(Clamp01(1 - r), 1.4f);
            const float diag = std::exp(-diagAcross / 0.014f) * std::pow(Clamp01(1 - r / diagonal), 2.0f);
            const float core = std::pow(Clamp01(1 - r / 0.32f), 2.2f);
            const float halo = 0.22f * std::pow(Clamp01(1 - r / 0.7f), 2.5f);
            const float k = Clamp01(main + 0.7f * diag + core + halo);
            Color c = Mix(tint, Rgb(255, 255, 255), Clamp01(core * 1.5f + (1 - r) * 0.6f));
            c.a = k;
            img.At(x0 + x, y0 + y) = c;
        }
}

// A small round flare: a hot centre and a soft falloff in one hue.
void SmallFlare(Image& img, int x0, int y0, int size, const Color& hue)
{
    const float half = static_cast<float>(size) / 2;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float px = (x + 0.5f - half) / half, py = (y + 0.5f - half) / half;
            const float r = std::sqrt(px * px + py * py);
            const float glow = std::pow(Clamp01(1 - r / 0.92f), 2.4f);
            const float core = std::pow(Clamp01(1 - r / 0.3f), 1.5f);
            Color c = Mix(hue, Rgb(255, 255, 255), core);
            c.a = Clamp01(glow + core);
            img.At(x0 + x, y0 + y) = c;
        }
}

// 256 x 256: two 128 x 128 sparkles side by side in the top half; four
// 64 x 64 flares at y 160-223 (warm white, gold, amber, pale turquoise).
Image MakeGemFlares()
{
    Image img(256, 256, Color{0, 0, 0, 0});
    Sparkle(img, 0, 0, 128, 0.55f, Rgb(255, 214, 120), 0.0f);
    Sparkle(img, 128, 0, 128, 0.4f, Rgb(170, 240, 236), kPi / 16);
    const Color hues[4] = {Rgb(255, 244, 220), Rgb(255, 208, 96), Rgb(246, 150, 56), Rgb(150, 236, 232)};
    for (int k = 0; k < 4; ++k)
        SmallFlare(img, 64 * k, 160, 64, hues[k]);
    return img;
}

// A brilliant cut in the silhouette of colour k (units of its radius, y
// down): alternating facets round a pale table, a dark rim so the gem holds
// its edge over any neighbour, and a glint on the upper left.
Color BarGemPoint(int k, float x, float y)
{
    const float d = Silhouette(k, x, y);
    const float aa = 0.045f;
    if (d > aa)
        return Color{0, 0, 0, 0};
    const TokenLook& look = kLooks[k];
    Color c;
    if (d > -0.09f) {
        c = Mix(look.dark, Rgb(20, 14, 48), 0.5f);
    } else if (Silhouette(k, x / 0.5f, y / 0.5f) < 0) {
        c = Mix(look.light, Rgb(255, 255, 255), Clamp01(-0.8f * (x + y) + 0.35f));
    } else {
        const float angle = std::atan2(y, x);
        const bool even = static_cast<int>(std::floor((angle + kPi) / (kPi / 4))) % 2 == 0;
        const float lit = std::cos(angle) * kLightX + std::sin(angle) * kLightY;
        c = even ? Mix(look.base, look.light, Clamp01(0.5f + 0.5f * lit))
                 : Mix(look.dark, look.base, Clamp01(0.6f + 0.4f * lit));
    }
    const float gx = x + 0.33f, gy = y + 0.36f;
    const float glint = std::exp(-std::pow(Length(gx, gy) / 0.14f, 2.0f));
    const float rays = std::exp(-std::fabs(gx) / 0.035f) * std::exp(-std::fabs(gy) / 0.35f) +
                       std::exp(-std::fabs(gy) / 0.035f) * std::exp(-std::fabs(gx) / 0.35f);
    c = Mix(c, Rgb(255, 255, 255), Clamp01(glint + 0.8f * rays));
    c.a = Clamp01((aa - d) / (2 * aa));
    return c;
}

// The silhouette's extent in its own units: left, right, top, bottom.
void Extent(int k, float* left, float* right, float* top, float* bottom)
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

// 320 x 80, 24-bit: the seven gems side by side in 40 x 40 cells, each
// standing at its cell's left edge (the bar reads a gem's width from its
// mask), its alpha mask as grey in the cell below.
Image MakeBarGems()
{
    Image img(320, 80, Color{0, 0, 0, 1});
    for (int k = 0; k < 7; ++k) {
        float left, right, top, bottom;
        Extent(k, &left, &right, &top, &bottom);
        // At most 35 texels wide and 38 high, one texel in from the left.
        const float scale = std::min(35.0f / (right - left), 38.0f / (bottom - top));
        const float x0 = 1.0f - left * scale, y0 = 20.0f - (top + bottom) / 2 * scale;
        const int samples = 4;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                float r = 0, g = 0, b = 0, a = 0;
                for (int sy = 0; sy < samples; ++sy)
                    for (int sx = 0; sx < samples; ++sx) {
                        const float px = x + (sx + 0.5f) / samples, py = y + (sy + 0.5f) / samples;
                        const Color p = BarGemPoint(k, (px - x0) / scale, (py - y0) / scale);
                        r += p.r * p.a;
                        g += p.g * p.a;
                        b += p.b * p.a;
                        a += p.a;
                    }
                const float n = static_cast<float>(samples * samples);
                Color colour{0, 0, 0, 1};
                if (a > 0)
                    colour = Color{r / a, g / a, b / a, 1};
                img.At(40 * k + x, y) = colour;
                const float mask = a / n;
                img.At(40 * k + x, 40 + y) = Color{mask, mask, mask, 1};
            }
    }
    return img;
}

bool WriteLevelsSet(Output& out)
{
    // The gems picture is read by its own fixed layout, not as a texture.
    out.AllowAnySize("BarGems.bmp");
    return out.Save("BarGems.bmp", MakeBarGems()) && out.Save("GemFlares.tga", MakeGemFlares());
}

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "levels", WriteLevelsSet); }
