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

// 320 x 80, 24-bit: the seven gems side by side in 40 x 40 cells, each
// standing at its cell's left edge (the bar reads a gem's width from its
// mask), its alpha mask as grey in the cell below.
Image MakeBarGems()
{
    Image img(320, 80, Color{0, 0, 0, 1});
    for (int k = 0; k < 7; ++k) {
        float left, right, top, bottom;
        SilhouetteExtent(k, &left, &right, &top, &bottom);
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
                        const Color p = CutGemPoint(k, (px - x0) / scale, (py - y0) / scale);
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
