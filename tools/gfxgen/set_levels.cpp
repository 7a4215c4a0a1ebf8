// The gems bar's picture set: the sparkles and small flares that rise from
// the filled strip (GemFlares.tga).
//
// The effects are drawn adding light, so their colour runs on under a soft
// coverage that falls to nothing well inside each picture's square.
#include <algorithm>
#include <cmath>

#include "output.h"

using namespace gfx;

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

bool WriteLevelsSet(Output& out) { return out.Save("GemFlares.tga", MakeGemFlares()); }

} // namespace

int main(int argc, char** argv) { return RunSet(argc, argv, "levels", WriteLevelsSet); }
